// Comparison, sign, conversion, nearest integer, integer/fraction split and
// decimal digit strings, checked against MPFR at 600 bits and against
// identities that do not go through the library.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

const __float128 two112 = 0x1p112Q;
const __float128 two225 = 0x1p225Q;

bool same_bits(__float128 x, __float128 y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// hi is hi + lo rounded to binary128.
bool normalised(const kxreal& a) { return a.hi + a.lo == a.hi; }

int sign_of(const big& x) { return mpfr_sgn(x.get()) > 0 ? 1 : (mpfr_sgn(x.get()) < 0 ? -1 : 0); }

big mpfr_rint_of(const big& x) {
  big r;
  mpfr_rint(r.get(), x.get(), MPFR_RNDN);
  return r;
}

big mpfr_trunc_of(const big& x) {
  big r;
  mpfr_trunc(r.get(), x.get());
  return r;
}

// hi + lo re-split by a fast two-sum, so that the pair is normalised.
kxreal renormalised(__float128 hi, __float128 lo) {
  const __float128 s = hi + lo;
  return {s, lo - (s - hi)};
}

// A low word for an integral high word |hi| >= 2^112 (the pair is
// renormalised afterwards): fine fractions, integers, halves and tiny words.
__float128 low_word_for(oracle::operands& ops, __float128 hi) {
  const int ulp_exponent = ilogbq(hi) - 112;
  const __float128 sign = ops.coin() ? 1 : -1;
  const int top = ulp_exponent - 1;
  const __float128 fraction = scalbnq(ops.significand(), ops.uniform(-80, top)) * sign;
  switch (ops.uniform(0, 4)) {
    case 0:
      return fraction;
    case 1:  // an integer, if the word is that large
      return truncq(fraction);
    case 2:  // an integer plus one half: a tie when the high word is even
      return truncq(fraction) + 0.5Q * sign;
    case 3:
      return 0x1p-200Q * sign;
    default:  // a fraction below one half with bits far below 2^-113
      return scalbnq(ops.significand(), ops.uniform(-150, -2)) * sign;
  }
}

// A random integral high word in [2^112, 2^225), either sign, with the fixed
// magnitudes 2^112, 2^113, 2^150, 2^200, 2^224 and 2^225 - 2^112 mixed in.
__float128 large_high_word(oracle::operands& ops) {
  static const __float128 fixed[] = {0x1p112Q, 0x1p113Q, 0x1p150Q, 0x1p200Q, 0x1p224Q, two225 - two112};
  const __float128 sign = ops.coin() ? 1 : -1;
  const int pick = ops.uniform(0, 11);
  if (pick < 6) return fixed[pick] * sign;
  return scalbnq(ops.significand(), ops.uniform(112, 224)) * sign;
}

// ---- kxcpr, kxabs, kxqsgn -------------------------------------------------

int cpr(const kxreal& a, const kxreal& b) {
  int ic = 99;
  kxcpr(a, b, ic);
  return ic;
}

TEST(Compare, OrderOfWordsZerosAndNaN) {
  const __float128 nan = nanq("");
  const __float128 inf = HUGE_VALQ;
  EXPECT_EQ(cpr({1, 0x1p-200Q}, {1, 0}), 1);
  EXPECT_EQ(cpr({1, 0}, {1, 0x1p-200Q}), -1);
  EXPECT_EQ(cpr({1, -0x1p-200Q}, {1, 0}), -1);
  EXPECT_EQ(cpr({0, 0}, {-0.0Q, 0}), 0);
  EXPECT_EQ(cpr({-0.0Q, -0.0Q}, {0, 0}), 0);
  EXPECT_EQ(cpr({0, -0.0Q}, {-0.0Q, 0}), 0);
  EXPECT_EQ(cpr({2, -0x1p-112Q}, {2, -0x1p-112Q}), 0);
  // The high word decides even against a low word of the other sign.
  EXPECT_EQ(cpr({2, -0x1p-113Q}, {1, 0x1p-113Q}), 1);
  EXPECT_EQ(cpr({-2, 0x1p-113Q}, {-1, -0x1p-113Q}), -1);
  EXPECT_EQ(cpr({inf, 0}, {1, 0}), 1);
  EXPECT_EQ(cpr({-inf, 0}, {1, 0}), -1);
  // A NaN high word is unordered: "not less, not equal" gives 1 either way.
  EXPECT_EQ(cpr({nan, 0}, {1, 0}), 1);
  EXPECT_EQ(cpr({1, 0}, {nan, 0}), 1);
  EXPECT_EQ(cpr({nan, 0}, {nan, 0}), 1);
  EXPECT_EQ(cpr({1, nan}, {1, 0}), 1);
}

TEST(Compare, AgreesWithExactOrderOfRandomPairs) {
  oracle::operands ops(0x6b78637072);
  for (int i = 0; i < 20000; ++i) {
    const kxreal a = ops.pair_with_exponent(ops.uniform(-300, 300));
    kxreal b;
    switch (i % 4) {
      case 0:  // independent
        b = ops.pair_with_exponent(ops.uniform(-300, 300));
        break;
      case 1: {  // the same high word, another low word
        const kxreal other = ops.pair_with_exponent(ilogbq(a.hi));
        b = renormalised(a.hi, fabsq(other.lo) * (ops.coin() ? 1 : -1));
        break;
      }
      case 2:  // the neighbouring high word
        b = renormalised(nextafterq(a.hi, ops.coin() ? HUGE_VALQ : -HUGE_VALQ), a.lo);
        break;
      default:  // the same value, or the low word a few ulps away
        b = {a.hi, a.lo + (ops.uniform(-2, 2) * 0x1p-113Q) * fabsq(a.lo)};
        b = renormalised(b.hi, b.lo);
        break;
    }
    const int expected = mpfr_cmp(big(a).get(), big(b).get());
    const int want = expected > 0 ? 1 : (expected < 0 ? -1 : 0);
    ASSERT_EQ(cpr(a, b), want) << "a = " << hex(a) << " b = " << hex(b);
    ASSERT_EQ(cpr(b, a), -want) << "a = " << hex(a) << " b = " << hex(b);
  }
}

TEST(Compare, AbsoluteValueAndSign) {
  kxreal b;
  kxabs({-1, 0x1p-200Q}, b);
  EXPECT_TRUE(same_bits(b.hi, 1) && same_bits(b.lo, -0x1p-200Q)) << hex(b);
  kxabs({1, -0x1p-200Q}, b);
  EXPECT_TRUE(same_bits(b.hi, 1) && same_bits(b.lo, -0x1p-200Q)) << hex(b);
  // -0 counts as non-negative: the words are copied as they are.
  kxabs({-0.0Q, -0.0Q}, b);
  EXPECT_TRUE(signbitq(b.hi) && signbitq(b.lo)) << hex(b);
  kxreal a = {-3, 0x1p-120Q};
  kxabs(a, a);  // in place
  EXPECT_TRUE(same_bits(a.hi, 3) && same_bits(a.lo, -0x1p-120Q)) << hex(a);

  oracle::operands ops(0x616273);
  for (int i = 0; i < 5000; ++i) {
    const kxreal x = ops.pair();
    kxabs(x, b);
    big expected;
    mpfr_abs(expected.get(), big(x).get(), MPFR_RNDN);
    ASSERT_EQ(mpfr_cmp(big(b).get(), expected.get()), 0) << hex(x) << " gave " << hex(b);
    ASSERT_TRUE(same_bits(b.hi, fabsq(x.hi))) << hex(x) << " gave " << hex(b);
  }

  EXPECT_EQ(kxqsgn(0), 0);
  EXPECT_EQ(kxqsgn(-0.0Q), 0);
  EXPECT_EQ(kxqsgn(0x1p-16494Q), 1);
  EXPECT_EQ(kxqsgn(-0x1p-16494Q), -1);
  EXPECT_EQ(kxqsgn(FLT128_MAX), 1);
  EXPECT_EQ(kxqsgn(-HUGE_VALQ), -1);
  EXPECT_EQ(kxqsgn(HUGE_VALQ), 1);
  EXPECT_EQ(kxqsgn(-7.5Q), -1);
}

// ---- kxqtox, kxtoqe, kxqetox -----------------------------------------------

TEST(Convert, QuadToPairAndBack) {
  const __float128 values[] = {0, -0.0Q, 1, -0x1.8p-16494Q, 0x1.23456789abcdef0123456789abcdp+100Q, -HUGE_VALQ};
  for (__float128 q : values) {
    kxreal b = {7, 7};
    kxqtox(q, b);
    EXPECT_TRUE(same_bits(b.hi, q) && b.lo == 0 && !signbitq(b.lo)) << hex(q) << " gave " << hex(b);
    __float128 r = 5;
    int n = 5;
    kxtoqe({q, q == 0 || isinfq(q) ? 0 : q * 0x1p-120Q}, r, n);
    EXPECT_TRUE(same_bits(r, q)) << hex(q);
    EXPECT_EQ(n, 0);
  }
}

TEST(Convert, ScaleByPowerOfTwo) {
  oracle::operands ops(0x71657478);
  for (int i = 0; i < 20000; ++i) {
    // q of either sign, sometimes subnormal; the target exponent covers the
    // whole range, with extra weight on subnormal and underflowing results.
    const int qe = i % 10 == 0 ? ops.uniform(-16494, -16383) : ops.uniform(-300, 300);
    const __float128 q = scalbnq(ops.significand(), qe) * (ops.coin() ? 1 : -1);
    const int qexp = ilogbq(q);
    const int target = i % 3 == 0 ? ops.uniform(-16500, -16370) : ops.uniform(-16494, 16383);
    int n = target - qexp;
    if (n < -16494) n = -16494;
    if (n > 16383) n = 16383;
    kxreal b = {7, 7};
    kxqetox(q, n, b);
    big exact(q);
    mpfr_mul_2si(exact.get(), exact.get(), n, MPFR_RNDN);
    const __float128 expected = mpfr_get_float128(exact.get(), MPFR_RNDN);
    ASSERT_TRUE(same_bits(b.hi, expected) && b.lo == 0)
        << "q = " << hex(q) << " n = " << n << " gave " << hex(b) << " expected " << hex(expected);
    ASSERT_TRUE(same_bits(b.hi, scalbnq(q, n))) << "q = " << hex(q) << " n = " << n;
  }

  // Exact powers of two at the ends of the range.
  kxreal b;
  for (int n : {-16494, -16493, -16383, -16382, -1, 0, 1, 16382, 16383}) {
    kxqetox(1, n, b);
    EXPECT_TRUE(same_bits(b.hi, ldexpq(1, n)) && b.lo == 0) << "n = " << n << " gave " << hex(b);
    kxqetox(-1, n, b);
    EXPECT_TRUE(same_bits(b.hi, -ldexpq(1, n))) << "n = " << n;
  }
  // 2^n itself is zero below 2^-16494 and infinite above 2^16383, whatever q.
  for (int n : {-16495, -20000, INT_MIN}) {
    kxqetox(0x1p200Q, n, b);
    EXPECT_TRUE(b.hi == 0 && !signbitq(b.hi) && b.lo == 0) << "n = " << n << " gave " << hex(b);
    kxqetox(-0x1p200Q, n, b);
    EXPECT_TRUE(b.hi == 0 && signbitq(b.hi)) << "n = " << n << " gave " << hex(b);
  }
  for (int n : {16384, 20000, INT_MAX}) {
    kxqetox(0.5Q, n, b);
    EXPECT_TRUE(isinfq(b.hi) && b.hi > 0) << "n = " << n << " gave " << hex(b);
    kxqetox(-0x1p-200Q, n, b);
    EXPECT_TRUE(isinfq(b.hi) && b.hi < 0) << "n = " << n << " gave " << hex(b);
  }
  kxqetox(-0.0Q, 100, b);
  EXPECT_TRUE(b.hi == 0 && signbitq(b.hi));
}

// ---- kxnint ---------------------------------------------------------------

kxreal nint(const kxreal& a) {
  kxreal b = {7, 7};
  kxnint(a, b);
  return b;
}

TEST(NearestInteger, SmallValuesAndTies) {
  struct example {
    kxreal a;
    __float128 expected;
  };
  const example examples[] = {
      {{2.5Q, 0}, 2},
      {{3.5Q, 0}, 4},
      {{-2.5Q, 0}, -2},
      {{-3.5Q, 0}, -4},
      {{0.5Q, 0}, 0},
      {{1.5Q, 0}, 2},
      {{2.7Q, 0}, 3},
      {{-2.7Q, 0}, -3},
      {{0x1p-300Q, 0}, 0},
      {{-0x1p-300Q, 0}, 0},
      {{0x1p-16494Q, 0}, 0},
      {{0.49999Q, 0}, 0},
      {{0, 0}, 0},
      {{-0.0Q, 0}, 0},
      {{1e30Q + 0.5Q, 0}, 1e30Q},  // 10^30 is even
      {{0x1p111Q + 0.5Q, 0}, 0x1p111Q},
      {{0x1p111Q + 1.5Q, 0}, 0x1p111Q + 2},
      {{0x1p112Q - 0.5Q, 0}, 0x1p112Q},
      {{-(0x1p112Q - 0.5Q), 0}, -0x1p112Q},
      // A low word too small to move a value halfway in its high word.
      {{2.5Q, 0x1p-200Q}, 2},
      {{3.5Q, -0x1p-200Q}, 4},
      {{-2.5Q, -0x1p-200Q}, -2},
      // A low word that decides: the high word is not halfway.
      {{2, 0x1p-200Q}, 2},
      {{3, -0x1p-200Q}, 3},
      {{0x1p111Q + 1, 0.25Q}, 0x1p111Q + 1},
  };
  for (const example& e : examples) {
    const kxreal b = nint(e.a);
    EXPECT_TRUE(b.hi == e.expected && b.lo == 0) << hex(e.a) << " gave " << hex(b);
  }
  kxreal a = {-7.5Q, 0};
  kxnint(a, a);  // in place
  EXPECT_TRUE(a.hi == -8 && a.lo == 0) << hex(a);
}

TEST(NearestInteger, RandomBelow2To112) {
  oracle::operands ops(0x6e696e74);
  int halfway = 0;
  for (int i = 0; i < 30000; ++i) {
    kxreal a;
    if (i % 5 == 0) {
      // Halfway in the high word (or just beside it), with a small low word.
      const __float128 k = truncq(scalbnq(ops.significand(), ops.uniform(0, 110)));
      const __float128 sign = ops.coin() ? 1 : -1;
      __float128 hi = (k + 0.5Q) * sign;
      if (ops.coin()) hi = nextafterq(hi, ops.coin() ? HUGE_VALQ : -HUGE_VALQ);
      const __float128 lo = ops.coin() ? 0 : scalbnq(ops.significand(), ilogbq(hi) - 113 - ops.uniform(1, 100)) * (ops.coin() ? 1 : -1);
      a = renormalised(hi, lo);
    } else {
      a = ops.pair_with_exponent(ops.uniform(-40, 111));
    }
    if (!(fabsq(a.hi) < two112)) continue;
    const kxreal b = nint(a);
    const big exact(a);
    const bool tie_in_high_word = fabsq(a.hi - truncq(a.hi)) == 0.5Q && a.lo != 0;
    // A value halfway in its high word goes to the even neighbour of the
    // high word alone; everything else is the nearest integer of hi + lo.
    const big expected = tie_in_high_word ? mpfr_rint_of(big(a.hi)) : mpfr_rint_of(exact);
    halfway += tie_in_high_word;
    ASSERT_EQ(mpfr_cmp(big(b).get(), expected.get()), 0) << hex(a) << " gave " << hex(b);
    ASSERT_EQ(b.lo, 0) << hex(a) << " gave " << hex(b);
  }
  EXPECT_GT(halfway, 1000);  // the halfway branch above was exercised
}

TEST(NearestInteger, HighWordIntegralUpTo2To225) {
  oracle::operands ops(0x6c61726765);
  for (int i = 0; i < 30000; ++i) {
    const __float128 hi = large_high_word(ops);
    const kxreal a = renormalised(hi, low_word_for(ops, hi));
    if (!(fabsq(a.hi) < two225)) continue;  // carried up to 2^225
    const kxreal b = nint(a);
    const big exact(a);
    // Renormalising may take 2^112 a half below itself, where the high word
    // can be halfway; that case belongs to the test above.
    if (fabsq(a.hi) < two112 && fabsq(a.hi - truncq(a.hi)) == 0.5Q && a.lo != 0) continue;
    const big expected = mpfr_rint_of(exact);
    ASSERT_EQ(mpfr_cmp(big(b).get(), expected.get()), 0) << hex(a) << " gave " << hex(b);
    ASSERT_TRUE(normalised(b)) << hex(a) << " gave " << hex(b);
  }
  // The largest binary128 value below 2^225 is accepted and kept.
  for (__float128 sign : {1, -1}) {
    const kxreal top = {(two225 - two112) * sign, 0};
    const kxreal b = nint(top);
    EXPECT_TRUE(b.hi == top.hi && b.lo == 0) << hex(b);
  }
}

// ---- kxinfr ---------------------------------------------------------------

void check_split(const kxreal& a) {
  kxreal b = {7, 7};
  kxreal c = {7, 7};
  kxinfr(a, b, c);
  const big exact(a);
  const big whole = mpfr_trunc_of(exact);
  ASSERT_EQ(mpfr_cmp(big(b).get(), whole.get()), 0) << hex(a) << " gave b = " << hex(b);
  ASSERT_TRUE(normalised(b)) << hex(a) << " gave b = " << hex(b);
  big sum;
  mpfr_add(sum.get(), big(b).get(), big(c).get(), MPFR_RNDN);  // exact at 600 bits
  ASSERT_EQ(mpfr_cmp(sum.get(), exact.get()), 0) << hex(a) << " gave b = " << hex(b) << " c = " << hex(c);
  ASSERT_LT(mpfr_cmpabs_ui(big(c).get(), 1), 0) << hex(a) << " gave c = " << hex(c);
  ASSERT_GE(sign_of(big(c)) * sign_of(exact), 0) << hex(a) << " gave c = " << hex(c);
  ASSERT_TRUE(normalised(c)) << hex(a) << " gave c = " << hex(c);
}

TEST(IntegerAndFraction, Examples) {
  struct example {
    kxreal a, b, c;
  };
  const example examples[] = {
      {{2.5Q, 0}, {2, 0}, {0.5Q, 0}},
      {{-2.5Q, 0}, {-2, 0}, {-0.5Q, 0}},
      {{3.5Q, 0}, {3, 0}, {0.5Q, 0}},
      {{3.5Q, -0x1p-200Q}, {3, 0}, {0.5Q, -0x1p-200Q}},
      {{-3.5Q, 0x1p-200Q}, {-3, 0}, {-0.5Q, 0x1p-200Q}},
      {{2.5Q, 0x1p-200Q}, {2, 0}, {0.5Q, 0x1p-200Q}},
      {{3, 0}, {3, 0}, {0, 0}},
      {{-3, 0}, {-3, 0}, {0, 0}},
      {{3, -0x1p-200Q}, {2, 0}, {1, -0x1p-200Q}},
      {{0x1p-300Q, 0}, {0, 0}, {0x1p-300Q, 0}},
      {{-0.75Q, 0}, {0, 0}, {-0.75Q, 0}},
      {{0, 0}, {0, 0}, {0, 0}},
  };
  for (const example& e : examples) {
    kxreal b = {7, 7};
    kxreal c = {7, 7};
    kxinfr(e.a, b, c);
    EXPECT_TRUE(b.hi == e.b.hi && b.lo == e.b.lo && c.hi == e.c.hi && c.lo == e.c.lo)
        << hex(e.a) << " gave b = " << hex(b) << " c = " << hex(c);
    check_split(e.a);
  }
}

TEST(IntegerAndFraction, RandomBelow2To112) {
  oracle::operands ops(0x696e6672);
  for (int i = 0; i < 20000; ++i) {
    kxreal a;
    if (i % 4 == 0) {
      // An integer or half-integer high word with a small low word of either sign.
      const __float128 k = truncq(scalbnq(ops.significand(), ops.uniform(0, 110)));
      const __float128 hi = (k + (ops.coin() ? 0.5Q : 0)) * (ops.coin() ? 1 : -1);
      a = renormalised(hi, scalbnq(ops.significand(), ilogbq(hi) - 113 - ops.uniform(1, 100)) * (ops.coin() ? 1 : -1));
    } else {
      a = ops.pair_with_exponent(ops.uniform(-400, 111));
    }
    if (!(fabsq(a.hi) < two112)) continue;
    check_split(a);
    if (HasFatalFailure()) return;
  }
}

TEST(IntegerAndFraction, HighWordIntegralUpTo2To225) {
  oracle::operands ops(0x73706c6974);
  for (int i = 0; i < 30000; ++i) {
    const __float128 hi = large_high_word(ops);
    const kxreal a = renormalised(hi, low_word_for(ops, hi));
    if (!(fabsq(a.hi) < two225)) continue;  // carried up to 2^225
    check_split(a);
    if (HasFatalFailure()) return;
  }
}

// ---- Fatal stops ----------------------------------------------------------

TEST(RoundingDeathTest, ArgumentTooLarge) {
  const char* nint_message = "^\\*\\*\\* KXNINT: Argument is too large\\.\n$";
  const char* infr_message = "^\\*\\*\\* KXINFR: Argument is too large\\.\n$";
  for (const kxreal a : {kxreal{two225, 0}, kxreal{-two225, 0}, kxreal{two225, -0x1p100Q}, kxreal{1e80Q, 0},
                         kxreal{-HUGE_VALQ, 0}}) {
    SCOPED_TRACE(hex(a));
    kxreal b, c;
    EXPECT_FATAL_STOP(kxnint(a, b), nint_message);
    EXPECT_FATAL_STOP(kxinfr(a, b, c), infr_message);
  }
}

// ---- kxdigstr -------------------------------------------------------------

std::string as_string(const std::array<char, 32>& s) { return std::string(s.begin(), s.end()); }

// The last n digits of u, padded with blanks to 32 characters.
std::string last_digits(unsigned __int128 u, int n) {
  std::string s(32, ' ');
  for (int i = n - 1; i >= 0; --i) {
    s[i] = static_cast<char>('0' + static_cast<int>(u % 10));
    u /= 10;
  }
  return s;
}

TEST(DigitString, LastDigitsOfIntegers) {
  EXPECT_EQ(as_string(kxdigstr(12345, 3)), "345" + std::string(29, ' '));
  EXPECT_EQ(as_string(kxdigstr(7, 4)), "0007" + std::string(28, ' '));
  EXPECT_EQ(as_string(kxdigstr(-12, 2)), "12" + std::string(30, ' '));
  EXPECT_EQ(as_string(kxdigstr(5, 0)), std::string(32, ' '));
  EXPECT_EQ(as_string(kxdigstr(5, -3)), std::string(32, ' '));
  EXPECT_EQ(as_string(kxdigstr(0, 5)), "00000" + std::string(27, ' '));

  // 2^113 - 1, the largest integer with every step exact, and 10^32 - 1.
  const unsigned __int128 max113 = (static_cast<unsigned __int128>(1) << 113) - 1;
  EXPECT_EQ(as_string(kxdigstr(static_cast<__float128>(max113), 32)), last_digits(max113, 32));
  unsigned __int128 nines = 0;
  for (int i = 0; i < 32; ++i) nines = nines * 10 + 9;
  EXPECT_EQ(as_string(kxdigstr(static_cast<__float128>(nines), 32)), std::string(32, '9'));

  oracle::operands ops(0x646967);
  std::mt19937_64 gen(0x73747220);
  for (int i = 0; i < 5000; ++i) {
    unsigned __int128 u = (static_cast<unsigned __int128>(gen()) << 64) | gen();
    u &= (static_cast<unsigned __int128>(1) << ops.uniform(1, 113)) - 1;
    if (i % 3 == 0) {  // exactly 32 digits
      unsigned __int128 p31 = 1;
      for (int k = 0; k < 31; ++k) p31 *= 10;
      u = p31 + u % (9 * p31);
    }
    const int n = i % 3 == 0 ? 32 : ops.uniform(0, 32);
    const __float128 x = static_cast<__float128>(u) * (ops.coin() ? 1 : -1);
    ASSERT_EQ(static_cast<unsigned __int128>(fabsq(x)), u);
    ASSERT_EQ(as_string(kxdigstr(x, n)), last_digits(u, n)) << "x = " << hex(x) << " n = " << n;
  }
}

TEST(DigitString, OnlyDigitsAndBlanksForAnyValue) {
  const __float128 values[] = {nanq(""), -nanq(""), 1e40Q, -1e40Q, 0.5Q, 9.99Q, -0.25Q, HUGE_VALQ,
                               -HUGE_VALQ, FLT128_MAX, 0x1p113Q + 2, 1e4000Q, 0x1p-16494Q};
  for (__float128 x : values) {
    for (int n : {1, 5, 31, 32}) {
      const std::array<char, 32> s = kxdigstr(x, n);
      for (int i = 0; i < 32; ++i) {
        if (i < n) {
          ASSERT_TRUE(s[i] >= '0' && s[i] <= '9') << "x = " << hex(x) << " n = " << n << " at " << i << ": " << as_string(s);
        } else {
          ASSERT_EQ(s[i], ' ') << "x = " << hex(x) << " n = " << n << " at " << i;
        }
      }
    }
  }
}

TEST(DigitStringDeathTest, ImproperLength) {
  EXPECT_FATAL_STOP(kxdigstr(1, 33), "^\\*\\*\\* KXDIGSTR: Improper value of N        33\n$");
  EXPECT_FATAL_STOP(kxdigstr(1, 1000000), "^\\*\\*\\* KXDIGSTR: Improper value of N   1000000\n$");
  EXPECT_FATAL_STOP(kxdigstr(1, INT_MAX), "^\\*\\*\\* KXDIGSTR: Improper value of N2147483647\n$");
}

}  // namespace
