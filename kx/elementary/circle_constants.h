// 2 pi and pi/2 as normalised pairs, stored from their words like kxpi.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// 2 pi within one unit of 2^-226 (exactly 2 times kxpi's pair).
kxreal two_pi();

/// pi/2 within one unit of 2^-226 (exactly kxpi's pair halved).
kxreal half_pi();

/// sin s by its Taylor series for |s| <= pi/32, to an absolute 10^-70 and
/// so within a few units of 2^-226 relative however small s is.
kxreal sine_series(const kxreal& s);

}  // namespace kx
