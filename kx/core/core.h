// The quad-pair number and its core routines.
//
// A kxreal is the unevaluated sum hi + lo of two IEEE binary128 values,
// normalised so that hi is hi + lo rounded to binary128: 226 significant bits,
// about 68 decimal digits. Every routine takes its inputs first and writes its
// result into the output arguments after them; the output may be the same
// variable as an input.
//
// The routines run a fixed sequence of separately rounded binary128
// operations, compiled inside the library with -ffp-contract=off, so that for
// a given libquadmath their results are the same bits on every machine. The
// arithmetic itself uses no library function; where a routine takes a start
// value or a digit count from libquadmath (expq, logq, log10q in kxnrt,
// kxnpwr and the decimal conversions) it is said below, and a libquadmath
// whose functions round differently could change the last bits there.
//
// Accuracy is given in units of 2^-226 relative to the exact result of the
// operands as given (first-order bounds; the figures measured against MPFR
// at 600 bits over 10^5 random operands each are in the README), for results
// in the normal range of binary128. Near the top of the range products,
// quotients, roots and powers keep their bounds; a product, quotient or
// power beyond the range is infinity of its sign with a zero low word. Below
// about 2^-16272 a result's low word is subnormal and carries fewer bits.
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

  /// (i, 0) for every other integer type up to 64 bits, and (x, 0) for a
  /// long double: exact, as binary128 holds 113 significant bits and the
  /// exponent range of both. Each is an exact match for its own type, so
  /// kxreal{2L} and kxreal{v.size()} are not ambiguous, while an int, a
  /// double or a float still takes the constructor above.
  ///   kxreal{std::numeric_limits<std::int64_t>::min()};   // (-2^63, 0)
  template <std::integral I>
    requires(sizeof(I) <= 8 && !std::same_as<I, int>)
  constexpr explicit real(I i) : hi(i), lo(0) {}
  constexpr explicit real(long double x) : hi(x), lo(0) {}

  /// A 128-bit integer, exactly: hi is i rounded to binary128 and lo the
  /// remainder i - hi, which fits in binary128 (it is at most 2^14 in size).
  ///   kxreal{(__int128{1} << 120) + 1};   // (2^120, 1)
  explicit real(__int128 i);
  explicit real(unsigned __int128 i);

  /// False exactly when the value is zero (both words zero, of either
  /// sign); a NaN is true, as for a double.
  ///   if (kxreal{0x1p-16494Q, 0}) { ... }   // taken
  constexpr explicit operator bool() const { return hi != 0 || lo != 0; }

  /// Narrowing keeps the high word: static_cast<__float128>(a) is a.hi, and
  /// static_cast<double>(a) is a.hi rounded to the nearest double.
  constexpr explicit operator __float128() const { return hi; }
  constexpr explicit operator double() const { return static_cast<double>(hi); }
};

}  // namespace kx

using kxreal = kx::real;

// ---- Basic arithmetic ---------------------------------------------------

