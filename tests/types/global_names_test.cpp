// A user's program may define at global scope the names that kx keeps in
// namespace kx, with the very signatures kx uses: had kx declared any of
// them globally, this program would define kx's own function a second time
// and fail to link. The calls show each name reaching its own function.
#include <gtest/gtest.h>

#include <span>
#include <string_view>

#include <kx/kx.h>

kxreal sign(const kxreal& a, const kxreal&) { return a; }
kxreal mod(const kxreal& a, const kxreal&) { return a; }
kxreal min(const kxreal&, const kxreal& b) { return b + 1.0Q; }
kxreal pow(const kxreal& a, int) { return a; }
void printmat(int, int, std::span<const kxreal>) {}
void sortindex(int, std::span<const kxreal>, std::span<int>) {}
void decsplit(const kxreal&, double& d, int& e) { d = 0; e = 0; }
double cpusecond() { return -1; }
kxreal abs(const kxcomplex& z) { return z.re; }
kxcomplex conj(const kxcomplex& z) { return z; }
kxcomplex pow(const kxcomplex& z, const kxcomplex&) { return z; }
kxreal to_real(std::string_view) { return kxreal{-1}; }
kxreal log10(const kxreal& a) { return a; }
kxcomplex sin(const kxcomplex& z) { return z; }

namespace {

TEST(GlobalNames, UserDefinitionsAndKxFunctionsStayApart) {
  const kxreal a{2};
  const kxreal b{-3};
  EXPECT_TRUE(::min(a, b) == -2.0Q);
  EXPECT_TRUE(kx::min(a, b) == -3.0Q);
  EXPECT_TRUE(::sign(a, b) == 2.0Q);
  EXPECT_TRUE(kx::sign(a, b) == -2.0Q);
  EXPECT_TRUE(::mod(a, b) == 2.0Q);
  EXPECT_TRUE(::pow(a, 3) == 2.0Q);
  EXPECT_TRUE(kx::pow(a, 3) == 8.0Q);
  const kxcomplex z{kxreal{3}, kxreal{4}};
  EXPECT_TRUE(::abs(z) == 3.0Q && kx::abs(z) == 5.0Q);
  EXPECT_TRUE(::conj(z) == z && kx::conj(z) != z);
  EXPECT_TRUE(::pow(z, z) == z && ::to_real("2") == -1.0Q && kx::to_real("2") == 2.0Q);
  EXPECT_TRUE(::log10(a) == 2.0Q && kx::log10(a) < 1.0Q && ::sin(z) == z && kx::sin(z) != z);
  double d = 1;
  int e = 1;
  ::decsplit(a, d, e);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(::cpusecond(), -1);
}

}  // namespace
