// The integer-register binary128 operations against the compiler's, and the
// routines built on them against their plain formulas (arith_reference.h),
// bit for bit on both words. Operands are drawn to hit ties, cancellations,
// exponent gaps 0..250 either way, low words of both signs, of half an ulp
// and not normalised, zeros of both signs, subnormals, infinities, NaN and
// the ends of the integer window and of the range.
//
// KX_DIFFERENTIAL_SCALE=n multiplies the counts, for longer runs by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <tuple>
#include <vector>

#include <kx/core/arith_reference.h>
#include <kx/core/binary_power.h>
#include <kx/core/eft.h>
#include <kx/pslq/integer_columns.h>
#include <kx/pslq/integer_multiple.h>
#include <kx/pslq/nearest_quotient.h>
#include <kx/pslq/power_table.h>
#include <kx/core/quad_divide.h>
#include <kx/core/quad_fixed_product.h>
#include <kx/core/quad_fixed_root.h>
#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_from_integer.h>
#include <kx/core/quad_wide_sum.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_order.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using kx::iq_bits;
using kx::iq_fraction_mask;
using kx::iq_quad;
using kx::iq_sign_bit;
using kx::iq_u128;
using oracle::hex;

long scaled(long n) {
  const char* s = std::getenv("KX_DIFFERENTIAL_SCALE");
  return s != nullptr && std::atol(s) > 0 ? n * std::atol(s) : n;
}

bool same(__float128 x, __float128 y) { return iq_bits(x) == iq_bits(y); }

// The compiler may swap the operands of its own x + y, which changes only
// which NaN comes out: with a NaN operand the sum need only be a NaN.
bool same_sum(__float128 x, __float128 y, __float128 fast, __float128 compiler) {
  if (isnanq(x) || isnanq(y)) return isnanq(fast) && isnanq(compiler);
  return same(fast, compiler);
}

std::string hexq(__float128 x) { return hex(kxreal{x, 0}); }

class words {
 public:
  explicit words(std::uint64_t seed) : gen_(seed) {}

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
  bool one_in(int n) { return gen_() % static_cast<unsigned>(n) == 0; }
  bool coin() { return (gen_() & 1) != 0; }
  std::uint64_t gen() { return gen_(); }

  /// A fraction field: random, short (products and sums that tie), or
  /// ending in a run of ones or of zeros.
  iq_u128 fraction() {
    const iq_u128 r = ((static_cast<iq_u128>(gen_()) << 64) | gen_()) & iq_fraction_mask;
    switch (gen_() % 8) {
      case 0: {
        const int k = uniform(0, 60);
        return k == 0 ? 0 : (r >> (112 - k)) << (112 - k);
      }
      case 1:
        return r | ((iq_u128(1) << uniform(1, 112)) - 1);
      case 2:
        return r & ~((iq_u128(1) << uniform(1, 112)) - 1);
      default:
        return r;
    }
  }

  /// A word of the given exponent field, clamped to the finite range
  /// (field 0 gives a subnormal or zero).
  __float128 word(int field, bool negative) {
    if (field < 0) field = 0;
    if (field > 0x7ffe) field = 0x7ffe;
    return iq_quad((negative ? iq_sign_bit : 0) | (static_cast<iq_u128>(field) << 112) | fraction());
  }

  /// A field near 1, or at the ends of the integer window, or of the range.
  int field() {
    switch (gen_() % 10) {
      case 0:
        return kx::iq_window_low + uniform(-3, 3);
      case 1:
        return kx::iq_window_high + uniform(-3, 3);
      case 2:
        return coin() ? uniform(1, 300) : uniform(0x7ffe - 300, 0x7ffe);
      case 3:
        return uniform(1, 0x7ffe);
      default:
        return 0x3fff + uniform(-400, 400);
    }
  }

  /// Zeros, subnormals, infinities, NaN and the largest and smallest normals.
  __float128 special() {
    const iq_u128 s = coin() ? iq_sign_bit : 0;
    switch (gen_() % 6) {
      case 0:
        return iq_quad(s);
      case 1:
        return iq_quad(s | (fraction() >> uniform(0, 100)));
      case 2:
        return iq_quad(s | (iq_u128(0x7fff) << 112));
      case 3:
        return iq_quad(s | (iq_u128(0x7fff) << 112) | 1 | fraction());
      case 4:
        return iq_quad(s | (iq_u128(0x7ffe) << 112) | fraction());
      default:
        return iq_quad(s | (iq_u128(1) << 112) | fraction());
    }
  }

  /// A gap between two exponents: mostly small, often 0, 1, 2 and near the
  /// width of one and two words, up to 250 either way.
  int gap() {
    int g;
    switch (gen_() % 6) {
      case 0:
        g = uniform(0, 2);
        break;
      case 1:
        g = uniform(110, 117);
        break;
      case 2:
        g = uniform(223, 229);
        break;
      default:
        g = uniform(0, 250);
    }
    return coin() ? g : -g;
  }

  /// y for a sum with x: another exponent by a gap, or x's negation
  /// changed in its last bits (cancellation), or x itself.
  __float128 partner(__float128 x) {
    const int fx = kx::iq_field_of(iq_bits(x));
    switch (gen_() % 8) {
      case 0:
        return iq_quad(iq_bits(x) ^ iq_sign_bit ^ (gen_() % 16));
      case 1:
        return coin() ? x : iq_quad(iq_bits(x) ^ iq_sign_bit);
      case 2:
        return special();
      default:
        return word(fx + gap(), coin());
    }
  }

  /// A quad pair: a high word and a low word that is zero of either sign,
  /// exactly half an ulp, a normalised or a too-large low word, or far
  /// smaller.
  kxreal pair(int field) {
    const __float128 hi = one_in(50) ? special() : word(field, coin());
    const int f = kx::iq_field_of(iq_bits(hi));
    const bool negative = coin();
    switch (gen_() % 8) {
      case 0:
        return {hi, iq_quad(negative ? iq_sign_bit : 0)};
      case 1:
        return {hi, f > 113 ? iq_quad((negative ? iq_sign_bit : 0) | (static_cast<iq_u128>(f - 113) << 112)) : 0};
      case 2:
        return {hi, word(f - uniform(0, 112), negative)};
      case 3:
        return {hi, word(f - uniform(114, 400), negative)};
      default:
        return {hi, word(f - 113 + uniform(-3, 0), negative)};
    }
  }

  /// b for a, a: any gap, or b = -a (whole or only high word), or b.hi a
  /// few ulps from -a.hi.
  kxreal partner(const kxreal& a) {
    switch (gen_() % 8) {
      case 0:
        return {-a.hi, -a.lo};
      case 1:
        return {-a.hi, pair(kx::iq_field_of(iq_bits(a.hi))).lo};
      case 2:
        return {iq_quad(iq_bits(a.hi) ^ iq_sign_bit ^ (gen_() % 16)), pair(kx::iq_field_of(iq_bits(a.hi))).lo};
      default:
        return pair(kx::iq_field_of(iq_bits(a.hi)) + gap());
    }
  }

  /// b for a product with a: exponents whose sum lands anywhere, often at
  /// the window's ends or past the range.
  kxreal factor(const kxreal& a) {
    const int fa = kx::iq_field_of(iq_bits(a.hi));
    const int target = field();
    return pair(one_in(2) ? target - fa + 0x3fff : 0x3fff + uniform(-300, 300));
  }

 private:
  std::mt19937_64 gen_;
};

// Each integer operation gives the compiler's word, zeros' signs included.
TEST(IntegerQuad, SumsAndDifferencesAreTheCompilersWords) {
  words w(1);
  const long n = scaled(4000000);
  for (long i = 0; i < n; ++i) {
    const __float128 x = w.one_in(50) ? w.special() : w.word(w.field(), w.coin());
    const __float128 y = w.partner(x);
    ASSERT_TRUE(same_sum(x, y, kx::iq_add(x, y), x + y)) << hexq(x) << " + " << hexq(y);
    ASSERT_TRUE(same_sum(x, y, kx::iq_sub(x, y), x - y)) << hexq(x) << " - " << hexq(y);
    ASSERT_TRUE(same_sum(x, y, kx::iq_add(y, x), y + x)) << hexq(y) << " + " << hexq(x);
  }
}

TEST(IntegerQuad, ProductsAndErrorsAreTheCompilersWords) {
  words w(2);
  const long n = scaled(4000000);
  for (long i = 0; i < n; ++i) {
    const kxreal a = w.pair(w.field());
    const kxreal b = w.factor(a);
    for (const auto& [x, y] : {std::pair{a.hi, b.hi}, std::pair{a.hi, b.lo}, std::pair{a.lo, b.hi}}) {
      const __float128 p = x * y;
      ASSERT_TRUE(same(kx::iq_mul(x, y), p)) << hexq(x) << " * " << hexq(y);
      const kx::iq_rounded_product r = kx::iq_two_product(x, y);
      ASSERT_TRUE(same(r.p, p)) << hexq(x) << " * " << hexq(y);
      // Where the compiler's product is finite and not tiny, or a zero
      // factor meets a word of the window, its error is exact: the integer
      // one must be the same word, +0 when exact.
      const bool zero_by_window = p == 0 && (kx::iq_in_window(kx::iq_field_of(iq_bits(x))) ||
                                             kx::iq_in_window(kx::iq_field_of(iq_bits(y))));
      if ((kx::is_finite(p) && kx::iq_field_of(iq_bits(p)) > 300) || zero_by_window) {
        ASSERT_TRUE(same(r.error, kx::product_error(x, y, p))) << hexq(x) << " * " << hexq(y);
      }
    }
  }
}

