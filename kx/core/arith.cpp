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

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_divide.h>
#include <kx/core/quad_integer.h>

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
using kx::is_finite;
using kx::overflowed_unless_nan;
using kx::quad_halves;

// With both high words in the window, the first three lines are Knuth's
// two-sum, done at once in integers (its error is exact, +0 when none); the
// two additions of the low words stay separate and in order.
void kxadd(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ba = iq_bits(a.hi);
  const iq_u128 bb = iq_bits(b.hi);
  if (iq_in_window(iq_field_of(ba)) && iq_in_window(iq_field_of(bb))) [[likely]] {
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

// As kxadd, with the two-sum of a.hi and -b.hi (whose error's two terms
// are added in the other order, the same word).
void kxsub(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_u128 ba = iq_bits(a.hi);
  const iq_u128 bb = iq_bits(b.hi);
  if (iq_in_window(iq_field_of(ba)) && iq_in_window(iq_field_of(bb))) [[likely]] {
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

void kxmul(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq_rounded_product c1 = iq_two_product(a.hi, b.hi);
  const __float128 c2 = iq_add(iq_mul(a.hi, b.lo), iq_mul(b.hi, a.lo));
  quad_halves t = iq_add_to_product(c1.p, c1.error, c2);
  t.low = iq_add(t.low, iq_mul(a.lo, b.lo));
  c = iq_quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxmuld(const kxreal& a, __float128 b, kxreal& c) {
  const iq_rounded_product c1 = iq_two_product(a.hi, b);
  const __float128 c2 = iq_mul(b, a.lo);
  const quad_halves t = iq_add_to_product(c1.p, c1.error, c2);
  c = iq_quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxdiv(const kxreal& a, const kxreal& b, kxreal& c) {
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
