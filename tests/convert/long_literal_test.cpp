// Literals of any length: thousands of significant digits, thousands of
// zeros, values near both ends of the range, against MPFR's value of the
// decimal. Near the bottom a pair's low word is subnormal: 4 units of
// 2^-16494 are forgiven.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <string>

#include <kx/convert/input.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

// The first `digits` significant digits of pi, as "3.1415...".
std::string pi_digits(int digits) {
  mpfr_t pi;
  mpfr_init2(pi, 4 * digits + 64);
  mpfr_const_pi(pi, MPFR_RNDN);
  mpfr_exp_t e;
  char* s = mpfr_get_str(nullptr, &e, 10, digits, pi, MPFR_RNDZ);
  std::string text = std::string("3.") + (s + 1);
  mpfr_free_str(s);
  mpfr_clear(pi);
  return text;
}

struct long_literal {
  std::string text;
  int digits;  // all mantissa digits, zeros after the point included
  int scale;   // the power of ten applied to them
};

// Random literals: up to 6000 digits, up to 5000 zeros after the point,
// an exponent in -999..999.
long_literal random_long_literal(oracle::operands& gen) {
  long_literal lit;
  const int zeros = gen.coin() ? gen.uniform(0, 5000) : 0;
  const int significant = gen.uniform(1, 6000);
  const int exponent = gen.uniform(-999, 999);
  std::string digits(1, static_cast<char>('1' + gen.uniform(0, 8)));
  for (int k = 1; k < significant; ++k) digits += static_cast<char>('0' + gen.uniform(0, 9));
  const int point = zeros > 0 ? 0 : gen.uniform(0, significant);
  lit.text = (gen.coin() ? "-" : "") + digits.substr(0, point) + "." + std::string(zeros, '0') +
             digits.substr(point) + "e" + std::to_string(exponent);
  lit.digits = zeros + significant;
  lit.scale = exponent - (zeros + significant - point);
  return lit;
}

TEST(LongLiterals, ConvertWithinTheBoundHoweverManyDigits) {
  std::vector<long_literal> literals;
  for (const int digits : {4929, 4930, 6000}) literals.push_back({pi_digits(digits), digits, 1 - digits});
  literals.push_back({"1." + std::string(5000, '0'), 5001, -5000});
  literals.push_back({"0." + std::string(4914, '0') + "5", 4915, -4915});
  literals.push_back({"0." + std::string(100, '0') + pi_digits(4900).erase(1, 1), 5000, -5000});
  oracle::operands gen(6000);
  for (int i = 0; i < 200; ++i) literals.push_back(random_long_literal(gen));
  int checked = 0;
  for (const long_literal& lit : literals) {
    kxreal b;
    kxinpc(lit.text, b);
    big exact;
    mpfr_set_str(exact.get(), lit.text.c_str(), 10, MPFR_RNDN);
    big magnitude;
    mpfr_abs(magnitude.get(), exact.get(), MPFR_RNDN);
    if (mpfr_cmp_d(magnitude.get(), 1) > 0 && mpfr_get_exp(magnitude.get()) > 16384) {
      EXPECT_TRUE(isinfq(b.hi) && b.lo == 0 && (b.hi > 0) == (mpfr_sgn(exact.get()) > 0))
          << lit.text.substr(0, 40) << "... gives " << hex(b);
    } else if (mpfr_get_exp(magnitude.get()) > -16381) {
      ++checked;
      EXPECT_LE(oracle::error_units_above_subnormal(b, exact, 4), oracle::inpc_bound(lit.digits, lit.scale))
          << lit.text.substr(0, 40) << "... (" << lit.digits << " digits, scale " << lit.scale << ") gives " << hex(b);
    }
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