// Ties of products: significands of at most 57 bits whose products have a
// tail of exactly half an ulp, and sums at gaps 0 and 1 that tie.
TEST(IntegerQuad, TiesRoundToEven) {
  words w(3);
  int ties = 0;
  for (long i = 0; i < scaled(1000000); ++i) {
    // Odd significands of m and n bits, m + n = 114 or 115: the product has
    // 114 bits, or 115 with a last bit of 1, and so a tail of exactly half.
    const int kx_bits = w.uniform(1, 56);
    const int ky_bits = 112 - kx_bits + w.uniform(0, 1);
    const iq_u128 fx = ((w.fraction() >> (112 - kx_bits)) << (112 - kx_bits)) | (iq_u128(1) << (112 - kx_bits));
    const iq_u128 fy = ((w.fraction() >> (112 - ky_bits)) << (112 - ky_bits)) | (iq_u128(1) << (112 - ky_bits));
    const __float128 x = iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-5, 5)) << 112) | fx);
    const __float128 y = iq_quad((w.coin() ? iq_sign_bit : 0) | (static_cast<iq_u128>(0x3fff) << 112) | fy);
    const kx::iq_rounded_product r = kx::iq_two_product(x, y);
    ASSERT_TRUE(same(r.p, x * y)) << hexq(x) << " * " << hexq(y);
    ASSERT_TRUE(same(r.error, kx::product_error(x, y, x * y))) << hexq(x) << " * " << hexq(y);
    if (kx::iq_field_of(iq_bits(r.error)) == kx::iq_field_of(iq_bits(r.p)) - 113 &&
        (iq_bits(r.error) & iq_fraction_mask) == 0) {
      ++ties;
    }
    const __float128 u = iq_quad(iq_bits(x) ^ (iq_u128(1) << 112) ^ 1);  // gap 1, last bit set
    ASSERT_TRUE(same(kx::iq_add(x, u), x + u)) << hexq(x) << " + " << hexq(u);
    ASSERT_TRUE(same(kx::iq_sub(x, u), x - u)) << hexq(x) << " - " << hexq(u);
  }
  EXPECT_GT(ties, 0) << "no product tied";
}

// One digit of the long division against GMP: U = r 2^64 + limb over a
// normalised v, with remainders r just below v (top limbs equal, where the
// digit estimate saturates), and limbs and low limbs of v at their ends.
void set_u128(mpz_t z, iq_u128 x) {
  mpz_set_ui(z, static_cast<unsigned long>(x >> 64));
  mpz_mul_2exp(z, z, 64);
  mpz_add_ui(z, z, static_cast<unsigned long>(x));
}

TEST(IntegerQuad, QuotientDigitsAreGmps) {
  words w(6);
  mpz_t u, v, q, rem, t;
  mpz_inits(u, v, q, rem, t, nullptr);
  const auto edge = [&w](kx::iq_u64 x) -> kx::iq_u64 {
    switch (w.uniform(0, 3)) {
      case 0: return 0;
      case 1: return ~kx::iq_u64(0) - w.uniform(0, 3);
      default: return x;
    }
  };
  for (long i = 0; i < scaled(400000); ++i) {
    const kx::iq_u64 v1 = edge(w.gen()) | (kx::iq_u64(1) << 63);
    const kx::iq_u64 v0 = edge(w.gen());
    const iq_u128 vv = (static_cast<iq_u128>(v1) << 64) | v0;
    iq_u128 r;
    switch (w.uniform(0, 3)) {
      case 0: r = vv - 1 - (w.gen() % 1000); break;                       // top limbs equal
      case 1: r = (static_cast<iq_u128>(v1) << 64) | edge(w.gen()); break;  // r1 = v1, maybe >= v
      case 2: r = static_cast<iq_u128>(w.gen()) << 64 | w.gen(); break;
      default: r = w.gen() % 4;
    }
    if (r >= vv) r = vv - 1;
    const kx::iq_u64 limb = edge(w.gen());
    set_u128(u, r);
    mpz_mul_2exp(u, u, 64);
    mpz_add_ui(u, u, limb);
    set_u128(v, vv);
    mpz_fdiv_qr(q, rem, u, v);
    iq_u128 r_new = r;
    const kx::iq_u64 digit = kx::iq_quotient_digit(r_new, limb, vv);
    set_u128(t, r_new);
    ASSERT_EQ(mpz_cmp_ui(q, digit), 0) << "digit of r " << static_cast<unsigned long>(r >> 64) << ":"
                                       << static_cast<unsigned long>(r);
    ASSERT_EQ(mpz_cmp(rem, t), 0);
  }
  mpz_clears(u, v, q, rem, t, nullptr);
}

// Integer quotients are the compiler's words: random operands over the
// window and its ends, specials, and constructed ones: exact quotients
// (y times a short q), x one or a few ulps from y, significands of all
// ones or a single bit.
TEST(IntegerQuad, QuotientsAreTheCompilersWords) {
  words w(7);
  const long n = scaled(2000000);
  for (long i = 0; i < n; ++i) {
    __float128 x = w.one_in(50) ? w.special() : w.word(w.field(), w.coin());
    __float128 y = w.one_in(50) ? w.special() : w.word(0x3fff + w.uniform(-400, 400), w.coin());
    switch (i % 5) {
      case 0: {  // exact: y q with q of at most 20 bits
        const __float128 q =
            iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-30, 30)) << 112) | ((w.fraction() >> 92) << 92));
        if (kx::is_finite(y * q) && kx::iq_field_of(iq_bits(y * q)) > 0) x = y * q;
        break;
      }
      case 1:  // a few ulps from y, or from 2y
        x = iq_quad((iq_bits(y) + (iq_u128(w.uniform(0, 1)) << 112)) ^ (w.gen() % 8));
        break;
      case 2:  // all ones or a single bit
        y = iq_quad((iq_bits(y) & ~iq_fraction_mask) | (w.coin() ? iq_fraction_mask : 0));
        break;
      default:
        break;
    }
    const __float128 compiler = x / y;
    const __float128 fast = kx::iq_div(x, y);
    if (isnanq(compiler)) {
      ASSERT_TRUE(isnanq(fast)) << hexq(x) << " / " << hexq(y);
    } else {
      ASSERT_TRUE(same(fast, compiler)) << hexq(x) << " / " << hexq(y) << " gives " << hexq(fast) << " not "
                                        << hexq(compiler);
    }
  }
}

// Integer floor roots of n 2^104 are GMP's, remainder zero or not: n at
// random over [2^124, 2^126) and at its ends, exact squares and their
// neighbours, and n whose root lies just below or above an integer.
TEST(IntegerQuad, FloorRootsAreGmps) {
  words w(9);
  mpz_t n, root, rem;
  mpz_inits(n, root, rem, nullptr);
  const iq_u128 low = iq_u128(1) << 124;
  const iq_u128 high = (iq_u128(1) << 126) - 1;
  for (long i = 0; i < scaled(400000); ++i) {
    const iq_u128 random = (static_cast<iq_u128>(w.gen()) << 64) | w.gen();
    iq_u128 x;
    switch (i % 4) {
      case 0:
        x = (random >> 2) | low;
        break;
      case 1:
        x = w.coin() ? low + w.gen() % 8 : high - w.gen() % 8;
        break;
      case 2: {  // (j 2^52)^2 = j^2 2^104
        const iq_u128 j = (iq_u128(1) << 62) | (w.gen() >> 2);
        x = j * j + static_cast<iq_u128>(static_cast<__int128>(w.uniform(-3, 3)));
        break;
      }
      default: {  // the integer part of s^2 / 2^104 and next to it, for s at random or near 2^114 or 2^115
        const iq_u128 t = random >> w.uniform(60, 127);
        const iq_u128 s = w.coin() ? (iq_u128(1) << 114) | (random >> 14)
                                   : (w.coin() ? (iq_u128(1) << 114) + t : (iq_u128(1) << 115) - 1 - t);
        const kx::iq_wide sq = kx::iq_multiply(s, s);
        x = ((sq.high << 24) | (sq.low >> 104)) + static_cast<iq_u128>(static_cast<__int128>(w.uniform(-1, 1)));
      }
    }
    if (x < low) x = low;
    if (x > high) x = high;
    set_u128(n, x);
    mpz_mul_2exp(n, n, 104);
    mpz_sqrtrem(root, rem, n);
    const kx::iq_floor_root fast = kx::iq_floor_sqrt(x);
    set_u128(n, fast.root);
    ASSERT_EQ(mpz_cmp(n, root), 0) << "floor root of " << static_cast<unsigned long>(x >> 64) << ":"
                                   << static_cast<unsigned long>(x);
    ASSERT_EQ(fast.exact, mpz_sgn(rem) == 0);
  }
  mpz_clears(n, root, rem, nullptr);
}

// Integer square roots are glibc's correctly rounded words: random words,
// exact squares of short significands, and their neighbours a few ulps off
// (roots just above or below a representable value), at both parities of
// the exponent and the window's ends; negative words, zeros and specials
// go to glibc.
TEST(IntegerQuad, SquareRootsAreGlibcsWords) {
  words w(8);
  for (long i = 0; i < scaled(1000000); ++i) {
    __float128 x = w.one_in(50) ? w.special() : w.word(w.field(), w.one_in(20));
    if (i % 2 == 0) {
      const __float128 r = iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-2000, 2000)) << 112) |
                                ((w.fraction() >> 56) << 56));
      x = iq_quad(iq_bits(r * r) + static_cast<iq_u128>(w.uniform(-3, 3)));
    }
    const __float128 glibc = kx::quad_sqrt(x);
    const __float128 fast = kx::iq_sqrt(x);
    if (isnanq(glibc)) {
      ASSERT_TRUE(isnanq(fast)) << hexq(x);
    } else {
      ASSERT_TRUE(same(fast, glibc)) << "sqrt " << hexq(x) << " gives " << hexq(fast) << " not " << hexq(glibc);
    }
  }
}

// Knuth's two-sum with the compiler's binary128, as the routines write it.
kx::quad_halves knuth_two_sum(__float128 x, __float128 y) {
  const __float128 s = x + y;
  const __float128 e = s - x;
  return {s, (x - (s - e)) + (y - e)};
}

