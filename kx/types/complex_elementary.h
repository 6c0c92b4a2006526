// The exponential, logarithm, sine and cosine of kxcomplex, by value, from
// the real elementary routines in a fixed order (the order fixes the last
// bits). Found by argument-dependent lookup, as exp(z) for a std::complex.
//
// Accuracy is in units of 2^-226 relative to the modulus of the result, per
// part, measured against MPC over random arguments.
#pragma once

#include <kx/core/complex.h>

namespace kx {

/// e^z = e^x (cos y + i sin y): kxexp(x), then kxcssnr(y), then the two
/// products. Accuracy: 46000 units for |x| <= 100, |y| <= 10 (the sine of
/// kxcssnr near multiples of pi; kxexp's error is 360). Stops as kxexp does for x >= 11000, and as kxcssnr
/// for |y| >= 10^60.
///   exp(kxcomplex{kxreal{0}, kxpi()});   // -1
complex exp(const complex& z);

/// The principal logarithm: log |z| + i arg z, the real part
/// kxlog(x^2 + y^2)/2, the imaginary part kxang(x, y) in (-pi, pi]. Where a
/// square would leave the range z is taken 2^-k lower and k log 2 added, so
/// log(1e3000) is finite. Accuracy, per part relative to |log z|, for arg z
/// in [0.3, 3]: 1800 units for |z| in [1/2, 2] (1370 measured next to |z| =
/// 1 and arg z = 0.3, where |log z| is least: kxang's absolute error, up to
/// 450 units), 120 for the rest of 2^+-3000, 1.9 beyond 2^+-8129; near the real
/// axis kxang keeps about 2^-113 relative. A zero z stops in kxlog with its message.
///   log(kxcomplex{kxreal{-1}});   // i pi
complex log(const complex& z);

/// sin z = sin x cosh y + i cos x sinh y, with e^-y from kxexp and e^y as
/// its reciprocal (kxdiv), the hyperbolic factors as (e^-y + e^y)/2 and
/// -(e^-y - e^y)/2. Accuracy: 47000 units for |x| <= 10, |y| <= 10 (the
/// sine of kxcssnr near multiples of pi), 16000 for |y| in [5000, 11000).
/// |y| >= 11000, where e^|y| leaves kxexp's range, stops with kxexp's
/// message on either side.
///   sin(kxcomplex{kxreal{0}, kxreal{1}});   // i sinh 1
complex sin(const complex& z);

/// cos z = cos x cosh y - i sin x sinh y, from the same e^-y, e^y, cos x and
/// sin x as sin, with its stop for |y| >= 11000. Accuracy: 55000 units for
/// |x| <= 10, |y| <= 10, 16000 for |y| in [5000, 11000).
///   cos(kxcomplex{kxreal{0}, kxreal{1}});   // cosh 1
complex cos(const complex& z);

}  // namespace kx
