// The basic numeric functions of kxreal, by value: absolute value, roots,
// rounding, remainder, sign transfer, minimum and maximum. Found by
// argument-dependent lookup, so abs(x) and sqrt(x) work on a kxreal as on a
// double.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// |a|, the sign decided by the high word (kxabs).
kxreal abs(const kxreal& a);

/// The square root (kxsqrt).
///   sqrt(kxreal{4});   // exactly 2
kxreal sqrt(const kxreal& a);

/// a^(1/n) for a >= 0 and n >= 1 (kxnrt); stops with its message otherwise.
///   nroot(kxreal{8}, 3);   // 2 to within a few units of 2^-224
kxreal nroot(const kxreal& a, int n);

/// The nearest integer, halfway cases to even (kxnint).
kxreal nint(const kxreal& a);

/// a rounded toward zero (the integer part of kxinfr).
kxreal aint(const kxreal& a);

/// a - b * aint(a / b): the remainder with the sign of a.
///   mod(kxreal{-7}, kxreal{3});   // -1
kxreal mod(const kxreal& a, const kxreal& b);

/// |a| with the sign of b.hi; the low word follows the high word's sign change.
kxreal sign(const kxreal& a, const kxreal& b);

/// The smaller of a and b; b when they compare equal.
kxreal min(const kxreal& a, const kxreal& b);
kxreal min(const kxreal& a, const kxreal& b, const kxreal& c);

/// The larger of a and b; a when they compare equal.
kxreal max(const kxreal& a, const kxreal& b);
kxreal max(const kxreal& a, const kxreal& b, const kxreal& c);

}  // namespace kx
