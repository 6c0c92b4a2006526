// The quad-pair number and its core routines.
//
// A kxreal is the unevaluated sum hi + lo of two IEEE binary128 values,
// normalised so that hi is hi + lo rounded to binary128: 226 significant bits,
// about 68 decimal digits. Every routine takes its inputs first and writes its
// result into the output arguments after them; the output may be the same
// variable as an input.
//
// The routines run a fixed sequence of separately rounded binary128
// operations, compiled inside the library with -ffp-contract=off, so their
// results are the same bits on every machine.
#pragma once

#include <array>
#include <concepts>

#include <kx/support/stop.h>

namespace kx {

/// A quad-pair real number; a new value is zero in both words. Its name in
/// the package is kxreal; it lives in kx so that argument-dependent lookup
/// finds the generic functions (abs, sqrt, min, ...) declared there.
///   kxreal a;            // (0, 0)
///   kxreal one{1, 0};    // 1, given word for word
///   kxreal q = 0.5Q;     // (0.5, 0): a binary128 value widens exactly
///   kxreal i{3};         // (3, 0): ints and doubles widen only when asked
struct real {
  __float128 hi = 0;
  __float128 lo = 0;

  constexpr real() = default;

  /// The pair (hi, lo) word for word; normalising it is the caller's part.
  constexpr real(__float128 high, __float128 low) : hi(high), lo(low) {}

  /// (q, 0). Only a binary128 argument converts implicitly: an int or a
  /// double must name the conversion, so none can slip in unnoticed.
  template <std::same_as<__float128> Q>
  constexpr real(Q q) : hi(q), lo(0) {}

  /// (i, 0) and (d, 0), both exact.
  constexpr explicit real(int i) : hi(i), lo(0) {}
  constexpr explicit real(double d) : hi(d), lo(0) {}

  /// Narrowing keeps the high word: static_cast<__float128>(a) is a.hi, and
  /// static_cast<double>(a) is a.hi rounded to the nearest double.
  constexpr explicit operator __float128() const { return hi; }
  constexpr explicit operator double() const { return static_cast<double>(hi); }
};

}  // namespace kx

using kxreal = kx::real;

// ---- Basic arithmetic ---------------------------------------------------

/// c = a + b (high words by two-sum, low words added a.lo then b.lo).
///   kxadd(kxreal{1, 0}, kxreal{0x1p-200Q, 0}, c);   // c = (1, 2^-200)
void kxadd(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a - b; word for word equal to kxadd(a, -b, c).
void kxsub(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a * b; kxmul(a, b) and kxmul(b, a) give identical words.
void kxmul(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a * b for a binary128 factor b.
///   kxmuld(a, 0.5Q, c);   // exact halving
void kxmuld(const kxreal& a, __float128 b, kxreal& c);

/// c = a / b (two binary128 divisions). A zero divisor gives non-finite words.
void kxdiv(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a / b for a binary128 divisor b.
void kxdivd(const kxreal& a, __float128 b, kxreal& c);

/// c = a * b exactly (unless the product underflows or overflows).
void kxmulqq(__float128 a, __float128 b, kxreal& c);

/// b = -a: the sign bits of both words flipped.
void kxneg(const kxreal& a, kxreal& b);

/// b = a, both words copied.
void kxeq(const kxreal& a, kxreal& b);

/// The stored constants pi, log 2 and Euler's gamma, to 226 bits.
void kxpi(kxreal& a);
void kxlog2(kxreal& a);
void kxegamma(kxreal& a);

// ---- Comparison, conversion and rounding ---------------------------------

/// ic = -1, 0 or 1 as a < b, a = b or a > b (high words first, then low words).
void kxcpr(const kxreal& a, const kxreal& b, int& ic);

/// b = |a|, the sign decided by the high word alone.
void kxabs(const kxreal& a, kxreal& b);

/// -1, 0 or 1: the sign of a binary128 value (0 for either zero).
int kxqsgn(__float128 x);

/// b = (q, 0).
void kxqtox(__float128 q, kxreal& b);

/// q = a.hi and n = 0, so that a = q * 2^n up to the low word.
void kxtoqe(const kxreal& a, __float128& q, int& n);

/// b = (q * 2^n, 0), with 2^n the exact binary128 power of two.
void kxqetox(__float128 q, int n, kxreal& b);

/// b = the integer nearest to a, halfway cases to even.
/// Stops with a message when |a.hi| >= 2^225.
void kxnint(const kxreal& a, kxreal& b);

/// b = a rounded toward zero, c = a - b (|c| < 1, the sign of a or zero).
/// Stops with a message when |a.hi| >= 2^225.
void kxinfr(const kxreal& a, kxreal& b, kxreal& c);

/// The last n decimal digits of |x| (integer valued), with leading zeros,
/// left-aligned in 32 characters and padded with blanks.
///   kxdigstr(12345, 3);   // "345" and 29 blanks
/// Stops with a message when n > 32; n <= 0 gives 32 blanks.
std::array<char, 32> kxdigstr(__float128 x, int n);

// ---- Roots and integer powers --------------------------------------------

/// b = sqrt(a), by one Newton correction of the binary128 root.
///   kxsqrt(kxreal{4, 0}, b);   // b = (2, 0)
void kxsqrt(const kxreal& a, kxreal& b);

/// b = a^(1/n) for a >= 0 and n >= 1; stops with a message otherwise
/// (a zero a gives zero for any n).
void kxnrt(const kxreal& a, int n, kxreal& b);

/// b = a^n by binary powering; stops with a message when a is zero and
/// n <= 0, or when n = -2^31.
void kxnpwr(const kxreal& a, int n, kxreal& b);
