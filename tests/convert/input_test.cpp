// Decimal input: the literal syntax case by case, random literals in every
// accepted form against MPFR's value of the decimal, syntax errors, digit
// strings and lines read from input units.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <kx/convert/input.h>
#include <kx/support/unit_streams.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

kxreal read(std::string_view s) {
  kxreal b;
  kxinpc(s, b);
  return b;
}

big decimal(const std::string& s) {
  big x;
  mpfr_set_str(x.get(), s.c_str(), 10, MPFR_RNDN);
  return x;
}

using oracle::inpc_bound;

TEST(Inpc, LiteralsCaseByCase) {
  EXPECT_TRUE(same_words(read("1"), kxreal{1}));
  EXPECT_TRUE(same_words(read("  -1.5e+3  "), kxreal{-1500}));
  for (const char* s : {"1.5D3", "1.5d3", "1.5E3", "15e2", "1500.", "+0001500", "1.5e 3"}) {
    EXPECT_TRUE(same_words(read(s), kxreal{1500})) << s;
  }
  // m = 5 and p - nd = -2 for each of these, so their words agree.
  const kxreal hundredth5 = read("0.05");
  for (const char* s : {".05", "+.05", "5e-2", "  0.05  ", "0.5e-1", "00.05d0"}) {
    EXPECT_TRUE(same_words(read(s), hundredth5)) << s;
  }
  EXPECT_LE(oracle::error_units(hundredth5, decimal("0.05")), inpc_bound(1, -2));
  // Empty exponents and mantissas, empty and blank text.
  for (const char* s : {"1e", "1e-", "1E+", "  1d  "}) EXPECT_TRUE(same_words(read(s), kxreal{1})) << s;
  for (const char* s : {"e5", ".", "+", "-", "", "     ", "0", "000.000", "0e999"}) {
    const kxreal z = read(s);
    EXPECT_TRUE(z.hi == 0 && z.lo == 0) << s;
  }
  // Blanks before the first counted digit are skipped, and so is a leading
  // zero, which leaves a sign after it acceptable.
  EXPECT_TRUE(same_words(read("0 7"), kxreal{7}));
  EXPECT_TRUE(same_words(read("- 5"), kxreal{-5}));
  EXPECT_TRUE(same_words(read("0-5"), kxreal{-5}));
  EXPECT_TRUE(same_words(read("1e 2 3"), read("1e23")));
  EXPECT_TRUE(same_words(read("1e- 0 7"), read("1e-7")));
  // Seventy digits of pi give the stored pair to within its last bits.
  const kxreal pi70 = read("3.141592653589793238462643383279502884197169399375105820974944592307816");
  kxreal pi;
  kxpi(pi);
  big exact_pi;
  mpfr_const_pi(exact_pi.get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(pi70, exact_pi), inpc_bound(70, -69) + 1);
  EXPECT_LE(oracle::error_units(pi70, big(pi)), inpc_bound(70, -69) + 2);
}

TEST(Inpc, SyntaxErrorsStopWithTheMessage) {
  for (const char* s : {"1 000", "5-", "1.-2", "1e1000", "1e-0001", "1e5-", "1e+-5", "1.2.3", "1e2e3", "1,5", "abc",
                        "1\t", "\t1", "1e\t2", "+-1", ".+5", "1e5.", "1.5 e3", "x"}) {
    EXPECT_FATAL_STOP(read(s), "^\\*\\*\\* KXINPC: Syntax error in literal string\\.\n$") << s;
  }
}

// One random literal: its text and the decimal it stands for, written as
// digits and an exponent that MPFR reads.
struct literal {
  std::string text;
  std::string canonical;
  int digits = 0;     // significant digits
  int scale = 0;      // p - nd: the power of ten applied to the digits
};

std::string random_blanks(oracle::operands& gen) { return gen.coin() ? std::string(gen.uniform(1, 3), ' ') : ""; }

// 1 to 90 significant digits, the point anywhere or absent, leading zeros,
// signs or none, blanks where they are allowed, an exponent in -300..300
// after D, d, E or e with or without a sign, or no exponent at all.
literal random_literal(oracle::operands& gen) {
  literal lit;
  lit.digits = gen.uniform(1, 90);
  std::string digits(1, static_cast<char>('1' + gen.uniform(0, 8)));
  for (int k = 1; k < lit.digits; ++k) digits += static_cast<char>('0' + gen.uniform(0, 9));
  const int sign = gen.uniform(-1, 1);
  std::string text = random_blanks(gen);
  if (sign != 0) text += sign > 0 ? "+" : "-";
  text += random_blanks(gen);
  text += std::string(gen.uniform(0, 2), '0');
  // The point before digit `point` (0: ahead of all, digits: after all,
  // -1: none), with zeros after it when it leads.
  const int point = gen.uniform(-1, lit.digits);
  int after_point = 0;
  if (point == 0) {
    const int zeros = gen.uniform(0, 3);
    text += "." + std::string(zeros, '0') + digits;
    after_point = zeros + lit.digits;
  } else if (point > 0) {
    text += digits.substr(0, point) + "." + digits.substr(point);
    after_point = lit.digits - point;
  } else {
    text += digits;
  }
  int exponent = 0;
  if (gen.uniform(0, 4) != 0) {
    exponent = gen.uniform(-300, 300);
    text += "DdEe"[gen.uniform(0, 3)];
    text += random_blanks(gen);
    if (exponent < 0) {
      text += "-";
    } else if (gen.coin()) {
      text += "+";
    }
    text += random_blanks(gen);
    std::string e = std::to_string(std::abs(exponent));
    if (e.size() < 3 && gen.coin()) e = std::string(3 - e.size(), '0') + e;
    if (e.size() > 1 && gen.coin()) e.insert(1, " ");
    text += e;
  }
  text += random_blanks(gen);
  lit.text = text;
  lit.scale = exponent - after_point;
  lit.canonical = (sign < 0 ? "-" : "") + digits + "e" + std::to_string(lit.scale);
  return lit;
}

