// The standard-library side of kxreal and kxcomplex: numeric_limits checked
// against the definitions its comments give (with MPFR and with the
// library's own arithmetic), exact construction from every integer type and
// long double against MPFR, <=>, ++, -- and bool against the existing
// operators, the stream operators against MPFR's reading of what they
// print, and std::hash against ==.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include <kx/kx.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;
using limits = std::numeric_limits<kxreal>;

// Every integer type and long double construct explicitly, never implicitly.
template <class... T>
constexpr bool explicit_only = ((std::is_constructible_v<kxreal, T> && !std::is_convertible_v<T, kxreal>) && ...);
static_assert(explicit_only<signed char, unsigned char, char, short, unsigned short, int, unsigned, long,
                            unsigned long, long long, unsigned long long, __int128, unsigned __int128, long double>);

// x exactly, from MPFR's reading of decimal text.
big from_text(const std::string& text) {
  big x;
  mpfr_set_str(x.get(), text.c_str(), 10, MPFR_RNDN);
  return x;
}

big power(long base, long n) {
  big x;
  mpfr_set_si(x.get(), base, MPFR_RNDN);
  mpfr_pow_si(x.get(), x.get(), n, MPFR_RNDN);
  return x;
}

unsigned __int128 bits_of(__float128 q) {
  unsigned __int128 b;
  std::memcpy(&b, &q, sizeof b);
  return b;
}

bool exactly(const kxreal& a, const big& x) { return mpfr_equal_p(big(a).get(), x.get()) != 0; }

