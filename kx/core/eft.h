// Error-free transformations of binary128 arithmetic shared by the core
// routines. Each line is one separately rounded binary128 operation in the
// order written; the library is compiled with -ffp-contract=off so that no
// two of them are ever fused.
#pragma once

#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/quad_words.h>

namespace kx {

/// 2^57 + 1: splits a binary128 value into two halves of at most 56
/// significant bits, whose products are exact in binary128.
inline const __float128 split_factor = quad_from_words(0x4038000000000000, 0x0080000000000000);

struct quad_halves {
  __float128 high;
  __float128 low;
};

/// Dekker's split: x = high + low exactly.
inline quad_halves split(__float128 x) {
  const __float128 c = x * split_factor;
  const __float128 high = c - (c - x);
  return {high, x - high};
}

/// The exact rounding error of p = x * y, as Dekker's product computes it:
/// (((x1 y1 - p) + x1 y2) + y1 x2) + x2 y2, each step exact.
inline __float128 dekker_product_error(__float128 x, __float128 y, __float128 p) {
  const quad_halves xs = split(x);
  const quad_halves ys = split(y);
  return (((xs.high * ys.high - p) + xs.high * ys.low) + ys.high * xs.low) + xs.low * ys.low;
}

/// split overflows for factors from about 2^16327 up; from 2^16320 up they
/// are taken 2^64 lower, with margin, and the same words where it was safe.
inline constexpr int split_limit_exponent_field = 0x3fff + 16320;
inline const __float128 split_scale_down = quad_from_words(0x3fbf000000000000, 0);  // 2^-64
inline const __float128 split_scale_up = quad_from_words(0x403f000000000000, 0);    // 2^64

/// product_error for a factor at or above 2^16320: that factor and p taken
/// 2^64 lower. Every step of Dekker's product is then the same one 2^64
/// lower (no partial product nears the bottom of the range, as the other
/// factor is at least 2^-16494), so the error scales back exactly.
__float128 scaled_product_error(__float128 x, __float128 y, __float128 p);

/// The exact rounding error of p = x * y, for any x and y whose product p
/// is finite and whose error is representable.
inline __float128 product_error(__float128 x, __float128 y, __float128 p) {
  if (exponent_field(x) >= split_limit_exponent_field || exponent_field(y) >= split_limit_exponent_field)
      [[unlikely]] {
    return scaled_product_error(x, y, p);
  }
  return dekker_product_error(x, y, p);
}

/// The quick two-sum that ends every arithmetic routine: from s (the larger)
/// and t, hi = s + t and lo = t - (hi - s).
inline kxreal renormalise(__float128 s, __float128 t) {
  const __float128 hi = s + t;
  return {hi, t - (hi - s)};
}

/// Adds the low-order part c2 to a product (c11, c21) by Knuth's two-sum on
/// the high words: t1 = c11 + c2, and t2 collects c21 and the error of t1.
inline quad_halves add_to_product(__float128 c11, __float128 c21, __float128 c2) {
  const __float128 t1 = c11 + c2;
  const __float128 e = t1 - c11;
  const __float128 t2 = c21 + ((c11 - (t1 - e)) + (c2 - e));
  return {t1, t2};
}

/// The remainder a - (p, q) of a quad pair and a nearby pair p + q, as the
/// binary128 pair (t11, t21): t11 = a.hi - p by two-sum, t21 its error plus
/// a.lo - q.
inline quad_halves remainder_of(const kxreal& a, __float128 p, __float128 q) {
  const __float128 t11 = a.hi - p;
  const __float128 e = t11 - a.hi;
  const __float128 t21 = ((((-p) - e) + (a.hi - (t11 - e))) + a.lo) - q;
  return {t11, t21};
}

/// A product or quotient whose high word came out infinite or NaN. When its
/// leading binary128 term `lead` is infinite, or finite so that only the
/// final rounding passed the largest value, the result overflowed: it is
/// infinity of the sign of lead with a zero low word. A NaN lead (a NaN
/// operand, 0 times infinity, 0/0) keeps the NaN words.
inline kxreal overflowed_unless_nan(__float128 lead, const kxreal& c) {
  if (isnanq(lead)) return c;
  return {copysignq(HUGE_VALQ, lead), 0};
}

/// a 2^e, both words scaled by scalbn: exact while neither word leaves the
/// normal range.
inline kxreal scaled_by_power_of_two(const kxreal& a, int e) { return {scalbnq(a.hi, e), scalbnq(a.lo, e)}; }

/// Beyond 2^16272 or below 2^-16272 a root's intermediates leave the normal
/// range: the error of t2^2 in kxsqrt, the low word of r^n in kxnrt fall
/// below 2^-16382, and their rounding there can pass the routines' error
/// bounds. The roots of such operands work on them scaled near 1.
inline constexpr int far_exponent = 16272;

/// x is finite and at least 2^16273, or below 2^-16272, in magnitude.
inline bool has_far_exponent(__float128 x) {
  const int field = exponent_field(x);
  return field != non_finite_exponent_field && (field > 0x3fff + far_exponent || field < 0x3fff - far_exponent);
}

}  // namespace kx
