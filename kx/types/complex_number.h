// kxcomplex as a value type: arithmetic operators and equality over the
// complex core routines, for kxcomplex with kxcomplex, binary128 complex
// (Z), binary128 (Q) and kxreal (R) operands on either side, and for kxreal
// with binary128 complex. The operand that is not a kxcomplex is widened
// exactly (Q to ((q, 0), (0, 0)), R to (r, 0), Z to ((z.re, 0), (z.im, 0)))
// and one routine is called: + kxcadd, - kxcsub, * kxcmul, / kxcdiv, with
// their accuracy (core/complex.h). Every result is a kxcomplex. Operands of
// any other type (int, double, std::complex) do not compile: they enter
// through an explicit kxcomplex(...).
#pragma once

#include <concepts>

#include <kx/core/complex.h>
#include <kx/types/number.h>

namespace kx {

/// The types that widen exactly into kxcomplex arithmetic.
template <class T>
concept complex_operand = std::same_as<T, complex> || std::same_as<T, __complex128> || std::same_as<T, real> ||
                          std::same_as<T, __float128>;

/// The operand pairs of the operator table: a kxcomplex with any
/// complex_operand on either side, and kxreal with binary128 complex.
template <class A, class B>
concept complex_pair = (std::same_as<A, complex> && complex_operand<B>) ||
                       (complex_operand<A> && std::same_as<B, complex>) ||
                       (std::same_as<A, real> && std::same_as<B, __complex128>) ||
                       (std::same_as<A, __complex128> && std::same_as<B, real>);

/// A kxcomplex beside an operand outside the table.
template <class A, class B>
concept foreign_complex_pair = (std::same_as<A, complex> || std::same_as<B, complex>) && !complex_pair<A, B>;

// ---- Arithmetic -----------------------------------------------------------

/// a + b, a - b, a * b, a / b on the widened operands.
///   kxcomplex z = kxcomplex{kxreal{1}, kxreal{2}} * 2.0Q;   // kxcmul: 2 + 4i
template <class A, class B>
  requires complex_pair<A, B>
complex operator+(const A& a, const B& b) {
  complex c;
  kxcadd(complex(a), complex(b), c);
  return c;
}
template <class A, class B>
  requires complex_pair<A, B>
complex operator-(const A& a, const B& b) {
  complex c;
  kxcsub(complex(a), complex(b), c);
  return c;
}
template <class A, class B>
  requires complex_pair<A, B>
complex operator*(const A& a, const B& b) {
  complex c;
  kxcmul(complex(a), complex(b), c);
  return c;
}
/// Stops with "*** KXCDIV: Divisor is zero." for a zero divisor.
template <class A, class B>
  requires complex_pair<A, B>
complex operator/(const A& a, const B& b) {
  complex c;
  kxcdiv(complex(a), complex(b), c);
  return c;
}

template <class A, class B> requires foreign_complex_pair<A, B> complex operator+(const A&, const B&) = delete;
template <class A, class B> requires foreign_complex_pair<A, B> complex operator-(const A&, const B&) = delete;
template <class A, class B> requires foreign_complex_pair<A, B> complex operator*(const A&, const B&) = delete;
template <class A, class B> requires foreign_complex_pair<A, B> complex operator/(const A&, const B&) = delete;

/// a op= b is a = a op b, with the same routine.
template <complex_operand B> complex& operator+=(complex& a, const B& b) { return a = a + b; }
template <complex_operand B> complex& operator-=(complex& a, const B& b) { return a = a - b; }
template <complex_operand B> complex& operator*=(complex& a, const B& b) { return a = a * b; }
template <complex_operand B> complex& operator/=(complex& a, const B& b) { return a = a / b; }

/// -a: the sign bits of all four words flipped.
inline complex operator-(const complex& a) { return {-a.re, -a.im}; }

/// a^n for an integer n, by kxcpwr (and its accuracy); stops when a is zero
/// and n <= 0, and for n = -2^31.
///   pow(kxcomplex{kxreal{0}, kxreal{1}}, 2);   // exactly -1
inline complex pow(const complex& a, int n) {
  complex b;
  kxcpwr(a, n, b);
  return b;
}

/// Only an int among the integer and floating exponents: a long would be
/// cut, a double has no integer power. (kxreal and kxcomplex exponents are
/// the non-integer powers.)
template <class T>
  requires(!std::same_as<T, int>)
complex pow(const complex&, T) = delete;

// ---- Equality ---------------------------------------------------------------

/// Both parts equal as kxreal == has it (kxcpr gives 0 for each; a NaN word
/// makes them unequal); != is its negation. There is no ordering.
///   kxcomplex{kxreal{2}} == 2.0Q;   // true: the imaginary part is compared with 0
template <class A, class B>
  requires complex_pair<A, B>
bool operator==(const A& a, const B& b) {
  const complex x(a), y(b);
  return x.re == y.re && x.im == y.im;
}

template <class A, class B> requires foreign_complex_pair<A, B> bool operator==(const A&, const B&) = delete;

}  // namespace kx
