// Sums, products and quotients of complex quad pairs, and the conversions
// into kxcomplex. Every operand is read into locals before the result is
// written, so the result may alias an operand.
#include <kx/core/complex.h>
#include <kx/core/complex_range.h>
#include <kx/support/fatal.h>

namespace {

// a / b by the three-product numerator and one reciprocal of |b|^2, for a
// nonzero b whose squares stay in range.
kxcomplex quotient(const kxcomplex& a, const kxcomplex& b) {
  kxreal s0, s1, s2, s3, s4, s5, s6, s7;
  kxmul(a.re, b.re, s0);
  kxmul(a.im, b.im, s1);
  kxadd(s0, s1, s2);
  kxsub(s0, s1, s3);
  kxadd(a.re, a.im, s4);
  kxsub(b.re, b.im, s5);
  kxmul(s4, s5, s6);
  kxsub(s6, s3, s7);
  kxreal re2, im2, d, f;
  kxmul(b.re, b.re, re2);
  kxmul(b.im, b.im, im2);
  kxadd(re2, im2, d);
  kxdiv(kxreal{1, 0}, d, f);
  kxcomplex c;
  kxmul(s2, f, c.re);
  kxmul(s7, f, c.im);
  return c;
}

}  // namespace

void kxcadd(const kxcomplex& a, const kxcomplex& b, kxcomplex& c) {
  kxadd(a.re, b.re, c.re);
  kxadd(a.im, b.im, c.im);
}

void kxcsub(const kxcomplex& a, const kxcomplex& b, kxcomplex& c) {
  kxsub(a.re, b.re, c.re);
  kxsub(a.im, b.im, c.im);
}

void kxcmul(const kxcomplex& a, const kxcomplex& b, kxcomplex& c) {
  kxreal s0, s1, s2, s3;
  kxmul(a.re, b.re, s0);
  kxmul(a.im, b.im, s1);
  kxmul(a.re, b.im, s2);
  kxmul(a.im, b.re, s3);
  kxsub(s0, s1, c.re);
  kxadd(s2, s3, c.im);
}

// A divisor whose |b|^2 would overflow or underflow is taken 2^-k lower,
// a / b = (a / (b 2^-k)) 2^-k, both scalings exact.
void kxcdiv(const kxcomplex& a, const kxcomplex& b, kxcomplex& c) {
  if (b.re.hi == 0 && b.im.hi == 0) {
    kx::fatal("('*** KXCDIV: Divisor is zero.')");
  }
  const int k = kx::square_scaling_exponent(b);
  if (k == 0) {
    c = quotient(a, b);
  } else {
    c = kx::scaled_by_power_of_two(quotient(a, kx::scaled_by_power_of_two(b, -k)), -k);
  }
}

void kxceq(const kxcomplex& a, kxcomplex& b) { b = a; }

void kxztoc(__complex128 z, kxcomplex& b) { b = kxcomplex{z}; }

void kxxtoc(const kxreal& a, kxcomplex& b) { b = kxcomplex{a, kxreal{0, 0}}; }

void kxxxtoc(const kxreal& a, const kxreal& b, kxcomplex& c) { c = kxcomplex{a, b}; }
