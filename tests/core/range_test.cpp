// The core routines at the ends of the binary128 range: products, quotients
// and roots whose operands lie where Dekker's split or a root's
// intermediates would leave the range, results beyond the range, and
// negative powers whose positive power overflows. Values against MPFR.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <climits>
#include <functional>
#include <vector>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

using binary_routine = std::function<kxreal(const kxreal&, const kxreal&)>;
using binary_exact = std::function<void(mpfr_ptr, mpfr_srcptr, mpfr_srcptr)>;

struct binary_row {
  const char* name;
  binary_routine routine;
  binary_exact exact;
  int a_low, a_high, b_low, b_high;  // binary exponents of the operands
  double bound;
  bool binary128_b = false;          // b is a binary128 value (lo = 0)
};

kxreal mul(const kxreal& a, const kxreal& b) { kxreal c; kxmul(a, b, c); return c; }
kxreal div(const kxreal& a, const kxreal& b) { kxreal c; kxdiv(a, b, c); return c; }
kxreal muld(const kxreal& a, const kxreal& b) { kxreal c; kxmuld(a, b.hi, c); return c; }
kxreal divd(const kxreal& a, const kxreal& b) { kxreal c; kxdivd(a, b.hi, c); return c; }
void mpfr_mul_n(mpfr_ptr r, mpfr_srcptr a, mpfr_srcptr b) { mpfr_mul(r, a, b, MPFR_RNDN); }
void mpfr_div_n(mpfr_ptr r, mpfr_srcptr a, mpfr_srcptr b) { mpfr_div(r, a, b, MPFR_RNDN); }

kxreal positive(kxreal a) { return a.hi < 0 ? kxreal{-a.hi, -a.lo} : a; }

TEST(Range, ProductsQuotientsAndRootsAtTheEndsOfTheRange) {
  // Factors at and above 2^16320, against moderate and against tiny ones.
  const binary_row rows[] = {
      {"kxmul", mul, mpfr_mul_n, 16300, 16383, -60, -1, 8},
      {"kxmul", mul, mpfr_mul_n, 16300, 16383, -16382, -16300, 8},
      {"kxmuld", muld, mpfr_mul_n, 16300, 16383, -60, -1, 4, true},
      {"kxdiv", div, mpfr_div_n, 16300, 16383, 1, 60, 8},
      {"kxdiv", div, mpfr_div_n, 16300, 16383, 16300, 16383, 8},
      {"kxdivd", divd, mpfr_div_n, 16300, 16383, 1, 60, 5, true},
      {"kxdivd", divd, mpfr_div_n, 16300, 16383, 16300, 16383, 5, true},
  };
  oracle::operands gen(16384);
  for (const binary_row& row : rows) {
    for (int i = 0; i < 2000; ++i) {
      const kxreal a = gen.pair_with_exponent(gen.uniform(row.a_low, row.a_high));
      kxreal b = gen.pair_with_exponent(gen.uniform(row.b_low, row.b_high));
      if (row.binary128_b) b.lo = 0;
      big exact;
      row.exact(exact.get(), big(a).get(), big(b).get());
      const kxreal c = row.routine(a, b);
      ASSERT_LE(oracle::error_units(c, exact), row.bound) << row.name << hex(a) << hex(b) << " gives " << hex(c);
    }
  }
  // Roots of operands beyond 2^16200 and below 2^-16200 (their low words
  // there are subnormal; the exact root is that of the pair as given).
  for (int i = 0; i < 1000; ++i) {
    const int e = gen.coin() ? gen.uniform(16200, 16383) : gen.uniform(-16382, -16200);
    const kxreal a = positive(gen.pair_with_exponent(e));
    kxreal c;
    kxsqrt(a, c);
    big exact(a);
    mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
    ASSERT_LE(oracle::error_units(c, exact), 19) << "kxsqrt" << hex(a) << " gives " << hex(c);
    const int n = gen.uniform(3, 40);
    kxnrt(a, n, c);
    exact.set(a);
    mpfr_rootn_ui(exact.get(), exact.get(), n, MPFR_RNDN);
    ASSERT_LE(oracle::error_units(c, exact), 30) << "kxnrt n=" << n << hex(a) << " gives " << hex(c);
  }
  // The largest value times and over 1 is itself; its roots are finite.
  const kxreal x = {FLT128_MAX / 4, 0};
  const kxreal one = {1, 0};
  EXPECT_TRUE(same_words(mul(x, one), x) && same_words(div(x, one), x));
  EXPECT_TRUE(same_words(muld(x, one), x) && same_words(divd(x, one), x));
  const kxreal largest = {FLT128_MAX, 0};
  kxreal c;
  kxsqrt(largest, c);
  big exact(largest);
  mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(c, exact), 19) << hex(c);
  kxnrt(largest, 3, c);
  mpfr_cbrt(exact.get(), big(largest).get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(c, exact), 30) << hex(c);
}

kxreal power(const kxreal& a, int n) {
  kxreal b;
  kxnpwr(a, n, b);
  return b;
}

TEST(Range, OverflowIsInfinityAndNegativePowersOfLargeValuesAreFinite) {
  const kxreal inf = {HUGE_VALQ, 0};
  const kxreal minus_inf = {-HUGE_VALQ, 0};
  const kxreal ten = {10, 0};
  const kxreal largest = {FLT128_MAX, 0};
  EXPECT_TRUE(same_words(power(ten, 5000), inf)) << hex(power(ten, 5000));
  EXPECT_TRUE(same_words(power(kxreal{2, 0}, INT_MAX), inf));
  EXPECT_TRUE(same_words(power(power(ten, 999), 5), inf));
  EXPECT_TRUE(same_words(power(kxreal{-10, 0}, 4933), minus_inf));
  EXPECT_TRUE(same_words(power(kxreal{0.1Q, 0}, -5000), inf));       // 0.1^5000 underflows
  EXPECT_TRUE(same_words(power(kxreal{-0.1Q, 0}, -5001), minus_inf));
  EXPECT_TRUE(same_words(mul(largest, kxreal{-2, 0}), minus_inf));
  EXPECT_TRUE(same_words(muld(largest, kxreal{2, 0}), inf));
  EXPECT_TRUE(same_words(div(largest, kxreal{0.5Q, 0}), inf));
  EXPECT_TRUE(same_words(divd(largest, kxreal{-0.25Q, 0}), minus_inf));
  // a^-n with a^n beyond the range: 10^-4920 and 10^-4931 are normal values,
  // 10^-4933 a subnormal one; and random a in 2^1..2^40 with a^-n near
  // 2^-16000..2^-16380. A pair there has a subnormal low word: 4 units of
  // 2^-16494 are forgiven.
  struct case_t { kxreal a; int n; };
  std::vector<case_t> cases = {{ten, -4920}, {ten, -4931}, {kxreal{-10, 0}, -4931}, {ten, -4933}};
  oracle::operands gen(4933);
  for (int i = 0; i < 300; ++i) {
    const kxreal a = gen.pair_with_exponent(gen.uniform(1, 40));
    const double log2a = static_cast<double>(log2q(fabsq(a.hi)));
    cases.push_back({a, -static_cast<int>(gen.uniform(16000, 16380) / log2a)});
  }
  for (const case_t& k : cases) {
    const kxreal c = power(k.a, k.n);
    big exact(k.a);
    mpfr_pow_si(exact.get(), exact.get(), k.n, MPFR_RNDN);
    EXPECT_LE(oracle::error_units_above_subnormal(c, exact, 4), oracle::kxnpwr_bound(k.n))
        << hex(k.a) << "^" << k.n << " gives " << hex(c);
  }
}

}  // namespace
