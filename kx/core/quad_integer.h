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

namespace kx::iq {

using u128 = unsigned __int128;
using u64 = std::uint64_t;

inline u128 bits(__float128 x) {
  u128 b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline __float128 quad(u128 b) {
  __float128 x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

inline constexpr u128 sign_bit = u128(1) << 127;
inline constexpr u128 hidden_bit = u128(1) << 112;
inline constexpr u128 fraction_mask = hidden_bit - 1;
inline constexpr int bias = 0x3fff;

/// Exponent fields worked in integers. A nonzero sum of two such operands
/// has a field in [window_low - 113, window_high + 1]; the product and its
/// error are asked to fall inside the window themselves. All are normal,
/// and Dekker's split of such an operand neither overflows nor underflows.
inline constexpr int window_low = 0x0100;
inline constexpr int window_high = 0x7eff;

inline int field_of(u128 b) { return static_cast<int>(b >> 112) & 0x7fff; }

inline bool in_window(int field) {
  return static_cast<unsigned>(field - window_low) <= static_cast<unsigned>(window_high - window_low);
}

/// The position of the highest set bit of m != 0.
inline int top_bit(u128 m) {
  const u64 high = static_cast<u64>(m >> 64);
  return high != 0 ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(static_cast<u64>(m));
}

inline bool is_zero(u128 b) { return (b << 1) == 0; }

inline u128 significand(u128 b) { return (b & fraction_mask) | hidden_bit; }

/// x + y and x - y outside the window: zeros here, the rest by the compiler.
__float128 add_outside_window(__float128 x, __float128 y);
__float128 sub_outside_window(__float128 x, __float128 y);
/// x * y outside the window.
__float128 mul_outside_window(__float128 x, __float128 y);

/// x + y for in-window operands given by their bits (y's sign already
/// flipped for a difference): significands carried with 13 extra bits, the
/// smaller one shifted with its lost bits kept as a sticky bit (rounding to
/// odd, which a later rounding to nearest even at 2 or more bits fewer
/// cannot tell from the exact value), and one final rounding.
inline __float128 add_in_window(u128 bx, u128 by) {
  u128 ax = bx & ~sign_bit;
  u128 ay = by & ~sign_bit;
  if (ax < ay) {
    std::swap(bx, by);
    std::swap(ax, ay);
  }
  const u128 sign = bx & sign_bit;
  const bool subtract = ((bx ^ by) & sign_bit) != 0;
  int e = field_of(ax);
  const int d = e - field_of(ay);
  const u128 mx = significand(ax) << 13;
  u128 my = significand(ay) << 13;
  if (d != 0) {
    if (d < 126) {
      const bool sticky = (my << (128 - d)) != 0;
      my = (my >> d) | static_cast<u128>(sticky);
    } else {
      my = 1;
    }
  }
  u128 m;
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
    const int shift = 125 - top_bit(m);
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
  return quad(sign | (static_cast<u128>(e) << 112) | (m & fraction_mask));
}

inline __float128 add(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  const bool wx = in_window(field_of(bx));
  const bool wy = in_window(field_of(by));
  if (wx && wy) [[likely]] return add_in_window(bx, by);
  // x + 0 = x for x != 0; the rest out of line.
  if (wx && is_zero(by)) return x;
  if (wy && is_zero(bx)) return y;
  // Two zeros: -0 only when both are -0.
  if (is_zero(bx) && is_zero(by)) return quad(bx & by & sign_bit);
  return add_outside_window(x, y);
}

inline __float128 sub(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  const bool wx = in_window(field_of(bx));
  const bool wy = in_window(field_of(by));
  if (wx && wy) [[likely]] return add_in_window(bx, by ^ sign_bit);
  if (wx && is_zero(by)) return x;
  if (wy && is_zero(bx)) return quad(by ^ sign_bit);
  if (is_zero(bx) && is_zero(by)) return quad(bx & ~by & sign_bit);
  return sub_outside_window(x, y);
}

/// The 226-bit product of two 113-bit significands, as high and low 128 bits.
struct wide {
  u128 high;
  u128 low;
};

inline wide multiply(u128 x, u128 y) {
  const u64 x0 = static_cast<u64>(x);
  const u64 x1 = static_cast<u64>(x >> 64);
  const u64 y0 = static_cast<u64>(y);
  const u64 y1 = static_cast<u64>(y >> 64);
  const u128 p00 = static_cast<u128>(x0) * y0;
  const u128 mid = static_cast<u128>(x0) * y1 + static_cast<u128>(x1) * y0;  // < 2^114
  const u128 low = p00 + (mid << 64);
  const u128 high = static_cast<u128>(x1) * y1 + (mid >> 64) + static_cast<u128>(low < p00);
  return {high, low};
}

/// A product rounded: its word, and the exact error as a word (+0 if none).
struct rounded_product {
  __float128 p;
  __float128 error;
};

/// Whether x * y is worked in integers: both operands and the product's
/// exponent in the window, with room above for the rounding carry.
inline bool product_in_window(u128 bx, u128 by, int& field) {
  const int fx = field_of(bx);
  const int fy = field_of(by);
  field = fx + fy - bias;
  return in_window(fx) && in_window(fy) &&
         static_cast<unsigned>(field - window_low) <= static_cast<unsigned>(window_high - 2 - window_low);
}

/// x * y rounded once, from the significands' integer product; with
/// WithError, also P - round(P) as a word: it has at most 113 bits and its
/// exponent stays above the window's lower end less 224, so it is exact.
template <bool WithError>
inline rounded_product multiply_in_window(u128 bx, u128 by, int field) {
  const u128 sign = (bx ^ by) & sign_bit;
  const wide w = multiply(significand(bx), significand(by));
  // The product has 225 or 226 bits; keep the top 113.
  const int s = static_cast<int>(w.high >> 97) + 112;
  u128 q = (w.high << (128 - s)) | (w.low >> s);
  const u128 rest = w.low & ((u128(1) << s) - 1);
  const u128 half = u128(1) << (s - 1);
  int e = field + (s - 112);
  const bool up = rest > half || (rest == half && (q & 1));
  if (up) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  rounded_product r;
  r.p = quad(sign | (static_cast<u128>(e) << 112) | (q & fraction_mask));
  r.error = 0;
  if constexpr (WithError) {
    if (rest != 0) {
      // |error| <= half an ulp of p: at most 2^112 units of 2^(fx+fy-224).
      const u128 d = up ? (u128(1) << s) - rest : rest;
      const int t = top_bit(d);
      const u128 error_sign = up ? sign ^ sign_bit : sign;
      r.error = quad(error_sign | (static_cast<u128>(field - 224 + t) << 112) | ((d << (112 - t)) & fraction_mask));
    }
  }
  return r;
}

inline __float128 mul(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  int field;
  if (product_in_window(bx, by, field)) [[likely]] return multiply_in_window<false>(bx, by, field).p;
  // A zero times a finite word is a zero of the product's sign.
  if ((is_zero(bx) && in_window(field_of(by))) || (is_zero(by) && in_window(field_of(bx)))) {
    return quad((bx ^ by) & sign_bit);
  }
  return mul_outside_window(x, y);
}

/// p = x * y and its exact error, the same words as x * y and
/// product_error (eft.h), which takes over outside the window.
rounded_product two_product_outside_window(__float128 x, __float128 y);

inline rounded_product two_product(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  int field;
  if (!product_in_window(bx, by, field)) [[unlikely]] return two_product_outside_window(x, y);
  return multiply_in_window<true>(bx, by, field);
}

/// x + y rounded and its exact error x + y - RN(x + y), for in-window
/// operands given by their bits: the words of Knuth's two-sum, whose error
/// is +0 when the sum is exact. From an exponent gap of 115 on the smaller
/// operand is below a quarter of the larger one's ulp (half of the ulp
/// below a power of two), so the sum is the larger and the error the
/// smaller; at 114 it may not be.
inline quad_halves two_sum_in_window(u128 bx, u128 by) {
  if ((bx & ~sign_bit) < (by & ~sign_bit)) std::swap(bx, by);
  const int fx = field_of(bx);
  const int fy = field_of(by);
  const int d = fx - fy;
  if (d >= 115) return {quad(bx), quad(by)};
  const __float128 s = add_in_window(bx, by);
  const u128 bs = bits(s);
  const int fs = field_of(bs);
  // A sum below 2^fy is a multiple of y's ulp with at most 112 bits: exact.
  if (is_zero(bs) || fs <= fy) return {s, 0};
  // x + y - s in units of y's ulp, modulo 2^128: |error| <= 2^(fs-fy-1) <= 2^114,
  // so the wrapped difference is the exact signed value.
  const bool subtract = ((bx ^ by) & sign_bit) != 0;
  const u128 ys = significand(by);
  const u128 v = (significand(bx) << d) + (subtract ? -ys : ys) - (significand(bs) << (fs - fy));
  if (v == 0) return {s, 0};
  const bool negative = (v >> 127) != 0;
  const u128 m = negative ? -v : v;
  const int t = top_bit(m);
  // The error is a binary128 word: its bits below the top 113 are zero.
  const u128 f = t >= 112 ? m >> (t - 112) : m << (112 - t);
  const u128 error_sign = (bx & sign_bit) ^ (negative ? sign_bit : 0);
  return {s, quad(error_sign | (static_cast<u128>(fy + t - 112) << 112) | (f & fraction_mask))};
}

/// two_sum_in_window where both words are in the window, or one is and the
/// other a zero (sum the nonzero word, error +0). False otherwise: the
/// caller then takes the literal formula.
inline bool two_sum_if_fast(u128 bx, u128 by, quad_halves& r) {
  const bool wx = in_window(field_of(bx));
  const bool wy = in_window(field_of(by));
  if (wx && wy) [[likely]] {
    r = two_sum_in_window(bx, by);
    return true;
  }
  if (wx && is_zero(by)) {
    r = {quad(bx), 0};
    return true;
  }
  if (wy && is_zero(bx)) {
    r = {quad(by), 0};
    return true;
  }
  return false;
}

/// renormalise, add_to_product and remainder_of of eft.h, the same terms.
inline kxreal renormalise(__float128 s, __float128 t) {
  const __float128 hi = add(s, t);
  return {hi, sub(t, sub(hi, s))};
}

/// renormalise(s, t) in one step where its quick two-sum is exact: s in the
/// window and t a zero (hi = s, lo = t - +0 = t, -0 kept) or in the window
/// at an exponent no higher than s's, when lo is the exact error of hi
/// (+0 if none). Elsewhere (after cancellation of the high words) the three
/// roundings are done as written.
inline kxreal quick_two_sum(__float128 s, __float128 t) {
  const u128 bs = bits(s);
  const u128 bt = bits(t);
  const int fs = field_of(bs);
  const int ft = field_of(bt);
  if (in_window(fs)) [[likely]] {
    if (in_window(ft) && ft <= fs) [[likely]] {
      const quad_halves r = two_sum_in_window(bs, bt);
      return {r.high, r.low};
    }
    if (is_zero(bt)) return {s, t};
  }
  return renormalise(s, t);
}

inline quad_halves add_to_product(__float128 c11, __float128 c21, __float128 c2) {
  quad_halves r;
  if (two_sum_if_fast(bits(c11), bits(c2), r)) [[likely]] return {r.high, add(c21, r.low)};
  const __float128 t1 = add(c11, c2);
  const __float128 e = sub(t1, c11);
  const __float128 t2 = add(c21, add(sub(c11, sub(t1, e)), sub(c2, e)));
  return {t1, t2};
}

// The first three lines of remainder_of are the two-sum of a.hi and -p,
// whose error's terms are added in the other order (the same word).
inline quad_halves remainder_of(const kxreal& a, __float128 p, __float128 q) {
  quad_halves r;
  if (two_sum_if_fast(bits(a.hi), bits(p) ^ sign_bit, r)) [[likely]] return {r.high, sub(add(r.low, a.lo), q)};
  const __float128 t11 = sub(a.hi, p);
  const __float128 e = sub(t11, a.hi);
  const __float128 t21 = sub(add(add(sub(-p, e), sub(a.hi, sub(t11, e))), a.lo), q);
  return {t11, t21};
}

}  // namespace kx::iq
