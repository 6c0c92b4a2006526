// The principal complex square root by the half-angle method: w =
// sqrt((|a| + |a.re|) / 2) is the larger part of the root, and the other is
// a.im / 2w, so no step subtracts nearly equal values.
#include <kx/core/complex.h>
#include <kx/core/complex_range.h>

namespace {

kxreal magnitude_of(const kxreal& x) { return x.hi < 0 ? kxreal{-x.hi, -x.lo} : x; }

// The root of a nonzero a whose squares stay in range.
kxcomplex half_angle_root(const kxcomplex& a) {
  const kxreal s = kx::modulus_in_range(a);
  const kxreal t = magnitude_of(a.re);
  kxreal half, w, d;
  kxadd(s, t, half);
  kxmuld(half, 0.5Q, half);
  kxsqrt(half, w);
  kxmuld(w, 2, d);
  kxcomplex b;
  if (a.re.hi >= 0) {
    b.re = w;
    kxdiv(a.im, d, b.im);
  } else {
    kxreal r;
    kxdiv(a.im, d, r);
    b.re = magnitude_of(r);
    b.im = a.im.hi < 0 ? kxreal{-w.hi, -w.lo} : w;
  }
  return b;
}

}  // namespace

// An a whose squares would leave the range is taken 2^-2k lower, and its
// root scaled back by 2^k: sqrt(a) = sqrt(a 2^-2k) 2^k, both scalings exact.
void kxcsqrt(const kxcomplex& a, kxcomplex& b) {
  if (a.re.hi == 0 && a.im.hi == 0) {
    b = kxcomplex{};
    return;
  }
  const int k = kx::square_scaling_exponent(a) / 2;
  if (k == 0) {
    b = half_angle_root(a);
  } else {
    b = kx::scaled_by_power_of_two(half_angle_root(kx::scaled_by_power_of_two(a, -2 * k)), k);
  }
}
