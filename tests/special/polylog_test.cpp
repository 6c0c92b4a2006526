// Polylogarithms and pFq against MPFR and Arb (balls below 2^-240), closed
// forms, exact integers and rationals from GMP, the slow series, the words
// of the rescaled products against the plain ones, and every message.
#include <acb.h>
#include <arb_hypgeom.h>
#include <gmpxx.h>
#include <gtest/gtest.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/polylog.h>
#include <kx/special/series.h>

#include <vector>

#include "mpfr_oracle.h"
#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::uniform;
using params = std::vector<kxreal>;
using arb_function = std::function<void(arb_t, const arb_t, const arb_t, slong)>;

kxreal q(__float128 x) { return kxreal{x, 0}; }

oracle::sampler integers(int lo, int hi) {
  return [lo, hi](oracle::operands& gen) { return kxreal{gen.uniform(lo, hi)}; };
}

// The integer order travels as the first kxreal argument; a negative one
// fills its table first.
void polylog_of(const kxreal& n, const kxreal& x, kxreal& li) {
  const int m = static_cast<int>(n.hi);
  if (m >= 0) return kxpolylogpos(m, x, li);
  std::vector<kxreal> t(-m);
  kxpolylogini(m, t);
  kxpolylogneg(m, t, x, li);
}
const auto polylog_arb = oracle::arb_reference(arb_function([](arb_t r, const arb_t n, const arb_t x, slong p) {
  acb_t w;
  acb_t z;
  acb_init(w);
  acb_init(z);
  acb_set_arb(z, x);
  acb_polylog_si(w, arf_get_si(arb_midref(n), ARF_RND_NEAR), z, p);
  acb_get_real(r, w);
  acb_clear(w);
  acb_clear(z);
}));

// pFq(a; b; x) with the first argument as a(1), or as b(1) when `lower`.
auto pfq(params a, params b, bool lower = false) {
  return [=](const kxreal& v, const kxreal& x, kxreal& f) {
    params aa = a, bb = b;
    (lower ? bb : aa)[0] = v;
    kxhypergeompfq(static_cast<int>(aa.size()), static_cast<int>(bb.size()), aa, bb, x, f);
  };
}
auto pfq_arb(params a, params b, bool lower = false) {
  return [=](mpfr_ptr out, mpfr_srcptr v, mpfr_srcptr x) {
    const slong p = static_cast<slong>(a.size()), nq = static_cast<slong>(b.size());
    arb_ptr w = _arb_vec_init(p + nq + 1);
    for (slong i = 0; i < p + nq; ++i) arf_set_mpfr(arb_midref(w + i), big(i < p ? a[i] : b[i - p]).get());
    arf_set_mpfr(arb_midref(w + (lower ? p : 0)), v);
    arf_set_mpfr(arb_midref(w + p + nq), x);
    oracle::arb_evaluate(out, [&](arb_t r, slong prec) { arb_hypgeom_pfq(r, w, p, w + p, nq, w + p + nq, 0, prec); });
    _arb_vec_clear(w, p + nq + 1);
  };
}

