// Decimal output next to the powers of ten, where the exponent is decided:
// the largest word below 10^k (its decimal logarithm rounds to k), and a
// pair a hair below an exact 10^k (its digits are all nines and carry into
// the exponent), against MPFR's digits of the exact value; and fixed
// notation that does not fit its field, or whose scientific text begins 0.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <string>

#include <kx/convert/output.h>

#include "mpfr_oracle.h"

namespace {

using oracle::big;

// MPFR's scientific text of nd significant digits of x in kx's layout: "d.ddd" then "e",
// the exponent's sign only when negative, and no leading zeros.
std::string mpfr_scientific(const kxreal& x, int nd, mpfr_rnd_t rnd) {
  const big exact(x);
  char* text = nullptr;
  mpfr_asprintf(&text, "%.*R*e", nd - 1, rnd, exact.get());
  std::string s(text);
  mpfr_free_str(text);
  const auto e = s.find('e');
  const int exponent = std::stoi(s.substr(e + 1));
  return s.substr(0, e + 1) + std::to_string(exponent);
}

std::string trimmed(std::string s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// The text of x cut to nd significant digits: MPFR's toward zero. Where the
// scaled value sits a hair below 1 the text starts "0." and shows nd - 1
// digits; it must then be x cut below its last shown digit, read back by MPFR.
void expect_cut(const kxreal& x, int nd, int& leading_zero) {
  const std::string text = trimmed(kxeformat(x, nd + 20, nd));
  const std::size_t lead = text[0] == '-' ? 1 : 0;
  if (text.compare(lead, 2, "0.") != 0) {
    EXPECT_EQ(text, mpfr_scientific(x, nd, MPFR_RNDZ));
    return;
  }
  ++leading_zero;
  const std::size_t e = text.find('e');
  big shown, gap(x);
  mpfr_set_str(shown.get(), text.c_str(), 10, MPFR_RNDN);
  mpfr_sub(gap.get(), gap.get(), shown.get(), MPFR_RNDN);
  mpfr_mul_si(gap.get(), gap.get(), x.hi < 0 ? -1 : 1, MPFR_RNDN);
  big unit;  // one unit of the last shown digit
  mpfr_set_str(unit.get(), ("1e" + std::to_string(std::stoi(text.substr(e + 1)) - static_cast<int>(e - lead - 2))).c_str(),
               10, MPFR_RNDN);
  EXPECT_GE(mpfr_sgn(gap.get()), 0) << text;
  EXPECT_LT(mpfr_cmp(gap.get(), unit.get()), 0) << text;
}

// The largest word below 10^k: its digits are cut (the tail is not all
// nines). A hair below an exact 10^k the 33 generated digits are nines and
// the text is 1.000...e k, MPFR's nearest.
TEST(PowersOfTen, ScientificDigitsOnBothSidesOfTheExponentStep) {
  int leading_zero = 0;
  for (int k = -60; k <= 60; ++k) {
    big p;
    mpfr_ui_pow_ui(p.get(), 10, static_cast<unsigned long>(k < 0 ? -k : k), MPFR_RNDN);
    if (k < 0) mpfr_ui_div(p.get(), 1, p.get(), MPFR_RNDN);
    __float128 below = mpfr_get_float128(p.get(), MPFR_RNDD);
    if (mpfr_equal_p(big(below).get(), p.get())) below = nextafterq(below, 0);
    expect_cut(kxreal{below, 0}, 40, leading_zero);
    expect_cut(kxreal{-below, 0}, 40, leading_zero);
    {  // 10^k (1 - 5 10^-34): its high word lies below 10^k and its digits are
       // 9.(32 nines)5..., which carry into the exponent: 1.0...0e k.
      big hair;
      mpfr_set_str(hair.get(), ("0.9999999999999999999999999999999995e" + std::to_string(k)).c_str(), 10, MPFR_RNDN);
      const kxreal x = oracle::to_pair(hair);
      EXPECT_EQ(trimmed(kxeformat(x, 40, 20)), mpfr_scientific(x, 20, MPFR_RNDN)) << "k = " << k;
    }
    if (k >= 0 && k <= 40) {
      const __float128 exact = mpfr_get_float128(p.get(), MPFR_RNDN);
      const kxreal hair{exact, -scalbnq(exact, -116)};
      EXPECT_EQ(trimmed(kxeformat(hair, 40, 20)), mpfr_scientific(hair, 20, MPFR_RNDN)) << "k = " << k;
      EXPECT_EQ(trimmed(kxeformat(hair, 40, 20)).substr(0, 4), "1.00") << "k = " << k;
    }
  }
  std::printf("[ output ] %d of 242 words below 10^k print with a leading 0 digit\n", leading_zero);
}

// Fixed notation with nd places fits in nb characters when nd + E + 3 <= nb
// (E the decimal exponent, by MPFR): then it is MPFR's text (exact for these
// values) right-justified; one character fewer and the field is asterisks.
TEST(PowersOfTen, FixedNotationWiderThanItsField) {
  const __float128 values[] = {12345678901234567890.0Q, 1e30Q, -123456789.25Q, -0.75Q};
  constexpr int nd = 2;
  for (const __float128 v : values) {
    const kxreal x{v, 0};
    const big exact(x);
    char* text = nullptr;
    mpfr_asprintf(&text, "%.2Rf", exact.get());
    const std::string expected(text);
    mpfr_free_str(text);
    const int e = static_cast<int>(mpfr_get_exp(exact.get()) * 0.30103 + 2);  // above E, then walked down
    big ten_e;
    int exponent = e;
    for (;; --exponent) {
      mpfr_ui_pow_ui(ten_e.get(), 10, static_cast<unsigned long>(exponent < 0 ? 0 : exponent), MPFR_RNDN);
      if (exponent <= 0 || mpfr_cmpabs(exact.get(), ten_e.get()) >= 0) break;
    }
    const int fits = std::max(nd + exponent + 3, nd + 8);
    EXPECT_EQ(kxfformat(x, fits, nd), std::string(fits - expected.size(), ' ') + expected);
    if (fits - 1 > nd + 7) {
      EXPECT_EQ(kxfformat(x, fits - 1, nd), std::string(fits - 1, '*')) << expected;
    }
  }
}

// A high word on 10^k with a negative low word: the scientific text starts
// "0." when its nines end within the generated digits. The fixed text has
// no leading zero before its integer digits (99.99..., not 099.99...) and
// lies within one unit of its last place of the exact value.
TEST(PowersOfTen, FixedNotationJustBelowAPowerOfTen) {
  int leading_zero = 0;
  __float128 p = 1;
  for (int k = 1; k <= 40; ++k) {
    p *= 10;  // exact through 10^48
    for (const int shift : {116, 150, 200}) {
      for (const int sign : {1, -1}) {
        const kxreal x{sign * p, -sign * scalbnq(p, -shift)};
        for (const int nd : {0, 5, 20, 40, 60}) {
          const int nb = k + nd + 10;
          if (trimmed(kxeformat(x, nb + 1, k + nd + 3)).find("0.") <= 1) ++leading_zero;
          const std::string text = kxfformat(x, nb, nd);
          const std::string shown = text.substr(text.find_first_not_of(' '));
          const std::regex layout((sign < 0 ? "-" : "") + std::string("[1-9][0-9]*\\.[0-9]{") + std::to_string(nd) + "}");
          EXPECT_TRUE(std::regex_match(shown, layout)) << shown << " for k = " << k << ", 2^-" << shift;
          big value, unit;
          mpfr_set_str(value.get(), shown.c_str(), 10, MPFR_RNDN);
          mpfr_sub(value.get(), value.get(), big(x).get(), MPFR_RNDN);
          mpfr_set_str(unit.get(), ("1e-" + std::to_string(nd)).c_str(), 10, MPFR_RNDN);
          EXPECT_LE(mpfr_cmpabs(value.get(), unit.get()), 0) << shown << " for k = " << k << ", 2^-" << shift;
        }
      }
    }
  }
  EXPECT_GT(leading_zero, 100) << "too few scientific texts begin 0.";
}

}  // namespace
