// The hyperbolic cosine and sine and the inverse hyperbolic functions, by
// their exponential and logarithmic formulas.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// x = cosh a and y = sinh a from e = e^a: x = (e + 1/e)/2, y = (e - 1/e)/2.
/// Accuracy: cosh within 330 units relative for |a| <= 100 and 14000 up to
/// 11000 (the exponential's); sinh within 400 units relative for |a| >= 1,
/// but for |a| < 1 within 480 units absolute only, by cancellation in
/// e - 1/e (no path for small arguments).
/// a.hi >= 11000 stops with "*** KXEXP: Argument is too large" and
/// a.hi <= -11000 with "*** KXCOSHSINH: Argument is too large" and a.hi:
/// there cosh and |sinh| overflow.
///   kxcoshsinh(kxreal{1}, x, y);   // x = cosh 1, y = sinh 1
void kxcoshsinh(const kxreal& a, kxreal& x, kxreal& y);

/// b = asinh a = log(a + sqrt(a^2 + 1)). Accuracy: 104 units relative for
/// a >= 1, 370 units absolute for |a| < 1 (the formula near 0); for a <= -1
/// the sum cancels and about 30 a^2 units absolute are lost, so few digits
/// remain near -2^100. From -2^110 down, where the sum keeps no digit (or
/// is not positive), the result is -asinh(-a), and where a^2 overflows
/// (|a| beyond about 10^2466) it is sign(a) (log |a| + log 2), both within
/// 3 units relative. Above e^11000 kxlog stops with kxexp's message.
///   kxasinh(kxreal{1}, b);   // b = log(1 + sqrt 2)
void kxasinh(const kxreal& a, kxreal& b);

/// b = acosh a = log(a + sqrt(a^2 - 1)) for a >= 1, exactly 0 at a = 1.
/// Accuracy: 13 units relative for a >= 2, 310 units absolute for a in
/// [1, 2] (a^2 - 1 cancels near 1); above e^11000 kxlog stops with kxexp's
/// message. Beyond about 10^2466, where a^2
/// overflows, it is log a + log 2. a.hi < 1, and a just below 1 by its low
/// word, stop with "KXACOSH: Argument is < 1.".
///   kxacosh(kxreal{2}, b);   // b = log(2 + sqrt 3)
void kxacosh(const kxreal& a, kxreal& b);

/// b = atanh a = log((1 + a)/(1 - a))/2 for |a.hi| < 1. Accuracy: 175
/// units absolute near 0 (no path for small arguments), 290 units
/// relative for 0.5 <= |a| < 0.999. |a.hi| >= 1 stops with
/// "KXATANH: Argument is <= -1 or >= 1.".
///   kxatanh(kxreal{0.5Q}, b);   // b = log(3)/2
void kxatanh(const kxreal& a, kxreal& b);