// The fused two-sum (sum and exact error at once) and the fused quick
// two-sum give the words of the formulas they replace, zeros' signs
// included: operands at every gap (114 and 115 among them), cancelling,
// tying at gaps 0 and 1, zeros of both signs beside window words.
TEST(IntegerQuad, FusedTwoSumsAreTheFormulasWords) {
  words w(4);
  const long n = scaled(2000000);
  long fast = 0;
  for (long i = 0; i < n; ++i) {
    const __float128 x = w.one_in(50) ? w.special() : w.word(w.field(), w.coin());
    const __float128 y = w.one_in(20) ? iq_quad(w.coin() ? iq_sign_bit : 0) : w.partner(x);
    kx::quad_halves r;
    if (kx::iq_two_sum_if_fast(iq_bits(x), iq_bits(y), r)) {
      ++fast;
      const kx::quad_halves k = knuth_two_sum(x, y);
      ASSERT_TRUE(same(r.high, k.high) && same(r.low, k.low))
          << "two-sum " << hexq(x) << " + " << hexq(y) << " gives " << hexq(r.high) << " " << hexq(r.low);
    }
    // The quick two-sum, larger word first as the routines call it, and
    // also the other way round (the literal fallback).
    for (const auto& [s, t] : {std::pair{x, y}, std::pair{y, x}}) {
      const kxreal q = kx::iq_quick_two_sum(s, t);
      const kxreal p = kx::renormalise(s, t);
      if (isnanq(p.hi)) {
        ASSERT_TRUE(isnanq(q.hi)) << hexq(s) << " " << hexq(t);
        continue;
      }
      ASSERT_TRUE(same(q.hi, p.hi) && same(q.lo, p.lo)) << "quick two-sum " << hexq(s) << " " << hexq(t);
    }
  }
  EXPECT_GT(fast, n / 2);
}

// Comparisons on bit patterns against the compiler's, with zeros of both
// signs, NaN, infinities and neighbouring words.
TEST(IntegerQuad, ComparisonsAreTheCompilers) {
  words w(5);
  for (long i = 0; i < scaled(1000000); ++i) {
    const __float128 x = w.one_in(4) ? w.special() : w.word(w.field(), w.coin());
    __float128 y;
    switch (i % 4) {
      case 0:
        y = w.special();
        break;
      case 1:
        y = iq_quad(iq_bits(x) ^ (w.gen() % 4));
        break;
      case 2:
        y = iq_quad(iq_bits(x) ^ iq_sign_bit);
        break;
      default:
        y = w.partner(x);
    }
    ASSERT_EQ(kx::iq_less(x, y), x < y) << hexq(x) << " < " << hexq(y);
    ASSERT_EQ(kx::iq_less(y, x), y < x) << hexq(y) << " < " << hexq(x);
    ASSERT_EQ(kx::iq_less_equal(x, y), x <= y) << hexq(x) << " <= " << hexq(y);
    ASSERT_EQ(kx::iq_equal(x, y), x == y) << hexq(x) << " == " << hexq(y);
    ASSERT_EQ(kxqsgn(x), x == 0 ? 0 : (x > 0 ? 1 : -1)) << hexq(x);
    const kxreal a = {x, w.pair(kx::iq_field_of(iq_bits(x))).lo};
    const kxreal b = i % 3 == 0 ? kxreal{y, a.lo} : kxreal{x, iq_quad(iq_bits(a.lo) ^ (w.gen() % 4))};
    int ic;
    kxcpr(a, b, ic);
    const int expected = a.hi < b.hi ? -1 : a.hi != b.hi ? 1 : a.lo < b.lo ? -1 : a.lo != b.lo ? 1 : 0;
    ASSERT_EQ(ic, expected) << hex(a) << " " << hex(b);
  }
}

using pair_routine = void (*)(const kxreal&, const kxreal&, kxreal&);

void expect_same_routine(pair_routine fast, pair_routine plain, const char* name, std::uint64_t seed, long count,
                         bool product) {
  words w(seed);
  for (long i = 0; i < count; ++i) {
    const kxreal a = w.pair(w.field());
    const kxreal b = product ? w.factor(a) : w.partner(a);
    kxreal x, y;
    fast(a, b, x);
    plain(a, b, y);
    ASSERT_TRUE(same_words(x, y)) << name << " " << hex(a) << " " << hex(b) << " gives " << hex(x) << " not "
                                  << hex(y);
  }
}

TEST(FastRoutines, SumsAreThePlainFormulas) {
  expect_same_routine(kxadd, kx::reference_kxadd, "kxadd", 11, scaled(1500000), false);
  expect_same_routine(kxsub, kx::reference_kxsub, "kxsub", 12, scaled(1500000), false);
}

TEST(FastRoutines, ProductsAreThePlainFormulas) {
  expect_same_routine(kxmul, kx::reference_kxmul, "kxmul", 13, scaled(1500000), true);
  words w(14);
  for (long i = 0; i < scaled(1000000); ++i) {
    const kxreal a = w.pair(w.field());
    const __float128 b = w.factor(a).hi;
    kxreal x, y;
    kxmuld(a, b, x);
    kx::reference_kxmuld(a, b, y);
    ASSERT_TRUE(same_words(x, y)) << "kxmuld " << hex(a) << " " << hexq(b);
    kxmulqq(a.hi, b, x);
    const __float128 p = a.hi * b;
    if (kx::is_finite(p) && kx::iq_field_of(iq_bits(p)) > 300) {
      ASSERT_TRUE(same_words(x, kxreal{p, kx::product_error(a.hi, b, p)})) << "kxmulqq " << hex(a) << " " << hexq(b);
    }
  }
}

TEST(FastRoutines, QuotientsAreThePlainFormulas) {
  expect_same_routine(kxdiv, kx::reference_kxdiv, "kxdiv", 15, scaled(1500000), true);
  words w(16);
  for (long i = 0; i < scaled(1000000); ++i) {
    const kxreal a = w.pair(w.field());
    const __float128 b = w.factor(a).hi;
    kxreal x, y;
    kxdivd(a, b, x);
    kx::reference_kxdivd(a, b, y);
    ASSERT_TRUE(same_words(x, y)) << "kxdivd " << hex(a) << " " << hexq(b);
  }
}

// Quotients with exact or zero remainders, whose zeros' signs reach the low
// word: a = b, a = -b, a = b q for short q, a power of two over b.
TEST(FastRoutines, ConstructedQuotients) {
  words w(17);
  for (long i = 0; i < scaled(200000); ++i) {
    const kxreal b = w.pair(w.field());
    const __float128 q = iq_quad((w.coin() ? iq_sign_bit : 0) |
                                 (static_cast<iq_u128>(0x3fff + w.uniform(-60, 60)) << 112) |
                                 ((w.fraction() >> 100) << 100));
    kxreal qb;
    kx::reference_kxmuld(b, q, qb);
    const kxreal two_k = {iq_quad(static_cast<iq_u128>(w.field()) << 112), 0};
    for (const kxreal& a : {b, kxreal{-b.hi, -b.lo}, kxreal{b.hi, -b.lo}, qb, two_k, kxreal{b.hi, 0}}) {
      kxreal x, y;
      kxdiv(a, b, x);
      kx::reference_kxdiv(a, b, y);
      ASSERT_TRUE(same_words(x, y)) << "kxdiv " << hex(a) << " " << hex(b);
      kxdivd(a, b.hi, x);
      kx::reference_kxdivd(a, b.hi, y);
      ASSERT_TRUE(same_words(x, y)) << "kxdivd " << hex(a) << " " << hexq(b.hi);
    }
  }
}

// kxsqrt's plain formula for a.hi > 0, scaled near 1 for far exponents.
kxreal reference_sqrt(const kxreal& a) {
  if (!kx::has_far_exponent(a.hi)) return kx::reference_newton_sqrt(a);
  const int k = ilogbq(a.hi) / 2;
  return kx::scaled_by_power_of_two(kx::reference_newton_sqrt(kx::scaled_by_power_of_two(a, -2 * k)), k);
}

// The unpacked paths at their edges: pairs with a zero high word (of either
// sign, beside a zero or nonzero low word), low words at the window's ends,
// and divisors that put the quotient, or the remainder's correction
// quotient, at the window's ends. Each row: routine, its plain formula and
// the sampler of b given a; kxmuld, kxdivd and kxsqrt ride along.
TEST(FastRoutines, UnpackedPathsAtTheirEdges) {
  words w(20);
  const auto zero_high = [&w](const kxreal& x) {
    return kxreal{iq_quad(w.coin() ? iq_sign_bit : 0), w.coin() ? x.lo : iq_quad(w.coin() ? iq_sign_bit : 0)};
  };
  const auto edge_low = [&w](kxreal x) {
    x.lo = w.word(w.coin() ? kx::iq_window_low + w.uniform(-2, 2) : kx::iq_window_high + w.uniform(-2, 2), w.coin());
    return x;
  };
  // b.hi with a.hi / b.hi near a window end, or (b.hi near a.hi's field
  // less 226) a correction quotient there.
  const auto edge_divisor = [&w](const kxreal& a) {
    const int fa = kx::iq_field_of(iq_bits(a.hi));
    const int end = w.coin() ? kx::iq_window_low : kx::iq_window_high;
    return w.pair(fa - (w.coin() ? end : end + 226) + 0x3fff + w.uniform(-3, 3));
  };
  struct row {
    pair_routine fast, plain;
    const char* name;
    int sampler;  // 0 zero high words, 1 low words at the window ends, 2 divisors at the ends
  };
  const row rows[] = {{kxadd, kx::reference_kxadd, "kxadd", 0}, {kxsub, kx::reference_kxsub, "kxsub", 0},
                      {kxmul, kx::reference_kxmul, "kxmul", 0}, {kxdiv, kx::reference_kxdiv, "kxdiv", 0},
                      {kxadd, kx::reference_kxadd, "kxadd", 1}, {kxmul, kx::reference_kxmul, "kxmul", 1},
                      {kxdiv, kx::reference_kxdiv, "kxdiv", 1}, {kxdiv, kx::reference_kxdiv, "kxdiv", 2}};
  for (const row& r : rows) {
    for (long i = 0; i < scaled(200000); ++i) {
      kxreal a = w.pair(w.field());
      kxreal b = r.sampler == 2 ? edge_divisor(a) : w.partner(a);
      if (r.sampler == 0) {
        if (w.coin()) a = zero_high(a);
        if (!w.one_in(3)) b = zero_high(b);
      } else if (r.sampler == 1) {
        a = edge_low(a);
        if (w.coin()) b = edge_low(b);
      }
      kxreal x, y;
      r.fast(a, b, x);
      r.plain(a, b, y);
      const bool nan = isnanq(x.hi) && isnanq(y.hi);
      ASSERT_TRUE(nan || same_words(x, y)) << r.name << " " << hex(a) << " " << hex(b) << " gives " << hex(x)
                                           << " not " << hex(y);
      if (r.sampler == 1 && a.hi > 0 && kx::is_finite(a.hi)) {
        kxsqrt(a, x);
        ASSERT_TRUE(same_words(x, reference_sqrt(a))) << "kxsqrt " << hex(a);
      }
      if (r.sampler != 0) continue;
      kxmuld(a, b.hi, x);
      kx::reference_kxmuld(a, b.hi, y);
      ASSERT_TRUE(same_words(x, y) || (isnanq(x.hi) && isnanq(y.hi))) << "kxmuld " << hex(a) << " " << hexq(b.hi);
      kxdivd(a, b.hi, x);
      kx::reference_kxdivd(a, b.hi, y);
      ASSERT_TRUE(same_words(x, y) || (isnanq(x.hi) && isnanq(y.hi))) << "kxdivd " << hex(a) << " " << hexq(b.hi);
    }
  }
}

