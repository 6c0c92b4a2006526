// Square root, n-th root and integer power: exact cases, word-for-word rules,
// the correctly rounded binary128 root they start from, and their messages.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include <kx/core/quad_sqrt.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

TEST(QuadSqrt, CorrectlyRoundedAgainstMpfr) {
  oracle::operands gen(21);
  for (int i = 0; i < 100000; ++i) {
    const __float128 x = gen.positive_pair().hi;
    big exact(x);
    mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
    ASSERT_EQ(kx::quad_sqrt(x), oracle::to_quad(exact)) << hex(x);
  }
  // Subnormal arguments and the extremes of the range.
  for (__float128 x : {0x1p-16494Q, 0x1.8p-16400Q, 0x1p-16382Q, 0x1.ffffffffffffffffffffffffffffp+16383Q}) {
    big exact(x);
    mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
    EXPECT_EQ(kx::quad_sqrt(x), oracle::to_quad(exact)) << hex(x);
  }
}

TEST(Sqrt, ExactAndSpecialValues) {
  kxreal b;
  kxsqrt(kxreal{4, 0}, b);
  EXPECT_TRUE(same_words(b, kxreal{2, 0})) << hex(b);
  kxsqrt(kxreal{0, 0}, b);
  EXPECT_TRUE(same_words(b, kxreal{0, 0})) << hex(b);
  kxsqrt(kxreal{2, 0}, b);
  big exact(static_cast<__float128>(2));
  mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
  EXPECT_LT(oracle::error_units(b, exact), 2) << hex(b);
  // Squares of pairs that are exact in 226 bits come back exactly.
  oracle::operands gen(22);
  for (int i = 0; i < 2000; ++i) {
    const kxreal r = {scalbnq(gen.significand(), gen.uniform(-2000, 2000)), 0};
    kxreal sq, root;
    kxmulqq(r.hi, r.hi, sq);
    kxsqrt(sq, root);
    big err(root), exact_root(r.hi);
    ASSERT_LT(oracle::error_units(root, exact_root), 19) << hex(r);
  }
  EXPECT_FATAL_STOP(kxsqrt(kxreal{-1, 0}, b), "^\\*\\*\\* KXSQRT: Argument is negative\\.\n$");
}

TEST(NthRoot, RulesAndExactCases) {
  oracle::operands gen(23);
  for (int i = 0; i < 200; ++i) {
    const kxreal a = gen.positive_pair();
    kxreal b, s;
    kxnrt(a, 1, b);
    ASSERT_TRUE(same_words(b, a)) << hex(a);
    kxnrt(a, 2, b);
    kxsqrt(a, s);
    ASSERT_TRUE(same_words(b, s)) << hex(a);
  }
  kxreal b;
  kxnrt(kxreal{8, 0}, 3, b);
  big two(static_cast<__float128>(2));
  EXPECT_LT(oracle::error_units(b, two), 8) << hex(b);
  for (int n : {-5, 0, 1, 7}) {
    kxnrt(kxreal{0, 0}, n, b);
    EXPECT_TRUE(same_words(b, kxreal{0, 0})) << n;
  }
  // A negative argument is reported before a bad order.
  EXPECT_FATAL_STOP(kxnrt(kxreal{-1, 0}, 3, b), "^\\*\\*\\* KXNRT: Argument is negative\\.\n$");
  EXPECT_FATAL_STOP(kxnrt(kxreal{-1, 0}, 0, b), "^\\*\\*\\* KXNRT: Argument is negative\\.\n$");
  EXPECT_FATAL_STOP(kxnrt(kxreal{2, 0}, 0, b), "^\\*\\*\\* KXNRT: Improper value of N         0\n$");
  EXPECT_FATAL_STOP(kxnrt(kxreal{2, 0}, -12345, b), "^\\*\\*\\* KXNRT: Improper value of N    -12345\n$");
}

TEST(IntegerPower, ExactPowersAndRules) {
  kxreal b;
  kxnpwr(kxreal{2, 0}, 10, b);
  EXPECT_TRUE(same_words(b, kxreal{1024, 0})) << hex(b);
  kxnpwr(kxreal{2, 0}, -3, b);
  EXPECT_TRUE(same_words(b, kxreal{0.125Q, 0})) << hex(b);
  kxnpwr(kxreal{2, 0}, -226, b);
  EXPECT_TRUE(same_words(b, kxreal{0x1p-226Q, 0})) << hex(b);
  kxnpwr(kxreal{0, 0}, 5, b);
  EXPECT_TRUE(same_words(b, kxreal{0, 0})) << hex(b);
  // Every exponent whose bit count sits on a power of two: 3^n is exact
  // in 226 bits up to n = 142, so any missing or extra bit shows.
  for (int n = 1; n <= 142; ++n) {
    kxnpwr(kxreal{3, 0}, n, b);
    big exact(static_cast<__float128>(3));
    mpfr_pow_ui(exact.get(), exact.get(), n, MPFR_RNDN);
    ASSERT_EQ(oracle::error_units(b, exact), 0) << "3^" << n << " " << hex(b);
  }
  oracle::operands gen(24);
  for (int i = 0; i < 200; ++i) {
    const kxreal a = gen.pair();
    kxreal r, expected;
    kxnpwr(a, 0, r);
    ASSERT_TRUE(same_words(r, kxreal{1, 0}));
    kxnpwr(a, 1, r);
    ASSERT_TRUE(same_words(r, a));
    kxnpwr(a, -1, r);
    kxdiv(kxreal{1, 0}, a, expected);
    ASSERT_TRUE(same_words(r, expected)) << hex(a);
    kxnpwr(a, 2, r);
    kxmul(a, a, expected);
    ASSERT_TRUE(same_words(r, expected)) << hex(a);
    kxreal x = a;
    kxnpwr(x, 7, x);
    kxnpwr(a, 7, expected);
    ASSERT_TRUE(same_words(x, expected)) << "aliased " << hex(a);
  }
  EXPECT_FATAL_STOP(kxnpwr(kxreal{0, 0}, 0, b), "^\\*\\*\\* KXNPWR: Argument is zero and N is negative or zero\\.\n$");
  EXPECT_FATAL_STOP(kxnpwr(kxreal{0, 0}, -1, b), "^\\*\\*\\* KXNPWR: Argument is zero and N is negative or zero\\.\n$");
  EXPECT_FATAL_STOP(kxnpwr(kxreal{2, 0}, INT_MIN, b), "^\\*\\*\\* KXNPWR: Improper value of N -2147483648\n$");
}

}  // namespace
