// kxmul and kxmuld in one fixed-point register. The written sequence is
//   c11 = RN(xh yh), c21 its exact error, c2 = RN(RN(xh yl) + RN(yh xl)),
//   (s, e) = two-sum(c11, c2), t = RN(RN(c21 + e) + RN(xl yl)),
//   (hi, lo) = quick-two-sum(s, t)
// (kxmuld, for a word y: c2 = RN(y xl) and no low product). For pairs whose low
// words lie 113 to 122 binades below their high words every term is
// worked in a signed 128-bit integer whose unit is 2^-124 of c11's ulp, the
// products from their integer products with fixed-position roundings; the
// routines here decline (return false, c untouched) wherever the argument
// beside each step does not hold, and the caller takes the written path.
#pragma once

#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_unpacked.h>

namespace kx {

using iq_s64 = std::int64_t;

/// A product of two 113-bit significands rounded to 113 bits, nearest even:
/// q in [2^112, 2^113] (2^113 when the rounding carries), the exact error
/// P - RN(P) in units of 2^-124 of the rounded product's ulp (|error| <=
/// 2^123), and the product's top bit less 224 (0 or 1). With P's 64-bit
/// limbs w3..w0, the rounding falls at bit 48 + top of w1.
struct iq_framed_product {
  iq_u128 q;
  iq_s128 error;
  int top;
};

[[gnu::always_inline]] inline iq_framed_product iq_frame_product(iq_u128 x, iq_u128 y) {
  const iq_wide w = iq_multiply(x, y);
  const auto w3 = static_cast<iq_u64>(w.high >> 64);
  const auto w2 = static_cast<iq_u64>(w.high);
  const auto w1 = static_cast<iq_u64>(w.low >> 64);
  const auto w0 = static_cast<iq_u64>(w.low);
  const int top = static_cast<int>(w3 >> 33);
  const int s = 48 + top;
  const iq_u64 q1 = (w3 << (64 - s)) | (w2 >> s);
  const iq_u64 q0 = (w2 << (64 - s)) | (w1 >> s);
  const iq_u64 rest = w1 & ((iq_u64(1) << s) - 1);
  // Above half, or half with bits below it, or a tie with q odd.
  const bool up = rest + ((w0 != 0) | (q0 & 1)) > (iq_u64(1) << (s - 1));
  const iq_u128 q = ((static_cast<iq_u128>(q1) << 64) | q0) + up;
  const auto error_high = static_cast<iq_s64>(rest - (static_cast<iq_u64>(up) << s));
  const iq_s128 error = ((static_cast<iq_s128>(error_high) << 64) | w0) << (12 - top);
  return {q, error, top};
}

/// Knuth's two-sum of s = sig ulps and t in s's frame (|t| <= 2^126), while
/// the sum stays in s's binade: the exact sum is (sig + k) 2^124 + r with
/// 0 <= r < 2^124, and it rounds at s's ulp to sig + k' (k' = k or k + 1,
/// ties to even); the error t - k' 2^124 is exact. false when the sum falls
/// below 2^112 ulps or rounds to 2^113, where its ulp changes.
[[gnu::always_inline]] inline bool iq_frame_two_sum(iq_u128& sig, iq_s128& t) {
  const auto high = static_cast<iq_s64>(t >> 64);
  const iq_s64 k = high >> 60;
  const iq_u64 odd = (static_cast<iq_u64>(sig) + static_cast<iq_u64>(k)) & 1;
  // floor((t + 2^123 - 1 + odd) / 2^124) from the high limb: the low
  // limb's carry of 2^64 - 1 is its being nonzero.
  const iq_s64 rounded = (high + (iq_s64(1) << 59) - static_cast<iq_s64>(odd == 0 && static_cast<iq_u64>(t) == 0)) >> 60;
  const iq_u128 floor_sum = sig + static_cast<iq_u128>(static_cast<iq_s128>(k));
  const iq_u128 sum = sig + static_cast<iq_u128>(static_cast<iq_s128>(rounded));
  if (floor_sum < iq_hidden_bit || sum >= (iq_hidden_bit << 1)) return false;
  sig = sum;
  t -= static_cast<iq_s128>(rounded) << iq_frame_shift;
  return true;
}

/// RN(x y) for the significands x and y of two low words, x y a product
/// of 225 or 226 bits, in a frame whose unit is 2^l of its own (l >= 214),
/// rounded to odd at the unit: the top 64 bits of each factor give A with
/// x y in [A 2^98, A 2^98 + 2^164), so that the floor and the sticky bit of
/// RN(x y) (within 2^112 of x y) are A's unless A's bits below l - 98 lie
/// within 2^67 of a multiple: false there. As l - 98 >= 116, that is read
/// from A's high limb: its bits below l - 162 are at least 8 and at most
/// 2^(l - 162) - 9.
[[gnu::always_inline]] inline bool iq_frame_small_product(iq_u128 x, iq_u128 y, int l, iq_u128& v) {
  const auto high = static_cast<iq_u64>(
      (static_cast<iq_u128>(static_cast<iq_u64>(x >> 49)) * static_cast<iq_u64>(y >> 49)) >> 64);
  const int shift = l - 162;
  if (shift > 64) {  // x y < 2^226 <= 2^l: below one unit
    v = 1;
    return true;
  }
  const iq_u64 mask = shift == 64 ? ~iq_u64(0) : (iq_u64(1) << shift) - 1;
  if ((high & mask) < 8 || (~high & mask) < 8) return false;
  v = shift == 64 ? 1 : (high >> shift) | 1;
  return true;
}

/// Whether a product of a pair (field fh, low word g binades below) and a
/// word or pair (field fy, low word gy binades below, or none) is framed:
/// the high words and their product's field in the window, each low word
/// 113 to 122 binades below its high word, so that every term is normal
/// and, in the frame, below 2^127 with c2 exact and even.
inline bool iq_framed_fields(int fx, int gx, int fy, int gy) {
  return iq_in_window(fx) && iq_in_window(fy) && iq_product_field_in_window(fx, fy) &&
         static_cast<unsigned>(gx - 113) <= 9 && static_cast<unsigned>(gy - 113) <= 9;
}

/// A cross product of a high and a low significand, the low word g binades
/// below its high word, rounded at its own ulp, in c11's frame: q 2^(124 -
/// g + top - h.top) units: g <= 122 shifts it by 1 or more (even), g >= 113 keeps it at
/// most 2^125; negated when flip.
[[gnu::always_inline]] inline iq_s128 iq_frame_cross(iq_u128 m, iq_u128 ml, int g, bool flip, int h_top) {
  const iq_framed_product p = iq_frame_product(m, ml);
  const auto v = static_cast<iq_s128>(p.q << (124 - g + p.top - h_top));
  return flip ? -v : v;
}

/// The end of kxmul and kxmuld from c11 = h, c2 and the low
/// product (0 for none, or rounded to odd) in c11's frame: (s, e) =
/// two-sum(c11, c2), t = RN(RN(c21 + e) + low), quick-two-sum(s, t). e
/// and c21 are exact and even, so RN(c21 + e) is exact and even, and with
/// the low product rounded to odd its sum rounds 2 or more bits up as the
/// exact one does; t < 2^125 lies below s, whose quick two-sum is Knuth's.
[[gnu::always_inline]] inline bool iq_frame_product_tail(const iq_framed_product& h, iq_s128 c2, iq_s128 low,
                                                         int field, bool negative, kxreal& c) {
  iq_u128 sig = h.q;
  if (!iq_frame_two_sum(sig, c2)) return false;
  iq_s128 t = c2 + h.error;
  iq_frame_round_signed(t);
  if (low != 0) {
    t += low;
    if (iq_frame_round_signed(t) < 2) return false;
  }
  if (!iq_frame_two_sum(sig, t)) return false;
  c.hi = iq_pack({sig, field, negative});
  c.lo = t == 0 ? iq_quad(0) : iq_frame_pack(t, field, negative);
  return true;
}

/// The words of kxmul for pairs (xh, xl) and (yh, yl) given as bits, or
/// false. A square's cross
/// products are one, and c2 = RN(2 p) = 2 p exactly.
[[gnu::always_inline]] inline bool iq_fixed_product(iq_u128 xh, iq_u128 xl, iq_u128 yh, iq_u128 yl, kxreal& c) {
  const int fx = iq_field_of(xh);
  const int fy = iq_field_of(yh);
  const int gx = fx - iq_field_of(xl);
  const int gy = fy - iq_field_of(yl);
  if (!iq_framed_fields(fx, gx, fy, gy)) return false;
  const iq_u128 mx = iq_significand(xh);
  const iq_u128 my = iq_significand(yh);
  const iq_u128 mxl = iq_significand(xl);
  const iq_u128 myl = iq_significand(yl);
  const iq_framed_product h = iq_frame_product(mx, my);
  // Signs relative to c11's.
  const bool flip_x = ((xh ^ xl) >> 127) != 0;
  const bool flip_y = ((yh ^ yl) >> 127) != 0;
  iq_s128 c2 = iq_frame_cross(mx, myl, gy, flip_y, h.top);
  if (xh == yh && xl == yl) {
    c2 *= 2;
  } else {
    c2 += iq_frame_cross(my, mxl, gx, flip_x, h.top);
    iq_frame_round_signed(c2);
  }
  // RN(xl yl) is that product's integer 2^-(gx + gy + h.top - 12) units.
  iq_u128 low;
  if (!iq_frame_small_product(mxl, myl, gx + gy + h.top - 12, low)) return false;
  return iq_frame_product_tail(h, c2, flip_x != flip_y ? -static_cast<iq_s128>(low) : static_cast<iq_s128>(low),
                               fx + fy - iq_bias + h.top, ((xh ^ yh) >> 127) != 0, c);
}

/// The words of kxmuld for a pair (xh, xl) and a word y given as bits, or
/// false: c2 is the one cross product y xl, and there is no low product.
[[gnu::always_inline]] inline bool iq_fixed_product_by_word(iq_u128 xh, iq_u128 xl, iq_u128 y, kxreal& c) {
  const int fx = iq_field_of(xh);
  const int fy = iq_field_of(y);
  const int gx = fx - iq_field_of(xl);
  if (!iq_framed_fields(fx, gx, fy, 113)) return false;
  const iq_u128 my = iq_significand(y);
  const iq_framed_product h = iq_frame_product(iq_significand(xh), my);
  const iq_s128 c2 = iq_frame_cross(my, iq_significand(xl), gx, ((xh ^ xl) >> 127) != 0, h.top);
  return iq_frame_product_tail(h, c2, 0, fx + fy - iq_bias + h.top, ((xh ^ y) >> 127) != 0, c);
}

}  // namespace kx
