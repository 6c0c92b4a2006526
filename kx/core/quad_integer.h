// Binary128 sums, differences, products and exact product errors computed
// in integer registers: sign, exponent field and a 113-bit significand, one
// rounding to nearest even per operation. Each result is the word the
// compiler's binary128 operation gives, so a routine written with these in
// the same order as with the compiler's operators gives the same words.
//
// Only normal operands whose exponent fields lie in a window well inside
// the range are worked here; zeros are settled directly, and everything
// else (subnormals, infinities, NaN, the ends of the range) goes to the
// compiler's binary128, so the window never changes a result.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include <kx/core/core.h>
#include <kx/core/eft.h>

namespace kx {

using iq_u128 = unsigned __int128;
using iq_u64 = std::uint64_t;

inline iq_u128 iq_bits(__float128 x) {
  iq_u128 b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline __float128 iq_quad(iq_u128 b) {
  __float128 x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

inline constexpr iq_u128 iq_sign_bit = iq_u128(1) << 127;
inline constexpr iq_u128 iq_hidden_bit = iq_u128(1) << 112;
inline constexpr iq_u128 iq_fraction_mask = iq_hidden_bit - 1;
inline constexpr int iq_bias = 0x3fff;

/// Exponent fields worked in integers. A nonzero sum of two such operands
/// has a field in [iq_window_low - 113, iq_window_high + 1]; the product and its
/// error are asked to fall inside the window themselves. All are normal,
/// and Dekker's split of such an operand neither overflows nor underflows.
inline constexpr int iq_window_low = 0x0100;
inline constexpr int iq_window_high = 0x7eff;

inline int iq_field_of(iq_u128 b) { return static_cast<int>(b >> 112) & 0x7fff; }

inline bool iq_in_window(int field) {
  return static_cast<unsigned>(field - iq_window_low) <= static_cast<unsigned>(iq_window_high - iq_window_low);
}

/// The position of the highest set bit of m != 0.
inline int iq_top_bit(iq_u128 m) {
  const iq_u64 high = static_cast<iq_u64>(m >> 64);
  return high != 0 ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(static_cast<iq_u64>(m));
}

inline bool iq_is_zero(iq_u128 b) { return (b << 1) == 0; }

inline iq_u128 iq_significand(iq_u128 b) { return (b & iq_fraction_mask) | iq_hidden_bit; }

/// x + y and x - y outside the window: zeros here, the rest by the compiler.
__float128 iq_add_outside_window(__float128 x, __float128 y);
__float128 iq_sub_outside_window(__float128 x, __float128 y);
/// x * y outside the window.
__float128 iq_mul_outside_window(__float128 x, __float128 y);

/// x + y for in-window operands given by their bits (y's sign already
/// flipped for a difference): significands carried with 13 extra bits, the
/// smaller one shifted with its lost bits kept as a sticky bit (rounding to
/// odd, which a later rounding to nearest even at 2 or more bits fewer
/// cannot tell from the exact value), and one final rounding.
inline __float128 iq_add_in_window(iq_u128 bx, iq_u128 by) {
  iq_u128 ax = bx & ~iq_sign_bit;
  iq_u128 ay = by & ~iq_sign_bit;
  if (ax < ay) {
    std::swap(bx, by);
    std::swap(ax, ay);
  }
  const iq_u128 sign = bx & iq_sign_bit;
  const bool subtract = ((bx ^ by) & iq_sign_bit) != 0;
  int e = iq_field_of(ax);
  const int d = e - iq_field_of(ay);
  const iq_u128 mx = iq_significand(ax) << 13;
  iq_u128 my = iq_significand(ay) << 13;
  if (d != 0) {
    if (d < 126) {
      const bool sticky = (my << (128 - d)) != 0;
      my = (my >> d) | static_cast<iq_u128>(sticky);
    } else {
      my = 1;
    }
  }
  iq_u128 m;
  if (!subtract) {
    m = mx + my;
    if (m >> 126) {
      m = (m >> 1) | (m & 1);
      ++e;
    }
  } else {
    m = mx - my;
    if (m == 0) return 0;  // exact cancellation: +0 when rounding to nearest
    // Exact for gaps 0 and 1; from gap 2 on the shift is at most one place.
    const int shift = 125 - iq_top_bit(m);
    m <<= shift;
    e -= shift;
  }
  const unsigned rest = static_cast<unsigned>(m) & 0x1fff;
  m >>= 13;
  if (rest > 0x1000 || (rest == 0x1000 && (m & 1))) {
    ++m;
    if (m >> 113) {
      m >>= 1;
      ++e;
    }
  }
  return iq_quad(sign | (static_cast<iq_u128>(e) << 112) | (m & iq_fraction_mask));
}

inline __float128 iq_add(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] return iq_add_in_window(bx, by);
  // x + 0 = x for x != 0; the rest out of line.
  if (wx && iq_is_zero(by)) return x;
  if (wy && iq_is_zero(bx)) return y;
  // Two zeros: -0 only when both are -0.
  if (iq_is_zero(bx) && iq_is_zero(by)) return iq_quad(bx & by & iq_sign_bit);
  return iq_add_outside_window(x, y);
}

inline __float128 iq_sub(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] return iq_add_in_window(bx, by ^ iq_sign_bit);
  if (wx && iq_is_zero(by)) return x;
  if (wy && iq_is_zero(bx)) return iq_quad(by ^ iq_sign_bit);
  if (iq_is_zero(bx) && iq_is_zero(by)) return iq_quad(bx & ~by & iq_sign_bit);
  return iq_sub_outside_window(x, y);
}

/// The 226-bit product of two 113-bit significands, as high and low 128 bits.
struct iq_wide {
  iq_u128 high;
  iq_u128 low;
};

inline iq_wide iq_multiply(iq_u128 x, iq_u128 y) {
  const iq_u64 x0 = static_cast<iq_u64>(x);
  const iq_u64 x1 = static_cast<iq_u64>(x >> 64);
  const iq_u64 y0 = static_cast<iq_u64>(y);
  const iq_u64 y1 = static_cast<iq_u64>(y >> 64);
  const iq_u128 p00 = static_cast<iq_u128>(x0) * y0;
  const iq_u128 mid = static_cast<iq_u128>(x0) * y1 + static_cast<iq_u128>(x1) * y0;  // < 2^114
  const iq_u128 low = p00 + (mid << 64);
  const iq_u128 high = static_cast<iq_u128>(x1) * y1 + (mid >> 64) + static_cast<iq_u128>(low < p00);
  return {high, low};
}

/// A product rounded: its word, and the exact error as a word (+0 if none).
struct iq_rounded_product {
  __float128 p;
  __float128 error;
};

/// Whether x * y is worked in integers: both operands and the product's
/// exponent in the window, with room above for the rounding carry.
inline bool iq_product_in_window(iq_u128 bx, iq_u128 by, int& field) {
  const int fx = iq_field_of(bx);
  const int fy = iq_field_of(by);
  field = fx + fy - iq_bias;
  return iq_in_window(fx) && iq_in_window(fy) &&
         static_cast<unsigned>(field - iq_window_low) <= static_cast<unsigned>(iq_window_high - 2 - iq_window_low);
}

/// x * y rounded once, from the significands' integer product; with
/// WithError, also P - round(P) as a word: it has at most 113 bits and its
/// exponent stays above the window's lower end less 224, so it is exact.
template <bool WithError>
inline iq_rounded_product iq_multiply_in_window(iq_u128 bx, iq_u128 by, int field) {
  const iq_u128 sign = (bx ^ by) & iq_sign_bit;
  const iq_wide w = iq_multiply(iq_significand(bx), iq_significand(by));
  // The product has 225 or 226 bits; keep the top 113.
  const int s = static_cast<int>(w.high >> 97) + 112;
  iq_u128 q = (w.high << (128 - s)) | (w.low >> s);
  const iq_u128 rest = w.low & ((iq_u128(1) << s) - 1);
  const iq_u128 half = iq_u128(1) << (s - 1);
  int e = field + (s - 112);
  const bool up = rest > half || (rest == half && (q & 1));
  if (up) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  iq_rounded_product r;
  r.p = iq_quad(sign | (static_cast<iq_u128>(e) << 112) | (q & iq_fraction_mask));
  r.error = 0;
  if constexpr (WithError) {
    if (rest != 0) {
      // |error| <= half an ulp of p: at most 2^112 units of 2^(fx+fy-224).
      const iq_u128 d = up ? (iq_u128(1) << s) - rest : rest;
      const int t = iq_top_bit(d);
      const iq_u128 error_sign = up ? sign ^ iq_sign_bit : sign;
      r.error = iq_quad(error_sign | (static_cast<iq_u128>(field - 224 + t) << 112) |
                        ((d << (112 - t)) & iq_fraction_mask));
    }
  }
  return r;
}

inline __float128 iq_mul(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  int field;
  if (iq_product_in_window(bx, by, field)) [[likely]] return iq_multiply_in_window<false>(bx, by, field).p;
  // A zero times a finite word is a zero of the product's sign.
  if ((iq_is_zero(bx) && iq_in_window(iq_field_of(by))) || (iq_is_zero(by) && iq_in_window(iq_field_of(bx)))) {
    return iq_quad((bx ^ by) & iq_sign_bit);
  }
  return iq_mul_outside_window(x, y);
}

/// p = x * y and its exact error, the same words as x * y and
/// product_error (eft.h), which takes over outside the window.
iq_rounded_product iq_two_product_outside_window(__float128 x, __float128 y);

inline iq_rounded_product iq_two_product(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  int field;
  if (!iq_product_in_window(bx, by, field)) [[unlikely]] return iq_two_product_outside_window(x, y);
  return iq_multiply_in_window<true>(bx, by, field);
}

/// x + y rounded and its exact error x + y - RN(x + y), for in-window
/// operands given by their bits: the words of Knuth's two-sum, whose error
/// is +0 when the sum is exact. From an exponent gap of 115 on the smaller
/// operand is below a quarter of the larger one's ulp (half of the ulp
/// below a power of two), so the sum is the larger and the error the
/// smaller; at 114 it may not be.
inline quad_halves iq_two_sum_in_window(iq_u128 bx, iq_u128 by) {
  if ((bx & ~iq_sign_bit) < (by & ~iq_sign_bit)) std::swap(bx, by);
  const int fx = iq_field_of(bx);
  const int fy = iq_field_of(by);
  const int d = fx - fy;
  if (d >= 115) return {iq_quad(bx), iq_quad(by)};
  const __float128 s = iq_add_in_window(bx, by);
  const iq_u128 bs = iq_bits(s);
  const int fs = iq_field_of(bs);
  // A sum below 2^fy is a multiple of y's ulp with at most 112 bits: exact.
  if (iq_is_zero(bs) || fs <= fy) return {s, 0};
  // x + y - s in units of y's ulp, modulo 2^128: |error| <= 2^(fs-fy-1) <= 2^114,
  // so the wrapped difference is the exact signed value.
  const bool subtract = ((bx ^ by) & iq_sign_bit) != 0;
  const iq_u128 ys = iq_significand(by);
  const iq_u128 v = (iq_significand(bx) << d) + (subtract ? -ys : ys) - (iq_significand(bs) << (fs - fy));
  if (v == 0) return {s, 0};
  const bool negative = (v >> 127) != 0;
  const iq_u128 m = negative ? -v : v;
  const int t = iq_top_bit(m);
  // The error is a binary128 word: its bits below the top 113 are zero.
  const iq_u128 f = t >= 112 ? m >> (t - 112) : m << (112 - t);
  const iq_u128 error_sign = (bx & iq_sign_bit) ^ (negative ? iq_sign_bit : 0);
  return {s, iq_quad(error_sign | (static_cast<iq_u128>(fy + t - 112) << 112) | (f & iq_fraction_mask))};
}

/// iq_two_sum_in_window where both words are in the window, or one is and the
/// other a zero (sum the nonzero word, error +0). False otherwise: the
/// caller then takes the literal formula.
inline bool iq_two_sum_if_fast(iq_u128 bx, iq_u128 by, quad_halves& r) {
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] {
    r = iq_two_sum_in_window(bx, by);
    return true;
  }
  if (wx && iq_is_zero(by)) {
    r = {iq_quad(bx), 0};
    return true;
  }
  if (wy && iq_is_zero(bx)) {
    r = {iq_quad(by), 0};
    return true;
  }
  return false;
}

