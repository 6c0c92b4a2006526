// Exact values, every fatal message, the polynomial root, the stored
// constants, and the ends of the ranges where the methods are completed
// (logarithms below e^-11000, tiny sines, far points and means, large
// inverse hyperbolic arguments), all against MPFR or exact identities.
#include <gtest/gtest.h>

#include <array>

#include <kx/elementary/agm.h>
#include <kx/elementary/circle_constants.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/elementary/polyr.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;

kxreal q(__float128 x) { return kxreal{x, 0}; }

template <typename F>
double error_against(const kxreal& computed, F reference) {
  big exact;
  reference(exact.get());
  return oracle::error_units(computed, exact);
}

kxreal apply(void (*f)(const kxreal&, kxreal&), const kxreal& a) {
  kxreal b;
  f(a, b);
  return b;
}

TEST(ElementaryCases, ExactValues) {
  kxreal r, c, s, pi;
  kxpi(pi);
  EXPECT_TRUE(same_words(apply(kxexp, q(0)), q(1)));
  EXPECT_TRUE(same_words(apply(kxexp, q(-11000)), q(0)));
  EXPECT_TRUE(same_words(apply(kxlog, q(1)), q(0)));
  kxpower(q(7), q(0), r);
  EXPECT_TRUE(same_words(r, q(1)));
  kxagmr(q(1), q(1), r);
  EXPECT_TRUE(same_words(r, q(1)));
  kxreal r2;
  kxagmr(q(1), q(2), r);
  kxagmr(q(2), q(1), r2);
  EXPECT_TRUE(same_words(r, r2));
  kxcssnr(q(0), c, s);
  EXPECT_TRUE(same_words(c, q(1)) && same_words(s, q(0)));
  kxcoshsinh(q(0), c, s);
  EXPECT_TRUE(same_words(c, q(1)) && same_words(s, q(0)));
  EXPECT_TRUE(same_words(apply(kxacosh, q(1)), q(0)));
  EXPECT_TRUE(same_words(apply(kxasinh, q(0)), q(0)));
  EXPECT_TRUE(same_words(apply(kxatanh, q(0)), q(0)));
  // The axes, and scaling a point by a power of two changes no bit.
  kxang(q(1), q(0), r);
  EXPECT_TRUE(same_words(r, q(0)));
  kxang(q(-1), q(0), r);
  EXPECT_TRUE(same_words(r, pi));
  kxang(q(0), q(2), r);
  EXPECT_TRUE(same_words(r, kx::half_pi()));
  kxang(q(0), q(-2), r);
  EXPECT_TRUE(same_words(r, kxreal{-kx::half_pi().hi, -kx::half_pi().lo}));
  kxang(kxreal{-3, 0x1p-120Q}, q(5), r);
  kxang(kxreal{-3 * 0x1p40Q, 0x1p-80Q}, q(5 * 0x1p40Q), r2);
  EXPECT_TRUE(same_words(r, r2));
  // An output may be an input.
  r = q(2);
  kxlog(r, r);
  EXPECT_TRUE(same_words(r, apply(kxlog, q(2))));
}

TEST(ElementaryCases, StoredConstants) {
  kxreal pi, two_pi, half_pi;
  kxpi(pi);
  kxmuld(pi, 2, two_pi);
  kxmuld(pi, 0.5Q, half_pi);
  EXPECT_TRUE(same_words(kx::two_pi(), two_pi));
  EXPECT_TRUE(same_words(kx::half_pi(), half_pi));
}

TEST(ElementaryCases, FatalMessages) {
  kxreal r, s;
  EXPECT_FATAL_STOP(kxexp(q(11000), r), "^\\*\\*\\* KXEXP: Argument is too large11000\\.000000\n");
  EXPECT_FATAL_STOP(kxlog(q(0), r), "^\\*\\*\\* KXLOG: Argument is less than or equal to zero\\.\n");
  EXPECT_FATAL_STOP(kxlog(q(-1), r), "^\\*\\*\\* KXLOG: Argument is less than or equal to zero\\.\n");
  EXPECT_FATAL_STOP(kxpower(q(-2), q(2), r), "^KXPOWER: A <= 0\n");
  EXPECT_FATAL_STOP(kxcssnr(q(1e60Q), r, s),
                    "^\\*\\*\\* KXCSSNR: argument is too large to compute cos or sin\\.\n");
  EXPECT_FATAL_STOP(kxcssnr(q(-1e68Q), r, s),
                    "^\\*\\*\\* KXCSSNR: argument is too large to compute cos or sin\\.\n");
  EXPECT_FATAL_STOP(kxang(q(0), q(0), r), "^\\*\\*\\* KXANG: Both arguments are zero\\.\n");
  EXPECT_FATAL_STOP(kxcoshsinh(q(11000), r, s), "^\\*\\*\\* KXEXP: Argument is too large11000\\.000000\n");
  EXPECT_FATAL_STOP(kxcoshsinh(q(-11000), r, s), "^\\*\\*\\* KXCOSHSINH: Argument is too large-11000\\.000000\n");
  EXPECT_FATAL_STOP(kxacosh(q(0.5Q), r), "^KXACOSH: Argument is < 1\\.\n");
  EXPECT_FATAL_STOP(kxacosh(kxreal(1, -0x1p-200Q), r), "^KXACOSH: Argument is < 1\\.\n");
  EXPECT_FATAL_STOP(kxatanh(q(1), r), "^KXATANH: Argument is <= -1 or >= 1\\.\n");
  EXPECT_FATAL_STOP(kxatanh(q(-1), r), "^KXATANH: Argument is <= -1 or >= 1\\.\n");
  EXPECT_FATAL_STOP(kxagmr(q(1), q(0), r), "^\\*\\*\\* KXAGMR: Iteration limit exceeded\\.\n");
  const std::array<kxreal, 3> a = {q(1), q(0), q(1)};
  EXPECT_FATAL_STOP(kxpolyr(2, a, q(0.5Q), r), "^KXPOLYR: failed to converge\\.\n");
  EXPECT_FATAL_STOP(kxpolyr(-1, a, q(0.5Q), r), "^\\*\\*\\* KXPOLYR: Improper value of N        -1\n");
  EXPECT_FATAL_STOP(kxpolyr(3, a, q(0.5Q), r), "^\\*\\*\\* KXPOLYR: Improper value of N         3\n");
}