TEST(Polylog, Accuracy) {
  const auto li = [](int n) { return [n](const kxreal& x, kxreal& f) { kxpolylogpos(n, x, f); }; };
  const auto exp_series = [](const kxreal& x, kxreal& f) { pfq({q(1)}, {q(1)})(q(1), x, f); };
  const params a2{q(0), q(0.7Q)}, b1{q(1.9Q)}, a3{q(0), q(1), q(1.5Q)}, b2{q(2), q(2.5Q)};
  const oracle::row rows[] = {
      {"polylogpos n=2", li(2), mpfr_li2, uniform(q(-0.9Q), q(0.9Q)), 60},
      {"polylogpos", polylog_of, polylog_arb, integers(0, 200), uniform(q(-0.9Q), q(0.9Q)), 60},
      {"Li_0 = x/(1-x)", li(0),
       [](mpfr_ptr r, mpfr_srcptr x) { mpfr_ui_sub(r, 1, x, MPFR_RNDN), mpfr_div(r, x, r, MPFR_RNDN); },
       uniform(q(-0.999Q), q(0.999Q)), 20},
      {"Li_1 = -log(1-x)", li(1),
       [](mpfr_ptr r, mpfr_srcptr x) {
         mpfr_neg(r, x, MPFR_RNDN), mpfr_log1p(r, r, MPFR_RNDN), mpfr_neg(r, r, MPFR_RNDN);
       },
       uniform(q(-0.9Q), q(0.9Q)), 60},
      {"polylogneg (0,1)", polylog_of, polylog_arb, integers(-40, -1), uniform(q(0), q(0.99Q)), 60},
      {"polylogneg (1,10)", polylog_of, polylog_arb, integers(-40, -1), uniform(q(1.01Q), q(10)), 60},
      {"polylogneg (-3,0)", polylog_of, polylog_arb, integers(-8, -1), uniform(q(-3), q(0)), 100, oracle::absolute},
      {"1F1(1;1;x) = e^x", exp_series, mpfr_exp, uniform(q(-1), q(30)), 60},
      {"1F1(a;2.5;x)", pfq({q(0)}, {q(2.5Q)}), pfq_arb({q(0)}, {q(2.5Q)}), uniform(q(0.1Q), q(5)), uniform(q(0), q(20)),
       60},
      {"2F1(a,0.7;1.9;x)", pfq(a2, b1), pfq_arb(a2, b1), uniform(q(0.1Q), q(3)), uniform(q(-0.9Q), q(0.9Q)), 70},
      {"2F1 x near -0.9", pfq(a2, b1), pfq_arb(a2, b1), uniform(q(2), q(3)), uniform(q(-0.9Q), q(-0.85Q)), 70},
      {"3F2(a,1,1.5;2,2.5;x)", pfq(a3, b2), pfq_arb(a3, b2), uniform(q(0.1Q), q(3)), uniform(q(-0.9Q), q(0.9Q)), 60},
      {"1F2(1.5;b,2;x)", pfq({q(1.5Q)}, {q(0), q(2)}, true), pfq_arb({q(1.5Q)}, {q(0), q(2)}, true),
       uniform(q(0.5Q), q(5)), uniform(q(0), q(50)), 60},
  };
  oracle::sweep(rows, 2026, 400);
  const oracle::row slow[] = {
      {"polylogpos near 1", polylog_of, polylog_arb, integers(1, 4), uniform(q(0.95Q), q(0.995Q)), 400},
      {"2F1 slow", pfq(a2, b1), pfq_arb(a2, b1), uniform(q(0.1Q), q(3)), uniform(q(0.95Q), q(0.99Q)), 300},
  };
  oracle::sweep(slow, 2026, 30);
}

// A(m, i) = sum_{j=0..i} (-1)^j C(m+1, j) (i-j)^m, exactly.
mpz_class eulerian(int m, int i) {
  mpz_class r = 0, c, p;
  for (int j = 0; j <= i; ++j) {
    mpz_bin_uiui(c.get_mpz_t(), m + 1, j);
    mpz_ui_pow_ui(p.get_mpz_t(), i - j, m);
    r += (j % 2 == 0 ? 1 : -1) * c * p;
  }
  return r;
}
big to_big(const mpq_class& r) {
  big b;
  mpfr_set_q(b.get(), r.get_mpq_t(), MPFR_RNDN);
  return b;
}

// The Eulerian numbers against their closed form in integers; the negative
// orders against the rational form in exact rationals, the error in units of
// the size of its terms, sum_i A(m, i) |x|^i / |1-x|^(m+1), which they cancel
// to for x < 0.
TEST(Polylog, ClosedForms) {
  double largest = 0;
  for (int m = 1; m <= 80; ++m) {
    std::vector<kxreal> t(m + 1, q(7));
    kxpolylogini(-m, std::span<kxreal>(t.data(), m));
    EXPECT_TRUE(same_words(t[m], q(7))) << m;
    for (int i = 1; i <= m; ++i) {
      const double err = oracle::error_units(t[i - 1], to_big(eulerian(m, i)));
      EXPECT_TRUE(m > 53 || err == 0) << m << " " << i;
      largest = std::max(largest, err);
    }
  }
  std::printf("[ accuracy ] kxpolylogini largest error %.3f units of 2^-226 (m <= 80)\n", largest);
  EXPECT_LE(largest, 20);
  largest = 0;
  for (int m = 1; m <= 30; ++m) {
    std::vector<kxreal> t(m);
    kxpolylogini(m, t);
    for (const __float128 x : {-0x1p3400Q, -7.5Q, -1.0Q, -0.8125Q, -0.3Q, 0.3Q, 0.96875Q, 1.0625Q, 3.0Q, 0x1p3400Q}) {
      mpq_class xq, sum = 0, size = 0, power = 1;
      mpfr_get_q(xq.get_mpq_t(), big(x).get());
      for (int i = 1; i <= m; ++i, power *= xq)
        sum += eulerian(m, i) * power * xq, size += eulerian(m, i) * abs(power * xq);
      for (int i = 0; i <= m; ++i) sum /= 1 - xq, size /= abs(1 - xq);
      kxreal li;
      kxpolylogneg(-m, t, q(x), li);
      const double err = oracle::error_units(big(li), to_big(sum), to_big(size));
      EXPECT_LE(err, 30) << m << " " << static_cast<double>(x);
      largest = std::max(largest, err);
    }
  }
  std::printf("[ accuracy ] kxpolylogneg largest error %.3f units of the terms' size (m <= 30)\n", largest);
}

