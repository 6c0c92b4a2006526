#include <kx/core/complex_range.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/types/powers.h>

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

kxreal angle(const complex& z) {
  kxreal theta;
  kxang(z.re, z.im, theta);
  return theta;
}

kxreal exp_of(const kxreal& t) {
  kxreal e;
  kxexp(t, e);
  return e;
}

kxreal log_of(const kxreal& a) {
  kxreal l;
  kxlog(a, l);
  return l;
}

// m (cos phi + i sin phi).
complex polar(const kxreal& m, const kxreal& phi) {
  kxreal c, s;
  kxcssnr(phi, c, s);
  complex result;
  kxmul(m, c, result.re);
  kxmul(m, s, result.im);
  return result;
}

}  // namespace

kxreal pow(const real& a, const real& b) {
  kxreal t;
  kxmul(log_of(a), b, t);
  return exp_of(t);
}

kxreal pow(const real& a, __float128 q) {
  kxreal t;
  kxmuld(log_of(a), q, t);
  return exp_of(t);
}

kxreal pow(__float128 q, const real& b) { return pow(kxreal{q, 0}, b); }

complex pow(const complex& z, const real& r) {
  const kxreal l = log_modulus(z);
  kxreal t, phi;
  kxmul(l, r, t);
  kxmul(r, angle(z), phi);
  return polar(exp_of(t), phi);
}

// A negative base has no real logarithm: it goes the way of a complex base.
complex pow(const real& a, const complex& w) {
  if (a.hi < 0) return pow(complex{a}, w);
  kxreal t, phi;
  kxmul(log_of(a), w.re, t);
  kxmul(log_of(a), w.im, phi);
  return polar(exp_of(t), phi);
}

complex pow(const complex& z, const complex& w) {
  const kxreal l = log_modulus(z);
  kxreal re_l, theta_im, t;
  kxmul(w.re, l, re_l);
  const kxreal theta = angle(z);
  kxmul(theta, w.im, theta_im);
  kxsub(re_l, theta_im, t);
  const kxreal m = exp_of(t);
  kxreal im_l, re_theta, phi;
  kxmul(w.im, l, im_l);
  kxmul(w.re, theta, re_theta);
  kxadd(im_l, re_theta, phi);
  return polar(m, phi);
}

}  // namespace kx
