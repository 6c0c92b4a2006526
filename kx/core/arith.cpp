// Addition, subtraction, multiplication and division of quad pairs, also
// with one binary128 operand. Each routine reads all of its operands before
// it writes its result, so the result may alias an operand.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/eft.h>

using kx::add_to_product;
using kx::is_finite;
using kx::product_error;
using kx::quad_halves;
using kx::remainder_of;
using kx::renormalise;

namespace kx {

__float128 scaled_product_error(__float128 x, __float128 y, __float128 p) {
  const __float128 scaled_p = p * split_scale_down;
  if (exponent_field(x) >= split_limit_exponent_field) {
    return dekker_product_error(x * split_scale_down, y, scaled_p) * split_scale_up;
  }
  return dekker_product_error(x, y * split_scale_down, scaled_p) * split_scale_up;
}

}  // namespace kx

namespace {

// A product or quotient whose high word came out infinite or NaN. When its
// leading binary128 term `lead` is infinite, or finite so that only the
// final rounding passed the largest value, the result overflowed: it is
// infinity of the sign of lead with a zero low word. A NaN lead (a NaN
// operand, 0 times infinity, 0/0) keeps the NaN words.
kxreal overflowed_unless_nan(__float128 lead, const kxreal& c) {
  if (isnanq(lead)) return c;
  return {copysignq(HUGE_VALQ, lead), 0};
}

}  // namespace

// High words by Knuth's two-sum; the low words are added to its error,
// a.lo first, then b.lo.
void kxadd(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 t1 = a.hi + b.hi;
  const __float128 e = t1 - a.hi;
  __float128 t2 = (a.hi - (t1 - e)) + (b.hi - e);
  t2 = t2 + a.lo;
  t2 = t2 + b.lo;
  c = renormalise(t1, t2);
}

// The mirror of kxadd: the same words as kxadd(a, -b).
void kxsub(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 t1 = a.hi - b.hi;
  const __float128 e = t1 - a.hi;
  __float128 t2 = ((-b.hi) - e) + (a.hi - (t1 - e));
  t2 = t2 + a.lo;
  t2 = t2 - b.lo;
  c = renormalise(t1, t2);
}

void kxmul(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 c11 = a.hi * b.hi;
  const __float128 c21 = product_error(a.hi, b.hi, c11);
  const __float128 c2 = a.hi * b.lo + b.hi * a.lo;
  quad_halves t = add_to_product(c11, c21, c2);
  t.low = t.low + a.lo * b.lo;
  c = renormalise(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c11, c);
}

void kxmuld(const kxreal& a, __float128 b, kxreal& c) {
  const __float128 c11 = a.hi * b;
  const __float128 c21 = product_error(a.hi, b, c11);
  const __float128 c2 = b * a.lo;
  const quad_halves t = add_to_product(c11, c21, c2);
  c = renormalise(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c11, c);
}

// One binary128 quotient s1, the remainder a - s1 b in quad-pair
// arithmetic, and one correction quotient s2.
void kxdiv(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 s1 = a.hi / b.hi;
  const __float128 c11 = s1 * b.hi;
  const __float128 c21 = product_error(s1, b.hi, c11);
  const __float128 c2 = s1 * b.lo;
  const quad_halves t = add_to_product(c11, c21, c2);
  const __float128 t12 = t.high + t.low;
  const __float128 t22 = t.low - (t12 - t.high);
  const quad_halves r = remainder_of(a, t12, t22);
  const __float128 s2 = (r.high + r.low) / b.hi;
  c = renormalise(s1, s2);
  if (!is_finite(c.hi) && is_finite(b.hi)) [[unlikely]] c = overflowed_unless_nan(s1, c);
}

void kxdivd(const kxreal& a, __float128 b, kxreal& c) {
  const __float128 t1 = a.hi / b;
  const __float128 t12 = t1 * b;
  const __float128 t22 = product_error(t1, b, t12);
  const quad_halves r = remainder_of(a, t12, t22);
  const __float128 t2 = (r.high + r.low) / b;
  c = renormalise(t1, t2);
  if (!is_finite(c.hi) && is_finite(b)) [[unlikely]] c = overflowed_unless_nan(t1, c);
}

// Not renormalised: (a b, error) is already a normalised pair.
void kxmulqq(__float128 a, __float128 b, kxreal& c) {
  const __float128 p = a * b;
  c = {p, product_error(a, b, p)};
}

void kxneg(const kxreal& a, kxreal& b) { b = {-a.hi, -a.lo}; }

void kxeq(const kxreal& a, kxreal& b) { b = a; }
