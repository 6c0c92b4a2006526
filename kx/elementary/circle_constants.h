// 2 pi and pi/2 as normalised pairs, stored from their words like kxpi.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// 2 pi within one unit of 2^-226 (exactly 2 times kxpi's pair).
kxreal two_pi();

/// pi/2 within one unit of 2^-226 (exactly kxpi's pair halved).
kxreal half_pi();

}  // namespace kx
