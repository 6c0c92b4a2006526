// The relation search on inputs with known answers, its starting state
// against the PSLQ identities, what each debug level prints, and the
// arguments it must refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <kx/kx.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using kx::initmp;
using kx::itermp;
using kx::printmat;
using kx::sortindex;
using oracle::big;

struct search_result {
  int found = -1;
  std::vector<kxreal> r;
  std::string output;
};

search_result search(int debug, const std::vector<kxreal>& x, double rb, int eps_exponent = -60) {
  search_result s;
  s.r.assign(x.size(), kxreal{7});  // a sentinel the search must overwrite or leave
  const kxreal eps = pow(kxreal{10}, eps_exponent);
  testing::internal::CaptureStdout();
  zezuv1(debug, static_cast<int>(x.size()), rb, eps, x, s.found, s.r);
  s.output = testing::internal::GetCapturedStdout();
  return s;
}

// The relation as integers, made positive in its first non-zero entry.
std::vector<long long> normalised_relation(const std::vector<kxreal>& r) {
  std::vector<long long> v;
  for (const kxreal& c : r) {
    EXPECT_TRUE(nint(c) == c) << "coefficient is not an integer";
    v.push_back(static_cast<long long>(c.hi));
  }
  for (const long long c : v) {
    if (c == 0) continue;
    if (c < 0) {
      for (long long& e : v) e = -e;
    }
    break;
  }
  return v;
}

std::vector<kxreal> powers(const kxreal& a, int count) {
  std::vector<kxreal> x{kxreal{1}};
  for (int k = 1; k < count; ++k) x.push_back(a * x.back());
  return x;
}

kxreal sqrt2_plus_sqrt3() { return sqrt(kxreal{2}) + sqrt(kxreal{3}); }

kxreal mpfr_log(unsigned long v) {
  big b;
  mpfr_set_ui(b.get(), v, MPFR_RNDN);
  mpfr_log(b.get(), b.get(), MPFR_RNDN);
  return oracle::to_pair(b);
}

std::size_t count_lines(const std::string& text, const std::string& prefix) {
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    if (text.compare(pos, prefix.size(), prefix) == 0) ++count;
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return count;
}

// A line of printmatfull: 70 significant digits in a field of 80.
const std::regex full_precision_line(R"(-?\d\.\d{69}e-?\d+ *)");

// The lines that the search may print at debug level 3, and nothing else.
bool known_report_line(const std::string& line) {
  static const std::regex known[] = {
      std::regex(R"(ZEZUV1 integer relation detection: n = +\d+)"),
      std::regex(R"(Iteration +\d+( +(Initialization|Start iterations|Relation detected|itermp: Precision exhausted\.|)"
                 R"(itermp: Small value in y = +-?\d+\.\d{6}e +-?\d+|itermp: Duplicate found, j = +\d+))?)"),
      std::regex(R"(Row +\d+)"),
      std::regex(R"(initmp: (Input x vector|Initial y vector|Initial h matrix):)"),
      std::regex(R"(itermp: Updated (y|b matrix|h matrix):)"),
      std::regex(R"(( +-?\d+\.\d{8}e +-?\d+){1,4})"),      // four pairs a line
      full_precision_line,
      std::regex(R"((Min, max of y =|Max\. bound =|Index of relation =) .*)"),
      std::regex(R"(CPU times:)"),
      std::regex(R"( +\d+\.\d\d +\d+\.\d\d)"),
  };
  for (const std::regex& r : known) {
    if (std::regex_match(line, r)) return true;
  }
  return false;
}

TEST(Initialisation, StartingStateSatisfiesThePslqIdentities) {
  const std::vector<kxreal> x34 = {kxreal{3}, kxreal{4}};
  std::vector<kxreal> b(4), h(4), ysave(2 * 8, kxreal{5}), y(2);
  initmp(0, 2, 8, b, h, ysave, x34, y);
  // 0.6 and 0.8 to within a few units of the last place of the pair.
  const kxreal three_fifths = kxreal{3} / 5.0Q;
  const kxreal four_fifths = kxreal{4} / 5.0Q;
  EXPECT_LE(std::fabs(static_cast<double>(y[0] - three_fifths)), 1e-66);
  EXPECT_LE(std::fabs(static_cast<double>(y[1] - four_fifths)), 1e-66);
  EXPECT_LE(std::fabs(static_cast<double>(h[0] - four_fifths)), 1e-66);
  EXPECT_LE(std::fabs(static_cast<double>(h[1] + three_fifths)), 1e-66);
  EXPECT_TRUE(b[0] == 1.0Q && b[1] == 0.0Q && b[2] == 0.0Q && b[3] == 1.0Q);
  for (const kxreal& v : ysave) EXPECT_TRUE(v == 0.0Q);

  // For a random x: |y| = 1, the columns of h are orthonormal and y h = 0,
  // each to a few units of 2^-226 (measured exactly in MPFR).
  oracle::operands gen(3);
  const int n = 7;
  std::vector<kxreal> x;
  for (int i = 0; i < n; ++i) x.push_back(gen.pair_with_exponent(gen.uniform(-5, 5)));
  std::vector<kxreal> bb(n * n), hh(n * n), ys(n * 8), yy(n);
  initmp(0, n, 8, bb, hh, ys, x, yy);
  auto dot = [&](auto u, auto v) {
    big sum, p;
    for (int i = 0; i < n; ++i) {
      mpfr_mul(p.get(), big(u(i)).get(), big(v(i)).get(), MPFR_RNDN);
      mpfr_add(sum.get(), sum.get(), p.get(), MPFR_RNDN);
    }
    return mpfr_get_d(sum.get(), MPFR_RNDN);
  };
  auto yv = [&](int i) { return yy[i]; };
  EXPECT_NEAR(dot(yv, yv), 1.0, 1e-65);
  for (int j = 0; j < n - 1; ++j) {
    auto hj = [&, j](int i) { return hh[i + j * n]; };
    EXPECT_NEAR(dot(yv, hj), 0.0, 1e-65) << j;
    for (int k = 0; k < n - 1; ++k) {
      auto hk = [&, k](int i) { return hh[i + k * n]; };
      EXPECT_NEAR(dot(hj, hk), j == k ? 1.0 : 0.0, 1e-65) << j << " " << k;
    }
  }
}

