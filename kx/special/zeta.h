// The even Bernoulli numbers and the Riemann zeta function of kxreal and
// integer arguments.
//
// Accuracy is in units of 2^-226, measured against MPFR and exact rationals
// over random arguments (the figures and ranges are in the README's
// accuracy table).
#pragma once

#include <span>

#include <kx/core/core.h>

/// b[k-1] = B_2k for k = 1..b.size() (1/6, -1/30, 1/42, ...): the series of
/// pi t coth(pi t), whose reciprocal part comes from Newton's iteration on
/// truncated power series. Finite up to k = 1156 (B_2314 leaves the range).
/// Accuracy: 46 units against exact rationals up to nb = 120. Message: "*** KXBERNER: Loop end error" (10000
/// Newton passes). Costs about nb^2 products per pass.
///   std::vector<kxreal> b(120);  kxberner(b);   // b[0] = 1/6
void kxberner(std::span<kxreal> b);

/// z = zeta(n) for an integer n != 1: -1/2 at 0, 0 at negative even n,
/// the direct sum above n = 31.2361, Borwein's sum below, the functional
/// equation for negative n (infinite of its sign below n = -2313, where
/// the value leaves the range). Accuracy: 3926 units for -300 <= n <= 100 (at n = 2).
/// Messages: "*** KXZETAINTR: argument is 1", "*** KXZETAINTR: iteration
/// limit exceeded" with 1 and 1000000.
///   kxzetaintr(2, z);   // z = pi^2/6
void kxzetaintr(int n, kxreal& z);

/// z = zeta(s) for s != 1: integers through kxzetaintr (exactly 1 above
/// s = 16495), the direct sum of i^-s above 31.2361, Borwein's sum below,
/// the functional equation for s < 0. Accuracy: 6600 units on (0, 31.2361], 5 above, 5400 on (-60, 0).
/// Messages: "*** KXZETAR: argument is 1", "*** KXZETAR: iteration limit
/// exceeded" with 1 and 1000000; kxgammar's for s < -10^8; kxinfr's
/// "*** KXINFR: Argument is too large." for s <= -2^225.
///   kxzetar(kxreal{3}, z);   // z = 1.2020569031595942853997...
void kxzetar(const kxreal& s, kxreal& z);

/// z = zeta(s) for s != 1 by Euler-Maclaurin at N = 40 with b the
/// even-Bernoulli array (at least 102 entries); the direct sum above
/// 37.333; the functional equation for s < 0 (0 at negative even s).
/// Accuracy: 2800 units on (0, 37.333], 4 above, 7300 on (-60, 0).
/// Where the divergent tail's terms grow again before they settle against
/// the correction sum (about 30 < s <= 37.333), it ends at its smallest
/// term once that term is below 2^-226 of the whole sum.
/// Messages: the two-line array message with 102 ("*** KXZETABE: Array of
/// even Bernoulli coefficients must be initialized with at least 102
/// entries."), "*** KXZETABE: argument is 1", "*** KXZETABE: iteration
/// limit exceeded" with 1 and 1000000 (direct sum) or 2 and b.size() (the
/// tail reached no term below 2^-226 of the sum).
///   kxzetabe(b, kxreal{0.5Q}, z);   // z = -1.4603545088095868128...
void kxzetabe(std::span<const kxreal> b, const kxreal& s, kxreal& z);
