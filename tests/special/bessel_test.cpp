// The Bessel functions against MPFR (J_n, Y_n at 600 bits) and Arb (real
// order, I and K; balls below 2^-240), row by row on both sides of 102.049,
// 80 and 5 (series, expansions, Miller's recurrence), of 2 and 78.5 (K's
// series, Steed's method, its expansion) and of 4 order^2 = 32 x (expansion
// and recurrences); identities with exact right-hand sides; every message.
#include <arb_hypgeom.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>

#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/special/bessel.h>
#include <kx/special/bessel_expansions.h>

#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"
#include "test_support.h"

namespace {

using oracle::absolute;
using oracle::big;
using oracle::either_sign;
using oracle::uniform;

kxreal q(__float128 x) { return kxreal{x, 0}; }

oracle::sampler integers(int lo, int hi) {
  return [lo, hi](oracle::operands& gen) { return kxreal{gen.uniform(lo, hi)}; };
}

// The integer order travels as the first kxreal argument.
template <void (*F)(int, const kxreal&, kxreal&)>
void integer_order(const kxreal& n, const kxreal& x, kxreal& r) {
  F(static_cast<int>(n.hi), x, r);
}

using mpfr_integer_order = int (*)(mpfr_ptr, long, mpfr_srcptr, mpfr_rnd_t);
template <mpfr_integer_order F>
void mpfr_of(mpfr_ptr r, mpfr_srcptr n, mpfr_srcptr x) {
  F(r, mpfr_get_si(n, MPFR_RNDN), x, MPFR_RNDN);
}

using arb_function = void (*)(arb_t, const arb_t, const arb_t, slong);
// K_n(x) and I_n(x) of negative x as the routines define them: (-1)^n f(|x|).
template <arb_function F>
const auto arb_of = oracle::arb_reference(
    std::function<void(arb_t, const arb_t, const arb_t, slong)>([](arb_t r, const arb_t nu, const arb_t x, slong p) {
      arb_t a;
      arb_init(a);
      arb_abs(a, x);
      F(r, nu, a, p);
      if (arb_is_negative(x) && arf_is_int(arb_midref(nu)) && !arf_is_int_2exp_si(arb_midref(nu), 1)) arb_neg(r, r);
      arb_clear(a);
    }));

TEST(Bessel, Accuracy) {
  constexpr auto j = integer_order<kxbesseljnr>;
  constexpr auto y = integer_order<kxbesselynr>;
  constexpr auto i = integer_order<kxbesselinr>;
  constexpr auto k = integer_order<kxbesselknr>;
  const auto mj = mpfr_of<mpfr_jn>;
  const auto my = mpfr_of<mpfr_yn>;
  const auto ai = arb_of<arb_hypgeom_bessel_i>;
  const auto ak = arb_of<arb_hypgeom_bessel_k>;
  const auto aj = arb_of<arb_hypgeom_bessel_j>;
  const auto ay = arb_of<arb_hypgeom_bessel_y>;
  // Relative where the order lies above x (no zeros there), absolute where
  // the functions oscillate. J_-nu for nu > x is about sin(nu pi) Y_nu: within
  // d of an integer it shrinks by d, its error does not.
  const oracle::sampler below = either_sign(uniform(q(5), q(79.99Q)));
  const oracle::sampler recurrences = uniform(q(5), q(102.04Q));
  const oracle::sampler hankel_below = either_sign(uniform(q(80), q(102.04Q)));
  const oracle::sampler above = either_sign(uniform(q(102.05Q), q(400)));
  const oracle::sampler near_switch = uniform(q(102.05Q), q(200));
  const oracle::sampler large = uniform(q(102.05Q), q(400));
  const oracle::row rows[] = {
      {"jnr |x|<10", j, mj, integers(-8, 8), either_sign(uniform(q(0.01Q), q(10))), 40, absolute},
      {"jnr order>|x|", j, mj, integers(10, 40), either_sign(uniform(q(0.01Q), q(10))), 100},
      {"jnr 5<|x|<80", j, mj, integers(-8, 8), below, 40, absolute},
      {"jnr order>x, 5<x<102.049", j, mj, integers(105, 1500), recurrences, 3000},
      {"jnr 4n^2>32x, 80<x<102.049", j, mj, integers(30, 100), uniform(q(80), q(102.04Q)), 40, absolute},
      {"jnr 80<|x|<102.049", j, mj, integers(-12, 12), hankel_below, 3000, absolute},
      {"jnr |x|>102.049", j, mj, integers(-12, 12), above, 150, absolute},
      {"jnr 4n^2 near 32x", j, mj, integers(20, 100), near_switch, 150, absolute},
      {"jnr order>x>102.049", j, mj, integers(410, 700), large, 2000},
      {"ynr x<0.85", y, my, integers(-30, 30), uniform(q(0.01Q), q(0.85Q)), 400},
      {"ynr order>x, x<10", y, my, integers(10, 30), uniform(q(0.01Q), q(10)), 150},
      {"ynr 3<x<10", y, my, integers(-8, 8), uniform(q(3), q(10)), 800, absolute},
      {"ynr 5<x<80", y, my, integers(-8, 8), uniform(q(5), q(79.99Q)), 200, absolute},
      {"ynr order>x, 5<x<102.049", y, my, integers(105, 1400), recurrences, 4000},
      {"ynr order near 1.5x", y, my, integers(100, 150), uniform(q(60), q(102.04Q)), 400},
      {"ynr 4n^2>32x, 80<x<102.049", y, my, integers(30, 75), uniform(q(80), q(102.04Q)), 1500, absolute},
      {"ynr 80<x<102.049", y, my, integers(-12, 12), uniform(q(80), q(102.04Q)), 600, absolute},
      {"ynr x>102.049", y, my, integers(-12, 12), large, 300, absolute},
      {"ynr 4n^2 near 32x", y, my, integers(20, 100), near_switch, 1000, absolute},
      {"ynr order>x>102.049", y, my, integers(410, 700), large, 1500},
      {"inr |x|<102.049", i, ai, integers(-40, 40), either_sign(uniform(q(0.01Q), q(102.04Q))), 200},
      {"inr |x|>102.049", i, ai, integers(-12, 12), either_sign(uniform(q(102.05Q), q(2000))), 5000},
      {"inr large order", i, ai, integers(20, 3000), large, 5000},
      {"knr |x|<=1", k, ak, integers(-40, 40), either_sign(uniform(q(0.01Q), q(1))), 600},
      {"knr |n|>=3, |x|<=2", k, ak, integers(3, 40), either_sign(uniform(q(0.01Q), q(2))), 600},
      // Next to |x| = 2 kxlog's absolute error at |x|/2 comes times I_n/K_n.
      {"knr n=0, 1.5<|x|<=2", k, ak, integers(0, 0), either_sign(uniform(q(1.5Q), q(2))), 8000},
      {"knr n=1, 1.5<|x|<=2", k, ak, integers(1, 1), either_sign(uniform(q(1.5Q), q(2))), 4000},
      {"knr n=2, 1.5<|x|<=2", k, ak, integers(2, 2), either_sign(uniform(q(1.5Q), q(2))), 1000},
      {"knr 2<x<78.5", k, ak, integers(-40, 40), uniform(q(2.01Q), q(78.49Q)), 800},
      {"knr 78.5<x<102.049", k, ak, integers(0, 40), uniform(q(78.51Q), q(102.04Q)), 1000},
      {"knr x>102.049", k, ak, integers(0, 300), uniform(q(102.05Q), q(2000)), 5000},
      {"knr large order", k, ak, integers(100, 1000), uniform(q(20), q(400)), 1500},
      {"jr 0.5<x<10", kxbesseljr, aj, uniform(q(-1), q(8)), uniform(q(0.5Q), q(10)), 5000, absolute},
      {"jr |order|>x, x<10", kxbesseljr, aj, either_sign(uniform(q(10), q(30))), uniform(q(0.01Q), q(10)), 15000},
      {"jr 5<x<80", kxbesseljr, aj, uniform(q(-8), q(8)), uniform(q(5), q(79.99Q)), 1200, absolute},
      {"jr x<order<x^2/6", kxbesseljr, aj, uniform(q(105), q(250)), uniform(q(40), q(102.04Q)), 6000},
      {"jr x<-order<x^2/6", kxbesseljr, aj, uniform(q(-250), q(-105)), uniform(q(40), q(102.04Q)), 2e4},
      {"jr order>x, 5<x<102.049", kxbesseljr, aj, uniform(q(105), q(1500)), recurrences, 5e5},
      {"jr 80<x<102.049", kxbesseljr, aj, uniform(q(-12), q(12)), uniform(q(80), q(102.04Q)), 400, absolute},
      {"jr x>102.049", kxbesseljr, aj, uniform(q(-12), q(12)), large, 500, absolute},
      {"jr 4nu^2 near 32x", kxbesseljr, aj, either_sign(uniform(q(20), q(100))), near_switch, 300, absolute},
      {"jr order>x>102.049", kxbesseljr, aj, uniform(q(410), q(700)), large, 2000},
      {"jr -order>x>102.049", kxbesseljr, aj, uniform(q(-700), q(-410)), large, 1e5},
      {"yr x<10", kxbesselyr, ay, uniform(q(0.05Q), q(0.95Q)), uniform(q(0.01Q), q(10)), 1e4, absolute},
      {"yr 5<x<80", kxbesselyr, ay, uniform(q(0.05Q), q(0.95Q)), uniform(q(5), q(79.99Q)), 2000, absolute},
      {"yr x>102.049", kxbesselyr, ay, uniform(q(-8), q(8)), large, 6e4, absolute},
      {"ir x<102.049", kxbesselir, ai, uniform(q(-20), q(20)), uniform(q(0.01Q), q(102.04Q)), 1e4},
      {"ir x>102.049", kxbesselir, ai, uniform(q(0), q(700)), large, 1500},
      {"ir large negative order", kxbesselir, ai, uniform(q(-1000), q(-60)), large, 1e4},
      {"kr x<=2", kxbesselkr, ak, uniform(q(0.05Q), q(0.95Q)), uniform(q(0.01Q), q(2)), 1e6},
      {"kr 2<x<78.5", kxbesselkr, ak, uniform(q(-40), q(40)), uniform(q(2.01Q), q(78.49Q)), 1000},
      {"kr x>78.5", kxbesselkr, ak, uniform(q(-300), q(300)), uniform(q(78.51Q), q(2000)), 4000},
      {"kr large order", kxbesselkr, ak, either_sign(uniform(q(100), q(1000))), uniform(q(20), q(400)), 3000},
  };
  oracle::sweep(rows, 2026, 100);
}

// One point of an oracle: the routine's value and the exact one.
struct case_row {
  const char* name;
  kxreal computed;
  std::function<void(mpfr_ptr)> exact;
  double bound;
};

std::function<void(mpfr_ptr)> arb_at(arb_function f, double nu, double x) {
  return [f, nu, x](mpfr_ptr r) {
    oracle::arb_evaluate(r, [&](arb_t out, slong p) {
      arb_t a, b;
      arb_init(a);
      arb_init(b);
      arb_set_d(a, nu);
      arb_set_d(b, x);
      f(out, a, b, p);
      arb_clear(a);
      arb_clear(b);
    });
  };
}

template <typename F>
kxreal value(F f) {
  kxreal r;
  f(r);
  return r;
}

// K from the series or from I_-nu - I_nu cancelled e^2x away (K_0(80) came
// out negative, K_0.375 above 102 as zero); Hankel's expansion diverged for an
// order large against x (J_300(150) came out as 2.4e37); orders whose
// factorial leaves the range started the series from 1/infinity, and the
// series of I at a large negative order overflowed. Orders within some
// dozens of 1754 stopped with "Loop end error 1" where k! (n+k)! left the
// range before the series settled (J_1720(50)), and Y_1500(100) came out
// as NaN from (x^2/4)^k beyond the range in its finite sum.
TEST(Bessel, MendedFaults) {
  const case_row rows[] = {
      {"K_0(60)", value([](kxreal& r) { kxbesselknr(0, q(60), r); }), arb_at(arb_hypgeom_bessel_k, 0, 60), 1e3},
      {"K_0(80)", value([](kxreal& r) { kxbesselknr(0, q(80), r); }), arb_at(arb_hypgeom_bessel_k, 0, 80), 1e3},
      {"K_0(100)", value([](kxreal& r) { kxbesselknr(0, q(100), r); }), arb_at(arb_hypgeom_bessel_k, 0, 100), 1e3},
      {"K_5(30)", value([](kxreal& r) { kxbesselknr(5, q(30), r); }), arb_at(arb_hypgeom_bessel_k, 5, 30), 1e3},
      {"K_0.375(40)", value([](kxreal& r) { kxbesselkr(q(0.375Q), q(40), r); }), arb_at(arb_hypgeom_bessel_k, 0.375, 40), 1e3},
      {"K_0.375(150)", value([](kxreal& r) { kxbesselkr(q(0.375Q), q(150), r); }), arb_at(arb_hypgeom_bessel_k, 0.375, 150), 1e3},
      {"J_300(150)", value([](kxreal& r) { kxbesseljnr(300, q(150), r); }), arb_at(arb_hypgeom_bessel_j, 300, 150), 1e3},
      {"Y_300(150)", value([](kxreal& r) { kxbesselynr(300, q(150), r); }), arb_at(arb_hypgeom_bessel_y, 300, 150), 1e3},
      {"I_300(150)", value([](kxreal& r) { kxbesselinr(300, q(150), r); }), arb_at(arb_hypgeom_bessel_i, 300, 150), 1e3},
      {"J_1800(5)", value([](kxreal& r) { kxbesseljnr(1800, q(5), r); }), arb_at(arb_hypgeom_bessel_j, 1800, 5), 1e4},
      {"Y_1800(5)", value([](kxreal& r) { kxbesselynr(1800, q(5), r); }), arb_at(arb_hypgeom_bessel_y, 1800, 5), 1e4},
      {"I_1800(50)", value([](kxreal& r) { kxbesselinr(1800, q(50), r); }), arb_at(arb_hypgeom_bessel_i, 1800, 50), 1e4},
      {"J_1800.5(5)", value([](kxreal& r) { kxbesseljr(q(1800.5Q), q(5), r); }), arb_at(arb_hypgeom_bessel_j, 1800.5, 5), 1e4},
      {"I_1800.5(50)", value([](kxreal& r) { kxbesselir(q(1800.5Q), q(50), r); }), arb_at(arb_hypgeom_bessel_i, 1800.5, 50), 1e4},
      {"I_-1000.5(1000)", value([](kxreal& r) { kxbesselir(q(-1000.5Q), q(1000), r); }), arb_at(arb_hypgeom_bessel_i, -1000.5, 1000), 1e4},
      {"J_300.5(150)", value([](kxreal& r) { kxbesseljr(q(300.5Q), q(150), r); }), arb_at(arb_hypgeom_bessel_j, 300.5, 150), 1e3},
      {"J_1750.5(50)", value([](kxreal& r) { kxbesseljr(q(1750.5Q), q(50), r); }), arb_at(arb_hypgeom_bessel_j, 1750.5, 50), 1e4},
      {"I_1740.5(50)", value([](kxreal& r) { kxbesselir(q(1740.5Q), q(50), r); }), arb_at(arb_hypgeom_bessel_i, 1740.5, 50), 1e4},
  };
  // Beyond the range the upward recurrences give infinity, not NaN.
  kxreal r;
  kxbesselknr(3000, q(2.5Q), r);
  EXPECT_TRUE(isinfq(r.hi) && r.hi > 0 && r.lo == 0);
  kxbesselynr(5000, q(150), r);
  EXPECT_TRUE(isinfq(r.hi) && r.hi < 0 && r.lo == 0);
  kxbesselknr(1800, q(1.5Q), r);
  EXPECT_TRUE(isinfq(r.hi) && r.hi > 0 && r.lo == 0);
  for (const case_row& row : rows) {
    big exact;
    row.exact(exact.get());
    EXPECT_LE(oracle::error_units(row.computed, exact), row.bound) << row.name << " gives " << oracle::hex(row.computed);
  }
  // Integer orders near 1754: routine, oracle, order, x.
  const struct {
    void (*f)(int, const kxreal&, kxreal&);
    arb_function exact;
    int n;
    double x;
  } near_limit[] = {
      {kxbesseljnr, arb_hypgeom_bessel_j, 1720, 50}, {kxbesseljnr, arb_hypgeom_bessel_j, 1745, 20},
      {kxbesselynr, arb_hypgeom_bessel_y, 1500, 100}, {kxbesselynr, arb_hypgeom_bessel_y, 1750, 2},
      {kxbesselinr, arb_hypgeom_bessel_i, 1700, 100}, {kxbesselknr, arb_hypgeom_bessel_k, 1748, 2},
  };
  for (const auto& c : near_limit) {
    c.f(c.n, q(c.x), r);
    big exact;
    arb_at(c.exact, c.n, c.x)(exact.get());
    EXPECT_LE(oracle::error_units(r, exact), 1e4) << c.n << " " << c.x << " gives " << oracle::hex(r);
  }
  // The largest orders accepted, where J and Y are still in the range (Arb's
  // ball is too wide there): the Wronskian J_(n+1) Y_n - J_n Y_(n+1) = 2/(pi x)
  // ties Miller's J to the upward recurrence's Y (cancelling about 2^14: 2.6e4 units measured).
  for (const double x : {99000.0, 100500.0}) {
    kxreal j0, j1, y0, y1, w, t;
    kxbesseljnr(99999, q(x), j0);
    kxbesseljnr(-100000, q(x), j1);
    kxbesselynr(99999, q(x), y0);
    kxbesselynr(100000, q(x), y1);
    kxmul(j1, y0, w);
    kxmul(j0, y1, t);
    kxsub(w, t, w);
    big exact;
    mpfr_const_pi(exact.get(), MPFR_RNDN);
    mpfr_mul_d(exact.get(), exact.get(), x / 2, MPFR_RNDN);
    mpfr_ui_div(exact.get(), 1, exact.get(), MPFR_RNDN);
    EXPECT_LE(oracle::error_units(w, exact), 1e6) << x << " gives " << oracle::hex(w);
  }
}

// K and Y of orders 0 and 1 next to the bottom of the range, where the
// series' leading terms are exact to 226 bits: K_0 = -log(x/2) - gamma,
// K_1 = 1/x, Y_0 = (2/pi)(log(x/2) + gamma), Y_1 = -2/(pi x). Below about
// 2^-16384, 1/x leaves the range: K_1 and Y_1 are infinite there, and higher
// orders follow by the recurrence (K_1 and Y_1 of a subnormal x called
// themselves through the recurrence without end).
TEST(Bessel, OrdersZeroAndOneOfTinyArguments) {
  for (const __float128 x : {0x1p-16000Q, 0x1.8p-16380Q, 0x1p-16400Q, 0x0.00004p-16382Q}) {
    big half_x(x), log_half_x, gamma, pi, exact;
    mpfr_div_2ui(half_x.get(), half_x.get(), 1, MPFR_RNDN);
    mpfr_log(log_half_x.get(), half_x.get(), MPFR_RNDN);
    mpfr_const_euler(gamma.get(), MPFR_RNDN);
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    kxreal r;
    kxbesselknr(0, q(x), r);
    mpfr_add(exact.get(), log_half_x.get(), gamma.get(), MPFR_RNDN);
    mpfr_neg(exact.get(), exact.get(), MPFR_RNDN);
    EXPECT_LE(oracle::error_units(r, exact), 100) << "K_0 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
    kxbesselynr(0, q(x), r);
    mpfr_mul_d(exact.get(), exact.get(), -2, MPFR_RNDN);
    mpfr_div(exact.get(), exact.get(), pi.get(), MPFR_RNDN);
    EXPECT_LE(oracle::error_units(r, exact), 300) << "Y_0 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);

    const bool in_range = x > 0x1p-16383Q;
    kxbesselknr(1, q(x), r);
    if (in_range) {
      mpfr_ui_div(exact.get(), 1, big(x).get(), MPFR_RNDN);
      EXPECT_LE(oracle::error_units(r, exact), 100) << "K_1 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
      kxbesselynr(1, q(x), r);
      mpfr_mul_d(exact.get(), exact.get(), -2, MPFR_RNDN);
      mpfr_div(exact.get(), exact.get(), pi.get(), MPFR_RNDN);
      EXPECT_LE(oracle::error_units(r, exact), 300) << "Y_1 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
    } else {
      EXPECT_TRUE(isinfq(r.hi) && r.hi > 0) << "K_1 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
      kxbesselkr(q(1), q(x), r);
      EXPECT_TRUE(isinfq(r.hi) && r.hi > 0) << "K_1.0 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
      kxbesselynr(-1, q(x), r);
      EXPECT_TRUE(isinfq(r.hi) && r.hi > 0) << "Y_-1 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
      kxbesselknr(19, q(x), r);
      EXPECT_TRUE(isinfq(r.hi) && r.hi > 0) << "K_19 " << oracle::hex(q(x)) << " gives " << oracle::hex(r);
    }
  }
}

// J_-n = (-1)^n J_n and J_n(-x) = (-1)^n J_n(x) word for word, also when
// the result overwrites x; the
// Wronskian J_(n+1) Y_n - J_n Y_(n+1) = 2/(pi x); the half-integer orders
// sqrt(2/(pi x)) sin x, cos x, sinh x and sqrt(pi/(2x)) e^-x from MPFR.
TEST(Bessel, Identities) {
  for (const int n : {1, 2, 3, 7, 40}) {
    for (const __float128 x : {0.3Q, 2.0Q, 57.5Q, 150.25Q}) {
      kxreal a, b, c;
      kxbesseljnr(n, q(x), a);
      kxbesseljnr(-n, q(x), b);
      kxbesseljnr(n, q(-x), c);
      if (n % 2 != 0) kxneg(a, a);
      EXPECT_TRUE(same_words(a, b) && same_words(a, c)) << n << " " << static_cast<double>(x);
    }
  }
  // The result may overwrite the argument.
  for (const auto f : {kxbesseljnr, kxbesselynr, kxbesselinr, kxbesselknr}) {
    for (const __float128 x : {-3.0Q, -90.0Q, -150.0Q}) {
      kxreal a = q(x), b;
      f(3, a, b);
      f(3, a, a);
      EXPECT_TRUE(same_words(a, b)) << static_cast<double>(x);
    }
  }
  for (const auto f : {kxbesseljr, kxbesselyr, kxbesselir, kxbesselkr}) {
    for (const __float128 x : {3.0Q, 90.0Q, 150.0Q}) {
      kxreal a = q(x), nu = q(2.25Q), b, c;
      f(nu, a, b);
      f(nu, a, a);
      f(nu, q(x), nu);
      EXPECT_TRUE(same_words(a, b) && same_words(nu, b)) << static_cast<double>(x);
    }
  }
  double wronskian = 0;
  for (const int n : {0, 1, 5, 20, 60, 300}) {
    for (const __float128 x : {0.5Q, 3.0Q, 6.5Q, 9.5Q, 23.0Q, 57.5Q, 79.0Q, 91.25Q, 110.0Q, 180.5Q, 400.0Q}) {
      kxreal j0, j1, y0, y1;
      kxbesseljnr(n, q(x), j0);
      kxbesseljnr(n + 1, q(x), j1);
      kxbesselynr(n, q(x), y0);
      kxbesselynr(n + 1, q(x), y1);
      big a(j1), b(y0), c(j0), d(y1), w;
      mpfr_mul(a.get(), a.get(), b.get(), MPFR_RNDN);
      mpfr_mul(c.get(), c.get(), d.get(), MPFR_RNDN);
      mpfr_sub(w.get(), a.get(), c.get(), MPFR_RNDN);
      big exact(q(x));
      mpfr_const_pi(a.get(), MPFR_RNDN);
      mpfr_mul(exact.get(), exact.get(), a.get(), MPFR_RNDN);
      mpfr_ui_div(exact.get(), 2, exact.get(), MPFR_RNDN);
      // Relative to the larger product, which the difference may cancel.
      mpfr_abs(a.get(), a.get(), MPFR_RNDN);
      mpfr_abs(c.get(), c.get(), MPFR_RNDN);
      mpfr_max(a.get(), a.get(), c.get(), MPFR_RNDN);
      wronskian = std::max(wronskian, oracle::error_units(w, exact, a));
    }
  }
  std::printf("[ accuracy ] Wronskian largest error %.3f units of 2^-226 of the larger product\n", wronskian);
  EXPECT_LE(wronskian, 3e3);
  for (const __float128 x : {0.25Q, 1.0Q, 7.5Q, 23.5Q, 61.0Q, 110.0Q, 250.0Q}) {
    const big bx(q(x));
    big root, pi, s, c, sh;
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    mpfr_mul(root.get(), pi.get(), bx.get(), MPFR_RNDN);
    mpfr_ui_div(root.get(), 2, root.get(), MPFR_RNDN);
    mpfr_sqrt(root.get(), root.get(), MPFR_RNDN);
    mpfr_sin_cos(s.get(), c.get(), bx.get(), MPFR_RNDN);
    mpfr_sinh(sh.get(), bx.get(), MPFR_RNDN);
    for (big* f : {&s, &c, &sh}) mpfr_mul(f->get(), f->get(), root.get(), MPFR_RNDN);
    big k;
    mpfr_neg(k.get(), bx.get(), MPFR_RNDN);
    mpfr_exp(k.get(), k.get(), MPFR_RNDN);
    mpfr_div(k.get(), k.get(), root.get(), MPFR_RNDN);
    mpfr_div(k.get(), k.get(), bx.get(), MPFR_RNDN);
    kxreal jp, jm, i, kk;
    kxbesseljr(q(0.5Q), q(x), jp);
    kxbesseljr(q(-0.5Q), q(x), jm);
    kxbesselir(q(0.5Q), q(x), i);
    kxbesselkr(q(0.5Q), q(x), kk);
    const big one(q(1));
    EXPECT_LE(oracle::error_units(big(jp), s, one), 2e4) << static_cast<double>(x);
    EXPECT_LE(oracle::error_units(big(jm), c, one), 2e4) << static_cast<double>(x);
    EXPECT_LE(oracle::error_units(i, sh), 2e4) << static_cast<double>(x);
    EXPECT_LE(oracle::error_units(kk, k), 2e4) << static_cast<double>(x);
  }
  // The method threshold is 1.5 * 226 * log10(2) rounded to binary128.
  big t;
  mpfr_set_ui(t.get(), 10, MPFR_RNDN);
  mpfr_log2(t.get(), t.get(), MPFR_RNDN);
  mpfr_ui_div(t.get(), 339, t.get(), MPFR_RNDN);
  EXPECT_TRUE(oracle::to_quad(t) == kx::bessel_threshold);
}

TEST(Bessel, Messages) {
  kxreal r;
  EXPECT_FATAL_STOP(kxbesseljnr(2, q(0), r), "^\\*\\*\\* KXBESSELJNR: Second argument is zero\n$");
  EXPECT_FATAL_STOP(kxbesselynr(2, q(0), r), "^\\*\\*\\* KXBESSELYNR: argument is negative or too large\n$");
  EXPECT_FATAL_STOP(kxbesselinr(2, q(0), r), "^\\*\\*\\* KXBESSELINR: Second argument is zero\n$");
  EXPECT_FATAL_STOP(kxbesselknr(2, q(0), r), "^\\*\\*\\* KXBESSELKNR: Second argument is zero\n$");
  EXPECT_FATAL_STOP(kxbesseljr(q(0.5Q), q(0), r), "^\\*\\*\\* KXBESSELJR: Second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesseljr(q(-0.5Q), q(-1), r), "^\\*\\*\\* KXBESSELJR: Second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesselyr(q(-0.5Q), q(0), r),
                    "^\\*\\*\\* KXBESSELYR: First argument < 0 and second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesselir(q(-0.5Q), q(-1), r),
                    "^\\*\\*\\* KXBESSELIR: First argument < 0 and second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesselkr(q(-0.5Q), q(0), r),
                    "^\\*\\*\\* KXBESSELKR: First argument < 0 and second argument <= 0\n$");
  // Positive orders pass their own check and stop in the routine they call;
  // an integer order never meets the real-order checks.
  EXPECT_FATAL_STOP(kxbesselyr(q(0.5Q), q(-1), r), "^\\*\\*\\* KXBESSELJR: Second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesselkr(q(0.5Q), q(-1), r),
                    "^\\*\\*\\* KXBESSELIR: First argument < 0 and second argument <= 0\n$");
  EXPECT_FATAL_STOP(kxbesseljr(q(-2), q(0), r), "^\\*\\*\\* KXBESSELJNR: Second argument is zero\n$");
  EXPECT_FATAL_STOP(kxbesselkr(q(-2), q(0), r), "^\\*\\*\\* KXBESSELKNR: Second argument is zero\n$");
  // Where x^2 leaves the range (|x| near 10^2466 and up) Hankel's expansion
  // cannot settle and says so at its first NaN term (it ran its 10^6 terms,
  // some 9 s each).
  EXPECT_FATAL_STOP(kxbesseljnr(3, q(1e4000Q), r), "^\\*\\*\\* KXBESSELJNR: Loop end error 2\n$");
  EXPECT_FATAL_STOP(kxbesselynr(-237, q(FLT128_MAX), r), "^\\*\\*\\* KXBESSELYNR: Loop end error 2\n$");
  EXPECT_FATAL_STOP(kxbesseljr(q(0.5Q), q(1e4000Q), r), "^\\*\\*\\* KXBESSELJR: Loop end error 2\n$");
  // A series out of range at orders 0 and 1 no longer hands over to the
  // recurrence from those same orders (I of a subnormal order at 0 called
  // itself without end).
  EXPECT_FATAL_STOP(kxbesselir(q(0x1p-16400Q), q(0), r), "^\\*\\*\\* KXBESSELIR: Loop end error 1\n$");
  // Orders past 100000 in magnitude are refused (INT_MIN overflowed |n| and
  // read before the recurrence's sequence; orders near INT_MAX asked for
  // sequences of 2^31 values; real orders past the int range were converted
  // to it undefinedly).
  const std::pair<const char*, void (*)(int, const kxreal&, kxreal&)> integer_orders[] = {
      {"JNR", kxbesseljnr}, {"YNR", kxbesselynr}, {"INR", kxbesselinr}, {"KNR", kxbesselknr}};
  for (const auto& [name, f] : integer_orders) {
    for (const int n : {INT_MIN, -100001, 100001, INT_MAX}) {
      char field[16];
      std::snprintf(field, sizeof field, "%12d", n);
      EXPECT_FATAL_STOP(f(n, q(1), r), std::string("^\\*\\*\\* KXBESSEL") + name + ": Order" + field +
                                           " is too large in magnitude\n$");
    }
  }
  const std::pair<const char*, void (*)(const kxreal&, const kxreal&, kxreal&)> real_orders[] = {
      {"JR", kxbesseljr}, {"YR", kxbesselyr}, {"IR", kxbesselir}, {"KR", kxbesselkr}};
  for (const auto& [name, f] : real_orders) {
    const std::string message = std::string("^\\*\\*\\* KXBESSEL") + name + ": Order is too large in magnitude";
    EXPECT_FATAL_STOP(f(q(100000.5Q), q(1), r), message + "   1\\.000005D\\+05\n$");
    EXPECT_FATAL_STOP(f(q(-3e9Q), q(1), r), message + "  -3\\.000000D\\+09\n$");
    EXPECT_FATAL_STOP(f(q(0x1p70Q), q(1), r), message);
    EXPECT_FATAL_STOP(f(q(-HUGE_VALQ), q(1), r), message);
  }
  // A NaN order or argument of the real-order routines gives NaN (its
  // nearest integer was converted to int, which is undefined).
  for (auto f : {kxbesseljr, kxbesselyr, kxbesselir, kxbesselkr}) {
    f(q(nanq("")), q(1), r);
    EXPECT_TRUE(isnanq(r.hi));
    f(q(0.5Q), q(nanq("")), r);
    EXPECT_TRUE(isnanq(r.hi));
  }
}

}  // namespace
