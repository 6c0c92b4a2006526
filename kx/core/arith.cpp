// Addition, subtraction, multiplication and division of quad pairs, also
// with one binary128 operand. Each routine reads all of its operands before
// it writes its result, so the result may alias an operand.
//
// The formulas are those of arith_reference.cpp, term for term in the same
// order; the sums, differences and products are the integer-register ones of
// quad_integer.h and the quotients those of quad_divide.h, which round as
// the compiler's binary128 does, and each exact product error comes from
// the one integer product of the significands.
#include <quadmath.h>

#include <cstring>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_divide.h>
#include <kx/core/quad_fixed_product.h>
#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_unpacked.h>
#include <kx/core/quad_wide_sum.h>

namespace kx {

__float128 scaled_product_error(__float128 x, __float128 y, __float128 p) {
  const __float128 scaled_p = p * split_scale_down;
  if (exponent_field(x) >= split_limit_exponent_field) {
    return dekker_product_error(x * split_scale_down, y, scaled_p) * split_scale_up;
  }
  return dekker_product_error(x, y * split_scale_down, scaled_p) * split_scale_up;
}

}  // namespace kx

using kx::iq_add;
using kx::iq_add_to_product;
using kx::iq_bits;
using kx::iq_div;
using kx::iq_field_of;
using kx::iq_in_window;
using kx::iq_mul;
using kx::iq_quick_two_sum;
using kx::iq_remainder_of;
using kx::iq_renormalise;
using kx::iq_rounded_product;
using kx::iq_sign_bit;
using kx::iq_sub;
using kx::iq_two_product;
using kx::iq_two_sum_in_window;
using kx::iq_u128;
using kx::iq_in_window_or_zero;
using kx::iq_is_zero;
using kx::iq_num;
using kx::iq_product;
using kx::iq_product_field_in_window;
using kx::iq_sum;
using kx::iq_pack;
using kx::iq_unpack;
using kx::is_finite;
using kx::overflowed_unless_nan;
using kx::quad_halves;

