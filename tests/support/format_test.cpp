// Output templates: layouts worked out by hand from the Fortran rules, and
// rounding of f and d fields checked against MPFR at 300 bits.
#include <gtest/gtest.h>
#include <mpfr.h>
#include <quadmath.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <kx/support/format.h>

#include "test_support.h"

namespace {

using kx::format_template;
using kx::template_value;

std::string format_values(std::string_view tmpl, const std::vector<template_value>& values) {
  return format_template(kx::runtime_template(tmpl), std::span<const template_value>(values));
}

TEST(FormatTemplate, ZezuvHeaderLines) {
  EXPECT_EQ(format_template("('ZEZUV1 Test Program'/ 'n =',i4,3x,'kq =',i2/ 'kr =',i2,3x,'ks =',i2,3x,"
                            "'rb =',1p,d12.4/ 'Full precision level ndp =',i6,' digits'/ "
                            "'Full precision epsilon level nep = ',i6)", 17, 0, 4, 4, 20.0, 70, -67),
            "ZEZUV1 Test Program\n"
            "n =  17   kq = 0\n"
            "kr = 4   ks = 4   rb =  2.0000D+01\n"
            "Full precision level ndp =    70 digits\n"
            "Full precision epsilon level nep =    -67\n");
}

TEST(FormatTemplate, IntegerFields) {
  EXPECT_EQ(format_template("(i5,i3,2i4)", -42, 7, 10, -999), "  -42  7  10-999\n");
  EXPECT_EQ(format_template("(i2,'|',i3,'|',i4)", 100, -100, -100), "**|***|-100\n");
  EXPECT_EQ(format_template("(i20)", LLONG_MIN), "-9223372036854775808\n");
  EXPECT_EQ(format_template("(I3,1X,I2)", 5L, 6LL), "  5  6\n");
}

TEST(FormatTemplate, FixedFieldsAndTheOptionalZero) {
  EXPECT_EQ(format_template("(f10.0)", 1000.0), "     1000.\n");
  EXPECT_EQ(format_template("(f4.2,'|',f3.2,'|',f2.2)", 0.5, 0.5, 0.5), "0.50|.50|**\n");
  EXPECT_EQ(format_template("(f5.2,'|',f4.2,'|',f3.2)", -0.5, -0.5, -0.5), "-0.50|-.50|***\n");
  // With no digits after the point the zero is the only digit and must stay.
  EXPECT_EQ(format_template("(f2.0,'|',f1.0)", 0.25, 0.25), "0.|*\n");
  EXPECT_EQ(format_template("(f11.6,f6.1,f5.1)", 3.14159265, 3, 12345.0), "   3.141593   3.0*****\n");
  // 1.005 and 0.15 are stored slightly below the decimal halfway points;
  // 0.125 and 2.5 are exact ties, settled to even.
  EXPECT_EQ(format_template("(f5.2,f4.1,f5.2,f3.0,f3.0)", 1.005, 0.15, 0.125, 2.5, 3.5), " 1.00 0.1 0.12 2. 4.\n");
  EXPECT_EQ(format_template("(f8.3)", static_cast<__float128>(-2) / 3), "  -0.667\n");
}

TEST(FormatTemplate, ExponentFieldsUnderEachScaleFactor) {
  EXPECT_EQ(format_template("(1p,d12.4)", 20.0), "  2.0000D+01\n");
  EXPECT_EQ(format_template("(1p,d12.4)", 0.0), "  0.0000D+00\n");
  EXPECT_EQ(format_template("(d10.4,'|',d9.4,'|',d8.4)", 20.0, 20.0, 20.0), "0.2000D+02|.2000D+02|********\n");
  EXPECT_EQ(format_template("(d10.4,d12.4)", -20.0, 0.0), "-.2000D+02  0.0000D+00\n");
  EXPECT_EQ(format_template("(2p,d12.4,-1p,d12.4,-3p,d12.4)", 20.0, 20.0, 0.0),
            "  20.000D+00  0.0200D+03  0.0000D+00\n");
  EXPECT_EQ(format_template("(1pd12.4,1p,d8.0)", -1234.5678, 20), " -1.2346D+03  2.D+01\n");
  EXPECT_EQ(format_template("(1p,d11.4)", 9.99996), " 1.0000D+01\n");
  // Three exponent digits take the place of the letter; four do not fit.
  EXPECT_EQ(format_template("(1p,2d11.4,d11.4)", 2e100, -1e-100, static_cast<__float128>(1e300) * 1e300 * 1e300 * 1e300),
            " 2.0000+100-1.0000-100***********\n");
}

TEST(FormatTemplate, NonFiniteReals) {
  const double inf = INFINITY;
  EXPECT_EQ(format_template("(f10.3,f10.3,f10.3)", NAN, inf, -inf), "       NaN  Infinity -Infinity\n");
  EXPECT_EQ(format_template("(f5.1,f4.1,f3.1,f2.1)", inf, -inf, -inf, NAN), "  Inf-Inf*****\n");
  EXPECT_EQ(format_template("(1p,d12.4)", static_cast<__float128>(-inf)), "   -Infinity\n");
}

TEST(FormatTemplate, CharacterItems) {
  std::string line(120, ' ');
  for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i % 26);
  std::vector<template_value> chars(line.begin(), line.end());
  EXPECT_EQ(format_values("(120a1)", chars), line + "\n");
  chars.insert(chars.end(), {'x', 'y'});
  EXPECT_EQ(format_values("(120a1)", chars), line + "\nxy\n");
  EXPECT_EQ(format_template("('[',a,']',a5,'|',a5,'|',a)", "hello world", "abcdefgh", "ab", std::string()),
            "[hello world]abcde|   ab|\n");
}

