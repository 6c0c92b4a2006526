// Gamma(t) reduced to Gamma(y), 0 < y < 1, which comes from the two series
// S1, S2 (the Bessel functions I_y(118), I_-y(118) up to known factors) and
// the reflection formula. The upper incomplete gamma function by its
// asymptotic expansion for |z| >= 188.258, Legendre's continued fraction for
// 1 <= z < 188.258 above s, and the lower series or the series of E1
// elsewhere. Digamma by a shift of 27 and its asymptotic series.
#include <quadmath.h>

#include <climits>

#include <span>

#include <kx/core/core.h>
#include <kx/core/quad_from_integer.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/gamma.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

constexpr __float128 gamma_bound = 1e8Q;
// Below this |y|, Gamma(y) = 1/y - gamma + O(y): the O(y) term is under
// 2^-226 of the result, and the series' product y sin(pi y) S2 would
// underflow or its sine vanish.
constexpr __float128 pole_width = 1e-36Q;
constexpr __float128 bessel_constant = 59.7442235524553649733449999999999946Q;

constexpr __float128 asymptotic_floor = 188.257999999999999999999999999999994Q;
// From here up to the asymptotic floor, for z above s, the lower series and
// the E1 series cancel as Gamma(s, z) falls below Gamma(s) (or E1 below
// log z); the continued fraction settles at z = 1 in under 1500 terms.
constexpr __float128 fraction_floor = 1;
// A step of the continued fraction carries rounding noise of a few units of
// 2^-226, so its convergence test cannot ask for less than this.
constexpr __float128 fraction_tolerance = 0x1p-220Q;

constexpr int digamma_shift = 27;
constexpr int digamma_minimum = 95;

[[noreturn]] void gamma_domain_error() {
  kx::fatal(
      "('*** KXGAMMAR: input argument must have absolute value <=',f10.0,','/ 'must not be zero, "
      "and if negative must not be an integer.')",
      gamma_bound);
}

// Sum over k >= 0 of d^k / (k! y (y+1) ... (y+k)) for y = sign * y0.
kxreal bessel_series(const kxreal& y, __float128 d, int which) {
  kxreal term;
  kxdiv(kxreal{1}, y, term);
  kxreal sum = term;
  for (int k = 1; k <= kx::gamma_series_term_limit; ++k) {
    kxreal divisor;
    const __float128 kq = kx::iq_from_integer(k);
    kxadd(y, kxreal{kq}, divisor);
    kxmuld(divisor, kq, divisor);
    kxdiv(term, divisor, term);
    kxmuld(term, d, term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) return sum;
  }
  kx::fatal("('*** KXGAMMAR: iteration limit exceeded',2i10)", which, kx::gamma_series_term_limit);
}

// Gamma(y) for 0 < y < 1, with sin(pi y) given (taken from the exact offset).
kxreal gamma_of_fraction(const kxreal& y, const kxreal& sin_pi_y) {
  if (y.hi < pole_width) {
    kxreal g;
    kxreal r;
    kxegamma(g);
    kxdiv(kxreal{1}, y, r);
    kxsub(r, g, r);
    return r;
  }
  const __float128 alpha = 2 * truncq(bessel_constant);
  const __float128 d = alpha * alpha * 0.25Q;
  kxreal minus_y;
  kxneg(y, minus_y);
  const kxreal s1 = bessel_series(y, d, 1);
  const kxreal s2 = bessel_series(minus_y, d, 2);
  kxreal pi;
  kxpi(pi);
  kxreal den;
  kxmul(sin_pi_y, s2, den);
  kxmul(den, y, den);
  kxreal g;
  kxmul(pi, s1, g);
  kxdiv(g, den, g);
  kxneg(g, g);
  kxsqrt(g, g);
  kxreal scale;
  kxlog(kxreal{alpha / 2}, scale);
  kxmul(y, scale, scale);
  kxexp(scale, scale);
  kxmul(g, scale, g);
  return g;
}


kxreal incgamma_fraction(const kxreal& s, const kxreal& z);

// Gamma(s, z) for |z| >= 188.258: z^(s-1) e^-z (1 + (s-1)/z + (s-1)(s-2)/z^2 + ...).
// Past k = s its terms only grow once they grow: for z > 0 it then hands over
// to the continued fraction (for s below about -3 near 188.258 the smallest
// term stays above 2^-226 of the sum).
kxreal incgamma_asymptotic(const kxreal& s, const kxreal& z) {
  kxreal sum{1};
  kxreal term{1};
  for (int k = 1;; ++k) {
    const __float128 previous = fabsq(term.hi);
    kxreal f;
    kxsub(s, kxreal{k}, f);
    kxmul(term, f, term);
    kxdiv(term, z, term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) break;
    if (z.hi > 0 && k > s.hi && fabsq(term.hi) > previous) return incgamma_fraction(s, z);
    // A NaN term (s infinite) never settles: the message comes at once
    // rather than after the whole budget.
    if (k >= kx::incgamma_term_limit || isnanq(term.hi)) kx::fatal("('*** KXINCGAMMAR: Loop end error 3')");
  }
  kxreal s1;
  kxsub(s, kxreal{1}, s1);
  kxreal r = kx::power_over_exp(z, s1);
  kxmul(r, sum, r);
  return r;
}

