// The plain formulas of the core routines, written with the compiler's
// binary128 operators, one rounded operation per term in the order written.
// The routines of arith.cpp and sqrt.cpp give the same words as these for
// every operand; the differential tests hold them to it.
#pragma once

#include <kx/core/core.h>

namespace kx::reference {

void kxadd(const kxreal& a, const kxreal& b, kxreal& c);
void kxsub(const kxreal& a, const kxreal& b, kxreal& c);
void kxmul(const kxreal& a, const kxreal& b, kxreal& c);
void kxmuld(const kxreal& a, __float128 b, kxreal& c);
void kxdiv(const kxreal& a, const kxreal& b, kxreal& c);
void kxdivd(const kxreal& a, __float128 b, kxreal& c);
/// The Newton step of kxsqrt for a.hi > 0 without far exponent.
kxreal newton_sqrt(const kxreal& a);

}  // namespace kx::reference
