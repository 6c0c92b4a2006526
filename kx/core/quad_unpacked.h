// Binary128 words unpacked into integer registers (sign, exponent field,
// 113-bit significand) and their sums, two-sums and products, each rounded
// once to nearest even exactly as the compiler's binary128 operation is, so
// a routine written with these in the order of its formula gives the same
// words. A routine unpacks its operands once, keeps every intermediate
// unpacked and packs each result word once; quad_integer.h packs around
// each operation for the routines that go one word at a time.
//
// Operands are zeros or normal words with fields in the window below; all
// intermediates are then multiples of an ulp far above the subnormals and
// far below overflow, and no special value can arise. The operations are
// always inlined, so that a routine's words stay in registers throughout.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include <kx/core/core.h>

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

/// A finite word: significand in [2^112, 2^113), or 0 for a zero (whose
/// field is then 0). Only the sign of a zero is kept.
struct iq_num {
  iq_u128 sig;
  int field;
  bool negative;
};

inline bool iq_in_window_or_zero(iq_u128 b) { return iq_is_zero(b) || iq_in_window(iq_field_of(b)); }

/// The word's parts; b is a zero or an in-window word.
[[gnu::always_inline]] inline iq_num iq_unpack(iq_u128 b) {
  const int field = iq_field_of(b);
  return {field != 0 ? iq_significand(b) : 0, field, (b & iq_sign_bit) != 0};
}

[[gnu::always_inline]] inline __float128 iq_pack(const iq_num& x) {
  const iq_u128 sign = x.negative ? iq_sign_bit : 0;
  if (x.sig == 0) return iq_quad(sign);
  return iq_quad(sign | (static_cast<iq_u128>(x.field) << 112) | (x.sig & iq_fraction_mask));
}

[[gnu::always_inline]] inline iq_num iq_negated(iq_num x) {
  x.negative = !x.negative;
  return x;
}

/// |x| < |y| for nonzero x and y.
[[gnu::always_inline]] inline bool iq_smaller(const iq_num& x, const iq_num& y) {
  return x.field < y.field || (x.field == y.field && x.sig < y.sig);
}

