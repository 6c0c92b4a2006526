// The gamma function, the upper incomplete gamma function and the digamma
// function of kxreal arguments.
//
// Accuracy is in units of 2^-226, measured against MPFR and Arb over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <span>

#include <kx/core/core.h>

/// z = Gamma(t) for t != 0, not a negative integer, |t| <= 10^8: t reduced
/// to y in (0, 1) by the product (t-1)...(t-n) or the quotient
/// 1/(t(t+1)...(t+n-1)), Gamma(y) from two Bessel-type series at 118 and
/// the reflection formula, with sin(pi y) taken from the exact offset of y
/// from the nearer integer on the negative side. Positive integers give
/// (t-1)! exactly while it fits 226 bits; |t| < 10^-36 gives 1/t - gamma.
/// Accuracy: 4000 units measured over (0, 60) and
/// (-60, 0), 500 over (600, 1700), 130 near 0, 1.5 below 10^-36.
/// Messages: "*** KXGAMMAR: input argument must have absolute value <=
/// 100000000., must not be zero, and if negative must not be an integer."
/// (two lines; also for a NaN); "*** KXGAMMAR: iteration limit exceeded" with 1 or 2 and
/// 100000 (a series did not settle).
///   kxgammar(kxreal{0.5Q}, z);   // z = sqrt(pi)
void kxgammar(const kxreal& t, kxreal& z);

/// g = Gamma(s, z), the integral of u^(s-1) e^-u over u > z, for z != 0
/// (z < 0 only when s = 0, giving E1(z) with log|z|). For |z| >= 188.258
/// the asymptotic expansion; for 1 <= z < 188.258 with z > s Legendre's
/// continued fraction (at most some 1500 terms, at z = 1); otherwise e^-z
/// at s = 1, the lower series Gamma(s)(1 - z^s e^-z sum) for other s, and
/// the series of E1 with the finite sum for Gamma(-m, z) at integers
/// s = -m <= 0. For s below about -3 near 188.258 the asymptotic
/// expansion's terms grow again before they settle: there the continued
/// fraction takes over.
/// Accuracy: for 1 <= z < 100 above s, 2100 units measured for |s| < 5,
/// 7000 at integers s = -30..0, 16500 for s in (20, 90) (z^s from kxpower,
/// about |s log z| units); 3300 for 100 <= z < 188.258 (8000 at integers
/// s <= 0), 2700 above. Below z = 1 (and for z <= s) the series: 480 units
/// at integers s <= 0; for other s the lower series loses log2(Gamma(s) /
/// Gamma(s, z)) bits, 5 at s = 0.1, z = 1 (15500 units), more as s nears a
/// pole of Gamma(s) (56000 measured over |s| < 5, z in (0.01, 1)).
/// Messages: "*** KXINCGAMMAR: The second argument must not be zero, and
/// must not be negative unless the first is zero." (two lines), "***
/// KXINCGAMMAR: Loop end error 1" (lower or E1 series), "... 2" (continued
/// fraction), "... 3" (asymptotic series), each after 10^6 terms (at once
/// when a term is NaN); kxexp's message passes through (|z| >= 11000). A
/// NaN s or z gives NaN. For z <= -188.258 the power
/// z^-1 is kxnpwr's, so E1 of large negative arguments is finite.
///   kxincgammar(kxreal{0}, kxreal{1}, g);   // g = E1(1) = 0.2193839343...
void kxincgammar(const kxreal& s, const kxreal& z, kxreal& g);

/// psi = digamma(x) for x > 0, with b the even-Bernoulli array of kxberner
/// (at least 95 entries): x shifted by 27 and the asymptotic series of
/// psi(x + 27). Accuracy: 1100 units for x in
/// [2^-20, 2^20].
/// Messages: "*** KXDIGAMMABE: Argument is less than or equal to 0", the
/// two-line array message with 95 ("Array of even Bernoulli coefficients
/// must be initialized with at least 95 entries using KXBERNE or
/// KXBERNER."), "*** KXDIGAMMABE: Loop end error: Increase NB2".
///   kxdigammabe(b, kxreal{1}, psi);   // psi = -gamma
void kxdigammabe(std::span<const kxreal> b, const kxreal& x, kxreal& psi);
