// kxreal and kxcomplex on iostreams.
//
// Output honours the stream's precision, notation flags, width, fill and
// adjustment, showpos and uppercase:
//   scientific   kxeformat with precision() digits after the point;
//   fixed        kxfformat with precision() digits after the point;
//   neither      kxeformat with precision() significant digits (at least
//                one), the count a double shows by default, always in the
//                library's e-format; so is hexfloat (both flags);
// a negative precision counts as 6, and more than 5000 as 5000. The digits
// are those of kxeformat: cut, not rounded, so 1.5 with precision 0 in fixed
// notation prints "1.". They lie within one unit of the last one shown,
// plus, where that reaches past the pair's accuracy, the error of
// kxeformat's scaling by 10^-E (kxnpwr's bound, about 8 |E| units of
// 2^-226 for a decimal exponent E). Non-finite
// values print as "inf", "-inf" and "nan". A complex value prints as
// "(re,im)", each part so formatted, the width applying to the whole.
//
// Input reads one whitespace-delimited token and never ends the process: a
// token that is not a number sets failbit and leaves the value unchanged.
// A real token is a sign, digits with at most one point (at least one
// digit), and an optional exponent: one of e, E, d, D, a sign and at least
// one digit; or "inf" or "nan", in any case, with or without a sign. A
// token whose exponent has at most three digits gives the words of kxinpc
// (to_real) for it; a longer exponent is applied by moving the point, so
// that everything operator<< writes reads back. A complex token is
// "(re,im)", "(re)" or a real token, without blanks inside, as operator<<
// writes it.
#pragma once

#include <iosfwd>

#include <kx/core/complex.h>

namespace kx {

/// Writes a as the stream's flags ask (see above).
///   std::cout << std::setprecision(40) << kxpi();   // 3.141592653589793238462643383279502884197e0
std::ostream& operator<<(std::ostream& os, const real& a);

/// Reads a from the next token (see above); failbit on a malformed token.
///   std::istringstream("-1.5e+3") >> x;   // x = -1500
std::istream& operator>>(std::istream& is, real& a);

/// Writes z as "(re,im)".
///   std::cout << kxcomplex{kxreal{1}, kxreal{-2}};   // (1.00000e0,-2.00000e0)
std::ostream& operator<<(std::ostream& os, const complex& z);

/// Reads z from "(re,im)", "(re)" or "re"; failbit on anything else.
///   std::istringstream("(1.5,-2)") >> z;   // z = 1.5 - 2i
std::istream& operator>>(std::istream& is, complex& z);

}  // namespace kx
