// The error function and the complementary error function of kxreal
// arguments.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// y = erf(x): 0 at 0, the power series below 10 (down to -13), 1 - erfc
/// from 10 to 13, exactly 1 above 13 and -1 below -13 (within 2^-226).
/// Accuracy: 440 units measured over (-13, 10) and on both sides of 10, 13
/// and -13.
/// Message: "*** KXERFR: iteration limit exceeded" with 1 (series) or 2
/// (continued fraction) and 100000.
/// A NaN argument gives NaN.
///   kxerfr(kxreal{1}, y);   // y = 0.8427007929...
void kxerfr(const kxreal& x, kxreal& y);

/// y = erfc(x): 1 at 0, 1 - erf up to x = 1 (2 below -13), and above 1
/// e^(-x^2)/sqrt(pi) times Laplace's continued fraction (3200 terms at
/// x = 1, under 100 from 10 up), to full relative accuracy until x^2
/// reaches 11000 (erfc below 10^-4778), then 0.
/// Accuracy: 1700 units on (-13, 1] (1 - erf loses under 3 bits there),
/// 330 on (1, 10), 540 on [10, 13], 20000 up to x = 104.8 (about x^2 units
/// from e^(-x^2)).
/// Message: "*** KXERFCR: iteration limit exceeded" with 1 (series) or 2
/// (continued fraction) and 100000.
/// A NaN argument gives NaN.
///   kxerfcr(kxreal{14}, y);   // y = 3.0372298477...e-87
void kxerfcr(const kxreal& x, kxreal& y);
