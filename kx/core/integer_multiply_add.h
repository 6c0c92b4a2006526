// a + m x and a - m x for a multiplier m that holds a small integer, with
// the words of a + (m * x) and a - (m * x) (kxmul, then kxadd or kxsub),
// worked in integer registers in one pass. Each kernel declines (returns
// false, c untouched) where its argument does not hold; the caller then
// takes the two routines.
#pragma once

#include <kx/core/core.h>
#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_unpacked.h>

namespace kx {

/// The value of a word that is a zero (v = 0) or an integer below 2^bits in
/// magnitude (bits <= 64); false for any other word.
[[gnu::always_inline]] inline bool iq_word_as_integer(iq_u128 b, int bits, iq_s128& v) {
  if (iq_is_zero(b)) {
    v = 0;
    return true;
  }
  const int e = iq_field_of(b) - iq_bias;  // |b| in [2^e, 2^(e+1))
  if (static_cast<unsigned>(e) >= static_cast<unsigned>(bits)) return false;
  const iq_u128 sig = iq_significand(b);
  const int fraction_bits = 112 - e;
  if ((sig & ((iq_u128(1) << fraction_bits) - 1)) != 0) return false;
  const iq_s128 magnitude = static_cast<iq_s128>(sig >> fraction_bits);
  v = (b & iq_sign_bit) != 0 ? -magnitude : magnitude;
  return true;
}

/// The word of an integer |v| < 2^113, +0 for zero.
[[gnu::always_inline]] inline __float128 iq_word_of_integer(iq_s128 v) {
  if (v == 0) return iq_quad(0);
  const bool negative = v < 0;
  const iq_u128 m = negative ? -static_cast<iq_u128>(v) : static_cast<iq_u128>(v);
  const int t = iq_top_bit(m);
  return iq_pack({m << (112 - t), iq_bias + t, negative});
}

/// hi + lo rounds to hi, for hi in the window and lo in it or a zero, from
/// the bits alone. With q a quarter of hi's ulp: below q (a gap of 115
/// binades or more) it does; from hi's ulp on it does not. In [q, 2q) it
/// does, unless hi is a power of two and lo of the other sign, where the
/// ulp below is 2q: then only q itself, a tie that goes to hi's even
/// significand. In [2q, 4q) only 2q itself, as a tie to an even hi that is
/// not such a power of two (whose neighbour below is hi - 2q, exact).
[[gnu::always_inline]] inline bool iq_rounds_to_high_word(iq_u128 bh, iq_u128 bl) {
  if (iq_is_zero(bl)) return true;
  const int gap = iq_field_of(bh) - iq_field_of(bl);
  if (gap >= 115) return true;
  if (gap <= 112) return false;
  const bool power_below = (bh & iq_fraction_mask) == 0 && ((bh ^ bl) & iq_sign_bit) != 0;
  const bool lo_power = (bl & iq_fraction_mask) == 0;
  if (gap == 114) return !power_below || lo_power;
  return lo_power && !power_below && (bh & 1) == 0;
}

/// a + s m x (s = +-1) when a, m and x are integers: every low word a zero
/// of either sign, |m.hi| < 2^32 and |x.hi|, |a.hi| < 2^64 integers or zeros.
/// The result is (a.hi + s m.hi x.hi, +0), its high word +0 when zero.
///
/// Why: m.hi x.hi (< 2^96) is exact, so kxmul's error term is +0 and its
/// cross terms and the low product are zeros, which the two-sum's error
/// (+0, or exactly +0 + zero) absorbs: m x = (m.hi x.hi, +0), or (+0, +0)
/// when that product is a zero. kxadd (kxsub) of that to a then has an exact
/// high-word sum (< 2^97), +0 as the exact sum of equal terms and as its
/// two-sum error (A - A, +0 + zero = +0), so the low words, zeros, give +0;
/// an exact cancellation of the high words gives +0 too, and the closing
/// quick two-sum (t, +0) is (t + 0, +0), with -0 + +0 = +0.
[[gnu::always_inline]] inline bool integer_multiply_add_exact(const kxreal& a, const kxreal& m, const kxreal& x,
                                                             bool subtract, kxreal& c) {
  if (!(iq_is_zero(iq_bits(m.lo)) && iq_is_zero(iq_bits(x.lo)) && iq_is_zero(iq_bits(a.lo)))) return false;
  iq_s128 mv, xv, av;
  if (!(iq_word_as_integer(iq_bits(m.hi), 32, mv) && iq_word_as_integer(iq_bits(x.hi), 64, xv) &&
        iq_word_as_integer(iq_bits(a.hi), 64, av))) {
    return false;
  }
  const iq_s128 p = mv * xv;
  c = {iq_word_of_integer(subtract ? av - p : av + p), iq_quad(0)};
  return true;
}

/// a + s m x (s = +-1) for m = (integer below 2^32 in magnitude, nonzero,
/// zero low word of either sign), x.hi nonzero, and every word of a and x
/// and every product of m.hi with a word of x in the integer window or a
/// zero: the product's terms are worked from the short integer product of
/// m.hi with each word of x (for m = +-1 and a normalised x, x's words
/// themselves), and the sum's terms from the product's words unpacked.
bool integer_multiply_add_fused(const kxreal& a, const kxreal& m, const kxreal& x, bool subtract, kxreal& c);

/// a + s m x by whichever kernel applies; false when neither does.
[[gnu::always_inline]] inline bool integer_multiply_add(const kxreal& a, const kxreal& m, const kxreal& x,
                                                       bool subtract, kxreal& c) {
  return integer_multiply_add_exact(a, m, x, subtract, c) || integer_multiply_add_fused(a, m, x, subtract, c);
}

}  // namespace kx
