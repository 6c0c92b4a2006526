// The elementary functions of kxreal under their mathematical names, by
// value. Each is one elementary routine, or a short fixed chain of them whose
// order of operations is part of the result's last bits. Found by
// argument-dependent lookup, so exp(x) works on a kxreal while exp(1.0)
// stays the C library's.
//
// Accuracy is in units of 2^-226, measured against MPFR over random
// arguments; a wrapper of one routine has that routine's accuracy
// (exp_log.h, circular.h, hyperbolic.h, agm.h), and every message comes from
// the routine called.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// e^a (kxexp).
///   exp(kxreal{1});   // e
kxreal exp(const kxreal& a);

/// The natural logarithm for a > 0 (kxlog).
///   log(kxreal{2});   // log 2
kxreal log(const kxreal& a);

/// log a / log 10, both logarithms by kxlog on every call, divided by kxdiv:
/// log10 of 1000 is 3 only to within the bound, not exactly. Accuracy: 80
/// units relative away from 1 (a in 2^+-3321 beyond [1/2, 2]), 144 absolute
/// on [1/2, 2].
///   log10(kxreal{1000});   // 3
kxreal log10(const kxreal& a);

/// The cosine and sine: one of the pair kxcssnr computes.
///   sin(kxreal{1});   // 0.8414709848...
kxreal sin(const kxreal& a);
kxreal cos(const kxreal& a);

/// sin a / cos a from kxcssnr, divided by kxdiv. Accuracy: 514 units
/// relative for 0.5 <= |a| <= 1.4, 65000 absolute on [-1.4, 1.4] (the sine
/// near 0); nearer odd multiples of pi/2 the cosine's absolute error is
/// divided by the small cosine.
///   tan(kxreal{1});   // 1.5574077246...
kxreal tan(const kxreal& a);

/// The hyperbolic sine and cosine: one of the pair kxcoshsinh computes.
///   cosh(kxreal{1});   // 1.5430806348...
kxreal sinh(const kxreal& a);
kxreal cosh(const kxreal& a);

/// sinh a / cosh a from kxcoshsinh, divided by kxdiv. Accuracy: 91 units
/// relative for |a| in [1, 100], 302 absolute on [-1, 1] (from sinh's
/// difference e - 1/e).
///   tanh(kxreal{1});   // 0.7615941559...
kxreal tanh(const kxreal& a);

/// The angle whose sine is a, in [-pi/2, pi/2]: kxang(sqrt(1 - a^2), a)
/// with 1 - a^2 as kxsub(1, kxmul(a, a)). Accuracy: that of kxang, 432
/// units relative for 0.5 <= |a| <= 1, 2.9e6 absolute on [-1, 1]; near 0,
/// where kxang's sine keeps about 2^-113 relative, up to 5.5e17 absolute
/// (about 2^-167, worst near 2^-53). |a| > 1 takes the square root of a
/// negative number, which kxsqrt does not test.
///   asin(kxreal{0.5Q});   // pi/6
kxreal asin(const kxreal& a);

/// The angle whose cosine is a, in [0, pi]: kxang(a, sqrt(1 - a^2)), as for
/// asin: 2140 units absolute on [-1, 1], with asin's loss near a = 1.
///   acos(kxreal{0.5Q});   // pi/3
kxreal acos(const kxreal& a);

/// The angle whose tangent is a, in (-pi/2, pi/2): kxang(1, a). Accuracy:
/// 2600 units absolute on [-10, 10], and asin's loss near 0.
///   atan(kxreal{1});   // pi/4
kxreal atan(const kxreal& a);

/// The angle of the point (x, y), in (-pi, pi]: kxang(x, y). Note the order:
/// y first, as for std::atan2. Both zero stops with kxang's message.
///   atan2(kxreal{1}, kxreal{0});   // pi/2
kxreal atan2(const kxreal& y, const kxreal& x);

/// The inverse hyperbolic functions (kxasinh, kxacosh, kxatanh).
///   atanh(kxreal{0.5Q});   // log(3)/2
kxreal asinh(const kxreal& a);
kxreal acosh(const kxreal& a);
kxreal atanh(const kxreal& a);

/// The arithmetic-geometric mean (kxagmr).
///   agm(kxreal{1}, kxreal{2});   // 1.4567910310...
kxreal agm(const kxreal& a, const kxreal& b);

/// sqrt(a^2 + b^2) as kxsqrt(kxadd(kxmul(a, a), kxmul(b, b))); where a
/// square would leave the range the pair is taken 2^-k lower first and the
/// root scaled back, so hypot(1e-3000, 0) is 1e-3000. Exact for (3, 4).
/// Accuracy: 6.5 units relative, at the ends of the range too.
///   hypot(kxreal{3}, kxreal{4});   // exactly 5
kxreal hypot(const kxreal& a, const kxreal& b);

}  // namespace kx