TEST(ElementaryCases, PolynomialRoot) {
  const std::array<kxreal, 3> square = {q(-2), q(0), q(1)};
  big root2;
  mpfr_sqrt_ui(root2.get(), 2, MPFR_RNDN);
  kxreal x;
  kxpolyr(2, square, q(1.4Q), x);
  EXPECT_LE(oracle::error_units(x, root2), 4);
  kxpolyr(2, square, q(-1.4Q), x);
  mpfr_neg(root2.get(), root2.get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(x, root2), 4);
  // (x - 1)(x - 2)(x + 3) = x^3 - 7x + 6: each root from a start near it.
  const std::array<kxreal, 4> cubic = {q(6), q(-7), q(0), q(1)};
  for (const auto& [start, root] : {std::pair{1.1Q, 1.0Q}, {1.9Q, 2.0Q}, {-2.8Q, -3.0Q}}) {
    kxpolyr(3, cubic, q(start), x);
    EXPECT_LE(oracle::error_units(x, big(root)), 4) << oracle::hex(x);
  }
}

TEST(ElementaryCases, EndsOfTheRanges) {
  kxreal r, c, s;
  // Logarithms below e^-11000.
  for (const char* literal : {"1e-4800", "1e-4900"}) {
    big a;
    mpfr_set_str(a.get(), literal, 10, MPFR_RNDN);
    const kxreal x = oracle::to_pair(a);
    kxlog(x, r);
    const big exact_of_x(x);
    EXPECT_LE(error_against(r, [&](mpfr_ptr e) { mpfr_log(e, exact_of_x.get(), MPFR_RNDN); }), 8) << literal;
  }
  // Below 2^-8190 the sine is the argument and the cosine 1.
  const kxreal tiny = q(1e-3000Q);
  kxcssnr(tiny, c, s);
  EXPECT_TRUE(same_words(c, q(1)) && same_words(s, tiny));
  kxang(q(1), tiny, r);
  EXPECT_TRUE(same_words(r, tiny));
  // Points whose squares leave the range.
  const auto quarter_pi = [](mpfr_ptr e) { mpfr_const_pi(e, MPFR_RNDN); mpfr_div_2ui(e, e, 2, MPFR_RNDN); };
  kxang(q(1e3000Q), q(1e3000Q), r);
  EXPECT_LE(error_against(r, quarter_pi), 400);
  kxang(q(1e-3000Q), q(1e-3000Q), r);
  EXPECT_LE(error_against(r, quarter_pi), 400);
  // Inverse hyperbolic functions of large arguments.
  const auto asinh_of = [](double v) { return [v](mpfr_ptr e) { mpfr_set_d(e, v, MPFR_RNDN); mpfr_asinh(e, e, MPFR_RNDN); }; };
  kxasinh(q(-1e40), r);
  EXPECT_LE(error_against(r, asinh_of(-1e40)), 8);
  kxasinh(q(1e300), r);
  EXPECT_LE(error_against(r, asinh_of(1e300)), 8);
  const big huge(1e3000Q);
  kxasinh(q(-1e3000Q), r);
  EXPECT_LE(error_against(r, [&](mpfr_ptr e) { mpfr_asinh(e, huge.get(), MPFR_RNDN); mpfr_neg(e, e, MPFR_RNDN); }), 8);
  kxacosh(q(1e3000Q), r);
  EXPECT_LE(error_against(r, [&](mpfr_ptr e) { mpfr_acosh(e, huge.get(), MPFR_RNDN); }), 8);
  // Arithmetic-geometric means at the ends of the range and of two negatives.
  const auto agm_of = [](__float128 a, __float128 b) {
    return [a, b](mpfr_ptr e) { mpfr_agm(e, big(a).get(), big(b).get(), MPFR_RNDN); };
  };
  kxagmr(q(1e3000Q), q(1e3000Q), r);
  EXPECT_LE(error_against(r, agm_of(1e3000Q, 1e3000Q)), 40);
  kxagmr(q(1e-2500Q), q(3e-2500Q), r);
  EXPECT_LE(error_against(r, agm_of(1e-2500Q, 3e-2500Q)), 40);
  kxagmr(q(-1), q(-2), r);
  EXPECT_LE(error_against(kxreal{-r.hi, -r.lo}, agm_of(1, 2)), 40);
  // A NaN word, or an infinite low word, gives NaN (its multiple of log 2
  // was converted to an integer, which is undefined).
  const __float128 nan = nanq("");
  for (const kxreal& a : {kxreal{nan, 0}, kxreal{1, nan}, kxreal{1, HUGE_VALQ}, kxreal{-3, -HUGE_VALQ}}) {
    kxexp(a, r);
    EXPECT_TRUE(isnanq(r.hi)) << oracle::hex(a) << " gives " << oracle::hex(r);
  }
}

}  // namespace
