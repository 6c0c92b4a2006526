// The relation the program prints, checked against arithmetic of its own:
// MPFR at 400 bits evaluates the printed polynomial at 3^(1/4) - 2^(1/4).
// Also the layout of a relation line: the '+' rule, the '*' rule, the labels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include <kx/kx.h>

#include "mpfr_oracle.h"
#include "relation_report.h"
#include "test_support.h"

namespace {

std::string run_program(int& status) { return run_command(ZEZUV1_TEST_PROGRAM, status); }

// Coefficient k (of alpha^k) for k = 0..16, read from the report lines.
std::vector<long long> printed_relation(const std::string& output) {
  std::vector<long long> c(17, 0);
  const std::string heading = "\nRecovered relation: 0 =\n";
  const std::size_t start = output.find(heading);
  EXPECT_NE(start, std::string::npos) << output;
  if (start == std::string::npos) return c;
  std::istringstream lines(output.substr(start + heading.size()));
  std::string line;
  while (std::getline(lines, line) && line != "TEST PASSED") {
    EXPECT_GE(line.size(), 68u) << line;
    if (line.size() < 68) continue;
    const std::string field = line.substr(0, 64);
    const std::string label = line.substr(67);
    EXPECT_EQ(line.substr(64, 3), " * ");
    EXPECT_EQ(field.back(), '.') << field;
    const std::size_t first = field.find_first_not_of(' ');
    EXPECT_TRUE(field[first] == '+' || field[first] == '-') << field;
    int power = 0;
    if (label != "1") {
      EXPECT_EQ(label.substr(0, 3), "al^") << label;
      power = std::stoi(label.substr(3));
      EXPECT_EQ(label.size(), 6u);
    }
    EXPECT_TRUE(power >= 0 && power <= 16) << label;
    c[static_cast<std::size_t>(power)] = std::stoll(field.substr(first, field.size() - 1 - first));
  }
  return c;
}

TEST(Program, PrintsTheMinimalPolynomialAndPasses) {
  int status = -1;
  const std::string output = run_program(status);
  EXPECT_EQ(status, 0);
  ASSERT_GE(output.size(), 12u);
  EXPECT_EQ(output.substr(output.size() - 12), "TEST PASSED\n");
  const std::vector<long long> c = printed_relation(output);

  // alpha to 400 bits, and the printed polynomial at alpha.
  mpfr_t alpha, root, power, sum, term;
  for (mpfr_ptr v : {alpha, root, power, sum, term}) mpfr_init2(v, 400);
  mpfr_set_ui(alpha, 3, MPFR_RNDN);
  mpfr_rootn_ui(alpha, alpha, 4, MPFR_RNDN);
  mpfr_set_ui(root, 2, MPFR_RNDN);
  mpfr_rootn_ui(root, root, 4, MPFR_RNDN);
  mpfr_sub(alpha, alpha, root, MPFR_RNDN);
  mpfr_set_ui(power, 1, MPFR_RNDN);
  mpfr_set_zero(sum, 1);
  for (std::size_t k = 0; k < c.size(); ++k) {
    mpfr_mul_si(term, power, static_cast<long>(c[k]), MPFR_RNDN);
    mpfr_add(sum, sum, term, MPFR_RNDN);
    mpfr_mul(power, power, alpha, MPFR_RNDN);
  }
  mpfr_abs(sum, sum, MPFR_RNDN);
  EXPECT_LT(mpfr_get_d(sum, MPFR_RNDU), 1e-100);
  for (mpfr_ptr v : {alpha, root, power, sum, term}) mpfr_clear(v);

  // Degree 16 (alpha generates Q(3^(1/4), 2^(1/4)), of degree 16) and primitive.
  EXPECT_NE(c[16], 0);
  long long g = 0;
  for (const long long v : c) g = std::gcd(g, std::llabs(v));
  EXPECT_EQ(g, 1);
}

// A regression guard, not a proof of correctness: the stored file is a copy
// of an earlier run of this program (CPU times masked), so any change in the
// printed digits, reports or iteration count shows up here for review.
TEST(Program, OutputMatchesTheStoredRun) {
  int status = -1;
  std::string output = run_program(status);
  const std::string heading = "CPU times:\n";
  const std::size_t times = output.find(heading);
  ASSERT_NE(times, std::string::npos);
  const std::size_t begin = times + heading.size();
  output.replace(begin, output.find('\n', begin) - begin, "<cpu times>");
  std::ifstream stored(EXPECTED_RUN);
  const std::string expected((std::istreambuf_iterator<char>(stored)), std::istreambuf_iterator<char>());
  EXPECT_EQ(output, expected);
}

TEST(RelationReport, SignsPointsAndLabels) {
  const std::string blanks60(60, ' ');
  EXPECT_EQ(relation_report::relation_line(kxreal{1}, "1"), std::string(61, ' ') + "+1. * 1\n");
  EXPECT_EQ(relation_report::relation_line(kxreal{-12}, "al^  1"), blanks60 + "-12. * al^  1\n");
  // One a hair below an integer still prints as that integer.
  EXPECT_EQ(relation_report::relation_line(kxreal{3860, -0x1p-100Q}, "al^  4"), std::string(58, ' ') + "+3860. * al^  4\n");
  // 10^61, the widest power of ten that fits: 62 digits and the point, with
  // the '+' in column 1.
  const kxreal wide = pow(kxreal{10}, 61);
  EXPECT_EQ(relation_report::relation_line(wide, "al^ 16"), "+1" + std::string(61, '0') + ". * al^ 16\n");
  // Too wide for the field at all: kxfformat's asterisks stay.
  EXPECT_EQ(relation_report::relation_line(pow(kxreal{10}, 62), "1"), std::string(64, '*') + " * 1\n");
}

}  // namespace