// The fixed-point tail of quad_fixed_sum.h against its written sequence in
// the compiler's binary128 (two-sum of x and y, (e + w1) + w2, the quick
// two-sum), on words at each edge of its conditions: gaps 0, 1, 114-116 and
// 121-124; low words at fields fs - 112 and fs - 113 (half an ulp of s), and
// whose roundings x1, x2 have their top bit at 2^113 or 2^114 units of the
// frame; ties at each rounding, with bits below the frame's unit or none;
// s a power of two or all ones; zeros of both signs. Each edge must be met
// on both sides. kxadd, kxsub, kxmul, kxmuld and kxdiv on such pairs ride
// along.
TEST(FastRoutines, FixedTailAtItsEdges) {
  words w(22);
  const auto word_at = [&w](int field, bool negative) {
    iq_u128 f;
    switch (w.uniform(0, 5)) {
      case 0: f = 0; break;                                // a power of two: half ulps, exact ties
      case 1: f = iq_fraction_mask; break;                 // all ones: carries into the next binade
      case 2: f = iq_u128(1) << w.uniform(0, 20); break;   // a tie and bits far below it
      case 3: f = (w.fraction() >> 100) << 100; break;     // short: exact sums
      default: f = w.fraction();
    }
    return iq_quad((negative ? iq_sign_bit : 0) | (static_cast<iq_u128>(field) << 112) | f);
  };
  const auto field = [](__float128 x) { return kx::iq_field_of(iq_bits(x)); };
  const int gaps[] = {0, 1, 2, 114, 115, 116, 121, 122, 123, 124};
  // Edges, each as (inside, outside): counts of tails taken inside and declined outside.
  enum { gap_end, low_field, x1_top, x2_top, edges };
  long inside[edges] = {}, outside[edges] = {};
  for (long i = 0; i < scaled(1000000); ++i) {
    const int f = 0x3fff + w.uniform(-20, 20);
    const __float128 x = word_at(f, w.coin());
    const int gap = gaps[w.uniform(0, 9)];
    const __float128 y = w.one_in(8)   ? iq_quad(w.coin() ? iq_sign_bit : 0)
                         : w.one_in(7) ? iq_quad(iq_bits(x) ^ iq_sign_bit ^ (w.gen() % 4))
                                       : word_at(f - gap, w.coin());
    const auto low = [&](int near) {
      switch (w.uniform(0, 4)) {
        case 0: return iq_quad(w.coin() ? iq_sign_bit : 0);
        case 1: return word_at(near - 113 + w.uniform(-2, 2), w.coin());
        case 2: return word_at(near - 122 + w.uniform(-2, 1), w.coin());
        default: return word_at(near - 113 - w.uniform(3, 130), w.coin());
      }
    };
    const __float128 w1 = low(f);
    const __float128 w2 = w.coin() ? low(f) : low(field(w1) != 0 ? field(w1) : f);  // a tie with w1
    const kx::quad_halves h = knuth_two_sum(x, y);
    const __float128 x1 = h.low + w1;
    const __float128 x2 = x1 + w2;
    const kxreal written = kx::renormalise(h.high, x2);
    kxreal c = {0, 0};
    const bool taken = kx::iq_fixed_tail(kx::iq_unpack(iq_bits(x)), kx::iq_unpack(iq_bits(y)),
                                         kx::iq_unpack(iq_bits(w1)), kx::iq_unpack(iq_bits(w2)), c);
    ASSERT_TRUE(!taken || same_words(c, written))
        << hexq(x) << " " << hexq(y) << " " << hexq(w1) << " " << hexq(w2) << " gives " << hex(c) << " not "
        << hex(written);
    // The edges, by the written values: fs the field of s, tops in units of 2^(fs - 236).
    const int fs = field(h.high);
    const auto count = [&](int edge, bool in, bool out) {
      inside[edge] += in && taken;
      outside[edge] += out && !taken;
    };
    if (y != 0 && x != 0) count(gap_end, std::abs(field(x) - field(y)) == 122, std::abs(field(x) - field(y)) == 123);
    const int top_low = std::max(w1 != 0 ? field(w1) : 0, w2 != 0 ? field(w2) : 0);
    count(low_field, top_low == fs - 113, top_low == fs - 112);
    if (x1 != 0) count(x1_top, field(x1) - fs + 236 == 114, field(x1) - fs + 236 == 113);
    if (x2 != 0) count(x2_top, field(x2) - fs + 236 == 114, field(x2) - fs + 236 == 113);
    const kxreal a = {x, w1};
    const kxreal b = {y, w2};
    for (const auto& [fast, plain, name] : {std::tuple<pair_routine, pair_routine, const char*>{kxadd, kx::reference_kxadd, "kxadd"},
                                            std::tuple<pair_routine, pair_routine, const char*>{kxsub, kx::reference_kxsub, "kxsub"},
                                            std::tuple<pair_routine, pair_routine, const char*>{kxmul, kx::reference_kxmul, "kxmul"},
                                            std::tuple<pair_routine, pair_routine, const char*>{kxdiv, kx::reference_kxdiv, "kxdiv"}}) {
      if (y == 0 && plain == kx::reference_kxdiv) continue;
      kxreal u, v;
      fast(a, b, u);
      plain(a, b, v);
      ASSERT_TRUE(same_words(u, v)) << name << " " << hex(a) << " " << hex(b) << " gives " << hex(u) << " not "
                                    << hex(v);
    }
    kxreal u, v;
    kxmuld(a, y, u);
    kx::reference_kxmuld(a, y, v);
    ASSERT_TRUE(same_words(u, v)) << "kxmuld " << hex(a) << " " << hexq(y);
  }
  for (int edge = 0; edge < edges; ++edge) {
    EXPECT_GT(inside[edge], 0) << "edge " << edge << " never taken inside";
    EXPECT_GT(outside[edge], 0) << "edge " << edge << " never declined outside";
  }
}

TEST(FastRoutines, SquareRootsAreThePlainFormula) {
  words w(18);
  for (long i = 0; i < scaled(1000000); ++i) {
    kxreal a = w.pair(w.field());
    if (!(a.hi > 0) || !kx::is_finite(a.hi)) continue;
    kxreal x;
    kxsqrt(a, x);
    const kxreal y = reference_sqrt(a);
    ASSERT_TRUE(same_words(x, y)) << "kxsqrt " << hex(a) << " gives " << hex(x) << " not " << hex(y);
  }
}

// The integer powers' bit count against the logarithm formula: every m up
// to 2^20, every m within 3000 of each power of two above, and random m.
TEST(FastRoutines, PowerBitCountsAreTheLogarithmFormulas) {
  const auto check = [](long m) {
    if (m < 1 || m > 0x7fffffffL) return;
    ASSERT_EQ(kx::power_bit_count(static_cast<int>(m)), kx::reference_power_bit_count(static_cast<int>(m))) << m;
  };
  for (long m = 1; m <= (1L << 20); ++m) check(m);
  for (int k = 20; k <= 31; ++k) {
    for (long j = -3000; j <= 3000; ++j) check((1L << k) + j);
  }
  std::mt19937_64 gen(21);
  for (long i = 0; i < scaled(100000); ++i) check(static_cast<long>(gen() % 0x7fffffffUL) + 1);
}

// The relation search's updates a +- m x skip the work for multipliers 0
// and +-1; the words must be those of the full a +- (m * x), for states of
// every kind: multipliers with zero low words of both signs, a's low word
// -0 or not normalised, x's low word zero, specials.
TEST(FastRoutines, IntegerMultipleShortcutsAreTheFullUpdate) {
  words w(19);
  long skipped = 0;
  long units = 0;
  for (long i = 0; i < scaled(1000000); ++i) {
    const kxreal a = w.pair(w.field());
    const kxreal x = w.one_in(4) ? kxreal{w.word(w.field(), w.coin()), iq_quad(w.coin() ? iq_sign_bit : 0)}
                                 : w.pair(kx::iq_field_of(iq_bits(a.hi)) + w.gap());
    const iq_u128 zero_lo = w.coin() ? iq_sign_bit : 0;
    kxreal m;
    switch (w.uniform(0, 5)) {
      case 0:
      case 1:
        m = {iq_quad(w.coin() ? iq_sign_bit : 0), iq_quad(zero_lo)};
        break;
      case 2:
      case 3:
        m = {w.coin() ? 1.0Q : -1.0Q, iq_quad(zero_lo)};
        break;
      case 4:
        m = {static_cast<__float128>(w.uniform(-40, 40)), iq_quad(zero_lo)};
        break;
      default:
        m = w.pair(0x3fff + w.uniform(0, 120));
    }
    if (kx::leaves_unchanged(a, m, x)) ++skipped;
    if (kx::is_unit_pair(m)) ++units;
    kxreal fast = a;
    kx::add_multiple(fast, m, x);
    kxreal full = a + (m * x);
    ASSERT_TRUE(same_words(fast, full)) << hex(a) << " + " << hex(m) << " * " << hex(x);
    fast = a;
    kx::subtract_multiple(fast, m, x);
    full = a - (m * x);
    ASSERT_TRUE(same_words(fast, full)) << hex(a) << " - " << hex(m) << " * " << hex(x);
  }
  EXPECT_GT(skipped, scaled(1000000) / 10);
  EXPECT_GT(units, scaled(1000000) / 10);
}

}  // namespace