TEST(StdIntegration, LimitsMatchTheirDefinitions) {
  oracle::operands gen(20261209);
  // digits: every number of `digits` significant bits is a pair (from
  // 2^-16268 up), and 2^227 + 2^113 + 1 is not.
  gmp_randstate_t state;
  gmp_randinit_default(state);
  mpfr_t significand;
  mpfr_init2(significand, limits::digits);
  for (int i = 0; i < 2000; ++i) {
    mpfr_urandomb(significand, state);  // in [0, 1), on `digits` bits
    big x;
    mpfr_mul_2si(x.get(), significand, gen.uniform(-16268, 16383), MPFR_RNDN);
    ASSERT_TRUE(exactly(oracle::to_pair(x), x)) << i;
  }
  mpfr_clear(significand);
  gmp_randclear(state);
  big not_a_pair = power(2, limits::digits);
  mpfr_add(not_a_pair.get(), not_a_pair.get(), big(0x1p113Q).get(), MPFR_RNDN);
  mpfr_add_ui(not_a_pair.get(), not_a_pair.get(), 1, MPFR_RNDN);
  EXPECT_FALSE(exactly(oracle::to_pair(not_a_pair), not_a_pair));
  EXPECT_EQ(limits::digits10, static_cast<int>((limits::digits - 1) * std::log10(2.0)));
  EXPECT_EQ(limits::max_digits10, static_cast<int>(std::ceil(1 + limits::digits * std::log10(2.0))));

  // epsilon is 2^(1 - digits) and the gap above 1 is the smallest subnormal.
  const kxreal one{1};
  EXPECT_TRUE(same_words(limits::epsilon(), kxreal{scalbnq(1, 1 - limits::digits), 0}));
  EXPECT_TRUE((one + limits::epsilon()) != one);
  EXPECT_TRUE(same_words((one + limits::epsilon()) - one, limits::epsilon()));
  EXPECT_TRUE((one + limits::denorm_min()) > one);
  EXPECT_TRUE(nextafterq(0, 1) == limits::denorm_min().hi && limits::denorm_min().hi / 2 == 0);

  // round_error: the nearest pair of any real beyond 2^-16268 lies within
  // epsilon / 2 relative, and one real comes within 1 % of that.
  const double bound = static_cast<double>(limits::round_error().hi * limits::epsilon().hi * 0x1p226Q);
  double worst = 0;
  for (int i = 0; i < 2000; ++i) {
    big x(gen.pair_with_exponent(gen.uniform(-16268, 16383)));
    mpfr_add(x.get(), x.get(), big(gen.significand() * scalbnq(1, mpfr_get_exp(x.get()) - 300)).get(), MPFR_RNDN);
    worst = std::max(worst, oracle::error_units(oracle::to_pair(x), x));
  }
  big near_worst = from_text("1");  // 1 + (2^-113 - 2^-226) + 2^-227 - 2^-300
  for (const auto& [e, s] : std::initializer_list<std::pair<int, int>>{{-113, 1}, {-226, -1}, {-227, 1}, {-300, -1}}) {
    mpfr_add(near_worst.get(), near_worst.get(), big(s * scalbnq(1, e)).get(), MPFR_RNDN);
  }
  EXPECT_LE(worst, bound);
  EXPECT_LE(oracle::error_units(oracle::to_pair(near_worst), near_worst), bound);
  EXPECT_GT(oracle::error_units(oracle::to_pair(near_worst), near_worst), 0.99 * bound);

  // min, denorm_min and the exponents are binary128's.
  EXPECT_TRUE(same_words(limits::min(), kxreal{scalbnq(1, limits::min_exponent - 1), 0}));
  EXPECT_EQ(bits_of(nextafterq(limits::min().hi, 0)) >> 112, 0u) << "below min is subnormal";
  EXPECT_TRUE(finiteq(scalbnq(1, limits::max_exponent - 1)) && isinfq(scalbnq(1, limits::max_exponent)));
  const big smallest(limits::min()), largest(limits::max());
  EXPECT_GE(mpfr_cmp(power(10, limits::min_exponent10).get(), smallest.get()), 0);
  EXPECT_LT(mpfr_cmp(power(10, limits::min_exponent10 - 1).get(), smallest.get()), 0);
  EXPECT_LE(mpfr_cmp(power(10, limits::max_exponent10).get(), largest.get()), 0);
  EXPECT_GT(mpfr_cmp(power(10, limits::max_exponent10 + 1).get(), largest.get()), 0);

  // max: hi the largest binary128, hi + lo rounds to hi, and the next lo up
  // would round to infinity. Its text is its value; its sum overflows to a
  // non-finite pair, its double to infinity.
  const kxreal top = limits::max();
  EXPECT_TRUE(isinfq(nextafterq(top.hi, HUGE_VALQ)) && oracle::to_quad(largest) == top.hi);
  EXPECT_TRUE(isinfq(oracle::to_quad(big(kxreal{top.hi, nextafterq(top.lo, HUGE_VALQ)}))));
  EXPECT_TRUE(same_words(limits::lowest(), -top));
  EXPECT_LE(oracle::error_units(from_text(kx::to_string(top)), largest, largest), 0x1p226 * 1e-67);
  EXPECT_FALSE(finiteq((top + top).hi));
  EXPECT_TRUE(same_words(top * 2.0Q, limits::infinity()));
  EXPECT_TRUE(same_words(top - top, kxreal{}));

  // infinity and the NaNs as the arithmetic makes and orders them.
  EXPECT_TRUE(same_words(kxreal{1} / kxreal{0}, limits::infinity()));
  EXPECT_TRUE(limits::infinity() > top && -limits::infinity() < limits::lowest());
  const kxreal nan = limits::quiet_NaN(), zero_by_zero = kxreal{0} / kxreal{0};
  EXPECT_TRUE(isnanq(nan.hi) && isnanq(nan.lo) && isnanq(zero_by_zero.hi) && isnanq(zero_by_zero.lo));
  EXPECT_EQ(nan <=> nan, std::partial_ordering::unordered);
  EXPECT_TRUE(isnanq(limits::signaling_NaN().hi));
  EXPECT_EQ(bits_of(limits::signaling_NaN().hi) >> 111 & 1, 0u) << "the quiet bit is clear";

  // round_style: kxmul's result is neither always the nearest pair nor on
  // one side of the exact product.
  int below = 0, above = 0, not_nearest = 0;
  for (int i = 0; i < 2000; ++i) {
    const kxreal a = gen.positive_pair(), b = gen.positive_pair();
    big exact;
    mpfr_mul(exact.get(), big(a).get(), big(b).get(), MPFR_RNDN);
    below += mpfr_cmp(big(a * b).get(), exact.get()) < 0, above += mpfr_cmp(big(a * b).get(), exact.get()) > 0;
    not_nearest += !same_words(a * b, oracle::to_pair(exact));
  }
  EXPECT_TRUE(below > 0 && above > 0 && not_nearest > 0);
}

