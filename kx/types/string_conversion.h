// Decimal text to kxreal by value.
#pragma once

#include <string_view>

#include <kx/core/core.h>

namespace kx {

/// The value of the decimal literal s, converted whole by kxinpc (any
/// length; blanks may lead and trail, so padding a literal with blanks does
/// not change its value), with kxinpc's accuracy. Stops with kxinpc's
/// message when s is not a decimal literal.
///   kxreal pi = kx::to_real("3.14159265358979323846264338327950288419716939937510582097494459");
kxreal to_real(std::string_view s);

}  // namespace kx
