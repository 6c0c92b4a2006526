// The quad-pair complex number and its core routines.
//
// A kxcomplex is a real part and an imaginary part, each a normalised
// kxreal: four binary128 words, re.hi, re.lo, im.hi, im.lo. The routines
// follow the convention of core.h: inputs first, then the output, which may
// be the same variable as an input (every operand is read before any part of
// the result is written).
//
// Accuracy is in units of 2^-226 relative, first-order bounds, for operands
// and results in the normal range. Zero tests look at the high words only.
// Squares that would leave the range (a part beyond 2^8128 or below
// 2^-8128 in magnitude) are taken of the operand scaled by an exact power of
// two, so quotients and roots of such values stay finite and keep their
// bounds.
#pragma once

#include <quadmath.h>

#include <complex>
#include <concepts>

#include <kx/core/core.h>

namespace kx {

/// A quad-pair complex number; a new value is zero in all four words. Its
/// name in the package is kxcomplex; it lives in kx so that argument-
/// dependent lookup finds the generic functions (abs, sqrt, conj, ...).
/// Widening is exact and implicit from kxreal, binary128 and binary128
/// complex values; from std::complex<double> it must be named, and
/// narrowing, which keeps the high words, must be named too.
///   kxcomplex z;                        // ((0, 0), (0, 0))
///   kxcomplex w{kxreal{1}, kxreal{2}};  // 1 + 2i
///   kxcomplex q = 0.5Q;                 // ((0.5, 0), (0, 0))
///   kxcomplex d{std::complex<double>(1, 2)};
struct complex {
  kxreal re;
  kxreal im;

  constexpr complex() = default;

  /// (re, im), or (re, 0): a kxreal widens with a zero imaginary part.
  constexpr complex(const kxreal& real_part, const kxreal& imaginary_part = {})
      : re(real_part), im(imaginary_part) {}

  /// ((q, 0), (0, 0)), and ((re, 0), (im, 0)) for two binary128 values;
/// only binary128 arguments, so no int or double converts unnoticed.
  template <std::same_as<__float128> Q>
  constexpr complex(Q q) : re(q) {}
  template <std::same_as<__float128> Q>
  constexpr complex(Q real_part, Q imaginary_part) : re(real_part), im(imaginary_part) {}

  /// ((z.re, 0), (z.im, 0)) for a binary128 complex z.
  template <std::same_as<__complex128> Z>
  constexpr complex(Z z) : re(__real__ z), im(__imag__ z) {}

  /// Each part of a double complex widened exactly; nothing else converts
  /// into it on the way.
  template <std::same_as<std::complex<double>> DZ>
  constexpr explicit complex(DZ z) : re(static_cast<__float128>(z.real()), 0), im(static_cast<__float128>(z.imag()), 0) {}

  /// The parts by value, as std::complex names them.
  ///   kxcomplex{kxreal{1}, kxreal{2}}.imag();   // 2
  constexpr kxreal real() const { return re; }
  constexpr kxreal imag() const { return im; }

  /// (re.hi, im.hi): each part rounded to the nearest binary128, as a
  /// normalised pair's high word is. For std::complex<double> that word is
  /// rounded again to the nearest double, so a part whose high word lies
  /// halfway between two doubles may land one unit from its nearest double.
  constexpr explicit operator __complex128() const {
    __complex128 z{};
    __real__ z = re.hi;
    __imag__ z = im.hi;
    return z;
  }
  constexpr explicit operator std::complex<double>() const {
    return {static_cast<double>(re.hi), static_cast<double>(im.hi)};
  }
};

}  // namespace kx

using kxcomplex = kx::complex;

/// c = a + b and c = a - b, part by part with kxadd and kxsub (real part
/// first). Accuracy: that of kxadd, 4 units relative to |a.re| + |b.re| in
/// the real part and to |a.im| + |b.im| in the imaginary part.
///   kxcadd(kxcomplex{kxreal{1}, kxreal{2}}, kxcomplex{kxreal{3}, kxreal{4}}, c);   // 4 + 6i
void kxcadd(const kxcomplex& a, const kxcomplex& b, kxcomplex& c);
void kxcsub(const kxcomplex& a, const kxcomplex& b, kxcomplex& c);

/// c = a b from four kxmul products: a.re b.re - a.im b.im, and a.re b.im +
/// a.im b.re added in that order, so kxcmul(a, b) and kxcmul(b, a) may differ
/// in the last bit of the imaginary part. Accuracy: 12 units relative to
/// |a| |b| in each part.
///   kxcmul(kxcomplex{kxreal{1}, kxreal{2}}, kxcomplex{kxreal{3}, kxreal{4}}, c);   // -5 + 10i
void kxcmul(const kxcomplex& a, const kxcomplex& b, kxcomplex& c);

/// c = a / b: a numerator of three products, the imaginary part as
/// (a.re + a.im)(b.re - b.im) - (a.re b.re - a.im b.im), times the reciprocal
/// of |b|^2. Accuracy: 84 units relative to |a| / |b| in each part (40 in
/// the real part). Stops with "*** KXCDIV: Divisor is zero." when both high
/// words of b are zero; a b with one zero part is fine.
///   kxcdiv(kxcomplex{kxreal{1}, kxreal{2}}, kxcomplex{kxreal{3}, kxreal{4}}, c);   // 0.44 + 0.08i
void kxcdiv(const kxcomplex& a, const kxcomplex& b, kxcomplex& c);

/// b = the principal square root of a (b.re >= 0), by the half-angle method
/// on the larger of the two parts; zero gives all four words zero.
/// Accuracy: 42 units relative to |b| in each part. Its real square roots
/// are of |a| and (|a| + |a.re|) / 2, never negative, so kxsqrt's check for
/// a negative argument cannot stop it; a NaN part gives NaN words without a
/// message.
///   kxcsqrt(kxcomplex{kxreal{-3}, kxreal{4}}, b);   // 1 + 2i
void kxcsqrt(const kxcomplex& a, kxcomplex& b);

/// b = a^n by binary powering with kxcmul (b times r), and for n < 0 the
/// reciprocal by kxcdiv. Accuracy: 12 (|n| - 1 + bits of |n|) units
/// relative to |a|^n in each part, plus kxcdiv's 84 for n < 0; exact while every partial
/// product fits 226 bits (Gaussian integers). Stops with "*** KXCPWR:
/// Argument is zero and N is negative or zero." for a zero a and n <= 0, and
/// with "*** KXCPWR: Improper value of N" for n = -2^31.
///   kxcpwr(kxcomplex{kxreal{0}, kxreal{1}}, 2, b);   // -1
void kxcpwr(const kxcomplex& a, int n, kxcomplex& b);

/// b = a, all four words copied.
///   kxceq(a, b);
void kxceq(const kxcomplex& a, kxcomplex& b);

/// b = ((z.re, 0), (z.im, 0)) for a binary128 complex z (exact).
///   kxztoc(z, b);
void kxztoc(__complex128 z, kxcomplex& b);

/// b = (a, (0, 0)) (exact).
///   kxxtoc(kxreal{2}, b);   // 2 + 0i
void kxxtoc(const kxreal& a, kxcomplex& b);

/// c = (a, b) (exact).
///   kxxxtoc(kxreal{1}, kxreal{2}, c);   // 1 + 2i
void kxxxtoc(const kxreal& a, const kxreal& b, kxcomplex& c);
