#include <kx/core/complex_range.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/types/complex_elementary.h>

namespace kx {

namespace {

// ln|z| = ln(x^2 + y^2) / 2. Where the squares would leave the range z is
// taken 2^-k lower and k ln 2 added back.
kxreal log_modulus(const complex& z) {
  const int k = square_scaling_exponent(z);
  const complex w = k == 0 ? z : scaled_by_power_of_two(z, -k);
  kxreal re2, im2, sum, l;
  kxmul(w.re, w.re, re2);
  kxmul(w.im, w.im, im2);
  kxadd(re2, im2, sum);
  kxlog(sum, l);
  kxmuld(l, 0.5Q, l);
  if (k != 0) {
    kxreal shift;
    kxlog2(shift);
    kxmuld(shift, k, shift);
    kxadd(l, shift, l);
  }
  return l;
}

// What sin and cos of x + iy share: e1 = e^-y, e2 = e^y = 1/e1, cos x, sin x.
struct circular_parts {
  kxreal e1, e2, c, s;
};

// e^-y is 0 exactly where -y <= -11000; there e^y is beyond kxexp's range
// and stops with its message, as e^-y itself does for y <= -11000.
circular_parts circular_parts_of(const complex& z) {
  circular_parts p;
  kxexp(kxreal{-z.im.hi, -z.im.lo}, p.e1);
  if (p.e1.hi == 0) kxexp(z.im, p.e2);
  kxdiv(kxreal{1, 0}, p.e1, p.e2);
  kxcssnr(z.re, p.c, p.s);
  return p;
}

// (re_factor (e1 + e2)/2, im_factor (e1 - e2) difference_half), with
// difference_half = +-1/2.
complex hyperbolic_combination(const circular_parts& p, __float128 difference_half, const kxreal& re_factor,
                               const kxreal& im_factor) {
  kxreal sum, difference;
  kxadd(p.e1, p.e2, sum);
  kxmuld(sum, 0.5Q, sum);
  kxsub(p.e1, p.e2, difference);
  kxmuld(difference, difference_half, difference);
  complex w;
  kxmul(sum, re_factor, w.re);
  kxmul(difference, im_factor, w.im);
  return w;
}

}  // namespace

complex exp(const complex& z) {
  kxreal m, c, s;
  kxexp(z.re, m);
  kxcssnr(z.im, c, s);
  complex w;
  kxmul(m, c, w.re);
  kxmul(m, s, w.im);
  return w;
}

complex log(const complex& z) {
  complex w;
  w.re = log_modulus(z);
  kxang(z.re, z.im, w.im);
  return w;
}

complex sin(const complex& z) {
  const circular_parts p = circular_parts_of(z);
  return hyperbolic_combination(p, -0.5Q, p.s, p.c);
}

complex cos(const complex& z) {
  const circular_parts p = circular_parts_of(z);
  return hyperbolic_combination(p, 0.5Q, p.c, p.s);
}

}  // namespace kx
