// The tail shared by kxadd, kxsub, kxmul and kxmuld in one fixed-point
// register: (s, e) = two-sum(x, y), t = (e + w1) + w2 rounded after each
// addition, and the closing quick two-sum of s and t. The usual case is
// worked in a signed 128-bit integer whose unit is 2^-124 of s's ulp;
// iq_fixed_tail declines (returns false, c untouched) wherever its
// argument below does not hold, and the caller takes the written path.
#pragma once

#include <cstdint>
#include <utility>

#include <kx/core/quad_unpacked.h>

namespace kx {

using iq_s128 = __int128;

/// Bits below the ulp of s in the fixed-point frame.
inline constexpr int iq_frame_shift = 124;

/// The word x in the frame of s (field fs, sign flipped when s is negative),
/// rounded to odd at the unit: the truncated magnitude with its lowest bit
/// set when bits were lost. x is a zero or has a field at most fs - 113, so
/// it lies below 2^124 units.
[[gnu::always_inline]] inline iq_s128 iq_frame_word(const iq_num& x, int fs, bool flip) {
  const int shift = x.field - fs + iq_frame_shift;
  iq_u128 m;
  if (shift >= 0) {
    m = x.sig << shift;
  } else if (shift > -128) {
    m = (x.sig >> -shift) | static_cast<iq_u128>((x.sig << (128 + shift)) != 0);
  } else {
    m = x.sig != 0;
  }
  return x.negative != flip ? -static_cast<iq_s128>(m) : static_cast<iq_s128>(m);
}

/// v rounded to 113 significant bits, nearest even, in place; false when
/// |v| < 2^114 (the rounding would fall within two bits of the unit).
[[gnu::always_inline]] inline bool iq_frame_round(iq_s128& v) {
  const bool negative = v < 0;
  const iq_u128 m = negative ? -static_cast<iq_u128>(v) : static_cast<iq_u128>(v);
  const iq_u64 high = static_cast<iq_u64>(m >> 64);
  if ((high >> 50) == 0) return false;
  const int drop = 15 - __builtin_clzll(high);  // the top bit's position less 112: 2 to 15
  const iq_u64 low = static_cast<iq_u64>(m);
  const iq_u64 rest = low & ((iq_u64(1) << drop) - 1);
  const iq_u64 half = iq_u64(1) << (drop - 1);
  const bool up = rest > half || (rest == half && ((low >> drop) & 1));
  const iq_u128 r = m - rest + (static_cast<iq_u128>(up) << drop);
  v = negative ? -static_cast<iq_s128>(r) : static_cast<iq_s128>(r);
  return true;
}

/// v rounded to 113 significant bits, nearest even, for an exact v with
/// |v| < 2^127, in two's complement: floor((v + half - 1 + odd) / 2^drop)
/// ulps, with drop from the top bit of |v| (of |v| - 1 for a negative v,
/// one bit lower only for a power of two, which is kept either way).
/// Returns the bits dropped (0 when v is kept).
[[gnu::always_inline]] inline int iq_frame_round_signed(iq_s128& v) {
  const auto high = static_cast<std::int64_t>(v >> 64);
  const auto magnitude = static_cast<iq_u64>(high ^ (high >> 63));
  if ((magnitude >> 49) == 0) return 0;
  const int drop = 15 - __builtin_clzll(magnitude);
  const auto low = static_cast<iq_u64>(v);
  const iq_u64 odd = (low >> drop) & 1;
  v = (v + static_cast<iq_s128>((iq_u64(1) << (drop - 1)) - 1 + odd)) & ~static_cast<iq_s128>((iq_u64(1) << drop) - 1);
  return drop;
}

/// The exact error e = x + y - s of the two-sum of nonzero x and y, |x| >=
/// |y|, field(x) - field(y) = d <= 114, s = x + y rounded (nonzero, field at
/// least field(x) - 1), in the frame of s: the wrapped difference of
/// iq_two_sum in units of y's ulp, which is at least 2 units of the frame.
[[gnu::always_inline]] inline iq_s128 iq_frame_error(const iq_num& x, const iq_num& y, const iq_num& s, int d) {
  if (s.field <= y.field) return 0;
  const iq_u128 v = (x.sig << d) + (x.negative != y.negative ? -y.sig : y.sig) - (s.sig << (s.field - y.field));
  return static_cast<iq_s128>(v << (y.field - s.field + iq_frame_shift));
}

/// The packed word of v != 0 given in the frame of s (field fs, sign flip).
[[gnu::always_inline]] inline __float128 iq_frame_pack(iq_s128 v, int fs, bool flip) {
  const bool negative = v < 0;
  const iq_u128 m = negative ? -static_cast<iq_u128>(v) : static_cast<iq_u128>(v);
  const int t = iq_top_bit(m);
  return iq_pack({t >= 112 ? m >> (t - 112) : m << (112 - t), fs - iq_frame_shift - 112 + t, negative != flip});
}

/// quick-two-sum(s, ((e + w1) + w2)) with (s, e) = two-sum(x, y), every
/// operation rounded to nearest even in that order, for words in the window
/// or zeros, x or y nonzero.
///
/// Why these are the written words: e is exact and even in units; w1, w2 enter
/// rounded to odd, and even + rounded-to-odd is the sum rounded to odd, which
/// rounds to nearest 2 or more bits up (|x1|, |x2| >= 2^114 units) as the exact
/// sum does; so x1, x2 are the written roundings, multiples of 4 units. As
/// |x2| < 2^126 units lies below s, the quick two-sum is Knuth's: hi = s + x2
/// rounded at s's ulp while s.sig + k stays in s's binade, lo the exact rest.
[[gnu::always_inline]] inline bool iq_fixed_tail(iq_num x, iq_num y, const iq_num& w1, const iq_num& w2, kxreal& c) {
  if (iq_smaller(x, y)) std::swap(x, y);
  if (x.sig == 0) return false;
  const int d = x.field - y.field;
  if (d > 122 && y.sig != 0) return false;
  iq_num s;
  iq_s128 e;
  if (y.sig == 0) {  // x + 0 = x exactly, error +0
    s = x;
    e = 0;
  } else if (d >= 115) {
    s = x;
    const iq_s128 m = static_cast<iq_s128>(y.sig << (iq_frame_shift - d));
    e = x.negative != y.negative ? -m : m;
  } else {
    s = iq_sum_ordered(x, y);
    if (s.sig == 0 || s.field < x.field - 1) return false;
    e = iq_frame_error(x, y, s, d);
  }
  const int fs = s.field;
  if ((w1.sig != 0 && w1.field > fs - 113) || (w2.sig != 0 && w2.field > fs - 113)) return false;
  iq_s128 t = e + iq_frame_word(w1, fs, s.negative);
  if (!iq_frame_round(t)) return false;
  t += iq_frame_word(w2, fs, s.negative);
  if (!iq_frame_round(t)) return false;
  // t = k ulps of s and a remainder r in [0, ulp).
  const iq_s128 k = t >> iq_frame_shift;
  const iq_u128 r = static_cast<iq_u128>(t) & ((iq_u128(1) << iq_frame_shift) - 1);
  const iq_u128 sig = s.sig + static_cast<iq_u128>(k);
  if (sig < iq_hidden_bit || sig > (iq_hidden_bit << 1) - 2) return false;
  const iq_u128 half = iq_u128(1) << (iq_frame_shift - 1);
  const bool up = r > half || (r == half && (sig & 1));
  const iq_s128 lo = t - ((k + up) << iq_frame_shift);
  c.hi = iq_pack({sig + up, fs, s.negative});
  c.lo = lo == 0 ? iq_quad(0) : iq_frame_pack(lo, fs, s.negative);
  return true;
}

}  // namespace kx
