// The Bessel functions J and Y and the modified Bessel functions I and K of
// kxreal arguments, of integer order n (the routines ending in nr) and of
// real order nu (ending in r).
//
// Accuracy is in units of 2^-226, measured against MPFR and Arb over random
// arguments (the figures and ranges are in the README's accuracy table);
// near the zeros of J and Y it is absolute. In the routines of real order
// a NaN order or argument gives NaN. From |x| = 5 to 102.049, where
// the power series of J and Y would cancel, J comes from Miller's backward
// recurrence and Y from Neumann's series in those J. Below 102.049, orders
// above 1754, whose factorial leaves the range, and those below it whose
// series' k! (n+k)! leaves it before the series settles (within some
// dozens of 1754), come from orders 0 and 1 (mu and mu + 1 for a real
// order) by the recurrences: Miller's for J and I, the upward one for Y and
// K, with the errors of those two values. Orders past 100000 in magnitude
// (largest_bessel_order), whose recurrences would hold that many values, are
// refused with the routine's "Order ... is too large in magnitude" message.
#pragma once

#include <kx/core/core.h>

/// j = J_n(x) for x != 0: Hankel's expansion where 4 n^2 <= 32 |x| and it
/// settles, which it does from |x| = 80 on (tried there, where it already
/// reaches 2^-226, rather than from 102.049); else below |x| = 5, and below
/// 102.049 for orders above x^2/6, the power series sum (-x^2/4)^k / (k!
/// (|n|+k)!) times (|x|/2)^|n|; between 5 and 102.049, where that series
/// would cancel more than e^3 away, Miller's backward recurrence normalised
/// by J_0 + 2 (J_2 + J_4 + ...) = 1; above 102.049, for orders large against
/// x, Miller's recurrence scaled to J_0 or J_1 from Hankel's expansion (the
/// expansion alone would diverge there).
/// J_-n = (-1)^n J_n, J_n(-x) = (-1)^n J_n(x).
/// Accuracy: 8 units absolute for |x| < 5 (22 relative for orders above
/// |x|), 6 absolute on [5, 80) and for 4 n^2 > 32 |x| up to 102.049, 1100
/// relative for orders 105..1500 there; 850 absolute on [80, 102.049) by
/// Hankel's expansion, 40 above, 700 relative for orders above x there.
/// Messages: "*** KXBESSELJNR: Second argument is zero", "... Loop end
/// error 1" (series) and "... Loop end error 2" (expansion) after 10^6 terms.
/// Orders past 100000 in magnitude: "*** KXBESSELJNR: Order N is too large in
/// magnitude" (N in 12 places).
///   kxbesseljnr(1, kxreal{2}, j);   // j = J_1(2) = 0.5767248077...
void kxbesseljnr(int n, const kxreal& x, kxreal& j);

/// y = Y_n(x) for x != 0 (Y_n(-x) taken as (-1)^n Y_n(|x|), Y_-n =
/// (-1)^n Y_n): below |x| = 5, and below 102.049 for orders from 1.5 |x|,
/// the finite sum, 2 log(x/2) J_n and the digamma-weighted series; Hankel's
/// expansion where it settles while 4 n^2 <= 32 |x| from |x| = 80 (as
/// kxbesseljnr); elsewhere Y_0 and Y_1 and the upward recurrence: below
/// 102.049 from Neumann's series (pi/2) Y_0 = (log(x/2) + gamma) J_0 - 2 sum
/// (-1)^k J_2k / k (and its derivative for Y_1) in Miller's J, above it
/// from Hankel's expansion.
/// Accuracy: 250 units absolute for 3 < x < 5, 105 relative below 0.85 and
/// for orders above x; 40 absolute on [5, 80), 15 for 4 n^2 > 32 x up to
/// 102.049, 100 relative for orders near 1.5 x, 2000 for orders 105..1400
/// there; 150 absolute from 80 on (350 near 4 n^2 = 32 x, 490 relative for
/// orders above x beyond 102.049).
/// Messages: "*** KXBESSELYNR: argument is negative or too large" (x = 0),
/// "... Loop end error 1", "... Loop end error 2".
/// Orders past 100000 in magnitude: "*** KXBESSELYNR: Order N is too large in
/// magnitude" (N in 12 places).
///   kxbesselynr(0, kxreal{1}, y);   // y = Y_0(1) = 0.0882569642...
void kxbesselynr(int n, const kxreal& x, kxreal& y);

