// erf, erfc and Ei against MPFR at 600 bits, the Struve function against
// Arb's regularised 1F2 (balls below 2^-240): each method over its range and
// on both sides of its thresholds (erf's 10 and 13, erfc's 1, the incomplete
// gamma's 1, 100 and 188.258 for Ei, where Ei(x >= 188.258) once stopped,
// the Struve argument limit 12 and the orders near 1650 where
// Gamma(nu + 3/2) is scaled); then erfc deep in its tail, the ends, and the
// messages.
#include <arb_hypgeom.h>
#include <gtest/gtest.h>

#include <climits>

#include <kx/special/error_function.h>
#include <kx/special/exponential_integral.h>
#include <kx/special/struve.h>

#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"
#include "test_support.h"

namespace {

using oracle::absolute;
using oracle::uniform;

kxreal q(__float128 x) { return kxreal{x, 0}; }

oracle::sampler integers(int lo, int hi) {
  return [lo, hi](oracle::operands& gen) { return kxreal{gen.uniform(lo, hi)}; };
}

// The order travels as the first kxreal argument.
void struve_of(const kxreal& nu, const kxreal& x, kxreal& h) { kxstruvehn(static_cast<int>(nu.hi), x, h); }
// H_nu(x) = (x/2)^(nu+1) 1F2(1; 3/2, nu+3/2; -x^2/4) / (Gamma(3/2) Gamma(nu+3/2)).
const auto struve_arb = oracle::arb_reference(std::function<void(arb_t, const arb_t, const arb_t, slong)>(
    [](arb_t r, const arb_t nu, const arb_t x, slong p) {
      arb_ptr v = _arb_vec_init(4);  // 1; 3/2, nu + 3/2; -x^2/4, then (x/2)^(nu+1)
      arb_one(v);
      arb_set_d(v + 1, 1.5);
      arb_add(v + 2, nu, v + 1, p);
      arb_sqr(v + 3, x, p);
      arb_mul_2exp_si(v + 3, v + 3, -2);
      arb_neg(v + 3, v + 3);
      arb_hypgeom_pfq(r, v, 1, v + 1, 2, v + 3, 1, p);
      arb_mul_2exp_si(v + 3, x, -1);
      arb_pow_ui(v + 3, v + 3, arf_get_si(arb_midref(nu), ARF_RND_NEAR) + 1, p);
      arb_mul(r, r, v + 3, p);
      _arb_vec_clear(v, 4);
    }));

TEST(ErrorFunctions, Accuracy) {
  const oracle::row rows[] = {
      {"erf (-13,10)", kxerfr, mpfr_erf, uniform(q(-13), q(10)), 700},
      {"erf near 10", kxerfr, mpfr_erf, uniform(q(9.9Q), q(10.1Q)), 700},
      {"erf near 13", kxerfr, mpfr_erf, uniform(q(12.9Q), q(13.1Q)), 700},
      {"erf near -13", kxerfr, mpfr_erf, uniform(q(-13.1Q), q(-12.9Q)), 700},
      {"erfc (-13,1]", kxerfcr, mpfr_erfc, uniform(q(-13), q(1)), 2000},
      {"erfc near 1", kxerfcr, mpfr_erfc, uniform(q(0.99Q), q(1.01Q)), 3000},
      {"erfc (1,10)", kxerfcr, mpfr_erfc, uniform(q(1), q(10)), 800},
      {"erfc [10,13]", kxerfcr, mpfr_erfc, uniform(q(10), q(13)), 1000},
      {"erfc (13,104.8)", kxerfcr, mpfr_erfc, uniform(q(13), q(104.8Q)), 40000},
      {"expint (0.5,100)", kxexpint, mpfr_eint, uniform(q(0.5Q), q(100)), 800},
      {"expint (0.01,1)", kxexpint, mpfr_eint, uniform(q(0.01Q), q(1)), 800, absolute},
      {"expint [100,188.258)", kxexpint, mpfr_eint, uniform(q(100), q(188.25Q)), 1500},
      {"expint [188.258,10000)", kxexpint, mpfr_eint, uniform(q(188.26Q), q(10000)), 30000},
      {"expint (-1,-0.01)", kxexpint, mpfr_eint, uniform(q(-1), q(-0.01Q)), 2000},
      {"expint (-100,-1]", kxexpint, mpfr_eint, uniform(q(-100), q(-1)), 6000},
      {"expint (-188.258,-100]", kxexpint, mpfr_eint, uniform(q(-188.25Q), q(-100)), 1000},
      {"expint (-10000,-188.258]", kxexpint, mpfr_eint, uniform(q(-10000), q(-188.26Q)), 30000},
  };
  oracle::sweep(rows, 2026, 300);
}

TEST(ErrorFunctions, StruveAccuracy) {
  const oracle::row rows[] = {
      {"struvehn nu=0", struve_of, struve_arb, integers(0, 0), uniform(q(-12), q(12)), 40000, absolute},
      {"struvehn nu=1..3", struve_of, struve_arb, integers(1, 3), uniform(q(-12), q(12)), 40000},
      {"struvehn nu=4..30", struve_of, struve_arb, integers(4, 30), uniform(q(-12), q(12)), 600},
      {"struvehn |x|<2", struve_of, struve_arb, integers(0, 30), oracle::either_sign(oracle::log_uniform(-300, 1)), 60},
      {"struvehn nu=1600..1900", struve_of, struve_arb, integers(1600, 1900), uniform(q(10), q(12)), 3000},
  };
  oracle::sweep(rows, 2026, 1000);
}

// erfc far below 2^-226 to full relative accuracy, on both sides of 13 and
// up to where x^2 reaches 11000, beyond which it is 0; the largest Struve
// order.
TEST(ErrorFunctions, TailsAndEnds) {
  kxreal y;
  for (const __float128 x : {10.0Q, 11.0Q, 12.9Q, 13.0Q, 13.5Q, 14.0Q, 20.0Q, 50.0Q, 104.8Q}) {
    kxerfcr(q(x), y);
    oracle::big exact;
    mpfr_erfc(exact.get(), oracle::big(x).get(), MPFR_RNDN);
    // The argument's own rounding in x^2 costs x^2 units in e^(-x^2).
    EXPECT_LE(oracle::error_units(y, exact), 1000 + 2 * static_cast<double>(x * x)) << static_cast<double>(x);
  }
  kxerfcr(q(105), y);
  EXPECT_TRUE(same_words(y, kxreal{}));
  // A NaN argument gives NaN, not erf = 1 (it compared as above the range).
  for (const __float128 x : {nanq(""), -nanq("")}) {
    kxerfr(q(x), y);
    EXPECT_TRUE(isnanq(y.hi));
    kxerfcr(q(x), y);
    EXPECT_TRUE(isnanq(y.hi));
  }
  // H_nu(12) for nu = 2^31 - 1 is far below the range: 0, without forming nu + 1.
  kxstruvehn(INT_MAX, q(12), y);
  EXPECT_TRUE(same_words(y, kxreal{}));
}

TEST(ErrorFunctions, Messages) {
  kxreal y;
  EXPECT_FATAL_STOP(kxexpint(q(0), y), "\\*\\*\\* KXEXPINT: argument is zero");
  EXPECT_FATAL_STOP(kxexpint(q(11000), y), "\\*\\*\\* KXEXP: Argument is too large");
  EXPECT_FATAL_STOP(kxstruvehn(-1, q(1), y), "\\*\\*\\* KXSTRUVEHN: NU < 0");
  for (const __float128 x : {12 + 0x1p-108Q, -13.0Q, 200.0Q, 1001.0Q}) {
    EXPECT_FATAL_STOP(kxstruvehn(0, q(x), y), "\\*\\*\\* KXSTRUVEHN: ABS\\(SS\\) >   12\\.00\n") << static_cast<double>(x);
  }
  // A NaN argument never settles.
  EXPECT_FATAL_STOP(kxstruvehn(0, q(nanq("")), y), "\\*\\*\\* KXSTRUVEHN: Loop end error");
}

}  // namespace
