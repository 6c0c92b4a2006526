// kxadd's whole formula in its usual case, straight from the packed words:
// the two-sum of the high words read off their exact sum in two 128-bit
// halves, then the fixed-point tail of quad_fixed_sum.h. iq_wide_sum
// declines (returns false, c untouched) outside that case, and the caller
// takes the general unpacked path.
#pragma once

#include <utility>

#include <kx/core/quad_fixed_sum.h>

namespace kx {

/// A low word for the fixed-point frame: a subnormal keeps its fraction as
/// its significand, which lies far below the frame's unit (the frame of an
/// in-window sum has its unit above 2^-16364) and so enters as a sticky bit.
[[gnu::always_inline]] inline iq_num iq_unpack_low(iq_u128 b) {
  const int field = iq_field_of(b);
  return {(b & iq_fraction_mask) | (field != 0 ? iq_hidden_bit : 0), field, (b & iq_sign_bit) != 0};
}

/// quick-two-sum(s, ((e + al) + bl)) with (s, e) = two-sum(ah, bh), every
/// operation rounded to nearest even in that order, from the words' bits;
/// taken when the larger high word x lies in the window, the smaller y is
/// at most 122 binades below it and s stays within a binade of x.
///
/// Why these are the written s and e: x + y = h 2^128 + l in units of 2^-128
/// of x's ulp is exact, as y's ulp is 2^(128-d) >= 2^6 units. With p the
/// binade of s against x's (-1, 0 or 1), s is its top 113 bits rounded to
/// nearest even and e = x + y - s the rest, which in s's frame (unit 2^-124
/// of s's ulp) is r or r - 2^124, a multiple of 2 units; a carry of the
/// rounding out of s's binade would change the frame and declines.
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
  const int k = p + 4;  // r = bits k to k + 123 of h:l
  const iq_u128 sig = ((h << 1) | (l >> 127)) >> (p + 1);
  const iq_u128 r = ((l >> k) | (h << (128 - k))) & ((iq_u128(1) << iq_frame_shift) - 1);
  const iq_u128 half = iq_u128(1) << (iq_frame_shift - 1);
  const bool up = r > half || (r == half && (sig & 1));
  if ((sig + up) >> 113) return false;
  const iq_s128 e = static_cast<iq_s128>(r) - (static_cast<iq_s128>(up) << iq_frame_shift);
  const iq_num s = {sig + up, fx + p, (ah & iq_sign_bit) != 0};
  return iq_fixed_tail_of_error(s, e, iq_unpack_low(al), iq_unpack_low(bl), c);
}

}  // namespace kx
