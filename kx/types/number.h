// kxreal as a value type: arithmetic and relational operators over the core
// routines, for kxreal with kxreal and with binary128 operands.
//
// Each operator calls exactly one core routine, so an expression gives the
// same bits as the routine calls it stands for:
//   R + R  kxadd      R + Q  kxadd(a, (q, 0))   Q + R  kxadd((q, 0), b)
//   R - R  kxsub      R - Q  kxsub(a, (q, 0))   Q - R  kxsub((q, 0), b)
//   R * R  kxmul      R * Q  kxmuld(a, q)       Q * R  kxmuld(b, q)
//   R / R  kxdiv      R / Q  kxdivd(a, q)       Q / R  kxdiv((q, 0), b)
// and so the accuracy of that routine (core.h): 4 units of 2^-226 relative
// to |a| + |b| for + and -, 8 for R * R and R / R, 4 for R * Q, 5 for R / Q.
// There are no operators with int or double operands: they do not compile,
// so such a value enters only through an explicit kxreal(i) or kxreal(d).
#pragma once

#include <compare>
#include <concepts>

#include <kx/core/core.h>

namespace kx {

/// Built-in arithmetic types other than binary128: never mixed into kxreal
/// arithmetic silently.
template <class T>
concept implicit_scalar = (std::integral<T> || std::floating_point<T>) && !std::same_as<T, __float128>;

// ---- Arithmetic -----------------------------------------------------------

/// a + b, a - b, a * b, a / b as the table above.
///   kxreal x = kxreal{1, 0} / 3.0Q;   // kxdivd
inline kxreal operator+(const kxreal& a, const kxreal& b) { kxreal c; kxadd(a, b, c); return c; }
inline kxreal operator-(const kxreal& a, const kxreal& b) { kxreal c; kxsub(a, b, c); return c; }
inline kxreal operator*(const kxreal& a, const kxreal& b) { kxreal c; kxmul(a, b, c); return c; }
inline kxreal operator/(const kxreal& a, const kxreal& b) { kxreal c; kxdiv(a, b, c); return c; }

inline kxreal operator+(const kxreal& a, __float128 q) { kxreal c; kxadd(a, kxreal{q, 0}, c); return c; }
inline kxreal operator-(const kxreal& a, __float128 q) { kxreal c; kxsub(a, kxreal{q, 0}, c); return c; }
inline kxreal operator*(const kxreal& a, __float128 q) { kxreal c; kxmuld(a, q, c); return c; }
inline kxreal operator/(const kxreal& a, __float128 q) { kxreal c; kxdivd(a, q, c); return c; }

inline kxreal operator+(__float128 q, const kxreal& b) { kxreal c; kxadd(kxreal{q, 0}, b, c); return c; }
inline kxreal operator-(__float128 q, const kxreal& b) { kxreal c; kxsub(kxreal{q, 0}, b, c); return c; }
inline kxreal operator*(__float128 q, const kxreal& b) { kxreal c; kxmuld(b, q, c); return c; }
inline kxreal operator/(__float128 q, const kxreal& b) { kxreal c; kxdiv(kxreal{q, 0}, b, c); return c; }

template <implicit_scalar T> kxreal operator+(const kxreal&, T) = delete;
template <implicit_scalar T> kxreal operator-(const kxreal&, T) = delete;
template <implicit_scalar T> kxreal operator*(const kxreal&, T) = delete;
template <implicit_scalar T> kxreal operator/(const kxreal&, T) = delete;
template <implicit_scalar T> kxreal operator+(T, const kxreal&) = delete;
template <implicit_scalar T> kxreal operator-(T, const kxreal&) = delete;
template <implicit_scalar T> kxreal operator*(T, const kxreal&) = delete;
template <implicit_scalar T> kxreal operator/(T, const kxreal&) = delete;

/// a op= b is a = a op b, with the same routine.
inline kxreal& operator+=(kxreal& a, const kxreal& b) { kxadd(a, b, a); return a; }
inline kxreal& operator-=(kxreal& a, const kxreal& b) { kxsub(a, b, a); return a; }
inline kxreal& operator*=(kxreal& a, const kxreal& b) { kxmul(a, b, a); return a; }
inline kxreal& operator/=(kxreal& a, const kxreal& b) { kxdiv(a, b, a); return a; }
inline kxreal& operator+=(kxreal& a, __float128 q) { return a = a + q; }
inline kxreal& operator-=(kxreal& a, __float128 q) { return a = a - q; }
inline kxreal& operator*=(kxreal& a, __float128 q) { return a = a * q; }
inline kxreal& operator/=(kxreal& a, __float128 q) { return a = a / q; }

template <implicit_scalar T> kxreal& operator+=(kxreal&, T) = delete;
template <implicit_scalar T> kxreal& operator-=(kxreal&, T) = delete;
template <implicit_scalar T> kxreal& operator*=(kxreal&, T) = delete;
template <implicit_scalar T> kxreal& operator/=(kxreal&, T) = delete;

/// -a: the sign bits of both words flipped.
inline kxreal operator-(const kxreal& a) { kxreal b; kxneg(a, b); return b; }

/// +a: a itself, both words unchanged.
inline kxreal operator+(const kxreal& a) { return a; }

/// ++a and --a are a += 1 and a -= 1 (kxadd and kxsub with (1, 0)); a++ and
/// a-- return the value before.
///   kxreal i{0};  while (i < 10.0Q) ++i;
inline kxreal& operator++(kxreal& a) { return a += 1.0Q; }
inline kxreal& operator--(kxreal& a) { return a -= 1.0Q; }
inline kxreal operator++(kxreal& a, int) { const kxreal before = a; a += 1.0Q; return before; }
inline kxreal operator--(kxreal& a, int) { const kxreal before = a; a -= 1.0Q; return before; }

/// a^n for an integer n, by kxnpwr (and its accuracy); stops when a is zero
/// and n <= 0.
///   pow(kxreal{2}, 10);   // exactly 1024
inline kxreal pow(const kxreal& a, int n) { kxreal b; kxnpwr(a, n, b); return b; }

/// Only an int exponent: a long would be cut, a double has no integer power.
template <class T>
  requires(!std::same_as<T, int>)
kxreal pow(const kxreal&, T) = delete;

// ---- Comparison -------------------------------------------------------------

/// The result of compare when a word of either operand is NaN.
inline constexpr int unordered = 2;

/// -1, 0 or 1 as kxcpr gives them for a < b, a = b, a > b; unordered when a
/// word of a or b is NaN.
///   kx::compare(kxreal{1}, kxreal{2});   // -1
int compare(const kxreal& a, const kxreal& b);

/// Relational operators by compare, a binary128 operand widened to (q, 0).
/// As for binary128, a NaN operand makes <, <=, >, >= and == false and !=
/// true.
///   kxreal{1} < 2.0Q;   // true
inline bool operator==(const kxreal& a, const kxreal& b) { return compare(a, b) == 0; }
inline bool operator!=(const kxreal& a, const kxreal& b) { return compare(a, b) != 0; }
inline bool operator<(const kxreal& a, const kxreal& b) { return compare(a, b) == -1; }
inline bool operator<=(const kxreal& a, const kxreal& b) { const int c = compare(a, b); return c == -1 || c == 0; }
inline bool operator>(const kxreal& a, const kxreal& b) { return compare(a, b) == 1; }
inline bool operator>=(const kxreal& a, const kxreal& b) { const int c = compare(a, b); return c == 1 || c == 0; }

inline bool operator==(const kxreal& a, __float128 q) { return a == kxreal{q, 0}; }
inline bool operator!=(const kxreal& a, __float128 q) { return a != kxreal{q, 0}; }
inline bool operator<(const kxreal& a, __float128 q) { return a < kxreal{q, 0}; }
inline bool operator<=(const kxreal& a, __float128 q) { return a <= kxreal{q, 0}; }
inline bool operator>(const kxreal& a, __float128 q) { return a > kxreal{q, 0}; }
inline bool operator>=(const kxreal& a, __float128 q) { return a >= kxreal{q, 0}; }

inline bool operator==(__float128 q, const kxreal& b) { return kxreal{q, 0} == b; }
inline bool operator!=(__float128 q, const kxreal& b) { return kxreal{q, 0} != b; }
inline bool operator<(__float128 q, const kxreal& b) { return kxreal{q, 0} < b; }
inline bool operator<=(__float128 q, const kxreal& b) { return kxreal{q, 0} <= b; }
inline bool operator>(__float128 q, const kxreal& b) { return kxreal{q, 0} > b; }
inline bool operator>=(__float128 q, const kxreal& b) { return kxreal{q, 0} >= b; }

/// The three-way comparison that agrees with the operators above: less,
/// equivalent or greater as compare gives -1, 0 or 1, and unordered when a
/// word of either operand is NaN. (0, 0) and (-0, 0) are equivalent. A
/// binary128 operand widens to (q, 0).
///   kxreal{1} <=> kxreal{2};   // std::partial_ordering::less
inline std::partial_ordering operator<=>(const kxreal& a, const kxreal& b) {
  switch (compare(a, b)) {
    case -1: return std::partial_ordering::less;
    case 0: return std::partial_ordering::equivalent;
    case 1: return std::partial_ordering::greater;
    default: return std::partial_ordering::unordered;
  }
}
inline std::partial_ordering operator<=>(const kxreal& a, __float128 q) { return a <=> kxreal{q, 0}; }

template <implicit_scalar T> bool operator==(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator!=(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator<(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator<=(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator>(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator>=(const kxreal&, T) = delete;
template <implicit_scalar T> bool operator==(T, const kxreal&) = delete;
template <implicit_scalar T> bool operator!=(T, const kxreal&) = delete;
template <implicit_scalar T> bool operator<(T, const kxreal&) = delete;
template <implicit_scalar T> bool operator<=(T, const kxreal&) = delete;
template <implicit_scalar T> bool operator>(T, const kxreal&) = delete;
template <implicit_scalar T> bool operator>=(T, const kxreal&) = delete;
template <implicit_scalar T> std::partial_ordering operator<=>(const kxreal&, T) = delete;

}  // namespace kx
