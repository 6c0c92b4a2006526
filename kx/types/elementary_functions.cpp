#include <kx/core/complex_range.h>
#include <kx/elementary/agm.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/types/elementary_functions.h>
#include <kx/types/result_of.h>

namespace kx {

namespace {

kxreal quotient(const kxreal& a, const kxreal& b) {
  kxreal c;
  kxdiv(a, b, c);
  return c;
}

// sqrt(1 - a^2), the other leg of the unit triangle with leg a.
kxreal complement_leg(const kxreal& a) {
  kxreal t;
  kxmul(a, a, t);
  kxsub(kxreal{1, 0}, t, t);
  kxsqrt(t, t);
  return t;
}

kxreal angle(const kxreal& x, const kxreal& y) {
  kxreal theta;
  kxang(x, y, theta);
  return theta;
}

}  // namespace

kxreal exp(const kxreal& a) { return result_of(kxexp, a); }

kxreal log(const kxreal& a) { return result_of(kxlog, a); }

kxreal log10(const kxreal& a) {
  const kxreal l = log(a);
  return quotient(l, log(kxreal{10, 0}));
}

kxreal sin(const kxreal& a) { return result_pair_of(kxcssnr, a).second; }

kxreal cos(const kxreal& a) { return result_pair_of(kxcssnr, a).first; }

kxreal tan(const kxreal& a) {
  const result_pair cs = result_pair_of(kxcssnr, a);
  return quotient(cs.second, cs.first);
}

kxreal sinh(const kxreal& a) { return result_pair_of(kxcoshsinh, a).second; }

kxreal cosh(const kxreal& a) { return result_pair_of(kxcoshsinh, a).first; }

kxreal tanh(const kxreal& a) {
  const result_pair ch_sh = result_pair_of(kxcoshsinh, a);
  return quotient(ch_sh.second, ch_sh.first);
}

kxreal asin(const kxreal& a) { return angle(complement_leg(a), a); }

kxreal acos(const kxreal& a) { return angle(a, complement_leg(a)); }

kxreal atan(const kxreal& a) { return angle(kxreal{1, 0}, a); }

kxreal atan2(const kxreal& y, const kxreal& x) { return angle(x, y); }

kxreal asinh(const kxreal& a) { return result_of(kxasinh, a); }

kxreal acosh(const kxreal& a) { return result_of(kxacosh, a); }

kxreal atanh(const kxreal& a) { return result_of(kxatanh, a); }

kxreal agm(const kxreal& a, const kxreal& b) {
  kxreal c;
  kxagmr(a, b, c);
  return c;
}

// The modulus of (a, b): the same chain of routines, with the exact scaling
// where a square would overflow or lose its low word.
kxreal hypot(const kxreal& a, const kxreal& b) { return modulus(kxcomplex{a, b}); }

}  // namespace kx