// Gamma(s, z) for z >= 1 above s: z^s e^-z / (z + 1 - s - 1(1 - s)/(z + 3 - s - 2(2 - s)/...)),
// by the modified Lentz recurrence.
kxreal incgamma_fraction(const kxreal& s, const kxreal& z) {
  const kxreal tiny{0x1p-16000Q, 0};
  kxreal b;
  kxsub(z, s, b);
  kxadd(b, kxreal{1}, b);
  kxreal c{0x1p16000Q, 0};
  kxreal d;
  kxdiv(kxreal{1}, b, d);
  kxreal h = d;
  for (int i = 1;; ++i) {
    kxreal an;
    kxsub(kxreal{i}, s, an);
    kxmuld(an, -i, an);
    kxadd(b, kxreal{2}, b);
    kxmul(an, d, d);
    kxadd(d, b, d);
    if (fabsq(d.hi) < tiny.hi) d = tiny;
    kxdiv(an, c, c);
    kxadd(b, c, c);
    if (fabsq(c.hi) < tiny.hi) c = tiny;
    kxdiv(kxreal{1}, d, d);
    kxreal del;
    kxmul(d, c, del);
    kxmul(h, del, h);
    kxreal off;
    kxsub(del, kxreal{1}, off);
    if (fabsq(off.hi) <= fraction_tolerance) break;
    if (i >= kx::incgamma_term_limit) kx::fatal("('*** KXINCGAMMAR: Loop end error 2')");
  }
  kxreal r = kx::power_over_exp(z, s);
  kxmul(r, h, r);
  return r;
}

// Gamma(s, z) = Gamma(s) (1 - P(s, z)).
kxreal incgamma_lower_series(const kxreal& s, const kxreal& z) {
  kxreal g;
  kxgammar(s, g);
  kxreal r = kx::regularised_lower_gamma(s, z, g);
  kxsub(kxreal{1}, r, r);
  kxmul(g, r, r);
  return r;
}

// E1(z) = -gamma - log|z| + e^(-z/2) sum_k z^k H_k / (k! 2^(k-1)), H_k the odd harmonic sums.
kxreal exponential_integral(const kxreal& z) {
  kxreal t = z;
  kxreal h{1};
  kxreal sum = z;
  for (int k = 2;; ++k) {
    if (k % 2 == 1) {
      kxreal inv;
      kxdiv(kxreal{1}, kxreal{k}, inv);
      kxadd(h, inv, h);
    }
    kxmul(t, z, t);
    kxdivd(t, 2 * k, t);
    kxreal th;
    kxmul(t, h, th);
    kxadd(sum, th, sum);
    if (kx::settled(th, sum)) break;
    if (k >= kx::incgamma_term_limit) kx::fatal("('*** KXINCGAMMAR: Loop end error 1')");
  }
  kxreal half;
  kxmuld(z, -0.5Q, half);
  kxexp(half, half);
  kxmul(half, sum, sum);
  kxreal g;
  kxreal l;
  kxegamma(g);
  kxabs(z, l);
  kxlog(l, l);
  kxreal r;
  kxneg(g, r);
  kxsub(r, l, r);
  kxadd(r, sum, r);
  return r;
}

// Gamma(-m, z), m >= 1, from E1 and P = sum_j (-z)^j (m-1-j)!: the whole
// divided by m! at the end, or, where m! would overflow, each piece divided
// by it as it is formed (P/m! starts at 1/m).
kxreal incgamma_negative_integer(int m, const kxreal& z, const kxreal& e1) {
  kxreal mf = kx::factorial(m);
  const bool scaled = !finiteq(mf.hi);
  kxreal p;
  if (scaled) {
    kxdiv(kxreal{1}, kxreal{m}, p);
  } else {
    p = kx::factorial(m - 1);
  }
  kxreal term = p;
  for (int j = 1; j <= m - 1; ++j) {
    kxmul(term, z, term);
    kxneg(term, term);
    kxdivd(term, m - j, term);
    kxadd(p, term, p);
  }
  kxreal ez;
  kxreal zm;
  kxexp(z, ez);
  kxnpwr(z, m, zm);
  kxreal q;
  kxdiv(p, ez, q);
  kxdiv(q, zm, q);
  kxreal e = e1;
  if (scaled) {
    for (int i = 2; i <= m; ++i) kxdivd(e, i, e);
  }
  kxreal r;
  if (m % 2 == 0) {
    kxadd(e, q, r);
  } else {
    kxsub(q, e, r);
  }
  if (!scaled) kxdiv(r, mf, r);
  return r;
}

}  // namespace