TEST(RelationSearch, FindsKnownRelations) {
  // sqrt 2 + sqrt 3 is a root of x^4 - 10 x^2 + 1.
  const search_result alg = search(0, powers(sqrt2_plus_sqrt3(), 5), 20.0);
  EXPECT_EQ(alg.found, 1);
  EXPECT_EQ(normalised_relation(alg.r), (std::vector<long long>{1, 0, -10, 0, 1}));

  // log 2 + log 3 - log 6 = 0, and log 10 = log 2 + log 5 takes no part.
  const std::vector<kxreal> logs = {mpfr_log(2), mpfr_log(3), mpfr_log(6), mpfr_log(10)};
  const search_result lg = search(0, logs, 20.0);
  EXPECT_EQ(lg.found, 1);
  EXPECT_EQ(normalised_relation(lg.r), (std::vector<long long>{1, 1, -1, 0}));

  // x = (1, sqrt 2, 12345 sqrt 2 + 1) has the relation (1, 12345, -1) of norm
  // about 10^4.1: reported, left in r, but not accepted under rb = 3.
  const kxreal s2 = sqrt(kxreal{2});
  const std::vector<kxreal> big_relation = {kxreal{1}, s2, kxreal{12345} * s2 + 1.0Q};
  const search_result too_large = search(2, big_relation, 3.0);
  EXPECT_EQ(too_large.found, 0);
  EXPECT_EQ(count_lines(too_large.output, "Relation is too large."), 1u) << too_large.output;
  EXPECT_EQ(normalised_relation(too_large.r), (std::vector<long long>{1, 12345, -1}));

  // A zero last entry is the exact relation (0, ..., 0, 1), taken at once
  // (the initialisation divided by its zero norm and the search ran on NaN
  // to its iteration limit); it is too large only for rb < 0.
  const std::vector<kxreal> zero_last = {mpfr_log(2), kxreal{}, s2, kxreal{}, kxreal{}};
  const search_result zero = search(1, zero_last, 20.0);
  EXPECT_EQ(zero.found, 1);
  EXPECT_EQ(normalised_relation(zero.r), (std::vector<long long>{0, 0, 0, 0, 1}));
  EXPECT_EQ(zero.output, "Index of relation =   5   Norm =   1.000000e    0   Residual =   0.000000e    0\n");
  const search_result negative_rb = search(2, zero_last, -1.0);
  EXPECT_EQ(negative_rb.found, 0);
  EXPECT_EQ(count_lines(negative_rb.output, "Relation is too large."), 1u) << negative_rb.output;
  EXPECT_EQ(normalised_relation(negative_rb.r), (std::vector<long long>{0, 0, 0, 0, 1}));
}

// pi, Euler's gamma, log 2 and sqrt 2, which have no known relation.
std::vector<kxreal> unrelated_numbers() {
  kxreal pi, gamma, log2;
  kxpi(pi);
  kxegamma(gamma);
  kxlog2(log2);
  return {pi, gamma, log2, sqrt(kxreal{2})};
}

TEST(RelationSearch, EndsByTheNormBoundWithoutARelation) {
  // With rb = 8 the bound passes 10^8 long before 68 digits run out.
  const search_result s = search(1, unrelated_numbers(), 8.0);
  EXPECT_EQ(s.found, 0);
  EXPECT_EQ(s.output, "Norm bound limit exceeded.   8.000000D+00\n");
  for (const kxreal& c : s.r) EXPECT_TRUE(c == 7.0Q);  // left as passed
}

TEST(RelationSearch, EndsWhenThePrecisionRunsOut) {
  // With rb = 60: 68 digits cannot rule out relations of norm near 10^17,
  // so y's smallest entry falls to the working precision (above eps =
  // 10^-60) first, and nothing is claimed.
  const search_result s = search(1, unrelated_numbers(), 60.0);
  EXPECT_EQ(s.found, 0);
  EXPECT_TRUE(std::regex_match(s.output, std::regex("Iteration +[0-9]+   itermp: Precision exhausted\\.\n")))
      << s.output;
  for (const kxreal& c : s.r) EXPECT_TRUE(c == 7.0Q);  // left as passed
}

