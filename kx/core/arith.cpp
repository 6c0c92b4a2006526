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

namespace iq = kx::iq;
using kx::is_finite;
using kx::overflowed_unless_nan;
using kx::quad_halves;

// With both high words in the window, the first three lines are Knuth's
// two-sum, done at once in integers (its error is exact, +0 when none); the
// two additions of the low words stay separate and in order.
void kxadd(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq::u128 ba = iq::bits(a.hi);
  const iq::u128 bb = iq::bits(b.hi);
  if (iq::in_window(iq::field_of(ba)) && iq::in_window(iq::field_of(bb))) [[likely]] {
    const quad_halves h = iq::two_sum_in_window(ba, bb);
    __float128 t2 = iq::add(h.low, a.lo);
    t2 = iq::add(t2, b.lo);
    c = iq::quick_two_sum(h.high, t2);
    return;
  }
  const __float128 t1 = iq::add(a.hi, b.hi);
  const __float128 e = iq::sub(t1, a.hi);
  __float128 t2 = iq::add(iq::sub(a.hi, iq::sub(t1, e)), iq::sub(b.hi, e));
  t2 = iq::add(t2, a.lo);
  t2 = iq::add(t2, b.lo);
  c = iq::renormalise(t1, t2);
}

// As kxadd, with the two-sum of a.hi and -b.hi (whose error's two terms
// are added in the other order, the same word).
void kxsub(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq::u128 ba = iq::bits(a.hi);
  const iq::u128 bb = iq::bits(b.hi);
  if (iq::in_window(iq::field_of(ba)) && iq::in_window(iq::field_of(bb))) [[likely]] {
    const quad_halves h = iq::two_sum_in_window(ba, bb ^ iq::sign_bit);
    __float128 t2 = iq::add(h.low, a.lo);
    t2 = iq::sub(t2, b.lo);
    c = iq::quick_two_sum(h.high, t2);
    return;
  }
  const __float128 t1 = iq::sub(a.hi, b.hi);
  const __float128 e = iq::sub(t1, a.hi);
  __float128 t2 = iq::add(iq::sub(-b.hi, e), iq::sub(a.hi, iq::sub(t1, e)));
  t2 = iq::add(t2, a.lo);
  t2 = iq::sub(t2, b.lo);
  c = iq::renormalise(t1, t2);
}

void kxmul(const kxreal& a, const kxreal& b, kxreal& c) {
  const iq::rounded_product c1 = iq::two_product(a.hi, b.hi);
  const __float128 c2 = iq::add(iq::mul(a.hi, b.lo), iq::mul(b.hi, a.lo));
  quad_halves t = iq::add_to_product(c1.p, c1.error, c2);
  t.low = iq::add(t.low, iq::mul(a.lo, b.lo));
  c = iq::quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxmuld(const kxreal& a, __float128 b, kxreal& c) {
  const iq::rounded_product c1 = iq::two_product(a.hi, b);
  const __float128 c2 = iq::mul(b, a.lo);
  const quad_halves t = iq::add_to_product(c1.p, c1.error, c2);
  c = iq::quick_two_sum(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c1.p, c);
}

void kxdiv(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 s1 = iq::div(a.hi, b.hi);
  const iq::rounded_product c1 = iq::two_product(s1, b.hi);
  const __float128 c2 = iq::mul(s1, b.lo);
  const quad_halves t = iq::add_to_product(c1.p, c1.error, c2);
  const __float128 t12 = iq::add(t.high, t.low);
  const __float128 t22 = iq::sub(t.low, iq::sub(t12, t.high));
  const quad_halves r = iq::remainder_of(a, t12, t22);
  const __float128 s2 = iq::div(iq::add(r.high, r.low), b.hi);
  c = iq::quick_two_sum(s1, s2);
  if (!is_finite(c.hi) && is_finite(b.hi)) [[unlikely]] c = overflowed_unless_nan(s1, c);
}

void kxdivd(const kxreal& a, __float128 b, kxreal& c) {
  const __float128 t1 = iq::div(a.hi, b);
  const iq::rounded_product t = iq::two_product(t1, b);
  const quad_halves r = iq::remainder_of(a, t.p, t.error);
  const __float128 t2 = iq::div(iq::add(r.high, r.low), b);
  c = iq::quick_two_sum(t1, t2);
  if (!is_finite(c.hi) && is_finite(b)) [[unlikely]] c = overflowed_unless_nan(t1, c);
}

// Not renormalised: (a b, error) is already a normalised pair.
void kxmulqq(__float128 a, __float128 b, kxreal& c) {
  const iq::rounded_product p = iq::two_product(a, b);
  c = {p.p, p.error};
}

void kxneg(const kxreal& a, kxreal& b) { b = {-a.hi, -a.lo}; }

void kxeq(const kxreal& a, kxreal& b) { b = a; }