namespace {

// The words of two pairs (a second low word of +0 for a binary128 operand)
// that the unpacked paths take: each in the window or a zero.
[[gnu::always_inline]] inline bool pairs_in_window(iq_u128 ah, iq_u128 bh, iq_u128 al, iq_u128 bl) {
  return iq_in_window_or_zero(ah) && iq_in_window_or_zero(bh) && iq_in_window_or_zero(al) &&
         iq_in_window_or_zero(bl);
}

// kxadd on unpacked words where every word lies in the window or is a
// zero, outside iq_wide_sum's usual case: the two-sum of the high words, the
// low words added to its error one rounding at a time, the quick two-sum.
// For kxsub the caller flips b's signs: a.hi - b.hi is a.hi + (-b.hi) and
// the error of that two-sum is the same word, and t2 - b.lo is t2 + (-b.lo).
[[gnu::always_inline]] inline bool fused_sum(iq_u128 ah, iq_u128 bh, iq_u128 al, iq_u128 bl, kxreal& c) {
  if (!pairs_in_window(ah, bh, al, bl)) return false;
  const iq_num xh = iq_unpack(ah);
  const iq_num yh = iq_unpack(bh);
  const iq_num xl = iq_unpack(al);
  const iq_num yl = iq_unpack(bl);
  if (kx::iq_fixed_tail(xh, yh, xl, yl, c)) [[likely]] return true;
  iq_num s, e;
  kx::iq_two_sum(xh, yh, s, e);
  c = kx::iq_quick_two_sum(s, iq_sum(iq_sum(e, xl), yl));
  return true;
}

// Whether the product of words with bits x and y is worked unpacked: a zero
// factor, or both in the window with their product's field in it.
bool product_in_window_or_zero(iq_u128 x, iq_u128 y) {
  return iq_is_zero(x) || iq_is_zero(y) || iq_product_field_in_window(iq_field_of(x), iq_field_of(y));
}

// The bits of a word in memory, read as integers (not through a vector
// register and the stack).
[[gnu::always_inline]] inline iq_u128 bits_at(const __float128& x) {
  iq_u128 b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// kxmul on unpacked words where every word and every product of two
// nonzero words lies in the window: the terms of the plain formula in its
// order, one pack per word. Out of line: the fixed-point path before it
// takes the usual pairs.
[[gnu::noinline]] bool unpacked_product(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ah = iq_bits(a.hi);
  const iq_u128 bh = iq_bits(b.hi);
  const iq_u128 al = iq_bits(a.lo);
  const iq_u128 bl = iq_bits(b.lo);
  if (!(pairs_in_window(ah, bh, al, bl) && product_in_window_or_zero(ah, bh) && product_in_window_or_zero(ah, bl) &&
        product_in_window_or_zero(bh, al) && product_in_window_or_zero(al, bl))) {
    return false;
  }
  const iq_num xh = iq_unpack(ah);
  const iq_num yh = iq_unpack(bh);
  const iq_num xl = iq_unpack(al);
  const iq_num yl = iq_unpack(bl);
  iq_num c21;
  const iq_num c11 = iq_product<true>(xh, yh, &c21);
  const iq_num c2 = iq_sum(iq_product<false>(xh, yl), iq_product<false>(yh, xl));
  const iq_num c3 = iq_product<false>(xl, yl);
  if (kx::iq_fixed_tail(c11, c2, c21, c3, c)) [[likely]] return true;
  iq_num t1, t2;
  kx::iq_add_to_product(c11, c21, c2, t1, t2);
  c = kx::iq_quick_two_sum(t1, iq_sum(t2, c3));
  return true;
}

// kxmul in fixed point (quad_fixed_product.h) where it holds, else on
// unpacked words.
[[gnu::always_inline]] inline bool fused_product(const kxreal& a, const kxreal& b, kxreal& c) {
  if (kx::iq_fixed_product(bits_at(a.hi), bits_at(a.lo), bits_at(b.hi), bits_at(b.lo), c)) [[likely]] return true;
  return unpacked_product(a, b, c);
}

// kxmuld likewise, for b in the window or a zero.
[[gnu::always_inline]] inline bool fused_product_by_word(const kxreal& a, __float128 b, kxreal& c) {
  const iq_u128 ah = iq_bits(a.hi);
  const iq_u128 al = iq_bits(a.lo);
  const iq_u128 bb = iq_bits(b);
  if (kx::iq_fixed_product_by_word(ah, al, bb, c)) [[likely]] return true;
  if (!(pairs_in_window(ah, bb, al, 0) && product_in_window_or_zero(ah, bb) && product_in_window_or_zero(bb, al))) {
    return false;
  }
  const iq_num y = iq_unpack(bb);
  iq_num c21;
  const iq_num c11 = iq_product<true>(iq_unpack(ah), y, &c21);
  const iq_num c2 = iq_product<false>(y, iq_unpack(al));
  if (kx::iq_fixed_tail(c11, c2, c21, iq_num{0, 0, false}, c)) [[likely]] return true;
  iq_num t1, t2;
  kx::iq_add_to_product(c11, c21, c2, t1, t2);
  c = kx::iq_quick_two_sum(t1, t2);
  return true;
}


// The correction quotient n / b.hi of kxdiv and kxdivd and the closing
// quick two-sum with s1; short_divisor is iq_is_short_divisor(divisor),
// settled once for both quotients by the same word. A quotient outside the
// window (a tiny remainder over a large divisor, or a huge one from an
// unnormalised dividend) is the packed one, which leaves it to the
// compiler, and an overflow there is settled as the routines settle it.
[[gnu::always_inline]] inline kxreal corrected_quotient(const iq_num& s1, const iq_num& n, const iq_num& divisor,
                                                        bool short_divisor) {
  if (n.sig != 0 && !kx::iq_quotient_field_in_window(n.field, divisor.field)) [[unlikely]] {
    const kxreal c = kx::iq_quick_two_sum(iq_pack(s1), kx::iq_div(iq_pack(n), iq_pack(divisor)));
    return is_finite(c.hi) ? c : overflowed_unless_nan(iq_pack(s1), c);
  }
  return kx::iq_quick_two_sum(s1, kx::iq_quotient(n, divisor, short_divisor));
}

// kxdiv on unpacked words where every word is in the window or a zero (b.hi
// in it), and the quotient s1 and its products with b's words in it or
// zeros.
[[gnu::always_inline]] inline bool fused_quotient(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ah = iq_bits(a.hi);
  const iq_u128 bh = iq_bits(b.hi);
  const iq_u128 al = iq_bits(a.lo);
  const iq_u128 bl = iq_bits(b.lo);
  if (!(pairs_in_window(ah, bh, al, bl) && iq_in_window(iq_field_of(bh)) &&
        (iq_is_zero(ah) || kx::iq_quotient_field_in_window(iq_field_of(ah), iq_field_of(bh))))) {
    return false;
  }
  const iq_num xh = iq_unpack(ah);
  const iq_num yh = iq_unpack(bh);
  const iq_num yl = iq_unpack(bl);
  const bool short_divisor = kx::iq_is_short_divisor(yh);
  const iq_num s1 = kx::iq_quotient(xh, yh, short_divisor);
  if (!(kx::iq_product_fits(s1, yh) && kx::iq_product_fits(s1, yl))) return false;
  iq_num c21;
  const iq_num c11 = iq_product<true>(s1, yh, &c21);
  iq_num t1, t2;
  kx::iq_add_to_product(c11, c21, iq_product<false>(s1, yl), t1, t2);
  const iq_num t12 = iq_sum(t1, t2);
  const iq_num t22 = iq_sum(t2, kx::iq_negated(iq_sum(t12, kx::iq_negated(t1))));
  iq_num rh, rl;
  kx::iq_remainder_of(xh, iq_unpack(al), t12, t22, rh, rl);
  c = corrected_quotient(s1, iq_sum(rh, rl), yh, short_divisor);
  return true;
}

// kxdivd likewise, for b in the window.
[[gnu::always_inline]] inline bool fused_quotient_by_word(const kxreal& a, __float128 b, kxreal& c) {
  const iq_u128 ah = iq_bits(a.hi);
  const iq_u128 al = iq_bits(a.lo);
  const iq_u128 bb = iq_bits(b);
  if (!(pairs_in_window(ah, bb, al, 0) && iq_in_window(iq_field_of(bb)) &&
        (iq_is_zero(ah) || kx::iq_quotient_field_in_window(iq_field_of(ah), iq_field_of(bb))))) {
    return false;
  }
  const iq_num xh = iq_unpack(ah);
  const iq_num y = iq_unpack(bb);
  const bool short_divisor = kx::iq_is_short_divisor(y);
  const iq_num t1 = kx::iq_quotient(xh, y, short_divisor);
  if (!kx::iq_product_fits(t1, y)) return false;
  iq_num error;
  const iq_num p = iq_product<true>(t1, y, &error);
  iq_num rh, rl;
  kx::iq_remainder_of(xh, iq_unpack(al), p, error, rh, rl);
  c = corrected_quotient(t1, iq_sum(rh, rl), y, short_divisor);
  return true;
}

// kxadd off its wide path, out of line: the unpacked path, then the old
// tiers, high words in the window with a low word outside it (the first
// three lines of Knuth's two-sum at once, the low words one operation at a
// time), and the written formula.
[[gnu::noinline]] void sum_outside_fused(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ba = iq_bits(a.hi);
  const iq_u128 bb = iq_bits(b.hi);
  if (fused_sum(ba, bb, iq_bits(a.lo), iq_bits(b.lo), c)) return;
  if (iq_in_window(iq_field_of(ba)) && iq_in_window(iq_field_of(bb))) {
    const quad_halves h = iq_two_sum_in_window(ba, bb);
    __float128 t2 = iq_add(h.low, a.lo);
    t2 = iq_add(t2, b.lo);
    c = iq_quick_two_sum(h.high, t2);
    return;
  }
  const __float128 t1 = iq_add(a.hi, b.hi);
  const __float128 e = iq_sub(t1, a.hi);
  __float128 t2 = iq_add(iq_sub(a.hi, iq_sub(t1, e)), iq_sub(b.hi, e));
  t2 = iq_add(t2, a.lo);
  t2 = iq_add(t2, b.lo);
  c = iq_renormalise(t1, t2);
}

// As sum_outside_fused, with the two-sum of a.hi and -b.hi (whose error's
// two terms are added in the other order, the same word).
[[gnu::noinline]] void difference_outside_fused(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ba = iq_bits(a.hi);
  const iq_u128 bb = iq_bits(b.hi);
  if (fused_sum(ba, bb ^ iq_sign_bit, iq_bits(a.lo), iq_bits(b.lo) ^ iq_sign_bit, c)) return;
  if (iq_in_window(iq_field_of(ba)) && iq_in_window(iq_field_of(bb))) {
    const quad_halves h = iq_two_sum_in_window(ba, bb ^ iq_sign_bit);
    __float128 t2 = iq_add(h.low, a.lo);
    t2 = iq_sub(t2, b.lo);
    c = iq_quick_two_sum(h.high, t2);
    return;
  }
  const __float128 t1 = iq_sub(a.hi, b.hi);
  const __float128 e = iq_sub(t1, a.hi);
  __float128 t2 = iq_add(iq_sub(-b.hi, e), iq_sub(a.hi, iq_sub(t1, e)));
  t2 = iq_add(t2, a.lo);
  t2 = iq_sub(t2, b.lo);
  c = iq_renormalise(t1, t2);
}

}  // namespace

void kxadd(const kxreal& a, const kxreal& b, kxreal& c) {
  if (kx::iq_wide_sum(iq_bits(a.hi), iq_bits(b.hi), iq_bits(a.lo), iq_bits(b.lo), c)) [[likely]] return;
  sum_outside_fused(a, b, c);
}

// kxadd with b's signs flipped (see fused_sum).
void kxsub(const kxreal& a, const kxreal& b, kxreal& c) {
  if (kx::iq_wide_sum(iq_bits(a.hi), iq_bits(b.hi) ^ iq_sign_bit, iq_bits(a.lo), iq_bits(b.lo) ^ iq_sign_bit, c))
      [[likely]] {
    return;
  }
  difference_outside_fused(a, b, c);
}

void kxmul(const kxreal& a, const kxreal& b, kxreal& c) {
  if (fused_product(a, b, c)) [[likely]] return;
  const iq_rounded_product c1 = iq_two_product(a.hi, b.hi);
  const __float128 c2 = iq_add(iq_mul(a.hi, b.lo), iq_mul(b.hi, a.lo));
  quad_halves t = iq_add_to_product(c1.p, c1.error, c2);
  t.low = iq_add(t.low, iq_mul(a.lo, b.lo));
  c = iq_quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxmuld(const kxreal& a, __float128 b, kxreal& c) {
  if (fused_product_by_word(a, b, c)) [[likely]] return;
  const iq_rounded_product c1 = iq_two_product(a.hi, b);
  const __float128 c2 = iq_mul(b, a.lo);
  const quad_halves t = iq_add_to_product(c1.p, c1.error, c2);
  c = iq_quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxdiv(const kxreal& a, const kxreal& b, kxreal& c) {
  if (fused_quotient(a, b, c)) [[likely]] return;
  const __float128 s1 = iq_div(a.hi, b.hi);
  const iq_rounded_product c1 = iq_two_product(s1, b.hi);
  const __float128 c2 = iq_mul(s1, b.lo);
  const quad_halves t = iq_add_to_product(c1.p, c1.error, c2);
  const __float128 t12 = iq_add(t.high, t.low);
  const __float128 t22 = iq_sub(t.low, iq_sub(t12, t.high));
  const quad_halves r = iq_remainder_of(a, t12, t22);
  const __float128 s2 = iq_div(iq_add(r.high, r.low), b.hi);
  c = iq_quick_two_sum(s1, s2);
  if (!is_finite(c.hi) && is_finite(b.hi)) [[unlikely]] c = overflowed_unless_nan(s1, c);
}

void kxdivd(const kxreal& a, __float128 b, kxreal& c) {
  if (fused_quotient_by_word(a, b, c)) [[likely]] return;
  const __float128 t1 = iq_div(a.hi, b);
  const iq_rounded_product t = iq_two_product(t1, b);
  const quad_halves r = iq_remainder_of(a, t.p, t.error);
  const __float128 t2 = iq_div(iq_add(r.high, r.low), b);
  c = iq_quick_two_sum(t1, t2);
  if (!is_finite(c.hi) && is_finite(b)) [[unlikely]] c = overflowed_unless_nan(t1, c);
}

// Not renormalised: (a b, error) is already a normalised pair.
void kxmulqq(__float128 a, __float128 b, kxreal& c) {
  const iq_rounded_product p = iq_two_product(a, b);
  c = {p.p, p.error};
}

void kxneg(const kxreal& a, kxreal& b) { b = {-a.hi, -a.lo}; }

void kxeq(const kxreal& a, kxreal& b) { b = a; }