// kxnint against the rounding-pair formula, both words bit for bit: high
// words that are integers, exact halves, a few ulps either side of a half,
// or random, at exponents around 1, 2^52, 2^64, 2^100 and 2^112 and across
// the range, with low words of +-0, tiny, +-half an ulp of the high word,
// just inside it, random below it, or as large as the high word.
TEST(FastRoutines, NearestIntegersAreTheRoundingPairs) {
  std::mt19937_64 gen(17);
  const int centres[] = {0, 0, 1, -1, 52, 64, 100, 112, 111, 99};
  long halves = 0;
  long integers = 0;
  const long count = scaled(2000000);
  for (long i = 0; i < count; ++i) {
    const std::uint64_t r = gen();
    int e;
    if (r % 4 == 0) {
      e = static_cast<int>(gen() % 260) - 140;
    } else {
      e = centres[gen() % 10] + static_cast<int>(gen() % 7) - 3;
    }
    const int field = 0x3fff + e;
    iq_u128 fraction = (static_cast<iq_u128>(gen()) << 64 | gen()) & iq_fraction_mask;
    const int kind = static_cast<int>(gen() % 5);
    const int f = 112 - e;  // fraction bits of the significand
    if (f > 0 && f <= 112) {
      const iq_u128 low_mask = (iq_u128(1) << f) - 1;
      if (kind == 0) fraction &= ~low_mask;  // an integer
      if (kind >= 1 && kind <= 3) fraction = (fraction & ~low_mask) | (iq_u128(1) << (f - 1));  // x.5
      if (kind == 2) fraction += gen() % 4 + 1;
      if (kind == 3) fraction -= gen() % 4 + 1;
      fraction &= iq_fraction_mask;
    }
    const iq_u128 sign = (gen() & 1) != 0 ? iq_sign_bit : 0;
    const __float128 hi = iq_quad(sign | (static_cast<iq_u128>(field) << 112) | fraction);
    const int lo_kind = static_cast<int>(gen() % 9);
    const iq_u128 lo_sign = (gen() & 1) != 0 ? iq_sign_bit : 0;
    const iq_u128 lo_fraction = (static_cast<iq_u128>(gen()) << 64 | gen()) & iq_fraction_mask;
    __float128 lo = 0;
    switch (lo_kind) {
      case 0: lo = 0; break;
      case 1: lo = iq_quad(iq_sign_bit); break;
      case 2: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 200 - gen() % 100) << 112) | lo_fraction); break;
      case 3: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 113) << 112)); break;
      case 4: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 114) << 112) | iq_fraction_mask); break;
      case 5: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 114 - gen() % 8) << 112) | lo_fraction); break;
      case 6: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 113) << 112) | (gen() % 3)); break;
      case 7: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - gen() % 3) << 112) | lo_fraction); break;
      default: lo = iq_quad(lo_sign | (static_cast<iq_u128>(field - 113 - gen() % 3) << 112) | lo_fraction); break;
    }
    const kxreal a = {hi, lo};
    kxreal x, y;
    kxnint(a, x);
    kx::reference_kxnint(a, y);
    ASSERT_TRUE(same_words(x, y)) << "kxnint " << hex(a) << " gives " << hex(x) << " not " << hex(y);
    if (kind >= 1 && kind <= 3 && lo_kind <= 1) ++halves;
    if (kind == 0) ++integers;
  }
  EXPECT_GT(halves, count / 20);
  EXPECT_GT(integers, count / 10);
  // Signed zeros and ties to even, both signs. A low word below half an ulp
  // of the high word is lost in the first rounding: 0.5 + 2^-300 gives 0.
  const __float128 cases[][3] = {{2.5Q, 0, 2}, {-2.5Q, 0, -2}, {3.5Q, 0, 4}, {-0.5Q, 0, 0}, {0.5Q, -0x1p-200Q, 0},
                                 {-0.3Q, 0, 0}, {0.5Q, 0x1p-300Q, 0}, {0.75Q, -0x1p-300Q, 1}, {-1.5Q, 0, -2}};
  for (const auto& c : cases) {
    kxreal x;
    kxnint(kxreal{c[0], c[1]}, x);
    EXPECT_TRUE(same_words(x, kxreal{c[2], 0})) << hex(kxreal{c[0], c[1]}) << " gives " << hex(x);
  }
}

namespace {

// A multiplier like the reduction's: +-1 or a few units, sometimes up to
// 2^32 and beyond (declined), zero, or not an integer; its low word a zero
// of either sign, now and then not.
kxreal search_multiplier(words& w) {
  const __float128 zero_lo = iq_quad(w.coin() ? iq_sign_bit : 0);
  switch (w.uniform(0, 9)) {
    case 0:
      return {static_cast<__float128>(w.coin() ? 0xffffffffLL : 0x100000000LL) * (w.coin() ? 1 : -1), zero_lo};
    case 1:
      return {static_cast<__float128>(static_cast<long long>(w.gen() >> 33)) * (w.coin() ? 1 : -1), zero_lo};
    case 2:
      return w.coin() ? kxreal{iq_quad(w.coin() ? iq_sign_bit : 0), zero_lo} : w.pair(0x3fff + w.uniform(-2, 40));
    case 3:
    case 4:
      return {w.coin() ? 1.0Q : -1.0Q, zero_lo};
    default:
      return {static_cast<__float128>(w.uniform(-300, 300)), zero_lo};
  }
}

// An operand x or a: an integer below 2^64 (or just at it) with a zero low
// word, a pair of zeros, or any pair, near `field` or by a gap from it.
kxreal search_operand(words& w, int field) {
  const __float128 zero_lo = iq_quad(w.coin() ? iq_sign_bit : 0);
  switch (w.uniform(0, 5)) {
    case 0: {
      const std::uint64_t v = w.gen() >> w.uniform(0, 63);
      return {static_cast<__float128>(v) * (w.coin() ? 1 : -1), zero_lo};
    }
    case 1:
      return {w.coin() ? 0x1p64Q : -0x1p64Q + w.uniform(0, 2), zero_lo};
    case 2:
      return {iq_quad(w.coin() ? iq_sign_bit : 0), zero_lo};
    default:
      return w.pair(field + (w.coin() ? 0 : w.gap()));
  }
}

}  // namespace

// The relation search's fused a +- m x against the plain formulas of kxmul
// and kxadd / kxsub, both words, on operands drawn like the search's
// (integer matrices, small multipliers) and of every other kind: ties of
// the short product (small odd multipliers), cancellation of a against
// m x, zeros of both signs, the window's ends, multipliers at 2^32.
TEST(FastRoutines, IntegerMultiplyAddIsThePlainFormulas) {
  words w(23);
  long exact = 0;
  long fused = 0;
  const long count = scaled(1500000);
  for (long i = 0; i < count; ++i) {
    const kxreal m = search_multiplier(w);
    const kxreal x = search_operand(w, w.one_in(8) ? w.field() : 0x3fff + w.uniform(-200, 200));
    kxreal p;
    kx::reference_kxmul(m, x, p);
    kxreal a;
    switch (w.uniform(0, 3)) {
      case 0:  // m x cancelled in its high word, or whole
        a = w.coin() ? kxreal{-p.hi, w.pair(kx::iq_field_of(iq_bits(p.hi))).lo} : kxreal{-p.hi, -p.lo};
        break;
      case 1:
        a = kxreal{p.hi, p.lo};
        break;
      default:
        a = search_operand(w, kx::iq_field_of(iq_bits(p.hi)));
    }
    for (const bool subtract : {false, true}) {
      kxreal c;
      const bool by_exact = kx::integer_multiply_add_exact(a, m, x, subtract, c);
      if (!by_exact && !kx::integer_multiply_add_fused(a, m, x, subtract, c)) continue;
      ++(by_exact ? exact : fused);
      kxreal full;
      (subtract ? kx::reference_kxsub : kx::reference_kxadd)(a, p, full);
      ASSERT_TRUE(same_words(c, full)) << hex(a) << (subtract ? " - " : " + ") << hex(m) << " * " << hex(x)
                                       << " gives " << hex(c) << " not " << hex(full);
    }
  }
  EXPECT_GT(exact, count / 4);
  EXPECT_GT(fused, count / 4);
}