/// x + y rounded to nearest even, for nonzero x and y with |x| >= |y|:
/// significands carried with 13 extra bits, the smaller one shifted with
/// its lost bits kept as a sticky bit (rounding to odd, which a later
/// rounding to nearest even at 2 or more bits fewer cannot tell from the
/// exact value), and one final rounding.
[[gnu::always_inline]] inline iq_num iq_sum_ordered(const iq_num& x, const iq_num& y) {
  int e = x.field;
  const int d = e - y.field;
  const iq_u128 mx = x.sig << 13;
  iq_u128 my = y.sig << 13;
  if (d != 0) {
    if (d < 126) {
      const bool sticky = (my << (128 - d)) != 0;
      my = (my >> d) | static_cast<iq_u128>(sticky);
    } else {
      my = 1;
    }
  }
  iq_u128 m;
  if (x.negative == y.negative) {
    m = mx + my;
    if (m >> 126) {
      m = (m >> 1) | (m & 1);
      ++e;
    }
  } else {
    m = mx - my;
    if (m == 0) return {0, 0, false};  // exact cancellation: +0
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
  return {m, e, x.negative};
}

/// x + y rounded, zeros of either sign included: x + 0 = x for x != 0, and
/// two zeros give -0 only when both are -0.
[[gnu::always_inline]] inline iq_num iq_sum(const iq_num& x, const iq_num& y) {
  if (y.sig == 0) return x.sig != 0 ? x : iq_num{0, 0, x.negative && y.negative};
  if (x.sig == 0) return y;
  return iq_smaller(x, y) ? iq_sum_ordered(y, x) : iq_sum_ordered(x, y);
}

/// Knuth's two-sum: s = x + y rounded and its exact error e, +0 when the
/// sum is exact. From an exponent gap of 115 on the smaller operand is below
/// a quarter of the larger one's ulp (half of the ulp below a power of two),
/// so the sum is the larger and the error the smaller; at 114 it may not
/// be. Otherwise the error is found modulo 2^128 in units of the smaller
/// operand's ulp: |error| <= 2^(fs-fy-1) <= 2^114, so the wrapped
/// difference is the exact signed value.
[[gnu::always_inline]] inline void iq_two_sum(iq_num x, iq_num y, iq_num& s, iq_num& e) {
  if (x.sig == 0 || y.sig == 0) {
    s = iq_sum(x, y);
    e = {0, 0, false};
    return;
  }
  if (iq_smaller(x, y)) std::swap(x, y);
  const int d = x.field - y.field;
  if (d >= 115) {
    s = x;
    e = y;
    return;
  }
  s = iq_sum_ordered(x, y);
  e = {0, 0, false};
  if (s.sig == 0 || s.field <= y.field) return;  // a multiple of y's ulp with at most 112 bits
  const iq_u128 v = (x.sig << d) + (x.negative != y.negative ? -y.sig : y.sig) - (s.sig << (s.field - y.field));
  if (v == 0) return;
  const bool below = (v >> 127) != 0;
  const iq_u128 m = below ? -v : v;
  const int t = iq_top_bit(m);
  e = {t >= 112 ? m >> (t - 112) : m << (112 - t), y.field + t - 112, x.negative != below};
}

/// The quick two-sum hi = s + t, lo = t - (hi - s) as packed words. Where
/// s is nonzero and t no higher, it is exact: (hi, lo) is the two-sum;
/// a zero t gives (s, t). Otherwise (a zero s after cancellation, or a
/// larger t) its three roundings are done as written.
[[gnu::always_inline]] inline kxreal iq_quick_two_sum(const iq_num& s, const iq_num& t) {
  if (s.sig != 0) [[likely]] {
    if (t.sig == 0) return {iq_pack(s), iq_pack(t)};
    if (t.field <= s.field) [[likely]] {
      iq_num hi, lo;
      iq_two_sum(s, t, hi, lo);
      return {iq_pack(hi), iq_pack(lo)};
    }
  }
  const iq_num hi = iq_sum(s, t);
  return {iq_pack(hi), iq_pack(iq_sum(t, iq_negated(iq_sum(hi, iq_negated(s)))))};
}

/// add_to_product of eft.h: t1 = c11 + c2 by two-sum, t2 = c21 + its error.
[[gnu::always_inline]] inline void iq_add_to_product(const iq_num& c11, const iq_num& c21, const iq_num& c2, iq_num& t1,
                                                     iq_num& t2) {
  iq_num e;
  iq_two_sum(c11, c2, t1, e);
  t2 = iq_sum(c21, e);
}

/// remainder_of of eft.h: a - (p + q) as high = a.hi - p by two-sum and
/// low = (its error + a.lo) - q. The error's two terms are added in the
/// other order there, which gives the same word.
[[gnu::always_inline]] inline void iq_remainder_of(const iq_num& a_hi, const iq_num& a_lo, const iq_num& p,
                                                   const iq_num& q, iq_num& high, iq_num& low) {
  iq_num e;
  iq_two_sum(a_hi, iq_negated(p), high, e);
  low = iq_sum(iq_sum(e, a_lo), iq_negated(q));
}

/// Whether the product of words with these fields lies in the window with
/// room above for the rounding carry.
inline bool iq_product_field_in_window(int fx, int fy) {
  return static_cast<unsigned>(fx + fy - iq_bias - iq_window_low) <=
         static_cast<unsigned>(iq_window_high - 2 - iq_window_low);
}

/// Whether x * y is worked by iq_product: a zero factor, or a product whose
/// field lies in the window.
inline bool iq_product_fits(const iq_num& x, const iq_num& y) {
  return x.sig == 0 || y.sig == 0 || iq_product_field_in_window(x.field, y.field);
}

/// x * y rounded once from the significands' integer product, with its
/// exact error P - round(P) when WithError (+0 if none): at most 113 bits,
/// its exponent above the window's lower end less 224. A zero factor gives
/// a zero of the product's sign and the error +0 (Dekker's partial
/// products are then zeros that sum to +0). Nonzero factors must have
/// their product's field in the window.
template <bool WithError>
[[gnu::always_inline]] inline iq_num iq_product(const iq_num& x, const iq_num& y, iq_num* error = nullptr) {
  const bool negative = x.negative != y.negative;
  if constexpr (WithError) *error = {0, 0, false};
  if (x.sig == 0 || y.sig == 0) return {0, 0, negative};
  const int field = x.field + y.field - iq_bias;
  const iq_wide w = iq_multiply(x.sig, y.sig);
  // 225 or 226 bits; keep the top 113.
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
  if constexpr (WithError) {
    if (rest != 0) {
      // At most half an ulp of the product: 2^112 units of 2^(fx+fy-224).
      const iq_u128 d = up ? (iq_u128(1) << s) - rest : rest;
      const int t = iq_top_bit(d);
      *error = {d << (112 - t), field - 224 + t, up != negative};
    }
  }
  return {q, e, negative};
}

}  // namespace kx