// The series with its products unscaled, as before they were rescaled:
// while they stay within 2^+-16000 the routine must give its words. `large`:
// a product passed 2^4096, where rescaling begins.
kxreal unscaled_pfq(const params& a, const params& b, const kxreal& x, bool& in_range, bool& large) {
  kxreal sum{1}, num{1}, den{1}, term, f;
  in_range = true;
  for (int i = 1; in_range && (i == 1 || !kx::settled(term, sum)); ++i) {
    const kxreal t{i - 1};
    for (const kxreal& v : a) kxadd(t, v, f), kxmul(num, f, num);
    for (const kxreal& v : b) kxadd(t, v, f), kxmul(den, f, den);
    kxmul(num, x, num);
    kxmuld(den, i, den);
    for (const __float128 m : {fabsq(num.hi), fabsq(den.hi)}) {
      in_range = in_range && m < 0x1p16000Q && m > 0x1p-16000Q;
      large = large || m > 0x1p4096Q;
    }
    kxdiv(num, den, term);
    kxadd(sum, term, sum);
  }
  return sum;
}

// Series whose products pass the range (Loop end error before) or fall
// below it (0/0 before), one that ends before its zero denominator, |x| = 1,
// and the rescaled words against the unscaled ones.
TEST(Polylog, SlowSeries) {
  const auto error = [](const params& a, const params& b, __float128 x, const big& exact) {
    kxreal f;
    kxhypergeompfq(static_cast<int>(a.size()), static_cast<int>(b.size()), a, b, q(x), f);
    return oracle::error_units(f, exact);
  };
  big exact;
  mpfr_li2(exact.get(), big(0.9Q).get(), MPFR_RNDN);
  mpfr_div(exact.get(), exact.get(), big(0.9Q).get(), MPFR_RNDN);
  EXPECT_LE(error({q(1), q(1), q(1)}, {q(2), q(2)}, 0.9Q, exact), 100);  // Li2(x)/x
  pfq_arb({q(0.3Q), q(0.7Q)}, {q(1.9Q)})(exact.get(), big(0.3Q).get(), big(0.99Q).get());
  EXPECT_LE(error({q(0.3Q), q(0.7Q)}, {q(1.9Q)}, 0.99Q, exact), 300);
  mpfr_exp(exact.get(), big(2.0Q).get(), MPFR_RNDN);
  EXPECT_LE(error(params(10, q(0x1p-1700Q)), params(10, q(0x1p-1700Q)), 2, exact), 60);
  EXPECT_LE(error({q(1), q(1)}, {q(60)}, 1, to_big(mpq_class(59, 58))), 20);  // Gauss: (c-1)/(c-2)
  EXPECT_LE(error({q(-3), q(2)}, {q(-5)}, 3, to_big(mpq_class(47, 2))), 4);   // 1 + 18/5 + 81/10 + 54/5

  oracle::operands gen(2026);
  const oracle::sampler parameter = uniform(q(0.1Q), q(3)), argument = uniform(q(-0.9Q), q(0.9Q));
  int compared = 0, rescaled = 0;
  for (int k = 0; k < 200; ++k) {
    const params a{parameter(gen), parameter(gen), parameter(gen)}, b{parameter(gen), parameter(gen)};
    const kxreal x = argument(gen);
    bool in_range = false, large = false;
    const kxreal plain = unscaled_pfq(a, b, x, in_range, large);
    kxreal f;
    if (in_range) kxhypergeompfq(3, 2, a, b, x, f);
    EXPECT_TRUE(!in_range || same_words(f, plain)) << oracle::hex(x);
    compared += in_range;
    rescaled += in_range && large;
  }
  EXPECT_GE(compared, 100);
  EXPECT_GE(rescaled, 10);
}

