// kxadd's whole formula in its usual case, straight from the packed words:
// the two-sum of the high words read off their exact sum in two 128-bit
// halves, the low words added to its error in one fixed-point integer and
// the closing quick two-sum read off that integer. iq_wide_sum declines
// (returns false, c untouched) outside that case, and the caller takes the
// general unpacked path.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include <kx/core/quad_fixed_sum.h>

namespace kx {

/// v >> k for k in [0, 63], worked in 64-bit halves.
[[gnu::always_inline]] inline iq_u128 iq_shift_right_short(iq_u128 v, int k) {
  const iq_u64 v0 = static_cast<iq_u64>(v);
  const iq_u64 v1 = static_cast<iq_u64>(v >> 64);
  return (static_cast<iq_u128>(v1 >> k) << 64) | ((v0 >> k) | ((v1 << 1) << (63 - k)));
}

/// 2^k as a 128-bit integer, for k in [64, 127], from its high half.
[[gnu::always_inline]] inline iq_u128 iq_high_power(int k) { return static_cast<iq_u128>(iq_u64(1) << (k - 64)) << 64; }

/// n 2^k for k in [64, 127], from n's low half.
[[gnu::always_inline]] inline iq_u128 iq_high_multiple(iq_u128 n, int k) {
  return static_cast<iq_u128>(static_cast<iq_u64>(n) << (k - 64)) << 64;
}

/// floor(v / 2^k) for k in [64, 127], from v's high half.
[[gnu::always_inline]] inline iq_s128 iq_high_floor(iq_s128 v, int k) {
  return static_cast<std::int64_t>(v >> 64) >> (k - 64);
}

/// quick-two-sum(s, ((e + al) + bl)) with (s, e) = two-sum(ah, bh), every
/// operation rounded to nearest even in that order, from the words' bits;
/// taken when the larger high word x lies in the window, the smaller y is
/// at most 122 binades below it, s stays within a binade of x and the
/// roundings are those of iq_fixed_tail's argument.
///
/// Why these are the written words: x + y = h 2^128 + l in units of 2^-128
/// of x's ulp is exact, as y's ulp is 2^(128-d) >= 2^6 units. With p the
/// binade of x + y against x's (-1, 0 or 1), s is its top 113 bits rounded
/// to nearest even and e = x + y - s the rest. The tail is iq_fixed_tail's
/// in x's frame (unit 2^-124 of x's ulp), where e is a multiple of 4 units,
/// |e| <= 2^124, the low words (below s's ulp, 2^125 units: iq_frame_word
/// shifts them by 12 at most) enter rounded to odd, and its two roundings
/// are worked on two's complements;
/// s's ulp is 2^(124+p) units. A rounding of s carried out of its binade
/// leaves s = 2^113 of its ulps, still exact, and then only s + t back
/// inside that binade is taken. A subnormal low word, unpacked as a zero,
/// changes no rounding: it lies below the unit, and e or x1 (binary128
/// words, taken only from 2^114 units up, so multiples of 4 units) plus it
/// rounds to that word itself.
[[gnu::always_inline]] inline bool iq_wide_sum(iq_u128 ah, iq_u128 bh, iq_u128 al, iq_u128 bl, kxreal& c) {
  if ((ah << 1) < (bh << 1)) std::swap(ah, bh);
  const int fx = iq_field_of(ah);
  const int d = fx - iq_field_of(bh);
  if (!iq_in_window(fx) || d > 122) return false;  // y is then a normal word
  const iq_u128 ys = iq_significand(bh);
  const iq_u128 y_high = ys >> d;
  const iq_u128 y_low = (ys << 1) << (127 - d);
  iq_u128 h, l;
  if ((ah ^ bh) & iq_sign_bit) {
    l = -y_low;
    h = iq_significand(ah) - y_high - static_cast<iq_u128>(y_low != 0);
  } else {
    l = y_low;
    h = iq_significand(ah) + y_high;
  }
  if (h < (iq_hidden_bit >> 1)) return false;  // cancellation of two binades or more
  const int p = 15 - __builtin_clzll(static_cast<iq_u64>(h >> 64));
  const int u = iq_frame_shift + p;  // s's ulp is 2^u units
  const iq_u128 sig = iq_shift_right_short((h << 1) | (l >> 127), p + 1);
  const iq_u128 rest = ((h << iq_frame_shift) | (l >> 4)) & (iq_high_power(u) - 1);
  const iq_u128 up = static_cast<iq_u128>(iq_high_floor(rest + (iq_high_power(u - 1) - 1) + (sig & 1), u));
  const bool negative = (ah & iq_sign_bit) != 0;
  const iq_num w1 = iq_unpack(al);
  const iq_num w2 = iq_unpack(bl);
  if (std::max(w1.field, w2.field) > fx + p - 113) return false;
  iq_s128 t = static_cast<iq_s128>(rest - iq_high_multiple(up, u)) + iq_frame_word(w1, fx, negative);
  if (iq_frame_round_signed(t) < 2) return false;
  t += iq_frame_word(w2, fx, negative);
  if (iq_frame_round_signed(t) < 2) return false;
  // hi = s + t rounded at s's ulp while s + t stays in s's binade (a carry
  // to the next one packs as such): k = floor(t / ulp) and n = k or k + 1.
  const iq_u128 sig_s = sig + up;
  const iq_u128 k = static_cast<iq_u128>(iq_high_floor(t, u));
  if ((sig_s + k - iq_hidden_bit) >> 112) return false;
  const iq_u128 n = static_cast<iq_u128>(iq_high_floor(t + static_cast<iq_s128>(iq_high_power(u - 1) - 1 + ((sig_s + k) & 1)), u));
  const iq_u128 sign = negative ? iq_sign_bit : 0;
  const iq_s128 lo = t - static_cast<iq_s128>(iq_high_multiple(n, u));
  c.hi = iq_quad(sign | ((static_cast<iq_u128>(fx + p - 1) << 112) + sig_s + n));
  c.lo = lo == 0 ? iq_quad(0) : iq_frame_pack(lo, fx, negative);
  return true;
}

}  // namespace kx
