// The decimal digits in order, so that a digit's character and its value
// are one lookup apart in every conversion.
#pragma once

#include <string_view>

namespace kx {

inline constexpr std::string_view decimal_digits = "0123456789";

}  // namespace kx
