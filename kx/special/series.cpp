// The stopping test, the array check, the lower incomplete gamma series and
// the factorial shared by the special functions.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/quad_integer.h>
#include <kx/elementary/circle_constants.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace kx {

namespace {
constexpr __float128 eps = 0x1p-226Q;
constexpr __float128 filled_tolerance = 0x1p-110Q;
constexpr __float128 sine_series_width = 1 / 32.0Q;
constexpr __float128 expm1_width = 0.125Q;
constexpr int expm1_term_limit = 1000;
constexpr int lower_gamma_term_limit = 1000000;
}  // namespace

namespace {

// Where both words of s are zeros or lie at least 226 binades inside the
// integer window, and s is normalised (s.hi is the rounded sum of its
// words), kxmuld(s, 2^-226) is the two words scaled: each product is exact
// with error +0, the two-sum of s.hi 2^-226 and s.lo 2^-226 is exact as
// the unscaled one is, and so is the quick two-sum. Only a zero low word
// may change its sign there, which no comparison sees.
constexpr int eps_binades = 226;
static_assert(eps * 0x1p226Q == 1);

bool scales_exactly(const kxreal& s) {
  const iq_u128 h = iq_bits(s.hi);
  const iq_u128 l = iq_bits(s.lo);
  const auto inside = [](iq_u128 b) {
    return iq_in_window(iq_field_of(b)) && iq_in_window(iq_field_of(b) - eps_binades);
  };
  return inside(h) && (iq_is_zero(l) || inside(l)) && iq_bits(iq_add(s.hi, s.lo)) == h;
}

__float128 scaled_down(__float128 x) {
  const iq_u128 b = iq_bits(x);
  return iq_is_zero(b) ? x : iq_quad(b - (static_cast<iq_u128>(eps_binades) << 112));
}

}  // namespace

bool settled(const kxreal& term, const kxreal& sum) {
  kxreal t;
  kxreal s;
  kxabs(term, t);
  kxabs(sum, s);
  if (scales_exactly(s)) {
    s = {scaled_down(s.hi), scaled_down(s.lo)};
  } else {
    kxmuld(s, eps, s);
  }
  int ic = 0;
  kxcpr(t, s, ic);
  return ic <= 0;
}

bool bernoulli_ready(std::span<const kxreal> b, int minimum) {
  if (b.size() < static_cast<std::size_t>(minimum) || b.empty()) return false;
  return fabsq(b[0].hi - 1 / 6.0Q) <= filled_tolerance;
}

kxreal sin_pi(const kxreal& x) {
  kxreal pi;
  kxpi(pi);
  kxreal a;
  if (fabsq(x.hi) <= sine_series_width) {
    kxmul(pi, x, a);
    return sine_series(a);
  }
  if (fabsq(x.hi) >= 1 - sine_series_width) {
    kxsub(kxreal{x.hi > 0 ? 1 : -1}, x, a);
    kxmul(pi, a, a);
    return sine_series(a);
  }
  kxmul(pi, x, a);
  kxreal c;
  kxreal s;
  kxcssnr(a, c, s);
  return s;
}

kxreal one_minus_power_of_two(const kxreal& u) {
  kxreal r;
  if (fabsq(u.hi) >= expm1_width) {
    kxpower(kxreal{2}, u, r);
    kxsub(kxreal{1}, r, r);
    return r;
  }
  kxreal x;
  kxlog2(x);
  kxmul(x, u, x);
  kxreal term = x;
  kxreal sum = x;
  for (int k = 2; k <= expm1_term_limit; ++k) {
    kxmul(term, x, term);
    kxdivd(term, k, term);
    kxadd(sum, term, sum);
    if (settled(term, sum)) break;
  }
  kxneg(sum, r);
  return r;
}

kxreal power_over_exp(const kxreal& z, const kxreal& p) {
  kxreal zp;
  kxreal ez;
  if (z.hi < 0) {
    // Only E1 of a negative argument gets here, with the integer power -1.
    kxnpwr(z, static_cast<int>(p.hi), zp);
    kxneg(z, ez);
    kxexp(ez, ez);
    kxmul(zp, ez, zp);
    return zp;
  }
  kxpower(z, p, zp);
  kxexp(z, ez);
  kxdiv(zp, ez, zp);
  return zp;
}

kxreal regularised_lower_gamma(const kxreal& s, const kxreal& z, const kxreal& g) {
  kxreal r = power_over_exp(z, s);
  kxmul(r, lower_gamma_sum(s, z, g), r);
  return r;
}

kxreal lower_gamma_sum(const kxreal& s, const kxreal& z, const kxreal& g) {
  kxreal term;
  kxmul(s, g, term);
  kxdiv(kxreal{1}, term, term);
  kxreal sum = term;
  for (int k = 1;; ++k) {
    kxreal f;
    kxadd(s, kxreal{k}, f);
    kxmul(term, z, term);
    kxdiv(term, f, term);
    kxadd(sum, term, sum);
    if (settled(term, sum)) break;
    if (k >= lower_gamma_term_limit) fatal("('*** KXINCGAMMAR: Loop end error 1')");
  }
  return sum;
}

kxreal factorial(int n) {
  kxreal f{1, 0};
  for (int i = 2; i <= n; ++i) kxmuld(f, i, f);
  return f;
}

}  // namespace kx