// The reduction's multipliers nint(a / b) from the high words' estimate
// against kxnint of the plain quotient: a = b (k + f) for integers k up to
// 2^52 and fractions f anywhere, within 2^-30 to 2^-75 of a half, at a half
// exactly and at 0, and pairs a, b of any kind; the estimate must decline
// wherever it cannot be sure.
TEST(FastRoutines, NearestQuotientsAreThePlainFormulas) {
  words w(29);
  long estimated = 0;
  long declined = 0;
  const long count = scaled(600000);
  for (long i = 0; i < count; ++i) {
    const kxreal b = w.pair(w.one_in(10) ? w.field() : 0x3fff + w.uniform(-300, 300));
    kxreal a;
    if (w.one_in(5)) {
      a = w.pair(kx::iq_field_of(iq_bits(b.hi)) + w.gap());
    } else {
      const __float128 k = static_cast<__float128>(static_cast<long long>(w.gen() >> w.uniform(11, 63)));
      __float128 f;
      switch (w.uniform(0, 3)) {
        case 0:
          f = 0.5Q + (w.coin() ? 1 : -1) * scalbnq(1.0Q + w.uniform(0, 1000) / 1000.0Q, -w.uniform(30, 75));
          break;
        case 1:
          f = w.coin() ? 0.5Q : 0;
          break;
        default:
          f = w.uniform(-1000000, 1000000) / 2000001.0Q;
      }
      kxreal q;
      kx::reference_kxadd(kxreal{k, 0}, kxreal{w.coin() ? f : -f, 0}, q);
      kx::reference_kxmul(b, w.coin() ? q : kxreal{-q.hi, -q.lo}, a);
    }
    kxreal n;
    if (!kx::nearest_quotient_by_estimate(a, b, n)) {
      ++declined;
      continue;
    }
    ++estimated;
    kxreal quotient, full;
    kx::reference_kxdiv(a, b, quotient);
    kx::reference_kxnint(quotient, full);
    ASSERT_TRUE(same_words(n, full)) << "nint(" << hex(a) << " / " << hex(b) << ") gives " << hex(n) << " not "
                                     << hex(full);
  }
  EXPECT_GT(estimated, count / 4);
  EXPECT_GT(declined, count / 20);
}

// The update of b in integers against add_multiple one entry at a time,
// every word of the column: entries (v, +0) up to 2^62 and zeros, now and
// then -0 or with a -0 low word (which the update makes +0 above row n),
// or with a fraction (declined); multipliers mostly 0 and +-1, up to 2^32,
// sometimes with a -0 low word; partial sums crossing 2^62.
TEST(FastRoutines, IntegerColumnUpdatesAreAddMultiple) {
  words w(31);
  long integer = 0;
  const long count = scaled(15000);
  for (long trial = 0; trial < count; ++trial) {
    const int n = w.uniform(2, 20);
    const int size_bits = w.uniform(1, 63);
    std::vector<kxreal> t(static_cast<std::size_t>(n * n));
    for (auto& m : t) {
      const int kind = w.uniform(0, 99);
      const long long v = kind < 60 ? 0 : kind < 85 ? (w.coin() ? 1 : -1) : kind < 98 ? w.uniform(-50, 50)
                                                                                    : (w.coin() ? 0xffffffffLL : 0x100000000LL);
      m = {static_cast<__float128>(v), iq_quad(w.one_in(20) ? iq_sign_bit : 0)};
      if (w.one_in(2000)) m.hi += 0.5Q;
    }
    std::vector<kxreal> b(static_cast<std::size_t>(n * n));
    for (auto& e : b) {
      const long long v = static_cast<long long>(w.gen() >> (64 - size_bits)) >> 1;
      e = {static_cast<__float128>(w.coin() ? v : -v), 0};
      if (w.one_in(300)) e = {iq_quad(iq_sign_bit), 0};
      if (w.one_in(300)) e.lo = iq_quad(iq_sign_bit);
      if (w.one_in(300)) e.hi += 0.25Q;
    }
    std::vector<kxreal> fast = b;
    std::vector<kxreal> full = b;
    std::vector<kx::integer_term> terms;
    const bool integer_t = kx::integer_multipliers(n, t, terms);
    for (int c = 1; c <= n; ++c) {
      if (integer_t && kx::update_column_in_integers(n, terms, fast, c)) {
        ++integer;
      } else {
        for (int i = 1; i <= n - 1; ++i) {
          for (int k = i + 1; k <= n; ++k) {
            kx::add_multiple(kx::element(std::span(fast), n, i, c), kx::element(std::span(t), n, k, i),
                             kx::element(std::span(fast), n, k, c));
          }
        }
      }
      for (int i = 1; i <= n - 1; ++i) {
        for (int k = i + 1; k <= n; ++k) {
          kxreal& a = kx::element(std::span(full), n, i, c);
          a = a + (kx::element(std::span(t), n, k, i) * kx::element(std::span(full), n, k, c));
        }
      }
      for (int i = 1; i <= n; ++i) {
        ASSERT_TRUE(same_words(kx::element(std::span(fast), n, i, c), kx::element(std::span(full), n, i, c)))
            << "n " << n << " entry (" << i << ", " << c << ") gives " << hex(kx::element(std::span(fast), n, i, c))
            << " not " << hex(kx::element(std::span(full), n, i, c));
      }
    }
  }
  EXPECT_GT(integer, count * 2);
}

// The shared power table against pow, word for word: the weights' base
// sqrt(4/3), pairs of any size (powers that overflow or vanish), negative
// bases, zeros and specials, up to 70 powers.
TEST(FastRoutines, PowerTablesArePow) {
  words w(37);
  for (long trial = 0; trial < scaled(3000); ++trial) {
    const kxreal a = trial == 0 ? sqrt(kxreal{4} / 3.0Q) : w.pair(w.one_in(4) ? w.field() : 0x3fff + w.uniform(-20, 20));
    const int count = w.uniform(0, 70);
    const std::vector<kxreal> p = kx::power_table(a, count);
    ASSERT_EQ(p.size(), static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
      ASSERT_TRUE(same_words(p[i - 1], pow(a, i))) << hex(a) << "^" << i << " gives " << hex(p[i - 1]) << " not "
                                                   << hex(pow(a, i));
    }
  }
}

// Whether hi + lo rounds to hi, from the bits, against the compiler's sum:
// low words 112 to 116 binades down, at exactly a quarter and a half of
// hi's ulp, high words that are powers of two or odd, both signs.
TEST(FastRoutines, RoundsToHighWordIsTheCompilersSum) {
  words w(41);
  long ties = 0;
  for (long i = 0; i < scaled(1000000); ++i) {
    const int field = 0x3fff + w.uniform(-300, 300);
    const iq_u128 fraction = w.coin() ? w.fraction() : w.coin() ? 0 : iq_fraction_mask & ~iq_u128(w.uniform(0, 1));
    const __float128 hi = iq_quad((w.coin() ? iq_sign_bit : 0) | (static_cast<iq_u128>(field) << 112) | fraction);
    const iq_u128 lo_fraction = w.coin() ? 0 : w.fraction();
    const __float128 lo = w.one_in(20) ? iq_quad(w.coin() ? iq_sign_bit : 0)
                                       : iq_quad((w.coin() ? iq_sign_bit : 0) |
                                                 (static_cast<iq_u128>(field - w.uniform(111, 117)) << 112) | lo_fraction);
    if (lo_fraction == 0) ++ties;
    ASSERT_EQ(kx::iq_rounds_to_high_word(iq_bits(hi), iq_bits(lo)), same(hi + lo, hi)) << hex(kxreal{hi, lo});
  }
  EXPECT_GT(ties, scaled(1000000) / 4);
}

// The whole sum from the words' bits (quad_wide_sum.h) against its written
// sequence in the compiler's binary128 (two-sum of the high words, the low
// words added one rounding at a time, the quick two-sum), on words at each
// edge of its conditions, each met on both sides: gaps 122 and 123, the
// larger high word at the window's ends, s one and two binades below it,
// s a power of two reached from above (a rounding carried out of its
// binade) and from below, low words at fields fs - 113 and fs - 112 and
// subnormal, roundings of the low words with their top bit at 2^114 and
// 2^113 units of the frame, s + t leaving s's binade upward and downward.
// kxadd and kxsub on the same words ride along against their formulas.
TEST(FastRoutines, WideSumAtItsEdges) {
  words w(23);
  const auto word_at = [&w](int field, bool negative) {
    iq_u128 f;
    switch (w.uniform(0, 5)) {
      case 0: f = 0; break;
      case 1: f = iq_fraction_mask - (w.gen() % 2); break;
      case 2: f = iq_u128(1) << w.uniform(0, 20); break;
      case 3: f = (w.fraction() >> 100) << 100; break;
      default: f = w.fraction();
    }
    return iq_quad((negative ? iq_sign_bit : 0) | (static_cast<iq_u128>(field) << 112) | f);
  };
  const auto field = [](__float128 x) { return kx::iq_field_of(iq_bits(x)); };
  const int window_ends[] = {kx::iq_window_low - 1, kx::iq_window_low, kx::iq_window_low + 1,
                             kx::iq_window_high - 1, kx::iq_window_high, kx::iq_window_high + 1};
  const int gaps[] = {0, 1, 2, 3, 64, 121, 122, 123};
  enum { gap_end, window_end, below_s, power_s, low_field, x1_top, x2_top, hi_binade, subnormal, edges };
  long inside[edges] = {}, outside[edges] = {};
  for (long i = 0; i < scaled(1000000); ++i) {
    const int fx = w.one_in(4) ? window_ends[w.uniform(0, 5)] : 0x3fff + w.uniform(-20, 20);
    const __float128 x = word_at(fx, w.coin());
    const int gap = w.one_in(3) ? w.uniform(0, 125) : gaps[w.uniform(0, 7)];
    const __float128 y = w.one_in(6) ? iq_quad(iq_bits(x) ^ iq_sign_bit ^ (w.gen() % (iq_u128(1) << w.uniform(1, 112))))
                                     : word_at(fx - gap, w.coin());
    // A low word for a high word of field near: a zero or a subnormal, or a
    // field beside the tail's bound, beside the roundings' bound, or far below.
    const auto low = [&](int near) {
      const int kind = w.uniform(0, 5);
      const iq_u128 sign = w.coin() ? iq_sign_bit : 0;
      if (kind < 2) return iq_quad(sign | (kind == 0 ? 0 : (w.fraction() >> w.uniform(0, 100)) | 1));
      const int field = kind == 2   ? near - 113 + w.uniform(-2, 3)
                        : kind == 3 ? near - 123 + w.uniform(-2, 2)
                                    : std::max(1, near - 113 - w.uniform(3, 130));
      return word_at(field, sign != 0);
    };
    const __float128 w1 = low(fx);
    const __float128 w2 = w.coin() ? low(fx) : low(field(w1) > 1 ? field(w1) + 113 : fx);  // near w1: ties
    const kx::quad_halves h = knuth_two_sum(x, y);
    const __float128 x1 = h.low + w1;
    const __float128 x2 = x1 + w2;
    const kxreal written = kx::renormalise(h.high, x2);
    const bool swap = w.coin();
    kxreal c = {0, 0};
    const bool taken = kx::iq_wide_sum(iq_bits(swap ? y : x), iq_bits(swap ? x : y), iq_bits(w1), iq_bits(w2), c);
    ASSERT_TRUE(!taken || same_words(c, written)) << hexq(x) << " " << hexq(y) << " " << hexq(w1) << " " << hexq(w2)
                                                  << " gives " << hex(c) << " not " << hex(written);
    const auto count = [&](int edge, bool in, bool out) {
      inside[edge] += in && taken;
      outside[edge] += out && !taken;
    };
    const int fs = field(h.high);
    const bool normal_sum = y != 0 && kx::iq_in_window(fx) && std::abs(fx - field(y)) <= 122;
    count(gap_end, kx::iq_in_window(fx) && fx - field(y) == 122, fx - field(y) == 123);
    count(window_end, fx == kx::iq_window_low || fx == kx::iq_window_high,
          y != 0 && (fx == kx::iq_window_low - 1 || fx == kx::iq_window_high + 1));
    const kxreal a = {x, w1};
    const kxreal b = {y, w2};
    kxreal u, v;
    kxadd(a, b, u);
    kx::reference_kxadd(a, b, v);
    ASSERT_TRUE(same_words(u, v)) << "kxadd " << hex(a) << " " << hex(b) << " gives " << hex(u) << " not " << hex(v);
    kxsub(b, a, u);
    kx::reference_kxsub(b, a, v);
    ASSERT_TRUE(same_words(u, v)) << "kxsub " << hex(b) << " " << hex(a) << " gives " << hex(u) << " not " << hex(v);
    if (!normal_sum || h.high == 0) continue;
    count(below_s, fs == fx - 1, fs == fx - 2);
    const bool power = (iq_bits(h.high) & iq_fraction_mask) == 0 && h.low != 0;
    count(power_s, power && (h.low < 0) == (h.high < 0), power && (h.low < 0) != (h.high < 0));
    const int top_low = std::max(field(w1), field(w2));
    count(low_field, top_low == fs - 113, top_low == fs - 112);
    if (x1 != 0) count(x1_top, field(x1) - fs + 236 == 114, field(x1) - fs + 236 == 113);
    if (x2 != 0) count(x2_top, field(x2) - fs + 236 == 114, field(x2) - fs + 236 == 113);
    count(hi_binade, field(written.hi) > fs, field(written.hi) < fs);
    count(subnormal, field(w1) == 0 && w1 != 0, false);
  }
  for (int edge = 0; edge < edges; ++edge) {
    EXPECT_GT(inside[edge], 0) << "edge " << edge << " never taken inside";
    if (edge != subnormal) {
      EXPECT_GT(outside[edge], 0) << "edge " << edge << " never declined outside";
    }
  }
}