TEST(FormatTemplate, QuotesSlashesAndBlankLines) {
  EXPECT_EQ(format_template("(/'Recovered relation: 0 =')"), "\nRecovered relation: 0 =\n");
  EXPECT_EQ(format_template("('It''s',/,'a'//'b' , / 'c')"), "It's\na\n\nb\nc\n");
  EXPECT_EQ(format_template("()"), "\n");
  EXPECT_EQ(format_template("(I4,1X,F6.2,1X,1P,D12.4,1X,A2,2X)", 5, 2.5, 20.0, "ok"),
            "   5   2.50   2.0000D+01 ok  \n");
}

TEST(FormatTemplate, ValuesRunningOutEndTheLineBeforeTheNextDataItem) {
  EXPECT_EQ(format_template("('Iteration',i7,3x,'Norm =',f11.6)", 5), "Iteration      5   Norm =\n");
  EXPECT_EQ(format_template("('Max. bound =',          f11.6,'e',i5)"), "Max. bound =\n");
  EXPECT_EQ(format_template("('a',i2,' end')", 1), "a 1 end\n");
  EXPECT_EQ(format_template("('a',i2/'b',i2)", 1), "a 1\nb\n");
  EXPECT_EQ(format_template("(4(f13.8,'e',i5))", 1.5, 1, -0.25, -20, 1e3, 300),
            "   1.50000000e    1  -0.25000000e  -201000.00000000e  300\n");
}

TEST(FormatTemplate, ReversionToTheLastTopLevelGroup) {
  EXPECT_EQ(format_template("('CPU times:'/(5f12.2))", 1, 2, 3, 4, 5, 6.125, 7.5),
            "CPU times:\n        1.00        2.00        3.00        4.00        5.00\n"
            "        6.12        7.50\n");
  EXPECT_EQ(format_template("('v',i2)", 1, 2, 3), "v 1\nv 2\nv 3\n");
  // Reversion takes the group's repeat count and the items after the group.
  EXPECT_EQ(format_template("('head',i3,2(i2,'x'),'|')", 1, 2, 3, 4, 5, 6, 7, 8),
            "head  1 2x 3x|\n 4x 5x|\n 6x 7x|\n 8x\n");
  EXPECT_EQ(format_template("(i1,(i1,2(i1)),'|')", 1, 2, 3, 4, 5, 6, 7, 8, 9), "1234|\n567|\n89\n");
  EXPECT_EQ(format_template("(2(i1,2('<',i1,'>')),'.')", 1, 2, 3, 4, 5, 6), "1<2><3>4<5><6>.\n");
  // The scale factor set by the first pass stays in force on the next.
  EXPECT_EQ(format_template("(d12.4,1p,d12.4)", 20.0, 20.0, 20.0), "  0.2000D+02  2.0000D+01\n  2.0000D+01\n");
}

