// Reading and writing one to five values of one kind through the input and
// output units (units.h): kxread and kxwrite take the values as arguments,
// a complex value as its real part then its imaginary part.
#pragma once

#include <concepts>

#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/core/complex.h>

/// Writes each value with ld significant digits in a field of ln characters
/// as one line on output unit iu (kxwritenum), in order: two values write
/// two lines. Stops with kxwritenum's messages.
///   kxwrite(6, 80, 70, x, y);   // two lines: x, then y
template <std::same_as<kxreal>... More>
  requires(sizeof...(More) <= 4)
void kxwrite(int iu, int ln, int ld, const kxreal& a, const More&... more) {
  for (const kxreal* x : {&a, &more...}) kxwritenum(iu, ln, ld, *x);
}

/// Writes each complex value as two lines, its real part and then its
/// imaginary part, as the real kxwrite does.
///   kxwrite(6, 80, 70, z);   // two lines: z.re, then z.im
template <std::same_as<kxcomplex>... More>
  requires(sizeof...(More) <= 4)
void kxwrite(int iu, int ln, int ld, const kxcomplex& a, const More&... more) {
  for (const kxcomplex* z : {&a, &more...}) {
    kxwritenum(iu, ln, ld, z->re);
    kxwritenum(iu, ln, ld, z->im);
  }
}

/// Reads each value from the next line of input unit iu (kxinp), in order.
/// Stops with kxinp's messages (end of file, a unit without a stream, a
/// line that is not a decimal literal).
///   kxreal x, y;  kxread(5, x, y);   // x from the first line, y from the second
template <std::same_as<kxreal>... More>
  requires(sizeof...(More) <= 4)
void kxread(int iu, kxreal& a, More&... more) {
  for (kxreal* x : {&a, &more...}) kxinp(iu, *x);
}

/// Reads each complex value from two lines, its real part and then its
/// imaginary part.
///   kxcomplex z;  kxread(5, z);   // z.re from one line, z.im from the next
template <std::same_as<kxcomplex>... More>
  requires(sizeof...(More) <= 4)
void kxread(int iu, kxcomplex& a, More&... more) {
  for (kxcomplex* z : {&a, &more...}) {
    kxinp(iu, z->re);
    kxinp(iu, z->im);
  }
}
