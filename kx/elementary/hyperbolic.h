// The hyperbolic cosine and sine and the inverse hyperbolic functions, by
// their exponential and logarithmic formulas.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// x = cosh a and y = sinh a from e = e^a: x = (e + 1/e)/2, y = (e - 1/e)/2.
/// Accuracy: cosh within 0.7 |a| + 12 units relative (the exponential's);
/// sinh the same for |a| >= 1, but for small |a| only about 12 units
/// absolute, by cancellation in e - 1/e (no path for small arguments).
/// a.hi >= 11000 stops with "*** KXEXP: Argument is too large" and
/// a.hi <= -11000 with "*** KXCOSHSINH: Argument is too large" and a.hi:
/// there cosh and |sinh| overflow.
///   kxcoshsinh(kxreal{1}, x, y);   // x = cosh 1, y = sinh 1
void kxcoshsinh(const kxreal& a, kxreal& x, kxreal& y);

/// b = asinh a = log(a + sqrt(a^2 + 1)). Accuracy: 24 units relative for
/// a >= 1, 24 units absolute for |a| < 1 (the formula near 0); for a <= -1
/// the sum cancels and about 2 a^2 units absolute are lost, so few digits
/// remain beyond -10^30. Where the sum cancels to zero or below (beyond
/// about -10^34) the result is -asinh(-a), and where a^2 overflows (|a|
/// beyond about 10^2466) it is sign(a) (log |a| + log 2), both to 24 units.
///   kxasinh(kxreal{1}, b);   // b = log(1 + sqrt 2)
void kxasinh(const kxreal& a, kxreal& b);

/// b = acosh a = log(a + sqrt(a^2 - 1)) for a >= 1, exactly 0 at a = 1.
/// Accuracy: about 20 units relative for a >= 2; near 1 the relative error
/// grows as 1/(a - 1) (a^2 - 1 cancels). Beyond about 10^2466, where a^2
/// overflows, it is log a + log 2. a.hi < 1, and a just below 1 by its low
/// word, stop with "KXACOSH: Argument is < 1.".
///   kxacosh(kxreal{2}, b);   // b = log(2 + sqrt 3)
void kxacosh(const kxreal& a, kxreal& b);

/// b = atanh a = log((1 + a)/(1 - a))/2 for |a.hi| < 1. Accuracy: 24
/// units absolute near 0 (no path for small arguments), about 24 units
/// relative away from 0. |a.hi| >= 1 stops with
/// "KXATANH: Argument is <= -1 or >= 1.".
///   kxatanh(kxreal{0.5Q}, b);   // b = log(3)/2
void kxatanh(const kxreal& a, kxreal& b);
