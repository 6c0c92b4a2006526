// The core roots and products swept against MPFR through the table-driven
// harness of oracle/sweep.h, and checks that the harness itself fails when
// it should. The bounds (units of 2^-226) are derived in accuracy_test.cpp.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vector>

#include <kx/kx.h>

#include "mpfr_oracle.h"
#include "oracle/sweep.h"

namespace {

using oracle::big;

TEST(Sweep, CoreAgainstMpfr) {
  std::vector<oracle::row> rows = {
      {"kxsqrt", kxsqrt, mpfr_sqrt, oracle::log_uniform(-16000, 16000), 19},
      {"kxdiv", kxdiv, mpfr_div, oracle::pairs, oracle::pairs, 8},
      {"kxmul", kxmul, mpfr_mul, oracle::pairs, oracle::pairs, 8},
      // |a b| <= 1, so the relative bound holds absolutely, through zero.
      {"kxmul", kxmul, mpfr_mul, oracle::uniform(-1.0Q, 1.0Q), oracle::uniform(-1.0Q, 1.0Q), 8, oracle::absolute},
  };
  for (const int n : {2, 3, 7, 40}) {
    rows.push_back({"kxnrt " + std::to_string(n), [n](const kxreal& a, kxreal& b) { kxnrt(a, n, b); },
                    [n](mpfr_ptr r, mpfr_srcptr a) { mpfr_rootn_ui(r, a, n, MPFR_RNDN); },
                    oracle::log_uniform(-16000, 16000), 30});
  }
  oracle::sweep(rows, 2024);
}

// Each row here must fail the harness's own assertion, with the worst
// operands in hexadecimal; the rows are not logged.
TEST(Sweep, HarnessCatchesErrors) {
  // kxmul rounds, so no bound of 0 holds.
  const oracle::row zero_bound[] = {{"kxmul", kxmul, mpfr_mul, oracle::pairs, oracle::pairs, 0}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(zero_bound, 1, 200, nullptr), "kxmul at a = (");

  // A reference 40 units too large: kxsqrt's own error (under 8) leaves
  // more than 32, above the bound of 19.
  const auto shifted_sqrt = [](mpfr_ptr r, mpfr_srcptr a) {
    mpfr_sqrt(r, a, MPFR_RNDN);
    big d;
    mpfr_mul_ui(d.get(), r, 40, MPFR_RNDN);
    mpfr_mul_2si(d.get(), d.get(), -226, MPFR_RNDN);
    mpfr_add(r, r, d.get(), MPFR_RNDN);
  };
  const oracle::row shifted[] = {{"kxsqrt", kxsqrt, shifted_sqrt, oracle::log_uniform(-100, 100), 19}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(shifted, 2, 200, nullptr), "kxsqrt at a = (");

  // A NaN is an infinite error, not a skipped point.
  const auto nan = [](mpfr_ptr r, mpfr_srcptr, mpfr_srcptr) { mpfr_set_nan(r); };
  const oracle::row nan_reference[] = {{"kxdiv", kxdiv, nan, oracle::pairs, oracle::pairs, 8}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(nan_reference, 3, 10, nullptr), ", b = (");

  // a^2 - 1/4 near its zero at 1/2: the product's error (8 units of a^2 <=
  // 0.2601) and the difference's (4 units of 0.5101) stay under 4.2 units
  // absolute, but not relative to the vanishing result.
  const auto near_zero = [](const kxreal& a, kxreal& c) {
    kxmul(a, a, c);
    kxsub(c, kxreal{0.25Q, 0}, c);
  };
  const auto near_zero_exact = [](mpfr_ptr r, mpfr_srcptr a) {
    mpfr_sqr(r, a, MPFR_RNDN);
    mpfr_sub_d(r, r, 0.25, MPFR_RNDN);
  };
  const oracle::sampler around_half = oracle::uniform(0.49Q, 0.51Q);
  const oracle::row absolute[] = {{"a^2-1/4", near_zero, near_zero_exact, around_half, 4.2, oracle::absolute}};
  oracle::sweep(absolute, 4, 2000, nullptr);
  const oracle::row relative[] = {{"a^2-1/4", near_zero, near_zero_exact, around_half, 4.2, oracle::relative}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(relative, 4, 2000, nullptr), "a^2-1/4 at a = (");
}

// A sampler stuck at one end of its range, or on one sign, would leave a
// sweep's rows untested where they claim to be.
TEST(Sweep, SamplersCoverTheirRanges) {
  oracle::operands gen(5);
  const oracle::sampler interval = oracle::uniform(3.0Q, 3.25Q);
  const oracle::sampler signed_range = oracle::either_sign(oracle::log_uniform(-20, 20));
  __float128 low = 4, high = 0;
  int negative = 0, low_exponent = 0, high_exponent = 0;
  for (int i = 0; i < 2000; ++i) {
    const kxreal x = interval(gen);
    const big bx(x);
    EXPECT_TRUE(mpfr_cmp_d(bx.get(), 3) >= 0 && mpfr_cmp_d(bx.get(), 3.25) <= 0) << oracle::hex(x);
    EXPECT_TRUE(x.hi + x.lo == x.hi && x.lo != 0) << oracle::hex(x);
    low = fminq(low, x.hi);
    high = fmaxq(high, x.hi);
    const kxreal y = signed_range(gen);
    const int e = ilogbq(y.hi);
    EXPECT_TRUE(e >= -20 && e <= 20) << oracle::hex(y);
    negative += y.hi < 0;
    low_exponent += e == -20;
    high_exponent += e == 20;
  }
  EXPECT_LT(low, 3.001Q);
  EXPECT_GT(high, 3.249Q);
  EXPECT_TRUE(negative > 900 && negative < 1100) << negative;
  EXPECT_TRUE(low_exponent > 0 && high_exponent > 0);
}

}  // namespace