TEST(Inpc, RandomLiteralsAgainstMpfr) {
  oracle::operands gen(41);
  double largest = 0;
  double largest_per_bound = 0;
  std::string worst;
  for (int i = 0; i < 30000; ++i) {
    const literal lit = random_literal(gen);
    const kxreal b = read(lit.text);
    const double err = oracle::error_units(b, decimal(lit.canonical));
    const double bound = inpc_bound(lit.digits, lit.scale);
    ASSERT_LE(err, bound) << "'" << lit.text << "' gives " << hex(b);
    if (err > largest) {
      largest = err;
      worst = lit.text;
    }
    largest_per_bound = std::max(largest_per_bound, err / bound);
  }
  std::printf("[ accuracy ] kxinpc  largest error %.3f units of 2^-226 (1-90 digits, exponents -300..300; "
              "largest / bound 8 digits + kxnpwr's + 8: %.4f) at '%s'\n",
              largest, largest_per_bound, worst.c_str());
}

// A record ends at LF or at CR LF; a CR anywhere else is a syntax error.
TEST(Inp, RecordsEndAtLfOrCrLf) {
  std::istringstream in("3.25\r\n-1.5e3\r\n7\n3.25\r\r\n3\r.25\r\n");
  kx::attach_input_unit(11, in);
  kxreal b;
  kxinp(11, b);
  EXPECT_TRUE(same_words(b, kxreal{3.25Q, 0}));
  kxinp(11, b);
  EXPECT_TRUE(same_words(b, kxreal{-1500}));
  kxinp(11, b);
  EXPECT_TRUE(same_words(b, kxreal{7}));
  EXPECT_FATAL_STOP(kxinp(11, b), "^\\*\\*\\* KXINPC: Syntax error in literal string\\.\n$");
  std::istringstream inner_cr("3\r.25\r\n");
  kx::attach_input_unit(12, inner_cr);
  EXPECT_FATAL_STOP(kxinp(12, b), "^\\*\\*\\* KXINPC: Syntax error in literal string\\.\n$");
  kx::detach_unit(11);
  kx::detach_unit(12);
}

TEST(Digin, DigitsAndTheNonDigitMessage) {
  testing::internal::CaptureStdout();
  const __float128 d = kxdigin("12a3", 4);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " KXDIGIN: non-digit in character string\n");
  EXPECT_TRUE(d == 123);
  EXPECT_TRUE(kxdigin("987", 2) == 98);
  EXPECT_TRUE(kxdigin("987", 0) == 0 && kxdigin("987", -3) == 0);
  EXPECT_TRUE(kxdigin("9999999999999999", 16) == 9999999999999999.0Q);
}

// Lines of any length: a 150-digit constant and a long mantissa whose
// exponent lies beyond column 120 convert whole, as kxinpc converts them.
TEST(Inp, ReadsWholeLinesFromAnAttachedUnit) {
  std::string pi150 = "3.";
  {
    big pi;
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    mpfr_exp_t e;
    char* s = mpfr_get_str(nullptr, &e, 10, 150, pi.get(), MPFR_RNDZ);
    pi150 += s + 1;
    mpfr_free_str(s);
  }
  const std::string long_mantissa = "  -" + std::string(125, '7') + "e-130";
  std::istringstream in("1.5\n" + pi150 + "\n" + long_mantissa + "\n   2.5e1   \n\n");
  kx::attach_input_unit(10, in);
  kxreal b;
  kxinp(10, b);
  EXPECT_TRUE(same_words(b, kxreal{1.5Q, 0}));
  kxinp(10, b);
  EXPECT_TRUE(same_words(b, read(pi150)));
  big exact_pi;
  mpfr_const_pi(exact_pi.get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(b, exact_pi), inpc_bound(150, -149) + 1);
  kxinp(10, b);
  EXPECT_TRUE(same_words(b, read(long_mantissa)));
  EXPECT_LE(oracle::error_units(b, decimal("-" + std::string(125, '7') + "e-130")), inpc_bound(125, -130));
  kxinp(10, b);
  EXPECT_TRUE(same_words(b, kxreal{25}));
  kxinp(10, b);
  EXPECT_TRUE(b.hi == 0 && b.lo == 0);
  EXPECT_FATAL_STOP(kxinp(10, b), "^\\*\\*\\* KXINP: End-of-file encountered\\.\n$");
  kx::detach_unit(10);

  std::istringstream bad("1.5x\n");
  kx::attach_input_unit(10, bad);
  EXPECT_FATAL_STOP(kxinp(10, b), "^\\*\\*\\* KXINPC: Syntax error in literal string\\.\n$");
  kx::detach_unit(10);
  EXPECT_FATAL_STOP(kxinp(10, b), "^\\*\\*\\* KXINP: Input unit is not attached        10\n$");
}

// Unit 5 is standard input: a line is read from it, then end of file.
TEST(Inp, UnitFiveIsStandardInput) {
  char path[] = "/tmp/kx_inp_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::string content = "-6.25e-2\n";
  ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  close(fd);
  EXPECT_FATAL_STOP(
      {
        if (std::freopen(path, "r", stdin) == nullptr) std::abort();
        kxreal b;
        kxinp(5, b);
        std::printf("read %s\n", same_words(b, kxreal{-0.0625Q, 0}) ? "-1/16" : "something else");
        kxinp(5, b);
      },
      "^read -1/16\n\\*\\*\\* KXINP: End-of-file encountered\\.\n$");
  std::remove(path);
}

}  // namespace
