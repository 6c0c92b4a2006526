// The value type kxreal: conversions, the operator table, comparisons and the
// basic numeric functions. Results are checked against MPFR at 600 bits or
// against exact values derived by hand; the operator table is checked where
// two entries would give different words.
#include <gtest/gtest.h>

#include <kx/kx.h>

#include <type_traits>
#include <utility>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

// ---- What must not compile ----------------------------------------------

template <class A, class B>
concept addable = requires(A a, B b) { a + b; };
template <class A, class B>
concept divisible = requires(A a, B b) { a / b; };
template <class A, class B>
concept less_comparable = requires(A a, B b) { a < b; };
template <class T>
concept int_power = requires(kxreal a, T n) { pow(a, n); };

static_assert(addable<kxreal, kxreal> && addable<kxreal, __float128> && addable<__float128, kxreal>);
static_assert(!addable<kxreal, int> && !addable<int, kxreal> && !addable<kxreal, double>);
static_assert(!addable<double, kxreal> && !addable<kxreal, long> && !addable<float, kxreal>);
static_assert(!divisible<kxreal, double> && !divisible<int, kxreal>);
static_assert(less_comparable<kxreal, __float128> && !less_comparable<kxreal, int>);
static_assert(!less_comparable<double, kxreal>);
static_assert(int_power<int> && !int_power<long> && !int_power<double>);
// Binary128 widens implicitly; int and double only when named; narrowing only
// when named.
static_assert(std::is_convertible_v<__float128, kxreal>);
static_assert(!std::is_convertible_v<int, kxreal> && !std::is_convertible_v<double, kxreal>);
static_assert(std::is_constructible_v<kxreal, int> && std::is_constructible_v<kxreal, double>);
static_assert(!std::is_convertible_v<kxreal, __float128> && !std::is_convertible_v<kxreal, double>);

kxreal neg(const kxreal& a) { return {-a.hi, -a.lo}; }

TEST(RealType, CreationAndConversionsAreExactOrKeepTheHighWord) {
  const kxreal fresh;
  EXPECT_TRUE(same_words(fresh, kxreal{0, 0}));
  kxreal array[3];
  for (const kxreal& e : array) EXPECT_TRUE(same_words(e, kxreal{0, 0}));

  const kxreal from_int{-2147483647 - 1};
  EXPECT_TRUE(same_words(from_int, kxreal{-0x1p31Q, 0}));
  const kxreal from_double{0.1};  // the double nearest 0.1, exactly
  EXPECT_TRUE(same_words(from_double, kxreal{static_cast<__float128>(0.1), 0}));
  kxreal assigned{7};
  assigned = 0.25Q;
  EXPECT_TRUE(same_words(assigned, kxreal{0.25Q, 0}));

  // Narrowing: the high word, then to double by round to nearest even.
  const kxreal a{1 + 0x1p-52Q + 0x1p-53Q, 0x1p-150Q};
  EXPECT_TRUE(static_cast<__float128>(a) == a.hi);
  EXPECT_EQ(static_cast<double>(a), 1 + 0x1p-51);
  const kxreal tie{1 + 0x1p-53Q, 0x1p-170Q};  // the low word does not break the tie
  EXPECT_EQ(static_cast<double>(tie), 1.0);
}

TEST(RealType, OperatorsAgreeWithMpfr) {
  oracle::operands gen(41);
  double worst = 0;
  for (int i = 0; i < 2000; ++i) {
    const kxreal a = gen.pair();
    const kxreal b = gen.pair_with_exponent(ilogbq(a.hi) + gen.uniform(-100, 100));
    const __float128 q = b.hi;
    const big A(a), B(b), Q(q);
    big exact;
    struct {
      kxreal value;
      int (*op)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
      const big* x;
      const big* y;
    } cases[] = {{a + b, mpfr_add, &A, &B}, {a - b, mpfr_sub, &A, &B}, {a * b, mpfr_mul, &A, &B},
                 {a / b, mpfr_div, &A, &B}, {a + q, mpfr_add, &A, &Q}, {a - q, mpfr_sub, &A, &Q},
                 {a * q, mpfr_mul, &A, &Q}, {a / q, mpfr_div, &A, &Q}, {q + a, mpfr_add, &Q, &A},
                 {q - a, mpfr_sub, &Q, &A}, {q * a, mpfr_mul, &Q, &A}, {q / a, mpfr_div, &Q, &A}};
    for (const auto& c : cases) {
      c.op(exact.get(), c.x->get(), c.y->get(), MPFR_RNDN);
      // Sums are measured against |x| + |y|, products and quotients against the result.
      big scale;
      if (c.op == mpfr_add || c.op == mpfr_sub) {
        big ax, ay;
        mpfr_abs(ax.get(), c.x->get(), MPFR_RNDN);
        mpfr_abs(ay.get(), c.y->get(), MPFR_RNDN);
        mpfr_add(scale.get(), ax.get(), ay.get(), MPFR_RNDN);
      } else {
        scale = exact;
      }
      const double err = oracle::error_units(big(c.value), exact, scale);
      worst = std::max(worst, err);
      ASSERT_LE(err, 8.0) << hex(a) << " " << hex(b);
    }
    EXPECT_TRUE(same_words(-a, neg(a)));
    EXPECT_TRUE(same_words(a * q, q * a));  // both kxmuld(a, q)
  }
  std::printf("[ accuracy ] operators largest error %.3f units of 2^-226 (bound 8.0)\n", worst);
}

