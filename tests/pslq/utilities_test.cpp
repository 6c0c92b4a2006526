// The search utilities: the index sort against orders derived by hand and
// against sortedness on random keys with many ties, the report views at and
// near powers of ten, the bounds, and the matrix printers' layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include <kx/kx.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>

#include "test_support.h"

namespace {

using kx::decsplit;
using kx::log10hi;
using kx::minmaxabs;
using kx::normbound;
using kx::printmat;
using kx::printmatfull;
using kx::sortindex;

std::vector<int> sorted_indices(const std::vector<kxreal>& a) {
  std::vector<int> ip(a.size());
  sortindex(static_cast<int>(a.size()), a, ip);
  return ip;
}

std::vector<kxreal> keys(std::initializer_list<int> values) {
  std::vector<kxreal> a;
  for (const int v : values) a.emplace_back(v);
  return a;
}

TEST(SortIndex, OrdersDerivedByHand) {
  // Traced through the partition steps by hand: the middle (upper middle)
  // element is the pivot, and equal keys keep the order the steps leave.
  EXPECT_EQ(sorted_indices(keys({3, 1, 2})), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(sorted_indices(keys({5, 5})), (std::vector<int>{1, 2}));
  EXPECT_EQ(sorted_indices(keys({1, 1, 1})), (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(sorted_indices(keys({2, 1, 2, 1})), (std::vector<int>{2, 4, 1, 3}));
  EXPECT_EQ(sorted_indices(keys({9})), (std::vector<int>{1}));
}

TEST(SortIndex, RandomKeysWithTiesComeOutSortedAsAPermutation) {
  std::mt19937 gen(5);
  for (int trial = 0; trial < 500; ++trial) {
    const int m = 1 + static_cast<int>(gen() % 40);
    const int distinct = 1 + static_cast<int>(gen() % 5);  // many ties
    std::vector<kxreal> a;
    for (int i = 0; i < m; ++i) {
      // Keys that differ only in the low word must be told apart too.
      const int k = static_cast<int>(gen() % distinct);
      a.push_back(kxreal{static_cast<__float128>(k), (gen() % 2) ? 0x1p-200Q : 0});
    }
    const std::vector<int> ip = sorted_indices(a);
    std::vector<int> seen = ip;
    std::sort(seen.begin(), seen.end());
    std::vector<int> all(static_cast<std::size_t>(m));
    std::iota(all.begin(), all.end(), 1);
    ASSERT_EQ(seen, all);
    for (int k = 1; k < m; ++k) ASSERT_TRUE(a[ip[k - 1] - 1] <= a[ip[k] - 1]) << "trial " << trial << " k " << k;
  }
}

TEST(ReportViews, LogarithmAndMantissaExponentPairs) {
  EXPECT_EQ(log10hi(kxreal{}), -999999.0);
  EXPECT_DOUBLE_EQ(log10hi(kxreal{100}), 2.0);
  EXPECT_DOUBLE_EQ(log10hi(kxreal{-0.01}), -2.0);

  double d;
  int e;
  decsplit(kxreal{1234.5}, d, e);
  EXPECT_DOUBLE_EQ(d, 1.2345);
  EXPECT_EQ(e, 3);
  decsplit(kxreal{-0.05}, d, e);
  EXPECT_DOUBLE_EQ(d, -5.0);
  EXPECT_EQ(e, -2);
  decsplit(kxreal{}, d, e);
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(e, 0);

  // At the powers of ten: the exponent is the truncated logarithm, one less
  // when it is negative, so an exact negative power shows a mantissa of 10.
  for (int p = -20; p <= 20; ++p) {
    const double v = std::pow(10.0, p);
    decsplit(kxreal{v}, d, e);
    const double t = std::log10(v);
    const int expected_e = static_cast<int>(t) - (t < 0 ? 1 : 0);
    EXPECT_EQ(e, expected_e) << p;
    EXPECT_NEAR(d * std::pow(10.0, e), v, 1e-12 * v) << p;
    EXPECT_TRUE((d >= 1 - 1e-12 && d < 10) || (t < 0 && t == std::trunc(t) && std::fabs(d - 10) < 1e-12)) << p;
  }

  // Beyond the double range the exponent still comes out.
  decsplit(kxreal{0x1p3000Q, 0}, d, e);
  EXPECT_EQ(e, 903);  // 2^3000 = 1.23...e903
  EXPECT_NEAR(d, 1.2302319221611172, 1e-9);
  decsplit(kxreal{-0x1p-3000Q, 0}, d, e);
  EXPECT_EQ(e, -904);  // 2^-3000 = 8.12...e-904
  EXPECT_NEAR(d, -8.1285486255577354, 1e-9);
}

TEST(Bounds, NormBoundAndRangeOfY) {
  // n = 3, stored by columns: h(1,1) = 0.5, h(2,2) = -2.
  std::vector<kxreal> h(9);
  h[0] = 0.5Q;
  h[4] = -2.0Q;
  h[1] = 100.0Q;  // below the diagonal: not part of the bound
  EXPECT_TRUE(normbound(3, h) == 0.5Q);

  kxreal ymin, ymax;
  minmaxabs(0, {}, ymin, ymax);
  EXPECT_TRUE(ymin == 1e300Q);
  EXPECT_TRUE(ymax == kxreal{});
  const std::vector<kxreal> y = {kxreal{-3}, kxreal{0.5}, kxreal{2, 0x1p-200Q}, kxreal{-0.25}};
  minmaxabs(4, y, ymin, ymax);
  EXPECT_TRUE(ymin == 0.25Q);
  EXPECT_TRUE(ymax == 3.0Q);
}

TEST(MatrixPrint, RowsOfFourPairsAndEmptyRows) {
  // 2 x 5 by columns: element (i, j) = 10 i + j.
  std::vector<kxreal> a(10);
  for (int j = 1; j <= 5; ++j) {
    for (int i = 1; i <= 2; ++i) a[(i - 1) + (j - 1) * 2] = kxreal{10 * i + j};
  }
  testing::internal::CaptureStdout();
  printmat(2, 5, a);
  printmat(1, 0, a);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "Row  1\n"
            "   1.10000000e    1   1.20000000e    1   1.30000000e    1   1.40000000e    1\n"
            "   1.50000000e    1\n"
            "Row  2\n"
            "   2.10000000e    1   2.20000000e    1   2.30000000e    1   2.40000000e    1\n"
            "   2.50000000e    1\n"
            "Row  1\n"
            "\n");
}

}  // namespace
