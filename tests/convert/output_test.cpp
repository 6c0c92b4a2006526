// Decimal output: layouts worked out by hand, the carry that clears tails of
// nines, the digits of random pairs against MPFR's exact value, the round
// trip through decimal input, fixed notation and printed lines.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/support/unit_streams.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

kxreal pair_of(const char* decimal) {
  big x;
  mpfr_set_str(x.get(), decimal, 10, MPFR_RNDN);
  return oracle::to_pair(x);
}

// x (1 - 2^-220) or x + 2^-220 |x|: a hair from x, as a computation leaves it.
kxreal nudged(const kxreal& x, int direction) {
  kxreal hair;
  kxmuld(x, direction * 0x1p-220Q, hair);
  if (x.hi < 0) hair = {-hair.hi, -hair.lo};
  kxreal y;
  kxadd(x, hair, y);
  return y;
}

std::string trimmed(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

TEST(Eformat, LayoutsOfTheNotation) {
  EXPECT_EQ(kxeformat(kxreal{12.5Q, 0}, 20, 5), "1.2500e1" + std::string(12, ' '));
  EXPECT_EQ(kxeformat(kxreal{-0.25Q, 0}, 11, 3), "-2.50e-1   ");
  EXPECT_EQ(kxeformat(kxreal{100}, 12, 4), "1.000e2     ");
  EXPECT_EQ(kxeformat(kxreal{0.25Q, 0}, 12, 4), "2.500e-1    ");
  EXPECT_EQ(kxeformat(kxreal{-2.5Q, 0}, 11, 3), "-2.50e0    ");
  EXPECT_EQ(kxeformat(kxreal{0}, 12, 4), "0.000e0     ");
  EXPECT_EQ(kxeformat(kxreal{-0.0Q, 0}, 12, 4), "0.000e0     ");
  EXPECT_EQ(kxeformat(kxreal{5}, 9, 1), "5.e0     ");
  EXPECT_EQ(kxeformat(kxreal{5}, 8, 0), "5e0     ");
  EXPECT_EQ(kxeformat(kxreal{-5}, 8, 0), "-5e0    ");
  // The widest text fills the narrowest field exactly.
  kxreal tiny;
  kxnpwr(kxreal{10}, -4000, tiny);
  const std::string t = kxeformat(kxreal{-tiny.hi, -tiny.lo}, 11, 3);
  EXPECT_EQ(t.size(), 11u);
  EXPECT_EQ(t.substr(0, 6), "-1.00e");
  EXPECT_EQ(t.substr(6), "-4000");
}

TEST(Eformat, WritesExactlyTheFieldAndChecksItsWidth) {
  std::vector<char> b(40, '#');
  kxeformat(kxreal{3}, 30, 4, std::span<char>(b).first(35));
  EXPECT_EQ(std::string(b.begin(), b.begin() + 30), "3.000e0" + std::string(23, ' '));
  EXPECT_EQ(std::string(b.begin() + 30, b.end()), std::string(10, '#'));

  const char* msg = "\\*\\*\\* KXEFORMAT: uninitialized or inadequately sized arrays";
  EXPECT_FATAL_STOP(kxeformat(kxreal{1}, 11, 4), msg);  // nb = nd + 7
  std::vector<char> short_buffer(11);
  EXPECT_FATAL_STOP(kxeformat(kxreal{1}, 12, 4, short_buffer), msg);
  EXPECT_FATAL_STOP(kxeformat(kxreal{1}, 20, -1), msg);
  EXPECT_FATAL_STOP(kxeformat(kxreal{1}, -5, 2147483647), msg);
}

// A value a hair below a short decimal or an integer prints as that decimal
// while the digits generated past the shown ones are all nines: through 63
// digits for the nearest pair to 1.2, which lies 1.9e-69 below it.
TEST(Eformat, CarryTurnsTailsOfNinesIntoTheNextDecimal) {
  const kxreal x = pair_of("1.2");
  EXPECT_EQ(trimmed(kxeformat(x, 9, 1)), "1.e0");
  for (int nd : {2, 5, 20, 31, 32, 40, 63}) {
    EXPECT_EQ(trimmed(kxeformat(x, nd + 8, nd)), "1.2" + std::string(nd - 2, '0') + "e0") << nd;
  }
  const kxreal minus_x = nudged(pair_of("-1.2"), 1);
  for (int nd : {5, 20, 40}) {
    EXPECT_EQ(trimmed(kxeformat(minus_x, nd + 8, nd)), "-1.2" + std::string(nd - 2, '0') + "e0") << nd;
  }
  // The unit is added only when the character at position nd + 1 of the
  // text is a digit of 5 or more; with a sign in front that is the last but
  // one shown digit, so -1.19|99... keeps its cut digits at nd = 3.
  EXPECT_EQ(trimmed(kxeformat(minus_x, 11, 3)), "-1.19e0");
  // 9.99...9 becomes 1.0...0 with the next exponent; a high word on a power
  // of ten with a negative low word has the leading digit 0 before the carry.
  EXPECT_EQ(trimmed(kxeformat(nudged(kxreal{10}, -1), 30, 6)), "1.00000e1");
  EXPECT_EQ(trimmed(kxeformat(kxreal{100, -0x1p-200Q}, 20, 4)), "1.000e2");
  EXPECT_EQ(trimmed(kxeformat(nudged(kxreal{-999999}, -1), 30, 9)), "-9.99999000e5");
  // A hair above needs no carry, and a tail that is not all nines is cut.
  EXPECT_EQ(trimmed(kxeformat(nudged(kxreal{7}, 1), 30, 9)), "7.00000000e0");
  EXPECT_EQ(trimmed(kxeformat(pair_of("0.123456789"), 30, 5)), "1.2345e-1");
}

// The 40-digit text of a lies within one unit of its last digit of the
// exact value: at most 10^-39 relative.
void expect_forty_digits_of(const kxreal& a, const big& exact) {
  const std::string text = trimmed(kxeformat(a, 60, 40));
  big shown;
  ASSERT_EQ(mpfr_set_str(shown.get(), text.c_str(), 10, MPFR_RNDN), 0) << text;
  big diff;
  mpfr_sub(diff.get(), shown.get(), exact.get(), MPFR_RNDN);
  mpfr_div(diff.get(), diff.get(), exact.get(), MPFR_RNDN);
  EXPECT_LT(std::abs(mpfr_get_d(diff.get(), MPFR_RNDN)), 1e-39) << text << " for " << hex(a);
}

// A non-finite word has no digits: its text stands in their place.
TEST(Eformat, NonFiniteValuesAndTheEndsOfTheRange) {
  const __float128 inf = __builtin_infq();
  EXPECT_EQ(kxeformat(kxreal{inf, 0}, 10, 2), "inf       ");
  EXPECT_EQ(kxeformat(kxreal{-inf, 0}, 10, 2), "-inf      ");
  EXPECT_EQ(kxeformat(kxreal{__builtin_nanq(""), 0}, 10, 2), "nan       ");
  EXPECT_EQ(kxeformat(kxreal{1, __builtin_nanq("")}, 10, 2), "nan       ");
  EXPECT_EQ(kxfformat(kxreal{-inf, 0}, 10, 2), "      -inf");

  // The largest and smallest binary128 values, and values around the
  // largest power of ten scaled in one step, to 40 digits.
  std::vector<kxreal> extremes = {{FLT128_MAX, 0}, {-FLT128_MAX, -0x1p16270Q}, {FLT128_MIN, 0},
                                  {FLT128_DENORM_MIN, 0}, {-0x1p-16480Q, 0}};
  for (const char* v : {"1.5e4899", "1.5e4900", "1.5e4901", "1.1e4932", "-9.9e4931", "1.5e-4900", "1.5e-4901",
                        "2.5e-4950"}) {
    extremes.push_back(pair_of(v));
  }
  for (const kxreal& a : extremes) expect_forty_digits_of(a, big(a));
}

// A pair whose low word outweighs its high word prints as the sum of its
// words (one with a subnormal high word and a low word near 2^7681 looped
// for ever, its scaled value infinite); a sum past the range prints inf.
TEST(Eformat, PairsNotNormalisedPrintTheSumOfTheirWords) {
  const kxreal pairs[] = {{0x0.676767606767676767676767cep-16382Q, 0x1.27fffffffffffb3ff4dep+7681Q},
                          {1, 0x1p100Q},
                          {0, 3},
                          {-0x1p-13000Q, 0x1.8p997Q},
                          {0x1p-100Q, -0x1.5p-20Q},
                          {FLT128_MIN, -FLT128_MAX}};
  for (const kxreal& a : pairs) expect_forty_digits_of(a, big(a));
  EXPECT_EQ(kxeformat(kxreal{FLT128_MAX, FLT128_MAX}, 10, 2), "inf       ");
  EXPECT_EQ(kxfformat(kxreal{-FLT128_MAX, -FLT128_MAX}, 10, 2), "      -inf");
}

// The decimal exponent and the shown value of a scientific text.
struct shown_text {
  big value;
  long exponent = 0;
};

shown_text parse_shown(const std::string& text) {
  shown_text s;
  EXPECT_EQ(mpfr_set_str(s.value.get(), trimmed(text).c_str(), 10, MPFR_RNDN), 0) << text;
  s.exponent = std::stol(text.substr(text.find('e') + 1));
  return s;
}

// 10^e as an MPFR number (exact enough at 600 bits).
big power_of_ten(long e) {
  big p;
  mpfr_set_ui(p.get(), 10, MPFR_RNDN);
  mpfr_pow_si(p.get(), p.get(), e, MPFR_RNDN);
  return p;
}

// |x - y| / ulp.
double in_units_of(const big& x, const big& y, const big& ulp) {
  big d;
  mpfr_sub(d.get(), x.get(), y.get(), MPFR_RNDN);
  mpfr_abs(d.get(), d.get(), MPFR_RNDN);
  mpfr_div(d.get(), d.get(), ulp.get(), MPFR_RNDN);
  return mpfr_get_d(d.get(), MPFR_RNDU);
}

// Random pairs with decimal exponents -1000..1000 and 0..70 digits. The
// shown value must lie within one unit of its last digit of the exact
// value hi + lo, but for the error of the scaling by 10^-nexp: kxnpwr's
// bound, 8 units of 2^-226 for the division or product, 8 more when a value
// near the range ends is scaled twice, 5 for each of up to two normalising
// steps and 4 for the digits, all
// relative. That excess is reported; where it is below a tenth of the last
// digit's weight, the digits must also be MPFR's correctly rounded ones or
// their neighbour.
TEST(Eformat, DigitsOfRandomPairsAgainstMpfr) {
  oracle::operands gen(21);
  double largest_excess = 0;
  double largest_excess_bound_ratio = 0;
  double largest_distance_from_rounded = 0;
  for (int i = 0; i < 20000; ++i) {
    const kxreal x = gen.pair();
    const int nd = gen.uniform(0, 70);
    const std::string text = kxeformat(x, nd + 8, nd);
    const shown_text shown = parse_shown(text);
    const big exact(x);
    const int shown_digits = std::max(nd, 1);
    const big ulp = power_of_ten(shown.exponent - shown_digits + 1);
    const big unit_226 = [&] {
      big u;
      mpfr_abs(u.get(), exact.get(), MPFR_RNDN);
      mpfr_mul_2si(u.get(), u.get(), -226, MPFR_RNDN);
      return u;
    }();
    const double distance = in_units_of(shown.value, exact, ulp);
    // The part of the distance beyond one unit of the last digit, in units
    // of 2^-226 relative to |x|.
    big beyond;
    mpfr_sub(beyond.get(), shown.value.get(), exact.get(), MPFR_RNDN);
    mpfr_abs(beyond.get(), beyond.get(), MPFR_RNDN);
    mpfr_sub(beyond.get(), beyond.get(), ulp.get(), MPFR_RNDN);
    const double excess = std::max(0.0, mpfr_get_d(beyond.get(), MPFR_RNDU) == 0
                                            ? 0.0
                                            : in_units_of(beyond, big(), unit_226) *
                                                  (mpfr_sgn(beyond.get()) > 0 ? 1 : 0));
    const int n = static_cast<int>(std::abs(shown.exponent));
    const double bound = oracle::kxnpwr_bound(n) + 8 + 8 + 10 + 4;
    largest_excess = std::max(largest_excess, excess);
    largest_excess_bound_ratio = std::max(largest_excess_bound_ratio, excess / bound);
    ASSERT_LE(excess, bound) << text << " for " << hex(x) << " (" << distance << " units of the last digit)";

    const double ulp_in_226 = in_units_of(ulp, big(), unit_226);
    if (ulp_in_226 > 10 * bound) {
      // MPFR's correctly rounded decimal with the same number of digits.
      mpfr_exp_t e;
      char* digits = mpfr_get_str(nullptr, &e, 10, shown_digits, exact.get(), MPFR_RNDN);
      std::string rounded = digits;
      mpfr_free_str(digits);
      rounded += "e" + std::to_string(static_cast<long>(e) - shown_digits);
      big r;
      mpfr_set_str(r.get(), rounded.c_str(), 10, MPFR_RNDN);
      const double from_rounded = in_units_of(shown.value, r, ulp);
      largest_distance_from_rounded = std::max(largest_distance_from_rounded, from_rounded);
      ASSERT_LE(from_rounded, 1 + 1e-9) << text << " vs " << rounded << " for " << hex(x);
    }
  }
  std::printf("[ accuracy ] kxeformat shown value beyond one unit of its last digit: %.3f units of 2^-226 "
              "(largest / bound kxnpwr's + 30: %.4f)\n",
              largest_excess, largest_excess_bound_ratio);
  std::printf("[ accuracy ] kxeformat distance from MPFR's rounded digits: %.3f units of the last digit (bound 1)\n",
              largest_distance_from_rounded);
}

// kxinpc of the 70-digit text gives x back; the largest error is printed.
TEST(Eformat, RoundTripThroughDecimalInput) {
  oracle::operands gen(22);
  double largest = 0;
  double largest_moderate = 0;
  for (int i = 0; i < 20000; ++i) {
    const bool moderate = i % 2 == 0;
    // Literals take at most three exponent digits: |x| < 10^999.
    const kxreal x = gen.pair_with_exponent(moderate ? gen.uniform(-100, 100) : gen.uniform(-3300, 3300));
    const std::string text = kxeformat(x, 80, 70);
    kxreal y;
    kxinpc(text, y);
    const double err = oracle::error_units(y, big(x));
    largest = std::max(largest, err);
    if (moderate) largest_moderate = std::max(largest_moderate, err);
    // Cutting at 70 digits costs at most 10^-69 relative (0.11 units); the
    // rest is the scaling of output and input, a few units.
    EXPECT_LE(err, 16) << text << " for " << hex(x);
  }
  std::printf("[ accuracy ] round trip kxinpc(kxeformat(x, 80, 70)): %.3f units of 2^-226 for |x| in "
              "2^-100..2^100, %.3f for 2^-3300..2^3300\n",
              largest_moderate, largest);
}

std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

TEST(Fformat, LayoutsOfTheNotation) {
  EXPECT_EQ(kxfformat(kxreal{12}, 64, 0), blanks(61) + "12.");
  EXPECT_EQ(kxfformat(kxreal{-7}, 64, 0), blanks(61) + "-7.");
  EXPECT_EQ(kxfformat(kxreal{1}, 64, 0), blanks(62) + "1.");
  EXPECT_EQ(kxfformat(kxreal{0}, 12, 3), blanks(7) + "0.000");
  EXPECT_EQ(kxfformat(kxreal{-0.0Q, 0}, 12, 3), blanks(7) + "0.000");
  EXPECT_EQ(kxfformat(pair_of("0.001234"), 12, 3), blanks(7) + "0.001");
  EXPECT_EQ(kxfformat(pair_of("0.0001234"), 12, 3), blanks(7) + "0.000");
  EXPECT_EQ(kxfformat(pair_of("-0.0001234"), 12, 3), blanks(6) + "-0.000");
  EXPECT_EQ(kxfformat(kxreal{0.5Q, 0}, 8, 0), blanks(6) + "0.");
  EXPECT_EQ(kxfformat(pair_of("-123.456789"), 16, 5), blanks(6) + "-123.45678");
  EXPECT_EQ(kxfformat(pair_of("98765.4321"), 16, 2), blanks(8) + "98765.43");
  // A field too narrow for the number is all asterisks: nd + E + 3 > nb.
  kxreal p;
  kxnpwr(kxreal{10}, 62, p);
  EXPECT_EQ(kxfformat(p, 64, 0), std::string(64, '*'));
  kxnpwr(kxreal{10}, 61, p);
  EXPECT_EQ(kxfformat(p, 64, 0), " 1" + std::string(61, '0') + ".");
  EXPECT_EQ(kxfformat(kxreal{1234567}, 10, 2), std::string(10, '*'));
  EXPECT_EQ(kxfformat(kxreal{123456}, 10, 2), " 123456.00");
  EXPECT_EQ(kxfformat(kxreal{-123456}, 10, 2), "-123456.00");
  EXPECT_EQ(kxfformat(pair_of("1e4000"), 64, 2), std::string(64, '*'));
  EXPECT_EQ(kxfformat(pair_of("-1e-4000"), 12, 2), blanks(7) + "-0.00");
}

TEST(Fformat, ChecksItsWidth) {
  const char* msg = "\\*\\*\\* KXFFORMAT: uninitialized or inadequately sized arrays";
  EXPECT_FATAL_STOP(kxfformat(kxreal{1}, 9, 2), msg);
  std::vector<char> short_buffer(9);
  EXPECT_FATAL_STOP(kxfformat(kxreal{1}, 10, 2, short_buffer), msg);
  EXPECT_FATAL_STOP(kxfformat(kxreal{1}, 10, -1), msg);
  std::vector<char> b(20, '#');
  kxfformat(kxreal{5}, 10, 2, std::span<char>(b).first(15));
  EXPECT_EQ(std::string(b.begin(), b.end()), blanks(6) + "5.00" + std::string(10, '#'));
}

// MPFR's fixed text of the exact value rounded to nearest with nd digits,
// right-justified in nb columns.
std::string mpfr_fixed(const big& x, int nb, int nd) {
  char* text = nullptr;
  mpfr_asprintf(&text, "%#*.*Rf", nb, nd, x.get());  // # keeps the point when nd = 0
  std::string s = text;
  mpfr_free_str(text);
  return s;
}

// Integers n, and n a hair below and above themselves (n - 2^-220,
// n (1 - 2^-220), n + 2^-220 |n|), print as n exactly, of either sign.
TEST(Fformat, IntegersNearAndBelowThemselvesPrintExactly) {
  oracle::operands gen(31);
  for (int i = 0; i < 3000; ++i) {
    const int digits = gen.uniform(1, 40);
    big n;
    mpfr_set_ui(n.get(), 0, MPFR_RNDN);
    for (int k = 0; k < digits; ++k) {
      mpfr_mul_ui(n.get(), n.get(), 10, MPFR_RNDN);
      mpfr_add_ui(n.get(), n.get(), static_cast<unsigned long>(gen.uniform(k == 0 ? 1 : 0, 9)), MPFR_RNDN);
    }
    if (gen.coin()) mpfr_neg(n.get(), n.get(), MPFR_RNDN);
    const kxreal exact = oracle::to_pair(n);
    const int nd = gen.uniform(0, 6);
    const int nb = 64;
    const std::string expected = mpfr_fixed(n, nb, nd);
    kxreal below_by_hair;
    const kxreal hair = exact.hi > 0 ? kxreal{-0x1p-220Q, 0} : kxreal{0x1p-220Q, 0};
    kxadd(exact, hair, below_by_hair);
    for (const kxreal& a : {exact, below_by_hair, nudged(exact, -1), nudged(exact, 1)}) {
      ASSERT_EQ(kxfformat(a, nb, nd), expected) << hex(a);
    }
  }
}

// Random values below 10^50 with at most 58 digits shown: the fixed text
// lies within one unit of its last place of the exact value (cut or
// carried, never further).
TEST(Fformat, RandomValuesAgainstMpfr) {
  oracle::operands gen(32);
  for (int i = 0; i < 5000; ++i) {
    const int e = gen.uniform(-60, 166);
    const kxreal x = gen.pair_with_exponent(e);
    const int integer_digits = std::max(1, static_cast<int>(e * 0.30103) + 1);
    const int nd = gen.uniform(0, std::min(20, 58 - integer_digits));
    const int nb = 80;
    const std::string text = kxfformat(x, nb, nd);
    const std::string rounded = mpfr_fixed(big(x), nb, nd);
    ASSERT_EQ(text.size(), rounded.size());
    big shown;
    ASSERT_EQ(mpfr_set_str(shown.get(), trimmed(text).c_str() + text.find_first_not_of(' '), 10, MPFR_RNDN), 0)
        << text;
    const double units = in_units_of(shown, big(x), power_of_ten(-nd));
    ASSERT_LE(units, 1 + 1e-9) << text << " vs " << rounded << " for " << hex(x);
    // The layout: blanks, an optional sign, digits, the point, nd digits.
    ASSERT_EQ(text.find('.'), static_cast<std::size_t>(nb - 1 - nd)) << text;
  }
}

TEST(Writenum, WritesTheFieldAsLinesOf120Characters) {
  std::ostringstream out;
  kx::attach_output_unit(11, out);
  const kxreal x = pair_of("3.141592653589793238462643383279502884197169399375105820974944592307816");
  kxwritenum(11, 80, 70, x);
  EXPECT_EQ(out.str(), kxeformat(x, 80, 70) + "\n");
  out.str("");
  const std::string wide = kxeformat(x, 150, 70);
  kxwritenum(11, 150, 70, x);
  EXPECT_EQ(out.str(), wide.substr(0, 120) + "\n" + wide.substr(120) + "\n");
  kx::detach_unit(11);

  testing::internal::CaptureStdout();
  kxwritenum(6, 12, 4, kxreal{-2});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "-2.000e0    \n");

  EXPECT_FATAL_STOP(kxwritenum(6, 77, 70, x), "\\*\\*\\* KXEFORMAT: uninitialized or inadequately sized arrays");
  EXPECT_FATAL_STOP(kxwritenum(6, 0, 0, x), "\\*\\*\\* KXEFORMAT: uninitialized or inadequately sized arrays");
  EXPECT_FATAL_STOP(kxwritenum(12, 80, 70, x), "\\*\\*\\* KXWRITENUM: Output unit is not attached        12");
}

}  // namespace