/// i = I_n(x) for x != 0: below |x| = 102.049 the power series (no
/// cancellation); above it the asymptotic expansion while 4 n^2 <= 32 |x|,
/// and for larger orders Miller's backward recurrence scaled to I_0 or I_1.
/// I_-n = I_n, I_n(-x) = (-1)^n I_n(x). Accuracy: 70 units below 102.049,
/// 2200 above (kxexp's error at large x), 1900 for orders up to 3000.
/// Messages: "*** KXBESSELINR: Second argument is zero", "... Loop end
/// error 1", "... Loop end error 2"; kxexp's beyond |x| = 11000.
/// Orders past 100000 in magnitude: "*** KXBESSELINR: Order N is too large in
/// magnitude" (N in 12 places).
///   kxbesselinr(0, kxreal{1}, i);   // i = I_0(1) = 1.2660658777...
void kxbesselinr(int n, const kxreal& x, kxreal& i);

/// k = K_n(x) for x != 0 (K_n(-x) taken as (-1)^n K_n(|x|)): for |x| <= 2
/// the logarithmic series with I_n; for 2 < |x| < 78.5, where that series
/// would cancel e^2|x| away, K_0 and K_1 by Steed's method and the upward
/// recurrence; from 78.5, where it reaches 2^-226 for every order, the
/// asymptotic expansion at the order itself while 4 n^2 <= 32 |x|, for
/// larger orders the upward recurrence from K_0 and K_1 of the expansion.
/// Accuracy: for |x| <= 2, 8000 units at order 0, 4000 at order 1, 1000 at
/// order 2 (kxlog's absolute error at |x|/2 near 1, up to 330 units, times
/// I_n/K_n, 20 for order 0 at |x| = 2; measured 3140, 1710, 390 next to
/// |x| = 2), 600 for |x| <= 1 or |n| >= 3 (320 measured); 250 on (2, 78.5),
/// 320 on [78.5, 102),
/// 2300 above (kxexp's error at large x), 420 for orders up to 1000.
/// Messages: "*** KXBESSELKNR: Second argument is zero", "... Loop end
/// error 1" (series or Steed's fraction), "... Loop end error 2";
/// kxexp's beyond |x| = 11000.
/// Orders past 100000 in magnitude: "*** KXBESSELKNR: Order N is too large in
/// magnitude" (N in 12 places).
///   kxbesselknr(0, kxreal{1}, k);   // k = K_0(1) = 0.4210244382...
void kxbesselknr(int n, const kxreal& x, kxreal& k);

/// j = J_nu(x). An integer nu goes to kxbesseljnr (with its x); otherwise
/// x > 0: Hankel's expansion where 4 nu^2 <= 32 x and it settles (from x =
/// 80, as kxbesseljnr); else below x = 5, and below 102.049 for |nu| above
/// x^2/6, the power series with Gamma(nu + 1) from kxgammar and (x/2)^nu
/// from kxpower; between 5 and 102.049 otherwise Miller's recurrence at
/// mu = nu - nint(nu) normalised by Neumann's sum sum_k (mu + 2k) Gamma(mu +
/// k) / (Gamma(mu + 1) k!) J_mu+2k = (x/2)^mu / Gamma(mu + 1), run down to nu
/// from J_mu and J_mu+1 for nu < -1/2; above 102.049, for larger orders, the
/// recurrence from Hankel's J_mu and J_mu+1: Miller's backward one for
/// nu > 0, the downward one for nu < 0. Accuracy: 900 units absolute for
/// 0.5 < x < 10 (5300 relative for |nu| > x there, kxpower's and kxgammar's
/// errors); 350 absolute on [5, 80), 2400 relative for x < nu < x^2/6, 8300
/// for x < -nu < x^2/6 (within d of an integer J_nu shrinks by d, not its
/// error); 150 absolute above 102.049, 670 relative for nu > x, 4e4 for
/// nu < -x.
/// Messages: "*** KXBESSELJR: Second argument <= 0", "... Loop end error
/// 1", "... Loop end error 2"; kxgammar's for |nu| > 10^8.
/// |nu| > 100000: "*** KXBESSELJR: Order is too large in magnitude" with nu
/// (1p,d15.6).
///   kxbesseljr(kxreal{0.5Q}, kxreal{1}, j);   // j = sqrt(2/pi) sin 1
void kxbesseljr(const kxreal& nu, const kxreal& x, kxreal& j);

