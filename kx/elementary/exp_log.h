// The exponential, the natural logarithm and the real power of kxreal values.
//
// Accuracy is in units of 2^-226 relative to the exact result of the
// argument as given, measured against MPFR over random arguments (the
// figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// b = e^a: the nearest multiple n of log 2 removed, the rest divided by 64,
/// its Taylor series summed, squared six times and multiplied by 2^n.
/// Accuracy: 360 units for |a| < 100 (the six squarings multiply the
/// series' error by 64), 14000 for |a| up to 11000 (the reduction's error
/// grows with n); measured against MPFR.
/// a.hi >= 11000 stops with "*** KXEXP: Argument is too large" and a.hi;
/// a.hi <= -11000 gives exactly 0; a NaN word, or a low word that is not
/// finite, gives NaN.
///   kxexp(kxreal{1}, b);   // b = e
void kxexp(const kxreal& a, kxreal& b);

/// b = log a for a.hi > 0: three Newton steps on kxexp from libquadmath's
/// logq(a.hi). Accuracy: 330 units absolute for a in [1/2, 2] (the last
/// step inherits kxexp's error), 300 units relative beyond (271 measured
/// over 10^5 arguments from 10^-300 to 10^300, the worst just above 2; 88
/// over the integers up to 10^5); exactly 0 at 1. Below e^-11000 (about 10^-4777),
/// where the exponential of the start is 0, a is scaled into [1, 2) by an
/// exact power of two 2^k and k log 2 is added back. Above e^11000 the
/// first step stops with kxexp's message; a.hi <= 0 stops with
/// "*** KXLOG: Argument is less than or equal to zero.".
///   kxlog(kxreal{2}, b);   // b = log 2
void kxlog(const kxreal& a, kxreal& b);

/// c = a^b = e^(b log a) for a.hi > 0. Accuracy: the error of kxexp at
/// b log a plus |b log a| times the error of kxlog: 32000 units measured
/// for a in [0.01, 100] and b in [-100, 100]. Exactly 1 for b = 0. a.hi <= 0 stops with "KXPOWER: A <= 0"
/// (integer powers of negative numbers are kxnpwr's); kxexp's messages pass.
///   kxpower(kxreal{2}, kxreal{0.5Q}, c);   // c = sqrt(2)
void kxpower(const kxreal& a, const kxreal& b, kxreal& c);
