// The plain formulas of the core routines, written with the compiler's
// binary128 operators, one rounded operation per term in the order written.
// The routines of arith.cpp and sqrt.cpp give the same words as these for
// every operand; the differential tests hold them to it.
#pragma once

#include <kx/core/core.h>

namespace kx {

void reference_kxadd(const kxreal& a, const kxreal& b, kxreal& c);
void reference_kxsub(const kxreal& a, const kxreal& b, kxreal& c);
void reference_kxmul(const kxreal& a, const kxreal& b, kxreal& c);
void reference_kxmuld(const kxreal& a, __float128 b, kxreal& c);
void reference_kxdiv(const kxreal& a, const kxreal& b, kxreal& c);
void reference_kxdivd(const kxreal& a, __float128 b, kxreal& c);
/// kxnint by the rounding pair R = (2^225, 2^112) below 2^112 (a + R - R,
/// or a - R + R for a.hi <= 0), the low word rounded to an integer above,
/// for |a.hi| < 2^225.
void reference_kxnint(const kxreal& a, kxreal& b);
/// The binary digits of m >= 1 by the binary128 logarithm, as the integer
/// powers count them.
int reference_power_bit_count(int m);
/// The Newton step of kxsqrt for a.hi > 0 without far exponent.
kxreal reference_newton_sqrt(const kxreal& a);

}  // namespace kx
