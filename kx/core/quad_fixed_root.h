// kxsqrt's Newton correction in one fixed-point register: the remainder,
// the correction t3 and the closing two-sum from integer products with
// fixed-position roundings, as quad_fixed_product.h does for kxmul.
#pragma once

#include <kx/core/quad_divide.h>
#include <kx/core/quad_fixed_product.h>
#include <kx/core/quad_fixed_sum.h>

namespace kx {

/// The words of kxsqrt's Newton correction (t1 = 1/sqrt(a.hi), t2 = a.hi
/// t1, the remainder a - t2^2 by remainder_of, t3 = RN(RN(r 0.5) t1),
/// kxadd of (t2, 0) and (t3, 0)) for a positive a.hi in the window and a.lo
/// zero or 113 or more binades below it, given as bits; false where the
/// argument beside a step does not hold. t2 is within 2^-110 of sqrt(a.hi)
/// relatively, so c11 = RN(t2^2) lies within a few ulps of a.hi: a.hi - c11
/// is exact (Sterbenz) and its two-sum's error +0. The remainder's terms
/// are worked in units u of 2^-120 of c11's ulp, where a.hi - c11 and c21
/// are exact and even and a.lo exact or rounded to odd; t3 and the two-sum
/// with t2 in t2's frame of quad_fixed_product.h.
[[gnu::always_inline]] inline bool iq_fixed_sqrt(iq_u128 ah, iq_u128 al, kxreal& b) {
  const int fx = iq_field_of(ah);
  const iq_num lo = iq_unpack(al);
  if (!(iq_in_window(fx) && (ah >> 127) == 0 && iq_in_window_or_zero(al) && (lo.sig == 0 || lo.field <= fx - 113))) {
    return false;
  }
  const iq_num x = iq_unpack(ah);
  const iq_num t1 = iq_quotient({iq_hidden_bit, iq_bias, false}, iq_root(x));
  const iq_framed_product p2 = iq_frame_product(x.sig, t1.sig);
  if (p2.q >> 113) return false;
  const int f2 = fx + t1.field - iq_bias + p2.top;
  const iq_framed_product p11 = iq_frame_product(p2.q, p2.q);
  const int f11 = 2 * f2 - iq_bias + p11.top;
  // a.hi - c11 in halves of c11's ulp; below 2^4 of them it is 2^119 u each.
  const int shift = fx - f11 + 1;
  if (static_cast<unsigned>(shift) > 2) return false;
  const auto halves = static_cast<iq_s128>((x.sig << shift) - (p11.q << 1));
  if (halves >= 16 || halves <= -16) return false;
  // rl = RN(a.lo - c21): c21 from 2^-124 of c11's ulp to u exactly (a
  // multiple of 2^11 there); a.lo's frame word is exact down to 120 binades
  // below c11's ulp, and rounded to odd below, where the rounding must fall
  // 2 or more bits up.
  iq_s128 rl = iq_frame_word(lo, f11 + 4, false) - (p11.error >> 4);
  const bool exact = lo.sig == 0 || lo.field >= f11 - 120;
  if (iq_frame_round_signed(rl) < 2 && !exact) return false;
  iq_s128 r = rl + halves * (iq_s128(1) << 119);
  iq_frame_round_signed(r);
  if (r == 0) {  // t3 = +0, and kxadd(t2, +0) is (t2, +0)
    b = {iq_pack({p2.q, f2, false}), iq_quad(0)};
    return true;
  }
  // t3 = RN((r / 2) t1) with r = m 2^(top - 112) u: q3 2^k3 units of t2's frame.
  const bool negative = r < 0;
  const iq_u128 m = negative ? -static_cast<iq_u128>(r) : static_cast<iq_u128>(r);
  const int top = iq_top_bit(m);
  const iq_framed_product p3 = iq_frame_product(top >= 112 ? m >> (top - 112) : m << (112 - top), t1.sig);
  const int k3 = p3.top + top + f11 + t1.field - f2 - iq_bias - 109;
  if (static_cast<unsigned>(k3) > 13) return false;
  const auto t3 = static_cast<iq_s128>(p3.q << k3);
  iq_u128 sig = p2.q;
  iq_s128 t = negative ? -t3 : t3;
  if (!iq_frame_two_sum(sig, t)) return false;
  b = {iq_pack({sig, f2, false}), t == 0 ? iq_quad(0) : iq_frame_pack(t, f2, false)};
  return true;
}

}  // namespace kx
