// The special functions by value: each is the routine of the same name with
// its last, output argument returned, so that kxgammar(t) and kxgammar(t, g)
// both work and give the same words. Arguments come in the routine's order;
// the routines ending in "be" take the even-Bernoulli array that kxberner
// fills. Accuracy and messages are the routine's (gamma.h, zeta.h,
// hurwitz.h, bessel.h, error_function.h, exponential_integral.h, struve.h, polylog.h,
// hypergeometric.h).
#pragma once

#include <span>

#include <kx/core/core.h>

/// zeta(s) for s != 1 (kxzetar).
///   kxzetar(kxreal{3});   // 1.2020569031...
kxreal kxzetar(const kxreal& s);

/// zeta(n) for an integer n != 1 (kxzetaintr).
///   kxzetaintr(2);   // pi^2/6
kxreal kxzetaintr(int n);

/// zeta(s) for s != 1 by Euler-Maclaurin with b from kxberner, at least 102
/// entries (kxzetabe).
///   std::vector<kxreal> b(120);  kxberner(b);  kxzetabe(b, kxreal{0.5Q});   // -1.4603545088...
kxreal kxzetabe(std::span<const kxreal> b, const kxreal& s);

/// Gamma(t) (kxgammar).
///   kxgammar(kxreal{0.5Q});   // sqrt(pi)
kxreal kxgammar(const kxreal& t);

/// The upper incomplete gamma function Gamma(s, z) (kxincgammar).
///   kxincgammar(kxreal{0}, kxreal{1});   // E1(1) = 0.2193839343...
kxreal kxincgammar(const kxreal& s, const kxreal& z);

/// digamma(x) for x > 0, b from kxberner with at least 95 entries
/// (kxdigammabe).
///   kxdigammabe(b, kxreal{1});   // -gamma
kxreal kxdigammabe(std::span<const kxreal> b, const kxreal& x);

/// psi^(nn)(x) for nn >= 1, 0 < x < 1 (kxpolygamma).
///   kxpolygamma(1, kxreal{0.5Q});   // pi^2/2
kxreal kxpolygamma(int nn, const kxreal& x);

/// psi^(nn)(x) for nn >= 1, x > 0, b from kxberner with at least 95 entries
/// (kxpolygammabe).
///   kxpolygammabe(b, 1, kxreal{1});   // pi^2/6
kxreal kxpolygammabe(std::span<const kxreal> b, int nn, const kxreal& x);

/// The Hurwitz zeta function zeta(s, a) for s >= 2, 0 < a < 1
/// (kxhurwitzzetan).
///   kxhurwitzzetan(2, kxreal{0.5Q});   // pi^2/2
kxreal kxhurwitzzetan(int s, const kxreal& a);

/// zeta(s, a) for s >= 2, a > 0, b from kxberner with at least 95 entries
/// (kxhurwitzzetanbe).
///   kxhurwitzzetanbe(b, 2, kxreal{1});   // pi^2/6
kxreal kxhurwitzzetanbe(std::span<const kxreal> b, int s, const kxreal& a);

/// erf(x) (kxerfr).
///   kxerfr(kxreal{1});   // 0.8427007929...
kxreal kxerfr(const kxreal& x);

/// erfc(x) = 1 - erf(x) (kxerfcr).
///   kxerfcr(kxreal{10});   // 2.0884875837...e-45
kxreal kxerfcr(const kxreal& x);

/// The exponential integral Ei(x) for x != 0 (kxexpint).
///   kxexpint(kxreal{1});   // 1.8951178163...
kxreal kxexpint(const kxreal& x);

/// The Struve function H_nu(x) of integer order nu >= 0 (kxstruvehn).
///   kxstruvehn(0, kxreal{1});   // 0.5686566270...
kxreal kxstruvehn(int nu, const kxreal& x);

/// Li_n(x) for n >= 0, |x| < 1 (kxpolylogpos).
///   kxpolylogpos(2, kxreal{0.5Q});   // pi^2/12 - (log 2)^2/2
kxreal kxpolylogpos(int n, const kxreal& x);

/// pFq(a; b; x) with np entries of a and nq of b (kxhypergeompfq).
///   kxhypergeompfq(1, 1, a, b, x);   // e^x for a = b = {1}
kxreal kxhypergeompfq(int np, int nq, std::span<const kxreal> a, std::span<const kxreal> b, const kxreal& x);

/// The Bessel functions of integer order n (kxbesseljnr, kxbesselynr,
/// kxbesselinr, kxbesselknr) for x != 0, and J, Y of orders 0 and 1.
///   kxbesseljnr(2, kxreal{1});   // J_2(1) = 0.1149034849...
kxreal kxbesseljnr(int n, const kxreal& x);
kxreal kxbesselynr(int n, const kxreal& x);
kxreal kxbesselinr(int n, const kxreal& x);
kxreal kxbesselknr(int n, const kxreal& x);

/// J_0(x), J_1(x), Y_0(x), Y_1(x): the integer-order routines with n = 0, 1,
/// the same words.
///   kxbesselj0(kxreal{1});   // 0.7651976865...
kxreal kxbesselj0(const kxreal& x);
kxreal kxbesselj1(const kxreal& x);
kxreal kxbessely0(const kxreal& x);
kxreal kxbessely1(const kxreal& x);

/// The Bessel functions of real order nu (kxbesseljr, kxbesselyr,
/// kxbesselir, kxbesselkr); an integral nu gives the integer-order words.
///   kxbesselir(kxreal{0.5Q}, kxreal{1});   // sqrt(2/pi) sinh 1
kxreal kxbesseljr(const kxreal& nu, const kxreal& x);
kxreal kxbesselyr(const kxreal& nu, const kxreal& x);
kxreal kxbesselir(const kxreal& nu, const kxreal& x);
kxreal kxbesselkr(const kxreal& nu, const kxreal& x);

namespace kx {

/// Li_-|n|(x) with the Eulerian table of order |n| that polylog_ini fills
/// (kxpolylogneg).
///   std::vector<kxreal> t(3);  kx::polylog_ini(3, t);  polylog_neg(-3, t, x);   // x(1+4x+x^2)/(1-x)^4
kxreal polylog_neg(int n, std::span<const kxreal> table, const kxreal& x);

/// Fills table(1..|n|) with the Eulerian numbers of order |n| (kxpolylogini).
///   std::vector<kxreal> t(3);  kx::polylog_ini(3, t);   // t = 1, 4, 1
void polylog_ini(int n, std::span<kxreal> table);

}  // namespace kx