// The exact value of an integer of up to 128 bits, from the halves of its
// magnitude.
template <class T>
big exact_value(T v) {
  const unsigned __int128 m = v < 0 ? -static_cast<unsigned __int128>(v) : static_cast<unsigned __int128>(v);
  big x, low;
  mpfr_set_uj(x.get(), static_cast<std::uint64_t>(m >> 64), MPFR_RNDN);
  mpfr_mul_2si(x.get(), x.get(), 64, MPFR_RNDN);
  mpfr_set_uj(low.get(), static_cast<std::uint64_t>(m), MPFR_RNDN);
  mpfr_add(x.get(), x.get(), low.get(), MPFR_RNDN);
  if (v < 0) mpfr_neg(x.get(), x.get(), MPFR_RNDN);
  return x;
}

TEST(StdIntegration, ConstructionFromEveryIntegerAndLongDoubleIsExact) {
  std::mt19937_64 bits(7);
  const auto check_type = [&]<class T>(T) {
    std::vector<T> values = {std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), T(0), T(1), T(-1)};
    for (int i = 0; i < 3000; ++i) {
      const auto random = (static_cast<unsigned __int128>(bits()) << 64) | bits();
      values.push_back(static_cast<T>(random >> (127 - bits() % (8 * sizeof(T)))));  // every bit length
    }
    for (const T v : values) {
      const kxreal a{v};
      const big x = exact_value(v);
      ASSERT_TRUE(exactly(a, x) && a.hi == oracle::to_quad(x)) << sizeof(T) << " bytes: " << hex(a);
    }
  };
  using uchar = unsigned char;
  using ushort = unsigned short;
  using u128 = unsigned __int128;
  [&]<class... T>(T... zero) { (check_type(zero), ...); }(static_cast<signed char>(0), uchar{}, '0', short{}, ushort{},
                                                          0, 0u, 0L, 0UL, 0LL, 0ULL, __int128{}, u128{});

  // long double: random significands and exponents over its whole range,
  // subnormals included.
  for (int i = 0; i < 3000; ++i) {
    const long double v = std::ldexp(static_cast<long double>(bits() | 1ULL << 63) * 0x1p-63L,
                                     static_cast<int>(bits() % 32829) - 16445) * (i % 2 ? -1 : 1);
    big x;
    mpfr_set_ld(x.get(), v, MPFR_RNDN);
    ASSERT_TRUE(exactly(kxreal{v}, x) && kxreal{v}.lo == 0) << static_cast<double>(v);
  }
}

TEST(StdIntegration, OrderingIncrementAndTruthAgreeWithTheOperators) {
  oracle::operands gen(11);
  std::vector<kxreal> values = {kxreal{}, kxreal{-0.0Q, 0}, kxreal{1}, kxreal{1, 0x1p-200Q}, kxreal{1, -0x1p-200Q},
                                limits::infinity(), -limits::infinity(), limits::quiet_NaN(), kxreal{1, NAN}};
  for (int i = 0; i < 40; ++i) values.push_back(gen.pair_with_exponent(gen.uniform(-3, 3)));
  for (const kxreal& a : values) {
    for (const kxreal& b : values) {
      const std::partial_ordering o = a <=> b;
      ASSERT_TRUE((o < 0) == (a < b) && (o == 0) == (a == b) && (o > 0) == (a > b) && (o <= 0) == (a <= b) &&
                  (a <=> b.hi) == (a <=> kxreal{b.hi, 0}))
          << hex(a) << " " << hex(b);
    }
    EXPECT_EQ(static_cast<bool>(a), !(a.hi == 0 && a.lo == 0)) << hex(a);
    kxreal up = a, down = a;
    EXPECT_TRUE(same_words(up++, a) && same_words(up, a + 1.0Q) && same_words(++up, a + 1.0Q + 1.0Q));
    EXPECT_TRUE(same_words(down--, a) && same_words(down, a - 1.0Q) && same_words(--down, a - 1.0Q - 1.0Q));
    EXPECT_TRUE(same_words(+a, a));
  }
  kxreal counter{0.5Q, 0x1p-200Q};
  for (int i = 0; i < 1000; ++i) ++counter;
  EXPECT_TRUE(same_words(counter, kxreal{1000.5Q, 0x1p-200Q}));
  EXPECT_FALSE((kxreal{} || kxreal{-0.0Q, -0.0Q}));
  EXPECT_TRUE(limits::denorm_min() && limits::quiet_NaN());
}

