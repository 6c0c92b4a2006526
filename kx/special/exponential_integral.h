// The exponential integral of a kxreal argument.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// e = Ei(x), the principal value of the integral of e^t/t over t < x, for
/// x != 0, as -Gamma(0, -x) by kxincgammar.
/// Accuracy: 760 units for 0.5 < x < 188.258 (450 absolute on (0.01, 1),
/// around the zero at 0.3725), 18000 for 188.258 <= |x| < 10000 (the
/// asymptotic expansion), 2500 for -188.258 < x <= -1 (the continued
/// fraction; 430 below -100) and 980 on (-1, -0.01) (the series of E1).
/// Messages: "*** KXEXPINT: argument is zero"; kxincgammar's and kxexp's
/// pass through (|x| >= 11000 stops in kxexp).
///   kxexpint(kxreal{1}, e);   // e = 1.8951178163...
void kxexpint(const kxreal& x, kxreal& e);