namespace {

// Divisors whose significand has at most 64 bits, and their neighbours just
// past the limb (65 bits): small integers, powers of two, integers near
// 2^63 and 2^64, random doubles, random 64- and 65-bit significands; either
// sign, over the exponents of the window.
__float128 short_divisor(words& w) {
  const iq_u128 sign = w.coin() ? iq_sign_bit : 0;
  const auto scaled_word = [&w, sign](__float128 x) {
    return iq_quad((iq_bits(x) + (static_cast<iq_u128>(w.uniform(-300, 300)) << 112)) | sign);
  };
  switch (w.uniform(0, 7)) {
    case 0: return iq_quad(iq_bits(static_cast<__float128>(w.uniform(1, 1000))) | sign);
    case 1: return iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-4000, 4000)) << 112) | sign);
    case 2: return scaled_word(static_cast<__float128>(~kx::iq_u64(0) - w.gen() % 4));
    case 3: return scaled_word(static_cast<__float128>((kx::iq_u64(1) << 63) + w.gen() % 4));
    case 4: return scaled_word(static_cast<__float128>(static_cast<double>(w.gen() >> 11)));
    case 5: return scaled_word(static_cast<__float128>(w.gen() | (kx::iq_u64(1) << 63)));
    default: {  // 64 or 65 significant bits: the last one at bit 49 or 48
      const iq_u128 top = (static_cast<iq_u128>(w.gen()) << 48) & iq_fraction_mask;
      return iq_quad(sign | (static_cast<iq_u128>(0x3fff + w.uniform(-300, 300)) << 112) | top |
                     (iq_u128(1) << (w.coin() ? 49 : 48)));
    }
  }
}

// A dividend for y: random, y times a short q (an exact quotient), or a
// significand m j + d (m the divisor's top 64 bits, d in -1..1), which puts
// the first digit's remainder at 0, 8 or m - 8 (the limb's ends).
__float128 dividend_for(words& w, __float128 y) {
  const int fx = 0x3fff + w.uniform(-300, 300);
  switch (w.uniform(0, 3)) {
    case 0: {
      const __float128 q = iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-30, 30)) << 112) |
                                   ((w.fraction() >> 80) << 80) | (w.coin() ? iq_sign_bit : 0));
      return y * q;
    }
    case 1: {
      const iq_u128 m = kx::iq_significand(iq_bits(y)) >> 49;
      iq_u128 sig = 0;
      while (sig >> 112 != 1) sig = m * (w.gen() >> w.uniform(11, 16)) + static_cast<iq_u128>(w.uniform(-1, 1));
      return iq_quad((w.coin() ? iq_sign_bit : 0) | (static_cast<iq_u128>(fx) << 112) | (sig & iq_fraction_mask));
    }
    default:
      return w.word(fx, w.coin());
  }
}

}  // namespace

// The quotient by one limb for divisors of at most 64 significant bits has
// the long division's digits and sticky bit and gives the compiler's word;
// quotients that tie but for the sticky bit, exact ones, and divisors just
// past the limb (which keep the long division) are each met.
TEST(IntegerQuad, ShortDivisorQuotientsAreTheLongDivisions) {
  words w(23);
  long near_ties = 0;
  long exact = 0;
  long past_the_limb = 0;
  const long count = scaled(3000000);
  for (long i = 0; i < count; ++i) {
    const __float128 y = short_divisor(w);
    const __float128 x = dividend_for(w, y);
    const kx::iq_num xn = kx::iq_unpack(iq_bits(x));
    const kx::iq_num yn = kx::iq_unpack(iq_bits(y));
    if (!kx::iq_is_short_divisor(yn)) {
      ++past_the_limb;
      continue;
    }
    const kx::iq_quotient_digits fast = kx::iq_short_quotient_digits(xn.sig, yn.sig);
    const kx::iq_quotient_digits slow = kx::iq_long_quotient_digits(xn.sig, yn.sig);
    ASSERT_TRUE(fast.q == slow.q && fast.sticky == slow.sticky) << hexq(x) << " / " << hexq(y);
    ASSERT_TRUE(same(kx::iq_pack(kx::iq_quotient(xn, yn, true)), x / y)) << hexq(x) << " / " << hexq(y);
    const int s = static_cast<int>(fast.q >> 116) + 3;
    if ((fast.q & ((iq_u128(1) << s) - 1)) == iq_u128(1) << (s - 1)) ++near_ties;
    if (!fast.sticky) ++exact;
  }
  EXPECT_GT(near_ties, count / 100);
  EXPECT_GT(exact, count / 10);
  EXPECT_GT(past_the_limb, count / 50);
}

// kxdivd and kxdiv by short divisors (b.hi for kxdiv, beside any low word)
// against their plain formulas, both words bit for bit: dividends as above,
// and a = +-b, (b q, +-0), whose zero remainders carry signed zeros.
TEST(FastRoutines, ShortDivisorQuotientsAreThePlainFormulas) {
  words w(24);
  for (long i = 0; i < scaled(600000); ++i) {
    const __float128 b = short_divisor(w);
    const __float128 x = dividend_for(w, b);
    const kxreal pair = w.pair(kx::iq_field_of(iq_bits(x)));
    const kxreal bb = {b, w.pair(kx::iq_field_of(iq_bits(b))).lo};
    const iq_u128 zero = w.coin() ? iq_sign_bit : 0;
    for (const kxreal& a : {kxreal{x, pair.lo}, kxreal{x, iq_quad(zero)}, kxreal{b, iq_quad(zero)},
                            kxreal{-b, pair.lo}}) {
      kxreal fast, plain;
      kxdivd(a, b, fast);
      kx::reference_kxdivd(a, b, plain);
      ASSERT_TRUE(same_words(fast, plain)) << "kxdivd " << hex(a) << " " << hexq(b);
      kxdiv(a, bb, fast);
      kx::reference_kxdiv(a, bb, plain);
      ASSERT_TRUE(same_words(fast, plain)) << "kxdiv " << hex(a) << " " << hex(bb);
    }
  }
}

// Integers to binary128 from their bits are the compiler's conversions:
// zero, +-1, the ends of int64, powers of two and their neighbours, random.
TEST(IntegerQuad, IntegersAreTheCompilersConversions) {
  std::mt19937_64 gen(25);
  std::vector<std::int64_t> cases = {0, 1, -1, INT64_MAX, INT64_MIN, INT64_MIN + 1};
  for (int k = 0; k < 63; ++k) {
    for (const std::int64_t d : {-1, 0, 1}) {
      cases.push_back((std::int64_t{1} << k) + d);
      cases.push_back(-(std::int64_t{1} << k) - d);
    }
  }
  for (int i = 0; i < 100000; ++i) cases.push_back(static_cast<std::int64_t>(gen()) >> (gen() % 64));
  for (const std::int64_t i : cases) {
    ASSERT_TRUE(same(kx::iq_from_integer(i), static_cast<__float128>(i))) << static_cast<long long>(i);
  }
}

