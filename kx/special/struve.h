// The Struve function of integer order and kxreal argument.
//
// Accuracy is in units of 2^-226, measured against Arb over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <kx/core/core.h>

/// h = H_nu(x) for nu >= 0 and |x| <= 12, by its power series
/// (x/2)^(nu+1) sum_k (-x^2/4)^k / (Gamma(k+3/2) Gamma(k+nu+3/2)).
/// The series alternates and loses about 0.43 |x| decimal digits: at 12 it
/// keeps 63.5 (measured), and beyond it keeps fewer, so larger arguments are
/// refused (H = Y + its asymptotic series would serve there).
/// Accuracy: 22000 units (absolute for nu = 0, whose zeros lie in range;
/// relative for nu >= 1, 290 from nu = 4 on) over |x| <= 12, 26 below 2,
/// 1500 for nu = 1600..1900, where Gamma(nu + 3/2) nears the top of the
/// range and is scaled by the power.
/// Messages: "*** KXSTRUVEHN: NU < 0", "*** KXSTRUVEHN: ABS(SS) >   12.00",
/// "*** KXSTRUVEHN: Loop end error" (10^6 terms).
///   kxstruvehn(0, kxreal{1}, h);   // h = 0.5686566270...
void kxstruvehn(int nu, const kxreal& x, kxreal& h);
