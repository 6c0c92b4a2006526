// The numeric functions of kxcomplex, by value: modulus, square root,
// conjugate and the parts. Found by argument-dependent lookup, so abs(z)
// and sqrt(z) work on a kxcomplex as on a std::complex.
#pragma once

#include <kx/core/complex.h>

namespace kx {

/// |a| = sqrt(re^2 + im^2); where the squares would leave the range a is
/// taken 2^-k lower first, so the modulus of any finite value is finite and
/// within 25 units of 2^-226 relative. A NaN part gives NaN without a
/// message (the square root is of a value never negative).
///   abs(kxcomplex{kxreal{3}, kxreal{4}});   // exactly 5
kxreal abs(const complex& a);

/// The principal square root (kxcsqrt): within 42 units of 2^-226 relative
/// to |sqrt(a)| in each part. Never stops: see kxcsqrt.
///   sqrt(kxcomplex{kxreal{-4}});   // exactly 2i
complex sqrt(const complex& a);

/// (re, -im), both words of im negated (exact); conj and conjg are the same.
///   conj(kxcomplex{kxreal{1}, kxreal{2}});   // 1 - 2i
complex conjg(const complex& a);
complex conj(const complex& a);

/// The imaginary part (exact); imag and aimag are the same.
///   imag(kxcomplex{kxreal{1}, kxreal{2}});   // 2
kxreal aimag(const complex& a);
kxreal imag(const complex& a);

// The real part is the member z.real() (as for std::complex): a function
// kx::real would hide the type kx::real.

}  // namespace kx
