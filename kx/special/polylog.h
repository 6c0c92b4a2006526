// The polylogarithm Li_n(x) = sum_{k>=1} x^k / k^n of integer order: by its
// series for n >= 0 and |x| < 1, and for negative orders as the rational
// function x A_m(x) / (1 - x)^(m+1) whose numerator coefficients, the
// Eulerian numbers A(m, i), a caller-owned table holds.
//
// Accuracy is in units of 2^-226, measured against MPFR and Arb over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <span>

#include <kx/core/core.h>

/// li = Li_n(x) for n >= 0 and |x| < 1: x/(1 - x) at n = 0, else the series
/// x + x^2/2^n + x^3/3^n + ... (k^n by kxnpwr) until a term falls below
/// 2^-226 of the sum. It needs about 156/(-log |x|) terms, so |x| within
/// 1.6e-4 of 1 passes the 10^6-term budget.
/// Accuracy: 25 units for n = 2, 20 for n <= 200 (|x| <= 0.9); 170 for
/// n <= 4 and x in [0.95, 0.995], the rounding of some 10^4 terms.
/// Messages: "*** KXPOLYLOGPOS: N is less than zero." with a second line
/// "For negative n, call kxpolylogneg or polylog_neg. See documentation.",
/// "*** KXPOLYLOGPOS: |X| must be less than one.", "*** KXPOLYLOGPOS: Loop
/// end error" (10^6 terms).
///   kxpolylogpos(2, kxreal{0.5Q}, li);   // li = pi^2/12 - (log 2)^2/2
void kxpolylogpos(int n, const kxreal& x, kxreal& li);

/// table[i-1] = A(m, i), i = 1..m, the Eulerian numbers of order m = |n|
/// (the permutations of m elements with i - 1 descents: 1; 1, 1; 1, 4, 1;
/// 1, 11, 11, 1; ...), by the recurrence A(k, i) = (k + 1 - i) A(k - 1, i - 1)
/// + i A(k - 1, i) in two alternating columns (2m values, m^2/2 steps).
/// Exact up to m = 53 (the numbers fit 226 bits); 5 units measured up to
/// m = 80; from m near 1750 the middle entries pass the range.
/// n = 0 writes nothing. Entries past m are left untouched.
/// Message: "*** KXPOLYLOGINI: Array must have at least" m "entries for
/// order N." when the table is shorter than m.
///   std::vector<kxreal> t(3);  kxpolylogini(3, t);   // t = (1, 4, 1)
void kxpolylogini(int n, std::span<kxreal> table);

/// li = Li_-m(x) for m = |n| >= 1 (the sign of n is ignored) and x != 1,
/// with the table that kxpolylogini filled for order m: x (1 + A(m, 2) x +
/// ... + A(m, m) x^(m-1)) / (1 - x)^(m+1), the power by kxnpwr. Valid for
/// every x != 1 (the analytic continuation beyond |x| < 1); where x^m or
/// (1 - x)^(m+1) passes the range, by Li_-m(x) = (-1)^(m+1) Li_-m(1/x).
/// Accuracy: 29 units for x in (0, 0.99), 26 in (1.01, 10), m <= 40. For
/// x < 0 the terms alternate: 7.5 units of their size sum_i A(m, i) |x|^i /
/// |1 - x|^(m+1) (m <= 30), 36 units absolute for m <= 8 on (-3, 0).
/// Messages: "*** KXPOLYLOGNEG: N = 0 is not a negative order; call
/// kxpolylogpos." (no table entry to read), the two-line table message
/// "*** KXPOLYLOGNEG: Uninitialized or inadequately sized arrays" / "Call
/// kxpolylogini or polylog_ini to initialize array. See documentation."
/// (table shorter than m, or entry 1 or m not 1 in its high word), "***
/// KXPOLYLOGNEG: X = 1 is a pole." (1 - x exactly zero).
///   kxpolylogini(1, t);  kxpolylogneg(-1, t, kxreal{0.5Q}, li);   // li = 2
void kxpolylogneg(int n, std::span<const kxreal> table, const kxreal& x, kxreal& li);
