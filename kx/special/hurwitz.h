// The Hurwitz zeta function zeta(s, a) = sum_{k>=0} (k + a)^-s of an integer
// order s >= 2 and the polygamma functions psi^(n)(x) = (-1)^(n+1) n!
// zeta(n + 1, x) built on it.
//
// Accuracy is in units of 2^-226, measured against Arb over random
// arguments in the tests of the special functions.
#pragma once

#include <span>

#include <kx/core/core.h>

/// z = zeta(s, a) for s >= 2, 0 < a < 1, by the rapidly convergent sum of
/// regularised upper incomplete gamma functions at pi (k + a)^2, pi (a - k)^2
/// and pi k^2 (a handful of terms, six kxincgammar calls each).
/// Accuracy: 370 units for 2 <= s <= 60;
/// below s/2 the difference Q(s/2, z) - Q((s+1)/2, z) is taken as one of
/// lower series, which 1 - P would cancel, with z^p/|a - 1|^s taken whole
/// where |a - 1|^s underflows; where Gamma(s/2) overflows (s above about
/// 3510) the direct sum, which settles within three terms there.
/// Messages: "*** KXHURWITZZETAN: IS less than or equal to 0:", "***
/// KXHURWITZZETAN: S = 1 is the pole.", "*** KXHURWITZZETAN: AA must be in
/// the range (0, 1)", "*** KXHURWITZZETAN: Loop end error" (10^6 terms).
///   kxhurwitzzetan(2, kxreal{0.5Q}, z);   // z = pi^2/2
void kxhurwitzzetan(int s, const kxreal& a, kxreal& z);

/// z = zeta(s, a) for s >= 2, a > 0, with b the even-Bernoulli array of
/// kxberner (at least 95 entries): for s above 30.457 the direct sum of
/// (a + k)^-s while it settles within 10^6 terms; otherwise (and for larger
/// a) Euler-Maclaurin after max(0, 40.8197 - a) leading terms.
/// Where the Bernoulli tail grows again before it settles (s of 29 or 30
/// with A near 40) the direct sum; where A^(s+1) nears the end of the range,
/// the reciprocal powers of A. Accuracy: 140 units for s <= 30, 230 above,
/// 82 for a in [2^22, 2^60].
/// Messages: the two-line array message with 95 ("*** KXHURWITZZETANBE:
/// Array of even Bernoulli coefficients must be initialized with at least 95
/// entries by calling KXBERNE or KXBERNER."), "*** KXHURWITZZETANBE: ISS <=
/// 0", "... AA < 0", "... S = 1 is the pole.", "... AA = 0 is a pole.",
/// "... Loop end error 1" (direct sum), "... End loop error 2; call KXBERNE
/// with larger NB." (the Bernoulli tail).
///   kxhurwitzzetanbe(b, 2, kxreal{1}, z);   // z = pi^2/6
void kxhurwitzzetanbe(std::span<const kxreal> b, int s, const kxreal& a, kxreal& z);

/// psi = psi^(nn)(x) = (-1)^(nn+1) nn! zeta(nn + 1, x) for nn >= 1,
/// 0 < x < 1, with zeta from kxhurwitzzetan. Accuracy: that of
/// kxhurwitzzetan (520 units measured for nn <= 40). Messages: "*** KXPOLYGAMMA: NN <= 0", "*** KXPOLYGAMMA:
/// X must be in the range (0, 1)".
///   kxpolygamma(1, kxreal{0.5Q}, psi);   // psi = pi^2/2
void kxpolygamma(int nn, const kxreal& x, kxreal& psi);

/// psi = psi^(nn)(x) for nn >= 1, x > 0, with zeta from kxhurwitzzetanbe
/// and b as there. Where nn! or zeta(nn + 1, x) leaves the range (nn >= 1755,
/// or zeta below 2^-16269) the direct sum, or beyond its reach the
/// Euler-Maclaurin closing terms, is carried scaled by the running product
/// nn!/x^nn, so psi^(2000)(10) = -3.3e3734 is finite. Accuracy: 210
/// units, 2100 on the scaled path (nn in [1755, 2500]). Messages: the array message with 95
/// ("... by calling KXBERNE or KXBERER."), "*** KXPOLYGAMMABE: NN <= 0",
/// "... X < 0", "... X = 0 is a pole.", "... Loop end error 1" (scaled sum).
///   kxpolygammabe(b, 1, kxreal{1}, psi);   // psi = pi^2/6
void kxpolygammabe(std::span<const kxreal> b, int nn, const kxreal& x, kxreal& psi);
