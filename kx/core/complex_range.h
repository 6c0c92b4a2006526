// Complex operands whose squares would leave the range of binary128, and
// their exact scaling by powers of two.
#pragma once

#include <kx/core/complex.h>

namespace kx {

/// A part up to 2^8128 in magnitude, and down to 2^-8128, has a square, a
/// sum of two squares and a reciprocal of that sum whose words are all
/// normal binary128 values; beyond, one of them overflows or loses bits.
inline constexpr int square_exponent_limit = 8128;

/// The binary exponent of a's larger part when that part is beyond
/// 2^square_exponent_limit or below 2^-square_exponent_limit, so that
/// a 2^-k has squares in range; 0 otherwise, and for a zero or non-finite
/// part.
int square_scaling_exponent(const kxcomplex& a);

/// sqrt(a.re^2 + a.im^2) by kxmul, kxmul, kxadd and kxsqrt, for an a whose
/// squares stay in range.
kxreal modulus_in_range(const kxcomplex& a);

/// |a|; an a whose squares would leave the range is taken 2^-k lower and
/// its modulus scaled back. Accuracy: 25 units of 2^-226 relative.
kxreal modulus(const kxcomplex& a);

/// a 2^e, all four words scaled: exact while no word leaves the normal range.
kxcomplex scaled_by_power_of_two(const kxcomplex& a, int e);

}  // namespace kx