TEST(RelationSearch, DebugLevelsPrintWhatTheySay) {
  const std::vector<kxreal> x = powers(sqrt2_plus_sqrt3(), 5);
  EXPECT_EQ(search(0, x, 20.0).output, "");

  const std::string one = search(1, x, 20.0).output;
  EXPECT_EQ(count_lines(one, ""), 4u) << one;
  EXPECT_EQ(count_lines(one, "Iteration"), 1u);
  EXPECT_NE(one.find("   Relation detected\nMin, max of y ="), std::string::npos) << one;
  EXPECT_EQ(count_lines(one, "Index of relation =   "), 1u);
  EXPECT_EQ(count_lines(one, "CPU times:"), 0u);

  const std::string two = search(2, x, 20.0).output;
  EXPECT_EQ(two.rfind("ZEZUV1 integer relation detection: n =    5\n"
                      "Iteration      0   Initialization\n"
                      "Iteration      0   Start iterations\n",
                      0),
            0u)
      << two;
  EXPECT_EQ(count_lines(two, "CPU times:"), 1u);
  EXPECT_EQ(count_lines(two, "initmp:"), 0u);

  const std::string three = search(3, x, 20.0).output;
  // The iteration that finds the relation, read from the level-1 report.
  const int last = std::stoi(one.substr(std::string("Iteration").size(), 7));
  for (int it = 1; it <= last; ++it) {
    char line[32];
    std::snprintf(line, sizeof line, "Iteration%7d\n", it);
    EXPECT_NE(three.find(line), std::string::npos) << it;
  }
  EXPECT_EQ(count_lines(three, "initmp: Input x vector:"), 1u);
  EXPECT_EQ(count_lines(three, "initmp: Initial h matrix:"), 1u);
  EXPECT_EQ(count_lines(three, "itermp: Updated y:"), static_cast<std::size_t>(last));
  EXPECT_EQ(count_lines(three, "itermp: Updated b matrix:"), static_cast<std::size_t>(last));
  std::istringstream lines(three);
  for (std::string line; std::getline(lines, line);) EXPECT_TRUE(known_report_line(line)) << "[" << line << "]";
  // One 80-character line of 70 digits per element of y, every iteration.
  std::size_t full_lines = 0;
  std::istringstream again(three);
  for (std::string line; std::getline(again, line);) full_lines += line.size() == 80 && std::regex_match(line, full_precision_line);
  EXPECT_EQ(full_lines, 5u * static_cast<std::size_t>(last));
}

TEST(RelationSearchDeathTest, RefusesArgumentsItCannotSearch) {
  kxreal eps{1e-60};
  int found;
  std::vector<kxreal> r(3);
  const std::vector<kxreal> one = {kxreal{1}};
  EXPECT_FATAL_STOP(zezuv1(0, 1, 20.0, eps, one, found, r), "\\*\\*\\* ZEZUV1: Improper value of N         1");
  const std::vector<kxreal> zeros(3);
  EXPECT_FATAL_STOP(zezuv1(0, 3, 20.0, eps, zeros, found, r), "\\*\\*\\* ZEZUV1: Input vector is zero\\.");
  const std::vector<kxreal> with_inf = {kxreal{1}, kxreal{__builtin_infq(), 0}, kxreal{2}};
  EXPECT_FATAL_STOP(zezuv1(0, 3, 20.0, eps, with_inf, found, r), "ZEZUV1: Input value is not finite, index     2");
  const std::vector<kxreal> with_nan = {kxreal{1}, kxreal{2}, kxreal{3, __builtin_nanq("")}};
  EXPECT_FATAL_STOP(zezuv1(0, 3, 20.0, eps, with_nan, found, r), "ZEZUV1: Input value is not finite, index     3");
  EXPECT_FATAL_STOP(zezuv1(0, 4, 20.0, eps, with_nan, found, r),
                    "\\*\\*\\* ZEZUV1: Array holds           3 elements, needs           4");

  // The lower-level routines check the caller's arrays against n too.
  std::vector<kxreal> b(9), h(6), ysave(24), y(3);
  int dupflag = 0, outcome = 0;
  EXPECT_FATAL_STOP(initmp(0, 3, 8, h, h, ysave, with_nan, y), "INITMP: Array holds           6 elements, needs           9");
  EXPECT_FATAL_STOP(itermp(0, 1, 3, 0, eps, b, b, ysave, y, dupflag, outcome), "ITERMP: Improper value of NSAVE         0");
  EXPECT_FATAL_STOP(itermp(0, 1, 3, 8, eps, b, b, h, y, dupflag, outcome), "ITERMP: Array holds           6 elements, needs          24");
  std::vector<int> ip(2);
  EXPECT_FATAL_STOP(sortindex(3, y, ip), "SORTINDEX: Array holds           2 elements, needs           3");
  EXPECT_FATAL_STOP(printmat(2, 2, y), "PRINTMAT: Array holds           3 elements, needs           4");
}

}  // namespace
