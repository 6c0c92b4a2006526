#include <kx/types/complex_elementary.h>
#include <kx/types/elementary_functions.h>
#include <kx/types/powers.h>

namespace kx {

namespace {

// m (cos phi + i sin phi) for m = e^t: the complex exponential of t + i phi.
complex polar_of_exp(const kxreal& t, const kxreal& phi) { return exp(complex{t, phi}); }

}  // namespace

kxreal pow(const real& a, const real& b) {
  kxreal t;
  kxmul(log(a), b, t);
  return exp(t);
}

kxreal pow(const real& a, __float128 q) {
  kxreal t;
  kxmuld(log(a), q, t);
  return exp(t);
}

kxreal pow(__float128 q, const real& b) { return pow(kxreal{q, 0}, b); }

// log z = ln|z| + i theta.
complex pow(const complex& z, const real& r) {
  const complex l = log(z);
  kxreal t, phi;
  kxmul(l.re, r, t);
  kxmul(r, l.im, phi);
  return polar_of_exp(t, phi);
}

// A negative base has no real logarithm: it goes the way of a complex base.
complex pow(const real& a, const complex& w) {
  if (a.hi < 0) return pow(complex{a}, w);
  kxreal t, phi;
  kxmul(log(a), w.re, t);
  kxmul(log(a), w.im, phi);
  return polar_of_exp(t, phi);
}

complex pow(const complex& z, const complex& w) {
  const complex l = log(z);
  kxreal re_l, theta_im, t;
  kxmul(w.re, l.re, re_l);
  kxmul(l.im, w.im, theta_im);
  kxsub(re_l, theta_im, t);
  kxreal im_l, re_theta, phi;
  kxmul(w.im, l.re, im_l);
  kxmul(w.re, l.im, re_theta);
  kxadd(im_l, re_theta, phi);
  return polar_of_exp(t, phi);
}

}  // namespace kx
