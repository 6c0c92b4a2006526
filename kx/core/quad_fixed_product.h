// kxmul and kxmuld in one fixed-point register. The written sequence is
//   c11 = RN(xh yh), c21 its exact error, c2 = RN(RN(xh yl) + RN(yh xl)),
//   (s, e) = two-sum(c11, c2), t = RN(RN(c21 + e) + RN(xl yl)),
//   (hi, lo) = quick-two-sum(s, t)
// (kxmuld: yl = 0, no cross product yh xl and no xl yl). For pairs whose low
// words lie 113 to 122 binades below their high words every term is
// worked in a signed 128-bit integer whose unit is 2^-124 of c11's ulp, the
// products from their integer products with fixed-position roundings; the
// routines here decline (return false, c untouched) wherever the argument
// beside each step does not hold, and the caller takes the written path.
#pragma once

#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_unpacked.h>

namespace kx {

/// A product of two 113-bit significands rounded to 113 bits, nearest even:
/// q in [2^112, 2^113] (2^113 when the rounding carries), the exact error
/// P - RN(P) in units of 2^-124 of the rounded product's ulp (|error| <=
/// 2^123), and the product's top bit less 224 (0 or 1).
struct iq_framed_product {
  iq_u128 q;
  iq_s128 error;
  int top;
};

[[gnu::always_inline]] inline iq_framed_product iq_frame_product(iq_u128 x, iq_u128 y) {
  iq_wide w = iq_multiply(x, y);
  const int top = static_cast<int>(w.high >> 97);
  // A 225-bit product is doubled, so that its top bit is bit 225 and the
  // ulp of the rounding 2^113 either way.
  const iq_u128 doubled = top != 0 ? 0 : ~iq_u128(0);
  w.high += (w.high & doubled) + ((w.low >> 127) & doubled);
  w.low += w.low & doubled;
  constexpr iq_u128 ulp = iq_u128(1) << 113;
  iq_u128 q = (w.high << 15) | (w.low >> 113);
  const iq_u128 rest = w.low & (ulp - 1);
  const bool up = rest + (q & 1) > (ulp >> 1);  // above half, or a tie with q odd
  q += up;
  const iq_s128 error = (static_cast<iq_s128>(rest) - (up ? static_cast<iq_s128>(ulp) : 0)) * 2048;
  return {q, error, top};
}

/// v rounded to 113 significant bits, nearest even, for an exact v with
/// |v| < 2^127: its top bit at most 126 leaves at most 14 bits to drop.
[[gnu::always_inline]] inline void iq_frame_round_exact(iq_s128& v) {
  const bool negative = v < 0;
  const iq_u128 m = negative ? -static_cast<iq_u128>(v) : static_cast<iq_u128>(v);
  const iq_u64 high = static_cast<iq_u64>(m >> 64);
  if ((high >> 49) == 0) return;  // at most 113 bits: exact
  const int drop = 15 - __builtin_clzll(high);
  const iq_u64 low = static_cast<iq_u64>(m);
  const iq_u64 rest = low & ((iq_u64(1) << drop) - 1);
  const bool up = rest + ((low >> drop) & 1) > (iq_u64(1) << (drop - 1));
  const iq_u128 r = m - rest + (static_cast<iq_u128>(up) << drop);
  v = negative ? -static_cast<iq_s128>(r) : static_cast<iq_s128>(r);
}

/// Knuth's two-sum of s = sig ulps and t in s's frame (|t| < 2^126), while
/// the sum stays in s's binade: the exact sum is (sig + k) 2^124 + r with
/// 0 <= r < 2^124, and it rounds at s's ulp to sig + k or sig + k + 1
/// (ties to even); the error t - k' 2^124 is exact. false when the sum falls
/// below 2^112 ulps or rounds to 2^113, where its ulp changes.
[[gnu::always_inline]] inline bool iq_frame_two_sum(iq_u128& sig, iq_s128& t) {
  const iq_s128 k = t >> iq_frame_shift;
  const iq_u128 r = static_cast<iq_u128>(t) & ((iq_u128(1) << iq_frame_shift) - 1);
  const iq_u128 sum = sig + static_cast<iq_u128>(k);
  if (sum < iq_hidden_bit || sum > (iq_hidden_bit << 1) - 2) return false;
  const bool up = r + (sum & 1) > (iq_u128(1) << (iq_frame_shift - 1));
  sig = sum + up;
  t -= (k + up) << iq_frame_shift;
  return true;
}

/// RN(x y) for the significands x and y of two low words, x y a product
/// of 225 or 226 bits, in a frame whose unit is 2^l of its own (l >= 214),
/// rounded to odd at the unit: the top 64 bits of each
/// factor give A with x y in [A 2^98, A 2^98 + 2^164), so that the floor and
/// the sticky bit of RN(x y) (within 2^112 of x y) are A's unless A's bits
/// below l - 98 lie within 2^67 of a multiple: false there.
[[gnu::always_inline]] inline bool iq_frame_small_product(iq_u128 x, iq_u128 y, int l, iq_u128& v) {
  const iq_u128 a = static_cast<iq_u128>(static_cast<iq_u64>(x >> 49)) * static_cast<iq_u64>(y >> 49);
  const int shift = l - 98;
  constexpr iq_u128 margin = iq_u128(1) << 67;
  if (shift >= 128) {
    if (shift == 128 && a > -margin) return false;
    v = 1;
    return true;
  }
  const iq_u128 mask = (iq_u128(1) << shift) - 1;
  const iq_u128 below = a & mask;
  if (below < margin || mask - below < margin) return false;
  v = (a >> shift) | 1;
  return true;
}

/// The words of kxmul for pairs (xh, xl) and (yh, yl) given as bits, or
/// false. Conditions: the high words and their product's field in the
/// window, each low word 113 to 122 binades below its high word (so that
/// every term is normal and, in the frame, below 2^127 with c2 exact and
/// even); c11 not carried into the next binade.
[[gnu::always_inline]] inline bool iq_fixed_product(iq_u128 xh, iq_u128 xl, iq_u128 yh, iq_u128 yl, kxreal& c) {
  const int fxh = iq_field_of(xh);
  const int fyh = iq_field_of(yh);
  const int gx = fxh - iq_field_of(xl);
  const int gy = fyh - iq_field_of(yl);
  if (!(iq_in_window(fxh) && iq_in_window(fyh) && iq_product_field_in_window(fxh, fyh) &&
        static_cast<unsigned>(gx - 113) <= 9 && static_cast<unsigned>(gy - 113) <= 9)) {
    return false;
  }
  const iq_u128 mx = iq_significand(xh);
  const iq_u128 my = iq_significand(yh);
  const iq_u128 mxl = iq_significand(xl);
  const iq_u128 myl = iq_significand(yl);
  const iq_framed_product h = iq_frame_product(mx, my);
  if (h.q >> 113) return false;
  // Signs are taken relative to c11's. A cross product rounded at its own
  // ulp is q 2^(124 - g + top - h.top) units: g <= 122 makes the shift at
  // least 1 (even), g >= 113 keeps |p| <= 2^125.
  const auto cross = [&h](iq_u128 m, iq_u128 ml, int g, bool flip) {
    const iq_framed_product p = iq_frame_product(m, ml);
    const iq_s128 v = static_cast<iq_s128>(p.q << (124 - g + p.top - h.top));
    return flip ? -v : v;
  };
  const bool flip_x = ((xh ^ xl) >> 127) != 0;
  const bool flip_y = ((yh ^ yl) >> 127) != 0;
  iq_s128 c2;
  iq_u128 small;
  if (xh == yh && xl == yl) {  // a square: the cross products are one, c2 = 2 p exactly
    c2 = 2 * cross(mx, myl, gy, flip_y);
  } else {
    c2 = cross(mx, myl, gy, flip_y) + cross(my, mxl, gx, flip_x);
    iq_frame_round_exact(c2);
  }
  // RN(xl yl) is that product's integer 2^-(gx + gy + h.top - 12) units.
  if (!iq_frame_small_product(mxl, myl, gx + gy + h.top - 12, small)) return false;
  iq_u128 sig = h.q;
  if (!iq_frame_two_sum(sig, c2)) return false;
  iq_s128 t = c2 + h.error;
  iq_frame_round_exact(t);
  t += flip_x != flip_y ? -static_cast<iq_s128>(small) : static_cast<iq_s128>(small);
  if (!iq_frame_round(t) || !iq_frame_two_sum(sig, t)) return false;
  const int field = fxh + fyh - iq_bias + h.top;
  const bool negative = ((xh ^ yh) >> 127) != 0;
  c.hi = iq_pack({sig, field, negative});
  c.lo = t == 0 ? iq_quad(0) : iq_frame_pack(t, field, negative);
  return true;
}

}  // namespace kx
