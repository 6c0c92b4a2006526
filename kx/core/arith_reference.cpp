// The plain formulas of addition, subtraction, multiplication, division and
// the Newton step of the square root, with the compiler's binary128.
#include <quadmath.h>

#include <kx/core/arith_reference.h>
#include <kx/core/eft.h>
#include <kx/core/quad_sqrt.h>
#include <kx/core/quad_words.h>

namespace kx {

// High words by Knuth's two-sum; the low words are added to its error,
// a.lo first, then b.lo.
void reference_kxadd(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 t1 = a.hi + b.hi;
  const __float128 e = t1 - a.hi;
  __float128 t2 = (a.hi - (t1 - e)) + (b.hi - e);
  t2 = t2 + a.lo;
  t2 = t2 + b.lo;
  c = renormalise(t1, t2);
}

// The mirror of kxadd: the same words as kxadd(a, -b).
void reference_kxsub(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 t1 = a.hi - b.hi;
  const __float128 e = t1 - a.hi;
  __float128 t2 = ((-b.hi) - e) + (a.hi - (t1 - e));
  t2 = t2 + a.lo;
  t2 = t2 - b.lo;
  c = renormalise(t1, t2);
}

void reference_kxnint(const kxreal& a, kxreal& b) {
  const __float128 two_112 = 0x1p112Q;
  const kxreal r = {0x1p225Q, two_112};
  if (a.hi == 0) {
    b = {0, 0};
    return;
  }
  if (fabsq(a.hi) >= two_112) {
    __float128 k = a.lo;
    if (fabsq(k) < two_112) k = k >= 0 ? (k + two_112) - two_112 : (k - two_112) + two_112;
    const __float128 s = a.hi + k;
    b = {s, k - (s - a.hi)};
    return;
  }
  kxreal s;
  if (a.hi > 0) {
    reference_kxadd(a, r, s);
    reference_kxsub(s, r, b);
  } else {
    reference_kxsub(a, r, s);
    reference_kxadd(s, r, b);
  }
}

void reference_kxmul(const kxreal& a, const kxreal& b, kxreal& c) {
  const __float128 c11 = a.hi * b.hi;
  const __float128 c21 = product_error(a.hi, b.hi, c11);
  const __float128 c2 = a.hi * b.lo + b.hi * a.lo;
  quad_halves t = add_to_product(c11, c21, c2);
  t.low = t.low + a.lo * b.lo;
  c = renormalise(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c11, c);
}

void reference_kxmuld(const kxreal& a, __float128 b, kxreal& c) {
  const __float128 c11 = a.hi * b;
  const __float128 c21 = product_error(a.hi, b, c11);
  const __float128 c2 = b * a.lo;
  const quad_halves t = add_to_product(c11, c21, c2);
  c = renormalise(t.high, t.low);
  if (!is_finite(c.hi)) [[unlikely]] c = overflowed_unless_nan(c11, c);
}

// One binary128 quotient s1, the remainder a - s1 b in quad-pair
// arithmetic, and one correction quotient s2.
void reference_kxdiv(const kxreal& a, const kxreal& b, kxreal& c) {
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

void reference_kxdivd(const kxreal& a, __float128 b, kxreal& c) {
  const __float128 t1 = a.hi / b;
  const __float128 t12 = t1 * b;
  const __float128 t22 = product_error(t1, b, t12);
  const quad_halves r = remainder_of(a, t12, t22);
  const __float128 t2 = (r.high + r.low) / b;
  c = renormalise(t1, t2);
  if (!is_finite(c.hi) && is_finite(b)) [[unlikely]] c = overflowed_unless_nan(t1, c);
}

// 1/ln 2, and the guard that lifts exact powers of two to their full count.
int reference_power_bit_count(int m) {
  const __float128 inverse_log2 = quad_from_words(0x3FFF71547652B82F, 0xE1777D0FFDA0D23A);
  const __float128 bit_count_guard = static_cast<__float128>(1e-14);
  const __float128 mq = m;
  return static_cast<int>(truncq(((logq(mq) * inverse_log2) + 1) + bit_count_guard));
}

// Karp's form: t1 = 1/sqrt(a.hi), t2 = a.hi t1, b = t2 + (a - t2^2) t1 / 2.
kxreal reference_newton_sqrt(const kxreal& a) {
  const __float128 t1 = 1 / quad_sqrt(a.hi);
  const __float128 t2 = a.hi * t1;
  const __float128 c11 = t2 * t2;
  const __float128 c21 = product_error(t2, t2, c11);
  const quad_halves r = remainder_of(a, c11, c21);
  const __float128 t3 = ((r.low + r.high) * 0.5Q) * t1;
  kxreal b;
  reference_kxadd(kxreal{t2, 0}, kxreal{t3, 0}, b);
  return b;
}

}  // namespace kx