/// y = Y_nu(x). An integer nu goes to kxbesselynr; otherwise
/// (J_nu cos(nu pi) - J_-nu) / sin(nu pi) with both J from kxbesseljr (so
/// x <= 0 stops with kxbesseljr's message when nu > 0). Within d of an
/// integer order it loses a further 1/d. Accuracy: 1800 units absolute for
/// x < 10, 590 on [5, 80), 1.8e4 above 102.049, with nu at least 0.05 from
/// an integer.
/// Message: "*** KXBESSELYR: First argument < 0 and second argument <= 0".
/// |nu| > 100000: "*** KXBESSELYR: Order is too large in magnitude" with nu
/// (1p,d15.6).
///   kxbesselyr(kxreal{0.5Q}, kxreal{1}, y);   // y = -sqrt(2/pi) cos 1
void kxbesselyr(const kxreal& nu, const kxreal& x, kxreal& y);

/// i = I_nu(x) of |x| (x < 0 allowed for nu > 0). An integer nu goes to
/// kxbesselinr; otherwise below |x| = 102.049 the power series; above it
/// the expansion while 4 nu^2 <= 32 |x|, else Miller's recurrence scaled to
/// I_mu, I_mu+1 (nu > 0) or, for nu = -a < 0, I_a + (2/pi) sin(a pi) K_a
/// (the series' numerator would leave the range). x = 0 stops with
/// kxpower's message. Accuracy: 3400 units below 102.049 (kxpower's and
/// kxgammar's errors), 480 above, 3300 for orders down to -1000 there.
/// Messages: "*** KXBESSELIR: First argument < 0 and second argument <= 0",
/// "... Loop end error 1", "... Loop end error 2".
/// |nu| > 100000: "*** KXBESSELIR: Order is too large in magnitude" with nu
/// (1p,d15.6).
///   kxbesselir(kxreal{0.5Q}, kxreal{1}, i);   // i = sqrt(2/pi) sinh 1
void kxbesselir(const kxreal& nu, const kxreal& x, kxreal& i);

/// k = K_nu(x). An integer nu goes to kxbesselknr; otherwise for 0 < x <= 2
/// pi (I_-nu - I_nu) / (2 sin(nu pi)) (within d of an integer order it
/// loses 1/d); for 2 < x < 78.5, where that difference would cancel
/// e^2x away, Steed's method at |nu| - nint(|nu|) and the upward recurrence;
/// from 78.5 the asymptotic expansion. x <= 0 stops with kxbesselir's
/// message when nu > 0. Accuracy: 2.5e5 units for x <= 2 with nu at least
/// 0.05 from an integer; 320 on (2, 78.5); 1300 above, 850 for orders up
/// to 1000.
/// Messages: "*** KXBESSELKR: First argument < 0 and second argument <=
/// 0", "... Loop end error 1" (Steed's fraction), "... Loop end error 2"
/// (expansion), each after 10^6 steps.
/// |nu| > 100000: "*** KXBESSELKR: Order is too large in magnitude" with nu
/// (1p,d15.6).
///   kxbesselkr(kxreal{0.5Q}, kxreal{1}, k);   // k = sqrt(pi/2) / e
void kxbesselkr(const kxreal& nu, const kxreal& x, kxreal& k);
