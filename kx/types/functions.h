// The basic numeric functions of kxreal, by value: absolute value, roots,
// rounding, remainder, sign transfer, minimum and maximum. Found by
// argument-dependent lookup, so abs(x) and sqrt(x) work on a kxreal as on a
// double.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// |a|, the sign decided by the high word (kxabs; exact).
///   abs(kxreal{-2});   // 2
kxreal abs(const kxreal& a);

/// The square root (kxsqrt): within 19 units of 2^-226.
///   sqrt(kxreal{4});   // exactly 2
kxreal sqrt(const kxreal& a);

/// a^(1/n) for a >= 0 and n >= 1 (kxnrt): within 30 units of 2^-226;
/// stops with its message otherwise.
///   nroot(kxreal{8}, 3);   // 2 to within 30 units of 2^-226
kxreal nroot(const kxreal& a, int n);

/// The nearest integer, halfway cases to even as kxnint decides them (exact).
///   nint(kxreal{2.5Q, 0});   // 2
kxreal nint(const kxreal& a);

/// a rounded toward zero (the integer part of kxinfr; exact).
///   aint(kxreal{-2.75Q, 0});   // -2
kxreal aint(const kxreal& a);

/// a - b * aint(a / b): the remainder with the sign of a, from kxdiv,
/// kxinfr, kxmul and kxsub; exact when the quotient's integer part is right
/// and b times it fits 226 bits (small integers), otherwise within the
/// errors of the product and the difference (8 + 4 units of 2^-226 of |a|).
///   mod(kxreal{-7}, kxreal{3});   // -1
kxreal mod(const kxreal& a, const kxreal& b);

/// |a| with the sign of b.hi; the low word follows the high word's sign
/// change (exact).
///   sign(kxreal{2}, kxreal{-5});   // -2
kxreal sign(const kxreal& a, const kxreal& b);

/// The smaller of a and b (exact); b when they compare equal. A NaN operand
/// gives NaN in either order: the operand with a NaN word, a when both have one.
///   kx::min(kxreal{1}, kxreal{2});   // 1
kxreal min(const kxreal& a, const kxreal& b);
kxreal min(const kxreal& a, const kxreal& b, const kxreal& c);

/// The larger of a and b (exact); a when they compare equal. A NaN operand
/// gives NaN in either order, as for min.
///   kx::max(kxreal{1}, kxreal{2});   // 2
kxreal max(const kxreal& a, const kxreal& b);
kxreal max(const kxreal& a, const kxreal& b, const kxreal& c);

}  // namespace kx
