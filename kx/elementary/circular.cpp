// cos and sin: r = a - n 2pi, the sine series of s = r/32 (|s| <= pi/32, at
// most 16 terms to 10^-70), cos 2s = 1 - 2 sin^2 s, four more double angles
// cos 2t = 2 cos^2 t - 1, and sin r = sign(r) sqrt(1 - cos^2 r). The angle
// of a point is Newton's iteration on the coordinate of larger magnitude.
#include <quadmath.h>

#include <algorithm>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_from_integer.h>
#include <kx/core/quad_order.h>
#include <kx/core/quad_words.h>
#include <kx/elementary/circle_constants.h>
#include <kx/elementary/circular.h>
#include <kx/support/fatal.h>

namespace kx {

/// 2 pi and pi/2 as normalised pairs (the words of pi times 2 and 1/2).
kxreal two_pi() {
  return {quad_from_words(0x4001921FB54442D1, 0x8469898CC51701B8),
          quad_from_words(0x3F8ECD129024E088, 0xA67CC74020BBEA61)};
}

kxreal half_pi() {
  return {quad_from_words(0x3FFF921FB54442D1, 0x8469898CC51701B8),
          quad_from_words(0x3F8CCD129024E088, 0xA67CC74020BBEA61)};
}

}  // namespace kx

namespace {

constexpr __float128 reduction_bound = 1e60Q;
constexpr __float128 series_tolerance = 1e-70Q;
constexpr __float128 reduction_scale = 32;
constexpr int double_angles_after_first = 4;
constexpr int term_limit = 1001;
constexpr int newton_steps = 3;

// Below this |r| the square of r/32 and the low word of cos r = 1 - r^2/2
// are subnormal or zero, and the sine from 1 - cos^2 would fade to 0; there
// sin r = r and cos r = 1 to within r^2/2, far below the format's precision.
const __float128 tiny_remainder = 0x1p-8190Q;

}  // namespace

kxreal kx::sine_series(const kxreal& s) {
  kxreal q;
  kxmul(s, s, q);
  kxreal term = s;
  kxreal sum = s;
  for (int k = 1;; ++k) {
    // -(2k)(2k+1), exact in a double as in an integer (k < 1001).
    const __float128 d = kx::iq_from_integer(-(2LL * k) * (2LL * k + 1));
    kxmul(term, q, term);
    kxdivd(term, d, term);
    kxadd(sum, term, sum);
    if (kx::iq_less(fabsq(term.hi), series_tolerance)) return sum;
    if (k + 1 == term_limit) kx::fatal("('*** KXCSSNR: Iteration limit exceeded.')");
  }
}

namespace {

// cos 32s from sin s: one step 2 (1/2 - sin^2 s), four steps 2 (c^2 - 1/2).
kxreal cosine_by_double_angles(const kxreal& sin_s) {
  const kxreal half{0.5Q, 0};
  kxreal c;
  kxmul(sin_s, sin_s, c);
  kxsub(half, c, c);
  kxmuld(c, 2, c);
  for (int i = 0; i < double_angles_after_first; ++i) {
    kxmul(c, c, c);
    kxsub(c, half, c);
    kxmuld(c, 2, c);
  }
  return c;
}

// The larger of the binary exponents of x.hi and y.hi (neither both zero).
int larger_exponent(const kxreal& x, const kxreal& y) {
  if (x.hi == 0) return ilogbq(y.hi);
  if (y.hi == 0) return ilogbq(x.hi);
  return std::max(ilogbq(x.hi), ilogbq(y.hi));
}

// Within these binary exponents x^2 + y^2 and its low word stay normal.
constexpr int square_exponent_limit = 8000;

// The point (x, y) 2^-e on the unit scale when a square would leave the range.
void scale_for_squares(kxreal& x, kxreal& y) {
  const int e = larger_exponent(x, y);
  if (e > square_exponent_limit || e < -square_exponent_limit) {
    x = kx::scaled_by_power_of_two(x, -e);
    y = kx::scaled_by_power_of_two(y, -e);
  }
}

}  // namespace

void kxcssnr(const kxreal& a, kxreal& x, kxreal& y) {
  if (a.hi == 0) {
    x = {1, 0};
    y = {0, 0};
    return;
  }
  if (fabsq(a.hi) >= reduction_bound) {
    kx::fatal("('*** KXCSSNR: argument is too large to compute cos or sin.')");
  }
  const kxreal two_pi = kx::two_pi();
  kxreal n;
  kxdiv(a, two_pi, n);
  kxnint(n, n);
  kxreal r;
  kxmul(n, two_pi, r);
  kxsub(a, r, r);
  if (r.hi == 0) {
    x = {1, 0};
    y = {0, 0};
    return;
  }
  if (fabsq(r.hi) < tiny_remainder) {
    x = {1, 0};
    y = r;
    return;
  }
  kxreal s;
  kxdivd(r, reduction_scale, s);
  const bool negative = s.hi < 0;
  const kxreal c = cosine_by_double_angles(sine_series(s));
  kxreal t;
  kxmul(c, c, t);
  kxsub(kxreal{1, 0}, t, t);
  kxsqrt(t, t);
  x = c;
  y = negative ? kxreal{-t.hi, -t.lo} : t;
}

void kxang(const kxreal& x, const kxreal& y, kxreal& a) {
  if (x.hi == 0) {
    if (y.hi == 0) kx::fatal("('*** KXANG: Both arguments are zero.')");
    const kxreal h = kx::half_pi();
    a = y.hi > 0 ? h : kxreal{-h.hi, -h.lo};
    return;
  }
  if (y.hi == 0) {
    if (x.hi > 0) {
      a = {0, 0};
    } else {
      kxpi(a);
    }
    return;
  }
  kxreal xn = x;
  kxreal yn = y;
  scale_for_squares(xn, yn);
  kxreal rho;
  kxreal t;
  kxmul(xn, xn, rho);
  kxmul(yn, yn, t);
  kxadd(rho, t, rho);
  kxsqrt(rho, rho);
  kxdiv(xn, rho, xn);
  kxdiv(yn, rho, yn);
  kxreal b{atan2q(yn.hi, xn.hi), 0};
  const bool by_sine = fabsq(xn.hi) > fabsq(yn.hi);
  for (int step = 0; step < newton_steps; ++step) {
    kxreal c;
    kxreal s;
    kxcssnr(b, c, s);
    if (by_sine) {
      kxsub(yn, s, t);
      kxdiv(t, c, t);
      kxadd(b, t, b);
    } else {
      kxsub(xn, c, t);
      kxdiv(t, s, t);
      kxsub(b, t, b);
    }
  }
  a = b;
}