void kxgammar(const kxreal& t, kxreal& z) {
  // Written so that a NaN fails it too (its integer part was converted to
  // an int, which is undefined).
  if (t.hi == 0 || !(fabsq(t.hi) <= gamma_bound)) gamma_domain_error();
  kxreal n;
  kxnint(t, n);
  int ic = 0;
  kxcpr(t, n, ic);
  if (t.hi < 0 && ic == 0) gamma_domain_error();
  if (fabsq(t.hi) < pole_width) {
    z = gamma_of_fraction(t, kxreal{});
    return;
  }
  kxreal ip;
  kxreal f;
  kxinfr(t, ip, f);
  if (t.hi > 0 && f.hi == 0) {
    z = kx::factorial(static_cast<int>(ip.hi) - 1);
    return;
  }
  kxreal a{1};
  kxreal y;
  kxreal sine;
  if (t.hi > 0) {
    const int m = static_cast<int>(ip.hi);
    for (int i = 1; i <= m; ++i) {
      kxreal f1;
      kxsub(t, kxreal{i}, f1);
      kxmul(a, f1, a);
    }
    y = f;
    if (y.hi >= pole_width) sine = kx::sin_pi(y);
  } else {
    // sin(pi y) = sin(pi g) for y = 1 - g: the offset g is exact.
    kxreal one_minus_t;
    kxreal g;
    kxsub(kxreal{1}, t, one_minus_t);
    kxinfr(one_minus_t, ip, g);
    kxsub(kxreal{1}, g, y);
    const int m = static_cast<int>(ip.hi);
    for (int i = 0; i < m; ++i) {
      kxreal f1;
      kxadd(t, kxreal{i}, f1);
      kxdiv(a, f1, a);
    }
    if (y.hi >= pole_width) sine = kx::sin_pi(g);
  }
  kxmul(a, gamma_of_fraction(y, sine), z);
}

void kxincgammar(const kxreal& s, const kxreal& z, kxreal& g) {
  if (z.hi == 0 || (z.hi < 0 && s.hi != 0)) {
    kx::fatal(
        "('*** KXINCGAMMAR: The second argument must not be zero,'/ 'and must not be negative unless the "
        "first is zero.')");
  }
  // A NaN has no integer part to choose a method by: the result is NaN.
  if (isnanq(s.hi) || isnanq(z.hi)) {
    g = {nanq(""), nanq("")};
    return;
  }
  if (fabsq(z.hi) >= asymptotic_floor) {
    g = incgamma_asymptotic(s, z);
    return;
  }
  kxreal ip;
  kxreal f;
  kxinfr(s, ip, f);
  const bool integer = f.hi == 0;
  // Saturated beyond 10^9 (a plain conversion past the int range is
  // undefined): such an s takes the same branch as any large one.
  const int n = fabsq(ip.hi) < 1e9Q ? static_cast<int>(ip.hi) : (ip.hi > 0 ? INT_MAX : INT_MIN);
  if (integer && n == 1) {
    kxreal m;
    kxneg(z, m);
    kxexp(m, g);
    return;
  }
  int above = 0;
  kxcpr(z, s, above);
  if (z.hi >= fraction_floor && above > 0) {
    g = incgamma_fraction(s, z);
    return;
  }
  if (!integer || n >= 2) {
    g = incgamma_lower_series(s, z);
    return;
  }
  const kxreal e1 = exponential_integral(z);
  g = n == 0 ? e1 : incgamma_negative_integer(-n, z, e1);
}

void kxdigammabe(std::span<const kxreal> b, const kxreal& x, kxreal& psi) {
  if (x.hi <= 0) kx::fatal("('*** KXDIGAMMABE: Argument is less than or equal to 0')");
  if (!kx::bernoulli_ready(b, digamma_minimum)) {
    kx::fatal(
        "('*** KXDIGAMMABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' "
        "entries using KXBERNE or KXBERNER.')",
        digamma_minimum);
  }
  kxreal y;
  kxadd(x, kxreal{digamma_shift}, y);
  kxreal s1;
  for (int i = 0; i < digamma_shift; ++i) {
    kxreal xi;
    kxreal r;
    kxadd(x, kxreal{i}, xi);
    kxdiv(kxreal{1}, xi, r);
    kxadd(s1, r, s1);
  }
  kxreal y2;
  kxmul(y, y, y2);
  kxreal power{1};
  kxreal s2;
  for (std::size_t k = 1;; ++k) {
    if (k > b.size()) kx::fatal("('*** KXDIGAMMABE: Loop end error: Increase NB2')");
    kxmul(power, y2, power);
    kxreal den;
    kxmuld(power, 2 * static_cast<int>(k), den);
    kxreal term;
    kxdiv(b[k - 1], den, term);
    kxadd(s2, term, s2);
    if (kx::settled(term, s2)) break;
  }
  kxreal l;
  kxlog(y, l);
  kxreal r;
  kxneg(s1, r);
  kxadd(r, l, r);
  kxreal half;
  kxmuld(y, 2, half);
  kxdiv(kxreal{1}, half, half);
  kxsub(r, half, r);
  kxsub(r, s2, psi);
}