// The products in one fixed-point register (quad_fixed_product.h) against
// the plain formulas, both words, on pairs at each edge of its conditions.
// Rows: low words 112, 113, 114, 121, 122 and 123 binades below their high
// words; high words 1 + d 2^-112 and 2 - 2d 2^-112, whose product 2 - 2d^2
// 2^-224 rounds up into the next binade for d below 2^55 and not above;
// high words that are powers of two or all ones, whose sum with the cross
// products leaves their product's binade; short low words, whose product
// lies on or beside a multiple of the frame's unit; and plain pairs. Half
// of each row are squares (b = a); kxmuld(a, b.hi) rides along. Each row
// must be met both taken and declined, except the plain one.
TEST(FastRoutines, FixedProductsAtTheirEdges) {
  words w(23);
  const auto pair_of = [&w](__float128 hi, int gap, int fraction_bits) {
    const int f = kx::iq_field_of(iq_bits(hi));
    const iq_u128 fraction = fraction_bits < 0 ? w.fraction() : (w.fraction() >> (112 - fraction_bits)) << (112 - fraction_bits);
    return kxreal{hi, iq_quad((w.coin() ? iq_sign_bit : 0) | (static_cast<iq_u128>(f - gap) << 112) | fraction)};
  };
  const auto scaled_word = [&w](iq_u128 significand) {
    return iq_quad((w.coin() ? iq_sign_bit : 0) | (static_cast<iq_u128>(0x3fff + w.uniform(-200, 200)) << 112) |
                   (significand & iq_fraction_mask));
  };
  const int edge_gaps[] = {112, 113, 114, 121, 122, 123};
  enum { gaps, carry, binade, short_low, plain, rows };
  for (int row = 0; row < rows; ++row) {
    long taken = 0, declined = 0;
    for (long i = 0; i < scaled(row == plain ? 600000 : 100000); ++i) {
      kxreal a, b;
      const int g1 = row == gaps ? edge_gaps[w.uniform(0, 5)] : w.uniform(113, row == plain ? 122 : 116);
      const int g2 = row == gaps ? edge_gaps[w.uniform(0, 5)] : w.uniform(113, row == plain ? 122 : 116);
      const int bits = row == short_low ? w.uniform(0, 8) : -1;
      if (row == carry) {
        const iq_u128 d = (static_cast<iq_u128>(w.gen()) & ((iq_u128(1) << w.uniform(1, 58)) - 1)) + 1;
        a = pair_of(scaled_word(kx::iq_hidden_bit + d), g1, bits);
        b = pair_of(scaled_word((kx::iq_hidden_bit << 1) - 2 * d), g2, bits);
      } else if (row == binade) {
        a = pair_of(scaled_word(w.coin() ? kx::iq_hidden_bit : iq_fraction_mask), g1, bits);
        b = pair_of(scaled_word(w.coin() ? kx::iq_hidden_bit : iq_fraction_mask), g2, bits);
      } else {
        a = pair_of(w.word(0x3fff + w.uniform(-300, 300), w.coin()), g1, bits);
        b = pair_of(w.word(0x3fff + w.uniform(-300, 300), w.coin()), g2, bits);
      }
      if (w.coin()) b = a;
      kxreal fast, written;
      kx::reference_kxmul(a, b, written);
      const bool fixed = kx::iq_fixed_product(iq_bits(a.hi), iq_bits(a.lo), iq_bits(b.hi), iq_bits(b.lo), fast);
      ASSERT_TRUE(!fixed || same_words(fast, written)) << "fixed " << hex(a) << " " << hex(b) << " gives " << hex(fast)
                                                       << " not " << hex(written);
      taken += fixed;
      declined += !fixed;
      kxmul(a, b, fast);
      ASSERT_TRUE(same_words(fast, written)) << "kxmul " << hex(a) << " " << hex(b);
      kx::reference_kxmuld(a, b.hi, written);
      const bool fixed_by_word = kx::iq_fixed_product_by_word(iq_bits(a.hi), iq_bits(a.lo), iq_bits(b.hi), fast);
      ASSERT_TRUE(!fixed_by_word || same_words(fast, written)) << "fixed by word " << hex(a) << " " << hexq(b.hi);
      kxmuld(a, b.hi, fast);
      ASSERT_TRUE(same_words(fast, written)) << "kxmuld " << hex(a) << " " << hexq(b.hi);
    }
    EXPECT_GT(taken, 0) << "row " << row;
    if (row != plain) {
      EXPECT_GT(declined, 0) << "row " << row;
    }
  }
}

// The low product of the fixed-point products, RN(x y) rounded to odd at
// 2^sh from the top 64 bits of each factor, against GMP: x y at random, and
// drawn within 2^100 to 2^180 of a multiple of 2^sh either way (the margin
// of the approximation is 2^165), where it must be met taken and declined.
TEST(FastRoutines, FramedLowProductsAreGmps) {
  words w(24);
  mpz_t x, y, p, q, r;
  mpz_inits(x, y, p, q, r, nullptr);
  const auto get_u128 = [&r](const mpz_t z) {
    mpz_fdiv_q_2exp(r, z, 64);
    return (static_cast<iq_u128>(mpz_get_ui(r)) << 64) | mpz_get_ui(z);
  };
  long taken = 0, declined = 0;
  for (long i = 0; i < scaled(300000); ++i) {
    const int sh = w.uniform(214, 233);
    const bool near = w.coin();
    set_u128(x, kx::iq_hidden_bit | w.fraction());
    set_u128(y, kx::iq_hidden_bit | w.fraction());
    if (near) {  // y = floor((M + d) / x) for the multiple M of 2^sh nearest x y
      mpz_mul(p, x, y);
      mpz_fdiv_q_2exp(p, p, sh - 1);
      mpz_add_ui(p, p, 1);
      mpz_fdiv_q_2exp(p, p, 1);
      mpz_mul_2exp(p, p, sh);
      mpz_set_ui(q, w.gen());
      mpz_mul_2exp(q, q, w.uniform(36, 116));
      if (w.coin()) {
        mpz_add(p, p, q);
      } else {
        mpz_sub(p, p, q);
      }
      mpz_fdiv_q(y, p, x);
      if (mpz_sizeinbase(y, 2) != 113) continue;
    }
    mpz_mul(p, x, y);
    // RN(x y) at 113 bits, then its floor at 2^sh and whether bits are lost.
    const int shift = static_cast<int>(mpz_sizeinbase(p, 2)) - 113;
    mpz_fdiv_q_2exp(q, p, shift);
    mpz_fdiv_r_2exp(r, p, shift);
    mpz_mul_2exp(r, r, 1);
    mpz_ui_pow_ui(p, 2, shift);
    const int against_half = mpz_cmp(r, p);
    if (against_half > 0 || (against_half == 0 && mpz_odd_p(q))) mpz_add_ui(q, q, 1);
    mpz_mul_2exp(q, q, shift);
    const bool inexact = mpz_scan1(q, 0) < static_cast<mp_bitcnt_t>(sh);
    mpz_fdiv_q_2exp(q, q, sh);
    const iq_u128 expected = get_u128(q) | static_cast<iq_u128>(inexact);
    iq_u128 v;
    const bool fixed = kx::iq_frame_small_product(get_u128(x), get_u128(y), sh, v);
    ASSERT_TRUE(!fixed || v == expected) << "sh " << sh << " gives " << static_cast<unsigned long>(v) << " not "
                                         << static_cast<unsigned long>(expected);
    taken += fixed && near;
    declined += !fixed && near;
  }
  EXPECT_GT(taken, 0);
  EXPECT_GT(declined, 0);
  mpz_clears(x, y, p, q, r, nullptr);
}

// kxsqrt's fixed-point correction (quad_fixed_root.h) against the plain
// formula, both words: low words of either sign 112 to 122 binades below
// the high word (a.lo's frame word turns from exact to rounded to odd near
// 120) and far below, zeros of either sign; exact squares of short
// significands and squares beside them (a zero or tiny remainder); high
// words that are powers of two or all ones and at the window's ends. The
// fixed path must be met taken and declined.
TEST(FastRoutines, FixedSquareRootsAtTheirEdges) {
  words w(25);
  long taken = 0, declined = 0;
  for (long i = 0; i < scaled(400000); ++i) {
    __float128 hi;
    switch (w.uniform(0, 4)) {
      case 0: {  // the square of a short significand
        const __float128 q = iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-100, 100)) << 112) |
                                     ((w.fraction() >> 60) << 60));
        hi = q * q;
        break;
      }
      case 1:
        hi = iq_quad((static_cast<iq_u128>(0x3fff + w.uniform(-100, 100)) << 112) |
                     (w.coin() ? 0 : iq_fraction_mask - w.uniform(0, 3)));
        break;
      case 2:
        hi = w.word(w.coin() ? kx::iq_window_low + w.uniform(-2, 2) : kx::iq_window_high + w.uniform(-2, 2), false);
        break;
      default:
        hi = w.word(0x3fff + w.uniform(-400, 400), false);
    }
    const int f = kx::iq_field_of(iq_bits(hi));
    const int gap = w.one_in(5) ? w.uniform(123, 300) : w.uniform(112, 122);
    const __float128 lo = w.one_in(8) ? iq_quad(w.coin() ? iq_sign_bit : 0) : w.word(f - gap, w.coin());
    const kxreal a = {hi, lo};
    const kxreal written = reference_sqrt(a);
    kxreal fast;
    const bool fixed = kx::iq_fixed_sqrt(iq_bits(a.hi), iq_bits(a.lo), fast);
    ASSERT_TRUE(!fixed || same_words(fast, written)) << "fixed " << hex(a) << " gives " << hex(fast) << " not "
                                                     << hex(written);
    taken += fixed;
    declined += !fixed;
    kxsqrt(a, fast);
    ASSERT_TRUE(same_words(fast, written)) << "kxsqrt " << hex(a) << " gives " << hex(fast) << " not " << hex(written);
  }
  EXPECT_GT(taken, 0);
  EXPECT_GT(declined, 0);
}