// The digits after the point of a printed number.
int decimals(const std::string& text) {
  const std::size_t point = text.find('.'), e = text.find('e');
  return static_cast<int>((e == std::string::npos ? text.size() : e) - point - 1);
}

TEST(StdIntegration, StreamsPrintTheDigitsAndReadThemBack) {
  oracle::operands gen(5);
  // Scientific, default and fixed text shows the digits the precision asks
  // for and lies within one unit of its last digit, plus the error of
  // kxeformat's scaling by 10^-E (kxnpwr's bound and a division) where the
  // digits reach beyond it.
  for (int i = 0; i < 600; ++i) {
    const kxreal x = gen.pair_with_exponent(gen.uniform(i < 300 ? -3000 : -20, i < 300 ? 3000 : 100));
    const int p = gen.uniform(0, 72);
    const big exact(x);
    for (const auto notation : {std::ios_base::scientific, std::ios_base::fmtflags{}, std::ios_base::fixed}) {
      if (notation == std::ios_base::fixed && i < 300) continue;
      std::ostringstream os;
      os.setf(notation, std::ios_base::floatfield);
      const std::string text = (os << std::setprecision(p) << x, os.str());
      const std::size_t e = text.find('e');
      const long exponent = e == std::string::npos ? 0 : std::stol(text.substr(e + 1));
      const int shown = decimals(text);
      EXPECT_EQ(shown, notation == std::ios_base::fmtflags{} ? std::max(p, 1) - 1 : p) << text;
      big error = from_text(text);
      mpfr_sub(error.get(), error.get(), exact.get(), MPFR_RNDN);
      mpfr_abs(error.get(), error.get(), MPFR_RNDN);
      big allowed;
      mpfr_mul_d(allowed.get(), exact.get(), (oracle::kxnpwr_bound(std::abs(exponent)) + 16) * 0x1p-226, MPFR_RNDN);
      mpfr_abs(allowed.get(), allowed.get(), MPFR_RNDN);
      mpfr_add(allowed.get(), allowed.get(), power(10, exponent - shown).get(), MPFR_RNDN);
      ASSERT_LE(mpfr_cmp(error.get(), allowed.get()), 0) << text << " " << hex(x);
    }
    // Written with 71 digits, read back within kxinpc's bound.
    std::stringstream io;
    io << std::scientific << std::setprecision(70) << x;
    kxreal y;
    ASSERT_TRUE(io >> y) << io.str();
    const int power_of_ten = std::stoi(io.str().substr(io.str().find('e') + 1)) - 70;
    ASSERT_LE(oracle::error_units(y, exact), 8 * 71 + oracle::kxnpwr_bound(power_of_ten) + 8 + 0x1p226 * 1e-70)
        << io.str();
  }

  // Width, fill, adjustment, sign and case, by hand.
  const kxreal x{12.5Q, 0};
  std::ostringstream os;
  os << std::scientific << std::setprecision(3) << x << ' ' << std::setw(10) << std::setfill('*') << x << ' '
     << std::left << std::setw(10) << x << ' ' << std::internal << std::setw(10) << -x << ' ' << x << ' '
     << std::showpos << std::uppercase << x << ' ' << std::noshowpos << std::nouppercase << std::fixed
     << std::setprecision(2) << x << ' ' << std::defaultfloat << std::setprecision(6) << x << ' '
     << std::setprecision(3) << std::scientific << kxcomplex{x, kxreal{-2}} << ' ' << limits::infinity();
  EXPECT_EQ(os.str(),
            "1.250e1 ***1.250e1 1.250e1*** -**1.250e1 1.250e1 +1.250E1 12.50 1.25000e1 (1.250e1,-2.000e0) inf");

  // A token with up to three exponent digits gives kxinpc's words; a longer
  // exponent moves the point; non-finite values read back.
  const std::vector<std::pair<std::string, std::string>> same = {
      {"-1.5e+3", "-1.5e+3"}, {"1e0005", "1e5"}, {".25D-001", "0.25e-1"}, {"7", "7"}, {"+0.0", "0"}};
  for (const auto& [token, literal] : same) {
    kxreal y;
    ASSERT_TRUE(std::istringstream(token) >> y) << token;
    EXPECT_TRUE(same_words(y, kx::to_real(literal))) << token;
  }
  for (const std::string token : {"1.5e1200", "0.00015e1204", "15000e1196", "-2.5e-1200", "-250e-1202"}) {
    kxreal y;
    ASSERT_TRUE(std::istringstream(token) >> y) << token;
    const big exact = from_text(token);
    EXPECT_LE(oracle::error_units(y, exact), 8 * 1206 + oracle::kxnpwr_bound(-1206) + 8) << token;
  }
  const std::vector<std::pair<std::string, kxreal>> extreme = {
      {"1e99999999999", limits::infinity()}, {"-1e5000", -limits::infinity()}, {"1e-99999", kxreal{}}};
  for (const auto& [token, value] : extreme) {
    kxreal y;
    ASSERT_TRUE(std::istringstream(token) >> y) << token;
    EXPECT_TRUE(y == value) << token << " " << hex(y);
  }
  std::istringstream specials("inf -inf NaN (inf,-inf) (1.5,-2) (3)");
  kxreal inf, minus_inf, not_a_number;
  kxcomplex z1, z2, z3;
  EXPECT_TRUE(specials >> inf >> minus_inf >> not_a_number >> z1 >> z2 >> z3);
  EXPECT_TRUE(same_words(inf, limits::infinity()) && same_words(minus_inf, -limits::infinity()));
  EXPECT_TRUE(isnanq(not_a_number.hi) && z1.re == limits::infinity() && z1.im == -limits::infinity());
  EXPECT_TRUE(z2 == kxcomplex(kxreal{1.5Q, 0}, kxreal{-2}) && z3 == kxcomplex(kxreal{3}));

  // A malformed token sets failbit, leaves the value and the process alone,
  // and the next token reads after clear().
  for (const std::string bad : {"abc", "1e", "1.2.3", "+", ".", "e5", "1e+-5", "1,5", "0x10", "1e5x", "--1",
                                "(1,2", "(1;2)", "((1,2))", "infinity"}) {
    std::istringstream is(bad + " 4");
    kxreal y{9};
    kxcomplex w{kxreal{9}};
    EXPECT_FALSE(is >> y) << bad;
    EXPECT_TRUE(same_words(y, kxreal{9})) << bad;
    is.clear();
    EXPECT_TRUE(is >> y && y == kxreal{4}) << bad;
    std::istringstream complex_is(bad);
    EXPECT_FALSE(complex_is >> w) << bad;
    EXPECT_TRUE(same_words(w.re, kxreal{9}) && same_words(w.im, kxreal{})) << bad;
  }

  // to_string: 68 significant digits within 2 10^-67 relative, over the range.
  for (int i = 0; i < 300; ++i) {
    const kxreal v = gen.pair_with_exponent(gen.uniform(-16300, 16300));
    const std::string text = kx::to_string(v);
    EXPECT_EQ(decimals(text), limits::digits10 - 1) << text;
    EXPECT_LE(oracle::error_units(from_text(text), big(v), big(v)), 0x1p226 * 2e-67) << text;
  }
  EXPECT_EQ(kx::to_string(kxcomplex{kxreal{1}, kxreal{-2}}),
            "(1." + std::string(67, '0') + "e0,-2." + std::string(67, '0') + "e0)");
}