/// renormalise, add_to_product and remainder_of of eft.h, the same terms.
inline kxreal iq_renormalise(__float128 s, __float128 t) {
  const __float128 hi = iq_add(s, t);
  return {hi, iq_sub(t, iq_sub(hi, s))};
}

/// iq_renormalise(s, t) in one step where its quick two-sum is exact: s in the
/// window and t a zero (hi = s, lo = t - +0 = t, -0 kept) or in the window
/// at an exponent no higher than s's, when lo is the exact error of hi
/// (+0 if none). Elsewhere (after cancellation of the high words) the three
/// roundings are done as written.
inline kxreal iq_quick_two_sum(__float128 s, __float128 t) {
  const iq_u128 bs = iq_bits(s);
  const iq_u128 bt = iq_bits(t);
  const int fs = iq_field_of(bs);
  const int ft = iq_field_of(bt);
  if (iq_in_window(fs)) [[likely]] {
    if (iq_in_window(ft) && ft <= fs) [[likely]] {
      const quad_halves r = iq_two_sum_in_window(bs, bt);
      return {r.high, r.low};
    }
    if (iq_is_zero(bt)) return {s, t};
  }
  return iq_renormalise(s, t);
}

inline quad_halves iq_add_to_product(__float128 c11, __float128 c21, __float128 c2) {
  quad_halves r;
  if (iq_two_sum_if_fast(iq_bits(c11), iq_bits(c2), r)) [[likely]] return {r.high, iq_add(c21, r.low)};
  const __float128 t1 = iq_add(c11, c2);
  const __float128 e = iq_sub(t1, c11);
  const __float128 t2 = iq_add(c21, iq_add(iq_sub(c11, iq_sub(t1, e)), iq_sub(c2, e)));
  return {t1, t2};
}

// The first three lines of remainder_of are the two-sum of a.hi and -p,
// whose error's terms are added in the other order (the same word).
inline quad_halves iq_remainder_of(const kxreal& a, __float128 p, __float128 q) {
  quad_halves r;
  if (iq_two_sum_if_fast(iq_bits(a.hi), iq_bits(p) ^ iq_sign_bit, r)) [[likely]] {
    return {r.high, iq_sub(iq_add(r.low, a.lo), q)};
  }
  const __float128 t11 = iq_sub(a.hi, p);
  const __float128 e = iq_sub(t11, a.hi);
  const __float128 t21 = iq_sub(iq_add(iq_add(iq_sub(-p, e), iq_sub(a.hi, iq_sub(t11, e))), a.lo), q);
  return {t11, t21};
}

}  // namespace kx
