// Decimal text to kxreal by value, and kxreal and kxcomplex to text.
#pragma once

#include <string>
#include <string_view>

#include <kx/core/complex.h>

namespace kx {

/// The value of the decimal literal s, converted whole by kxinpc (any
/// length; blanks may lead and trail, so padding a literal with blanks does
/// not change its value), with kxinpc's accuracy. Stops with kxinpc's
/// message when s is not a decimal literal.
///   kxreal pi = kx::to_real("3.14159265358979323846264338327950288419716939937510582097494459");
kxreal to_real(std::string_view s);

/// a in kxeformat's notation with 68 significant digits (the digits10 of
/// a pair), without padding: "-1.5000...0e3", "inf", "nan". The text lies
/// within 2 10^-67 of a, relative (measured 1.45 10^-67 over the whole
/// range): the last digit or two carry kxeformat's error, up to 5.6 units
/// of the last digit (1.8 for |a| between 2^-100 and 2^100).
///   kx::to_string(kxreal{12.5Q, 0});   // "1.25" then 66 zeros, then "e1"
std::string to_string(const kxreal& a);

/// "(re,im)", each part as to_string writes it.
///   kx::to_string(kxcomplex{kxreal{1}, kxreal{2}});   // "(1.000...0e0,2.000...0e0)"
std::string to_string(const kxcomplex& z);

}  // namespace kx