TEST(FormatTemplate, ListLinesAndWritesToStandardOutput) {
  EXPECT_EQ(kx::format_list("KXDIGIN: non-digit"), " KXDIGIN: non-digit\n");
  testing::internal::CaptureStdout();
  kx::write_template("('n =',i4)", 17);
  kx::write_list("done");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "n =  17\n done\n");
}

// ---- Rounding against MPFR -------------------------------------------------

std::string mpfr_fixed(__float128 x, int digits) {
  mpfr_t m;
  mpfr_init2(m, 300);
  mpfr_set_float128(m, x, MPFR_RNDN);
  char* text = nullptr;
  mpfr_asprintf(&text, "%.*RNf", digits, m);
  std::string s(text);
  mpfr_free_str(text);
  mpfr_clear(m);
  return digits == 0 ? s + "." : s;
}

// The n-digit decimal rounding of x: digits and e with |x| ~ 0.digits * 10^e.
std::pair<std::string, long> mpfr_digits(__float128 x, int n) {
  mpfr_t m;
  mpfr_init2(m, 300);
  mpfr_set_float128(m, x, MPFR_RNDN);
  mpfr_exp_t e = 0;
  char* text = mpfr_get_str(nullptr, &e, 10, static_cast<size_t>(n), m, MPFR_RNDN);
  std::string s(text[0] == '-' ? text + 1 : text);
  mpfr_free_str(text);
  mpfr_clear(m);
  return {s, static_cast<long>(e)};
}

// Reads a d field back into the same form as mpfr_digits, checking the
// layout that the scale factor k asks for on the way.
std::pair<std::string, long> shown_digits(const std::string& field, int k, int d, bool negative) {
  std::string s = field.substr(field.find_first_not_of(' '));
  EXPECT_EQ(s[0] == '-', negative) << field;
  if (negative) s.erase(0, 1);
  const size_t point = s.find('.');
  const size_t end = s.find_first_of("D+-");
  const std::string before = s.substr(0, point), after = s.substr(point + 1, end - point - 1);
  EXPECT_EQ(before.size(), static_cast<size_t>(k > 0 ? k : 1)) << field;
  if (k <= 0) {
    EXPECT_EQ(before, "0") << field;
  }
  EXPECT_EQ(after.size(), static_cast<size_t>(k > 0 ? d - k + 1 : d)) << field;
  std::string all = (k > 0 ? before : "") + after;
  const size_t zeros = all.find_first_not_of('0');
  EXPECT_GE(zeros, static_cast<size_t>(k < 0 ? -k : 0)) << field;
  all.erase(0, zeros);
  const long exponent = std::stol(s.substr(s[end] == 'D' ? end + 1 : end));
  return {all, (k > 0 ? k : 0) + exponent - static_cast<long>(zeros)};
}

// Random doubles and binary128 values over wide ranges, half of them short
// binary fractions whose decimal expansions end in exact ties.
std::vector<__float128> sample_reals(int count) {
  std::mt19937_64 rng(20240611);
  std::vector<__float128> xs;
  for (int i = 0; i < count; ++i) {
    const int scale = static_cast<int>(rng() % 161) - 80;
    const double sign = rng() % 2 ? -1.0 : 1.0;
    if (i % 4 == 0) xs.push_back(sign * std::ldexp(static_cast<double>(rng() >> 11), scale - 53));
    if (i % 4 == 1) xs.push_back(sign * ldexpq(static_cast<__float128>(rng()) + (rng() >> 15) * 0x1p-49Q, scale - 64));
    if (i % 4 >= 2) xs.push_back(sign * ldexpq(static_cast<__float128>(rng() % 4096), -static_cast<int>(rng() % 16)));
  }
  return xs;
}