TEST(RealType, MixedOperandsAndCompoundAssignment) {
  // Q / R divides the widened numerator: 1 / b and (1, 0) / b are the same words.
  const kxreal three{3};
  kxreal by_div;
  kxdiv(kxreal{1, 0}, three, by_div);
  EXPECT_TRUE(same_words(1.0Q / three, by_div));
  EXPECT_TRUE(same_words(kxreal{1} / three, by_div));
  kxreal c{5};
  c += 0.5Q;
  c *= kxreal{2};
  c -= kxreal{1};
  c /= 2.0Q;
  EXPECT_TRUE(same_words(c, kxreal{5, 0}));
  EXPECT_TRUE(same_words(pow(kxreal{2}, 10), kxreal{1024, 0}));
  EXPECT_TRUE(same_words(pow(kxreal{2}, -3), kxreal{0.125Q, 0}));
}

TEST(RealType, ComparisonsWidenWithAZeroLowWord) {
  const kxreal above{1, 0x1p-200Q};
  EXPECT_TRUE(above > 1.0Q);
  EXPECT_FALSE(above == 1.0Q);
  EXPECT_TRUE(1.0Q < above && 1.0Q <= above && 1.0Q != above);
  EXPECT_TRUE(kxreal{1} == 1.0Q && kxreal{1} >= 1.0Q && kxreal{1} <= 1.0Q);
  EXPECT_TRUE((kxreal{0, 0} == kxreal{-0.0Q, 0}));
}

// A NaN in either word and on either side leaves a comparison unordered, as
// binary128 comparison does; min and max give the NaN in both orders.
TEST(RealType, NaNIsUnorderedOnBothSides) {
  const __float128 q = __builtin_nanq("");
  const kxreal one{1};
  for (const kxreal nan : {kxreal{q, 0}, kxreal{1, q}, kxreal{-q, 0}}) {
    for (const auto& [a, b] : {std::pair{nan, one}, std::pair{one, nan}, std::pair{nan, nan}}) {
      EXPECT_FALSE(a < b || a <= b || a > b || a >= b || a == b) << hex(a) << " " << hex(b);
      EXPECT_TRUE(a != b) << hex(a) << " " << hex(b);
      EXPECT_TRUE(kx::compare(a, b) == kx::unordered);
    }
    EXPECT_FALSE(nan > 1.0Q || 1.0Q < nan || nan == 1.0Q || 1.0Q >= nan);
    EXPECT_TRUE(nan != 1.0Q && 1.0Q != nan);
    for (const kxreal& m : {min(one, nan), min(nan, one), max(one, nan), max(nan, one), min(one, nan, one),
                            max(one, one, nan)})
      EXPECT_TRUE(same_words(m, nan)) << hex(m);
  }
}

TEST(RealType, NumericFunctions) {
  EXPECT_TRUE(same_words(abs(kxreal{-1, 0x1p-200Q}), kxreal{1, -0x1p-200Q}));
  EXPECT_TRUE(same_words(sqrt(kxreal{4}), kxreal{2, 0}));
  EXPECT_TRUE(same_words(nroot(kxreal{5}, 1), kxreal{5, 0}));

  EXPECT_TRUE(same_words(aint(kxreal{-2.5}), kxreal{-2, 0}));
  EXPECT_TRUE(nint(kxreal{-2.5}) == kxreal{-2});
  EXPECT_TRUE(nint(kxreal{2.5}) == kxreal{2});
  EXPECT_TRUE(nint(kxreal{3.5}) == kxreal{4});

  EXPECT_TRUE(mod(kxreal{7}, kxreal{3}) == kxreal{1});
  EXPECT_TRUE(mod(kxreal{-7}, kxreal{3}) == kxreal{-1});
  EXPECT_TRUE(mod(kxreal{7}, kxreal{-3}) == kxreal{1});
  // mod(x, 1) of x = 10 + 1/3 is 1/3 to full precision: the subtraction of
  // the integer part is exact.
  const kxreal third = kxreal{1} / kxreal{3};
  const big third_exact(third);
  EXPECT_LE(oracle::error_units(mod(kxreal{10} + third, kxreal{1}), third_exact), 16.0);

  EXPECT_TRUE(same_words(sign(kxreal{3, 0x1p-200Q}, kxreal{-1}), kxreal{-3, -0x1p-200Q}));
  EXPECT_TRUE(same_words(sign(kxreal{-3, 0x1p-200Q}, kxreal{1}), kxreal{3, -0x1p-200Q}));
  EXPECT_TRUE(same_words(sign(kxreal{0, 0}, kxreal{-1}), kxreal{-0.0Q, 0}));

  const kxreal zero{0, 0};
  const kxreal minus_zero{-0.0Q, 0};
  EXPECT_TRUE(same_words(min(zero, minus_zero), minus_zero));
  EXPECT_TRUE(same_words(max(zero, minus_zero), zero));
  EXPECT_TRUE(same_words(min(kxreal{3}, kxreal{1}, kxreal{2}), kxreal{1, 0}));
  EXPECT_TRUE(same_words(max(kxreal{3}, kxreal{1}, kxreal{5}), kxreal{5, 0}));
}

TEST(RealTypeDeathTest, FunctionsStopWithTheirRoutinesMessages) {
  EXPECT_FATAL_STOP(nroot(kxreal{-1}, 3), "\\*\\*\\* KXNRT: Argument is negative\\.");
  EXPECT_FATAL_STOP(pow(kxreal{}, 0), "\\*\\*\\* KXNPWR: Argument is zero and N is negative or zero\\.");
  EXPECT_FATAL_STOP(nint(kxreal{0x1p225Q, 0}), "\\*\\*\\* KXNINT: Argument is too large\\.");
}

}  // namespace
