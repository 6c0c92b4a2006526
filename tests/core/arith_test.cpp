// Exact rules of the basic arithmetic and the stored constants.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

TEST(Arithmetic, NewValueIsZero) {
  const kxreal a;
  EXPECT_TRUE(same_words(a, kxreal{0, 0}));
  EXPECT_FALSE(std::signbit(static_cast<double>(a.hi)));
}

TEST(Arithmetic, LowWordKeepsWhatOneWordWouldLose) {
  kxreal c;
  kxadd(kxreal{1, 0}, kxreal{0x1p-200Q, 0}, c);
  EXPECT_TRUE(same_words(c, kxreal{1, 0x1p-200Q})) << hex(c);
  kxsub(c, c, c);
  EXPECT_TRUE(same_words(c, kxreal{0, 0})) << hex(c);
}

// Word-for-word identities over random operands of every size.
TEST(Arithmetic, ExactIdentitiesOnRandomOperands) {
  oracle::operands gen(11);
  const kxreal one = {1, 0};
  for (int i = 0; i < 20000; ++i) {
    const kxreal a = gen.pair();
    const kxreal b = i % 2 ? gen.pair() : gen.pair_with_exponent(ilogbq(a.hi) + gen.uniform(-5, 5));
    kxreal x, y, nb;
    kxneg(b, nb);
    kxsub(a, b, x);
    kxadd(a, nb, y);
    ASSERT_TRUE(same_words(x, y)) << "sub/add " << hex(a) << " " << hex(b);
    kxmul(a, b, x);
    kxmul(b, a, y);
    ASSERT_TRUE(same_words(x, y)) << "mul order " << hex(a) << " " << hex(b);
    kxmul(a, one, x);
    ASSERT_TRUE(same_words(x, a)) << "mul by one " << hex(a);
    kxdiv(a, one, x);
    ASSERT_TRUE(same_words(x, a)) << "div by one " << hex(a);
    kxmuld(a, 1, x);
    ASSERT_TRUE(same_words(x, a)) << "muld by one " << hex(a);
    kxdivd(a, 1, x);
    ASSERT_TRUE(same_words(x, a)) << "divd by one " << hex(a);
    kxsub(a, a, x);
    ASSERT_TRUE(same_words(x, kxreal{0, 0})) << "a - a " << hex(a);
    // Powers of two scale both words exactly.
    const int k = gen.uniform(-200, 200);
    const __float128 p = scalbnq(1, k);
    kxmuld(a, p, x);
    ASSERT_TRUE(same_words(x, kxreal{a.hi * p, a.lo * p})) << "muld 2^" << k << " " << hex(a);
    kxdivd(a, p, x);
    ASSERT_TRUE(same_words(x, kxreal{a.hi / p, a.lo / p})) << "divd 2^" << k << " " << hex(a);
    kxmul(a, kxreal{p, 0}, x);
    ASSERT_TRUE(same_words(x, kxreal{a.hi * p, a.lo * p})) << "mul 2^" << k << " " << hex(a);
  }
}

// An output may be the same variable as an input.
TEST(Arithmetic, OutputMayAliasAnInput) {
  oracle::operands gen(12);
  using routine = void (*)(const kxreal&, const kxreal&, kxreal&);
  for (routine f : {kxadd, kxsub, kxmul, kxdiv}) {
    const kxreal a = gen.pair();
    const kxreal b = gen.pair();
    kxreal expected, x = a, y = b;
    f(a, b, expected);
    f(x, b, x);
    f(a, y, y);
    EXPECT_TRUE(same_words(x, expected)) << hex(a) << " " << hex(b);
    EXPECT_TRUE(same_words(y, expected)) << hex(a) << " " << hex(b);
  }
}

TEST(Arithmetic, ExactProductOfTwoWords) {
  oracle::operands gen(13);
  for (int i = 0; i < 20000; ++i) {
    const __float128 a = gen.pair().hi;
    const __float128 b = gen.pair().hi;
    kxreal c;
    kxmulqq(a, b, c);
    big exact(a), bb(b);
    mpfr_mul(exact.get(), exact.get(), bb.get(), MPFR_RNDN);
    ASSERT_EQ(oracle::error_units(c, exact), 0) << hex(a) << " " << hex(b);
    ASSERT_EQ(c.hi, oracle::to_quad(exact)) << "high word is the rounded product";
  }
}

TEST(Arithmetic, OneThirdAndDivisionByZero) {
  kxreal q;
  kxdiv(kxreal{1, 0}, kxreal{3, 0}, q);
  big exact(static_cast<__float128>(1));
  mpfr_div_ui(exact.get(), exact.get(), 3, MPFR_RNDN);
  EXPECT_LT(oracle::error_units(q, exact), 1) << hex(q);
  kxdiv(kxreal{1, 0}, kxreal{0, 0}, q);
  EXPECT_FALSE(finiteq(q.hi) && finiteq(q.lo)) << hex(q);
  kxdivd(kxreal{1, 0}, 0, q);
  EXPECT_FALSE(finiteq(q.hi) && finiteq(q.lo)) << hex(q);
}

// The stored words agree with the decimal values they are documented by and
// with the constants themselves to 226 bits.
TEST(Constants, WordsMatchDecimalsAndTrueValues) {
  struct constant {
    void (*get)(kxreal&);
    const char* hi_decimal;
    const char* lo_decimal;
    int (*exact)(mpfr_ptr, mpfr_rnd_t);
  };
  const constant table[] = {
      {kxpi, "3.14159265358979323846264338327950280e0", "8.67181013012378102479704402604334947e-35",
       mpfr_const_pi},
      {kxlog2, "6.93147180559945309417232121458176575e-1", "-7.00813947454958516341266200877162389e-36",
       mpfr_const_log2},
      {kxegamma, "5.77215664901532860606512090082402471e-1", "-3.96181796319720895345833471323910125e-35",
       mpfr_const_euler},
  };
  for (const constant& c : table) {
    kxreal a;
    c.get(a);
    big hi, lo, exact;
    mpfr_set_str(hi.get(), c.hi_decimal, 10, MPFR_RNDN);
    mpfr_set_str(lo.get(), c.lo_decimal, 10, MPFR_RNDN);
    EXPECT_EQ(a.hi, oracle::to_quad(hi)) << c.hi_decimal;
    EXPECT_EQ(a.lo, oracle::to_quad(lo)) << c.lo_decimal;
    EXPECT_EQ(a.hi, a.hi + a.lo) << "normalised " << hex(a);
    c.exact(exact.get(), MPFR_RNDN);
    EXPECT_LT(oracle::error_units(a, exact), 1) << c.hi_decimal;
  }
}

}  // namespace