TEST(StdIntegration, HashAgreesWithEquality) {
  oracle::operands gen(3);
  const std::hash<kxreal> h;
  const kxreal zeros[] = {{0, 0}, {-0.0Q, 0}, {0, -0.0Q}, {-0.0Q, -0.0Q}};
  for (const kxreal& z : zeros) EXPECT_EQ(h(z), h(kxreal{})) << hex(z);
  EXPECT_EQ(h(limits::quiet_NaN()), h(kxreal{1, -NAN}));
  std::unordered_set<kxreal> set;
  std::unordered_set<std::size_t> hashes;
  for (int i = 0; i < 2000; ++i) {
    const kxreal v = gen.pair();
    set.insert(v), set.insert(kxreal{v.hi, v.lo}), hashes.insert(h(v));
  }
  EXPECT_EQ(set.size(), 2000u);
  EXPECT_GT(hashes.size(), 1995u);
  const std::hash<kxcomplex> hc;
  EXPECT_EQ(hc(kxcomplex{kxreal{-0.0Q, 0}, kxreal{1}}), hc(kxcomplex{kxreal{}, kxreal{1}}));
  EXPECT_NE(hc(kxcomplex{kxreal{1}, kxreal{2}}), hc(kxcomplex{kxreal{1}, kxreal{-2}}));
}

}  // namespace