TEST(Polylog, Messages) {
  kxreal z;
  std::vector<kxreal> t3(3);
  kxpolylogini(3, t3);
  EXPECT_FATAL_STOP(kxpolylogpos(-1, q(0.5Q), z),
                    "\\*\\*\\* KXPOLYLOGPOS: N is less than zero\\.\nFor negative n, call kxpolylogneg or "
                    "polylog_neg\\. See documentation\\.");
  EXPECT_FATAL_STOP(kxpolylogpos(2, q(1), z), "\\*\\*\\* KXPOLYLOGPOS: \\|X\\| must be less than one\\.");
  EXPECT_FATAL_STOP(kxpolylogpos(2, kxreal{-1, 0}, z), "KXPOLYLOGPOS: \\|X\\| must be less than one");
  EXPECT_FATAL_STOP(kxpolylogpos(1, q(0.99999Q), z), "\\*\\*\\* KXPOLYLOGPOS: Loop end error");
  EXPECT_FATAL_STOP(kxpolylogini(-4, t3),
                    "\\*\\*\\* KXPOLYLOGINI: Array must have at least         4 entries for order N\\.");
  EXPECT_FATAL_STOP(kxpolylogneg(0, t3, q(0.5Q), z),
                    "\\*\\*\\* KXPOLYLOGNEG: N = 0 is not a negative order; call kxpolylogpos\\.");
  const char* table =
      "\\*\\*\\* KXPOLYLOGNEG: Uninitialized or inadequately sized arrays\nCall kxpolylogini or "
      "polylog_ini to initialize array\\. See documentation\\.";
  EXPECT_FATAL_STOP(kxpolylogneg(-2, t3, q(0.5Q), z), table);
  EXPECT_FATAL_STOP(kxpolylogneg(4, t3, q(0.5Q), z), table);
  EXPECT_FATAL_STOP(kxpolylogneg(-3, t3, q(1), z), "\\*\\*\\* KXPOLYLOGNEG: X = 1 is a pole\\.");
  const params one{q(1)}, two{q(1), q(1)};
  EXPECT_FATAL_STOP(kxhypergeompfq(11, 1, params(11, q(1)), one, q(0.5Q), z),
                    "\\*\\*\\* KXHYPERGEOMPFQ: NP and NQ must be between 1 and  10");
  EXPECT_FATAL_STOP(kxhypergeompfq(1, 0, one, one, q(0.5Q), z), "NP and NQ must be between 1 and  10");
  EXPECT_FATAL_STOP(kxhypergeompfq(2, 1, one, one, q(0.5Q), z),
                    "\\*\\*\\* KXHYPERGEOMPFQ: A and B must hold at least NP and NQ entries:   2   1");
  EXPECT_FATAL_STOP(kxhypergeompfq(1, 2, one, params{q(2), q(0)}, q(0.5Q), z),
                    "\\*\\*\\* KXHYPERGEOMPFQ: B\\(J\\) is zero or a negative integer for J =   2");
  EXPECT_FATAL_STOP(kxhypergeompfq(1, 1, params{q(-3)}, params{q(-2)}, q(0.5Q), z), "negative integer for J =   1");
  const char* diverges = "\\*\\*\\* KXHYPERGEOMPFQ: The series diverges at this X \\(NP = NQ \\+ 1\\)\\.";
  EXPECT_FATAL_STOP(kxhypergeompfq(2, 1, two, params{q(2)}, q(1.5Q), z), diverges);
  EXPECT_FATAL_STOP(kxhypergeompfq(2, 1, two, params{q(2)}, q(1), z), diverges);
  EXPECT_FATAL_STOP(kxhypergeompfq(3, 1, params(3, q(1)), one, q(0.5Q), z),
                    "\\*\\*\\* KXHYPERGEOMPFQ: Term is not finite at I =");
  EXPECT_FATAL_STOP(kxhypergeompfq(2, 1, two, params{q(2)}, q(-1), z),
                    "\\*\\*\\* KXHYPERGEOMPFQ: Loop end error   1000000");
}

}  // namespace
