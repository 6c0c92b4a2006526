// Powers with real and complex non-integer exponents, by value: a^b =
// e^(b ln a) from kxlog, kxexp, kxang and kxcssnr. A real base must be
// positive (a base <= 0 stops in kxlog with its message); a complex base
// must not be zero (kxlog's message); a negative real base with a complex
// exponent is taken as a complex base. An int exponent is the exact integer
// power pow(a, n) of number.h and complex_number.h.
//
// Accuracy, in units of 2^-226 relative to the result (per part, relative
// to its modulus, for the complex powers), is that of the elementary
// functions called (exp_log.h, circular.h): with t = b ln a the exponent of
// e, 360 + 300 |t| for the real powers, plus 450 |b| for a in [1/2, 2],
// where kxlog's error is absolute (kxexp's and kxlog's errors times |t| and
// |b|; at most 0.8 of that measured over a in [0.01, 100], b in [-100, 100],
// up to 42700 units); the complex powers add up to 1000 where the angles of
// the base and the result are away from the axes (measured against MPC), but near an axis
// kxang and the sine of kxcssnr keep only about 2^-113.
#pragma once

#include <concepts>

#include <kx/core/complex.h>
#include <kx/types/number.h>

namespace kx {

/// e^(b ln a) for a > 0: kxexp(kxmul(kxlog(a), b)); with a binary128
/// exponent kxmuld, with a binary128 base the log of (q, 0).
///   pow(kxreal{2}, kxreal{0.5Q});   // sqrt 2
///   pow(kxreal{2}, 10.0Q);          // 1024 to within the bound, not exactly
kxreal pow(const real& a, const real& b);
kxreal pow(const real& a, __float128 q);
kxreal pow(__float128 q, const real& b);

/// z^r = e^(r ln|z|) (cos r theta + i sin r theta), theta the angle of z.
///   pow(kxcomplex{kxreal{0}, kxreal{1}}, kxreal{0.5Q});   // (1 + i) / sqrt 2
complex pow(const complex& z, const real& r);

/// a^w = e^(w.re ln a) (cos(w.im ln a) + i sin(w.im ln a)) for a > 0; a
/// negative a is the complex base (a, 0), with the principal logarithm.
///   pow(kxreal{-1}, kxcomplex{kxreal{0.5Q}});   // i, to within the bound
complex pow(const real& a, const complex& w);

/// z^w = e^(w.re L - w.im theta) (cos phi + i sin phi), L = ln|z|, phi =
/// w.im L + w.re theta, on the principal branch.
///   pow(kxcomplex{kxreal{0}, kxreal{1}}, kxcomplex{kxreal{0}, kxreal{1}});   // e^(-pi/2)
complex pow(const complex& z, const complex& w);

/// No int or double base: it must be named as kxreal(...) or a binary128.
template <implicit_scalar T> kxreal pow(T, const real&) = delete;

/// A complex exponent meets a kxreal or kxcomplex base only.
template <class T>
  requires(!std::same_as<T, real>)
complex pow(const T&, const complex&) = delete;

}  // namespace kx
