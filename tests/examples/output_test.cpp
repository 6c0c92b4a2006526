// The examples' printed numbers, read back and checked against MPFR at 600
// bits: pi to 68 digits, the relation found for Li_2(1/2), the table of J0
// and J1.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;

std::string run(const char* program) {
  int status = -1;
  std::string out = run_command(program, status);
  EXPECT_EQ(status, 0) << program;
  return out;
}

big parsed(const std::string& text) {
  big v;
  EXPECT_EQ(mpfr_set_str(v.get(), text.c_str(), 10, MPFR_RNDN), 0) << text;
  return v;
}

// |printed - exact| as a double.
double distance(const std::string& printed, const big& exact) {
  big d = parsed(printed);
  mpfr_sub(d.get(), d.get(), exact.get(), MPFR_RNDN);
  return std::abs(mpfr_get_d(d.get(), MPFR_RNDN));
}

TEST(Examples, PrintTheirNumbersCorrectly) {
  // pi to 68 significant digits, cut: within a unit of the last.
  std::smatch m;
  const std::string pi_out = run(PI_GAUSS_LEGENDRE);
  ASSERT_TRUE(std::regex_search(pi_out, m, std::regex(R"(pi = (3\.[0-9]{67}e0)\n\|pi - kxpi\(\)\| = (\S+)\n)")))
      << pi_out;
  big pi;
  mpfr_const_pi(pi.get(), MPFR_RNDN);
  EXPECT_LT(distance(m[1], pi), 1e-67) << pi_out;
  EXPECT_LT(std::stod(m[2]), 1e-66) << pi_out;

  // Li_2(1/2), and a relation that holds at 600 bits.
  const std::string id_out = run(IDENTIFY_CONSTANT);
  ASSERT_TRUE(std::regex_search(
      id_out, m, std::regex(R"(Li2\(1/2\) = (\S+)\nrelation: ([0-9]+)\*Li2\(1/2\) ([+-][0-9]+)\*pi\^2 ([+-][0-9]+)\*log\(2\)\^2 = 0)")))
      << id_out;
  big li2(__float128{0.5Q}), log2, term, sum;
  mpfr_li2(li2.get(), li2.get(), MPFR_RNDN);
  EXPECT_LT(distance(m[1], li2), 1e-67) << id_out;
  mpfr_const_log2(log2.get(), MPFR_RNDN);
  mpfr_sqr(log2.get(), log2.get(), MPFR_RNDN);
  mpfr_sqr(pi.get(), pi.get(), MPFR_RNDN);
  mpfr_mul_si(sum.get(), li2.get(), std::stol(m[2]), MPFR_RNDN);
  mpfr_mul_si(term.get(), pi.get(), std::stol(m[3]), MPFR_RNDN);
  mpfr_add(sum.get(), sum.get(), term.get(), MPFR_RNDN);
  mpfr_mul_si(term.get(), log2.get(), std::stol(m[4]), MPFR_RNDN);
  mpfr_add(sum.get(), sum.get(), term.get(), MPFR_RNDN);
  EXPECT_GT(std::stol(m[2]), 0);
  EXPECT_LT(std::abs(mpfr_get_d(sum.get(), MPFR_RNDN)), 1e-150) << id_out;

  // Ten rows x, J0(x), J1(x) with x = k/2, each value within a unit of its
  // 50th digit.
  std::istringstream table(run(BESSEL_TABLE));
  std::string line;
  std::getline(table, line);
  int rows = 0;
  const std::regex row(R"( *([0-9.]+) +(\S+) +(\S+))");
  while (std::getline(table, line)) {
    ASSERT_TRUE(std::regex_match(line, m, row)) << line;
    ++rows;
    EXPECT_EQ(std::stod(m[1]), rows / 2.0) << line;
    big x(static_cast<__float128>(rows) / 2), j0, j1;
    mpfr_j0(j0.get(), x.get(), MPFR_RNDN);
    mpfr_j1(j1.get(), x.get(), MPFR_RNDN);
    EXPECT_LT(distance(m[2], j0), 1e-50) << line;
    EXPECT_LT(distance(m[3], j1), 1e-50) << line;
  }
  EXPECT_EQ(rows, 10);
}

}  // namespace