/// c = a + b (high words by two-sum, low words added a.lo then b.lo).
/// Accuracy: 4 units relative to |a| + |b| (so a cancelling sum keeps an
/// absolute error of 4 units of the larger operand).
///   kxadd(kxreal{1, 0}, kxreal{0x1p-200Q, 0}, c);   // c = (1, 2^-200)
void kxadd(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a - b; word for word equal to kxadd(a, -b, c). Accuracy: 4 units
/// relative to |a| + |b|.
///   kxsub(kxreal{1, 0}, kxreal{0x1p-200Q, 0}, c);   // c = (1, -2^-200)
void kxsub(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a * b; kxmul(a, b) and kxmul(b, a) give identical words.
/// Accuracy: 8 units.
///   kxmul(kxreal{3}, kxreal{1, 0x1p-120Q}, c);   // c = (3, 3 * 2^-120)
void kxmul(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a * b for a binary128 factor b. Accuracy: 4 units; exact for a
/// power of two b.
///   kxmuld(a, 0.5Q, c);   // exact halving
void kxmuld(const kxreal& a, __float128 b, kxreal& c);

/// c = a / b (two binary128 divisions). Accuracy: 8 units. A zero divisor
/// gives non-finite words.
///   kxdiv(kxreal{1}, kxreal{3}, c);   // 1/3 to 226 bits
void kxdiv(const kxreal& a, const kxreal& b, kxreal& c);

/// c = a / b for a binary128 divisor b. Accuracy: 5 units.
///   kxdivd(kxreal{1}, 10, c);   // 0.1 to 226 bits
void kxdivd(const kxreal& a, __float128 b, kxreal& c);

/// c = a * b exactly (unless the product underflows or overflows).
///   kxmulqq(1 + 0x1p-100Q, 1 + 0x1p-100Q, c);   // c = (1 + 2^-99, 2^-200)
void kxmulqq(__float128 a, __float128 b, kxreal& c);

/// b = -a: the sign bits of both words flipped (exact).
///   kxneg(kxreal{2}, b);   // b = (-2, -0)
void kxneg(const kxreal& a, kxreal& b);

/// b = a, both words copied.
///   kxeq(a, b);
void kxeq(const kxreal& a, kxreal& b);

/// The stored constants pi, log 2 and Euler's gamma, each within one unit
/// of 2^-226 relative (measured 0.86, 0.28 and 0.42).
///   kxreal pi;  kxpi(pi);
void kxpi(kxreal& a);
void kxlog2(kxreal& a);
void kxegamma(kxreal& a);

// ---- Comparison, conversion and rounding ---------------------------------

/// ic = -1, 0 or 1 as a < b, a = b or a > b (high words first, then low
/// words); exact for normalised pairs. A NaN word makes ic = 1 when it is in
/// a and the comparison reaches it, so test for NaN before relying on ic.
///   kxcpr(kxreal{1}, kxreal{2}, ic);   // ic = -1
void kxcpr(const kxreal& a, const kxreal& b, int& ic);

/// b = |a|, the sign decided by the high word alone (exact).
///   kxabs(kxreal{-2, 0x1p-120Q}, b);   // b = (2, -2^-120)
void kxabs(const kxreal& a, kxreal& b);

/// -1, 0 or 1: the sign of a binary128 value (0 for either zero).
///   kxqsgn(-0.5Q);   // -1
int kxqsgn(__float128 x);

/// b = (q, 0), exact.
///   kxqtox(0.25Q, b);   // b = (0.25, 0)
void kxqtox(__float128 q, kxreal& b);

/// q = a.hi and n = 0, so that a = q * 2^n up to the low word.
///   kxtoqe(kxreal{8}, q, n);   // q = 8, n = 0
void kxtoqe(const kxreal& a, __float128& q, int& n);

/// b = (q * 2^n, 0), with 2^n the exact binary128 power of two: exact
/// unless q * 2^n leaves the normal range.
///   kxqetox(3, 10, b);   // b = (3072, 0)
void kxqetox(__float128 q, int n, kxreal& b);

/// b = the integer nearest to a, exact; a halfway case goes to even. A tie
/// is decided by the high word: the low word breaks it only when it survives
/// one binary128 rounding beside the fraction of the high word, so
/// (2.5, 2^-200) gives 2 while (2.5, 2^-100) gives 3.
/// Stops with a message when |a.hi| >= 2^225.
///   kxnint(kxreal{-2.5Q, 0}, b);   // b = (-2, 0)
void kxnint(const kxreal& a, kxreal& b);

/// b = a rounded toward zero, c = a - b (|c| < 1, the sign of a or zero),
/// both exact. Stops with a message when |a.hi| >= 2^225.
///   kxinfr(kxreal{-2.75Q, 0}, b, c);   // b = -2, c = -0.75
void kxinfr(const kxreal& a, kxreal& b, kxreal& c);

/// The last n decimal digits of |x| (integer valued), with leading zeros,
/// left-aligned in 32 characters and padded with blanks.
///   kxdigstr(12345, 3);   // "345" and 29 blanks
/// Stops with a message when n > 32; n <= 0 gives 32 blanks.
std::array<char, 32> kxdigstr(__float128 x, int n);

// ---- Roots and integer powers --------------------------------------------

/// b = sqrt(a), by one Newton correction of the correctly rounded binary128
/// root (glibc's sqrtf128, not libquadmath). Accuracy: 19 units. Stops with
/// a message when a.hi < 0.
///   kxsqrt(kxreal{4, 0}, b);   // b = (2, 0)
void kxsqrt(const kxreal& a, kxreal& b);

/// b = a^(1/n) for a >= 0 and n >= 1; stops with a message otherwise
/// (a zero a gives zero for any n). Three Newton steps from libquadmath's
/// expq(-logq(a.hi)/n). Accuracy: 30 units.
///   kxnrt(kxreal{8}, 3, b);   // 2 within 30 units
void kxnrt(const kxreal& a, int n, kxreal& b);

/// b = a^n by binary powering (its bit count from libquadmath's logq);
/// stops with a message when a is zero and n <= 0, or when n = -2^31.
/// Accuracy: 8 (|n| - 1 + bits of |n|) units, 8 more when n < 0; exact
/// while every partial product fits 226 bits (small integers).
///   kxnpwr(kxreal{10}, 3, b);   // b = (1000, 0)
void kxnpwr(const kxreal& a, int n, kxreal& b);