TEST(FormatTemplate, FixedRoundingMatchesMpfr) {
  int i = 0;
  for (__float128 x : sample_reals(4000)) {
    const int digits = i++ % 31;
    const std::string tmpl = "(f80." + std::to_string(digits) + ")";
    const std::string line = format_template(kx::runtime_template(tmpl), std::vector<template_value>{x});
    ASSERT_EQ(line.size(), 81u);
    EXPECT_EQ(line.substr(line.find_first_not_of(' '), line.size() - 1 - line.find_first_not_of(' ')),
              mpfr_fixed(x, digits))
        << tmpl;
  }
}

TEST(FormatTemplate, ExponentRoundingMatchesMpfr) {
  int i = 0;
  for (__float128 x : sample_reals(4000)) {
    const int d = 4 + i % 30, k = i++ % 6 - 2;
    const std::string tmpl = "(" + std::to_string(k) + "p,d60." + std::to_string(d) + ")";
    const std::string line = format_template(kx::runtime_template(tmpl), std::vector<template_value>{x});
    ASSERT_EQ(line.size(), 61u);
    if (x == 0) continue;
    EXPECT_EQ(shown_digits(line.substr(0, 60), k, d, x < 0), mpfr_digits(x, k > 0 ? d + 1 : d + k)) << tmpl;
  }
}

// ---- Faults of the caller --------------------------------------------------

std::string regex_escaped(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) s += '\\';
    s += c;
  }
  return s;
}

void expect_template_fault(std::string_view tmpl, const std::vector<template_value>& values,
                           const std::string& message) {
  EXPECT_FATAL_STOP(format_values(tmpl, values), "\\*\\*\\* KXFORMAT: " + message) << tmpl;
}

TEST(FormatTemplateDeathTest, MalformedTemplatesStopTheProgram) {
  for (const char* tmpl : {"i5)", "(i5", "(i)", "(i0)", "(f10)", "(f10.)", "(q5)", "(i5 i5)", "(i5,,i5)", "(,i5)",
                           "(i5,)", "('abc)", "(i5) x", "(0(i5))", "(p,d12.4)", "(3'a')", "(a0)", ""})
    expect_template_fault(tmpl, {1}, "malformed template .* in template \"" + regex_escaped(tmpl) + "\"");
  expect_template_fault("(i0)", {}, "malformed template \\(width of i is zero");
}

TEST(FormatTemplateDeathTest, ValuesOfTheWrongKindOrNumberStopTheProgram) {
  expect_template_fault("(i5)", {1.5}, "a real value \\(number 1\\) for the item i5 in template \"\\(i5\\)\"");
  expect_template_fault("(i5,i5)", {1, 'x'}, "a text value \\(number 2\\) for the item i5");
  expect_template_fault("(f8.2)", {"1.5"}, "a text value .* for the item f8.2");
  expect_template_fault("(1p,d8.2)", {"1.5"}, "a text value .* for the item d8.2");
  expect_template_fault("(a3)", {static_cast<__float128>(1)}, "a real value .* for the item a3");
  expect_template_fault("(a)", {3}, "an integer value .* for the item a ");
  expect_template_fault("('text')", {1}, "1 value\\(s\\) left but no data item");
  expect_template_fault("(i2,('x'))", {1, 2}, "1 value\\(s\\) left but no data item");
  for (const char* tmpl : {"(3p,d12.1)", "(-4p,d12.4)", "(d12.0)"})
    expect_template_fault(tmpl, {1.0}, "scale factor -?[0-9]p is out of range for d12");
}

}  // namespace
