// zeta(s, a) for 0 < a < 1 as C0 + (S1 + S2)/2 + pi^(s-1/2) S3, sums of
// regularised upper incomplete gamma functions whose terms fall off like
// e^(-pi k^2); for a > 0 by the direct sum above s = 30.457 or by
// Euler-Maclaurin with the even-Bernoulli array. Polygamma as +-n! zeta(n+1, x).
#include <quadmath.h>

#include <algorithm>
#include <optional>
#include <span>

#include <kx/core/core.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

constexpr int bernoulli_minimum = 95;
// log 10 of 2^226, the digits of the format, and the Euler-Maclaurin offset
// (0.6 of it) beyond which no leading terms are summed.
constexpr __float128 format_digits = 68.0327790200597501183049902077354248Q;
constexpr __float128 maclaurin_offset = 40.8196674120358500709829941246412524Q;
// 226 log 2: the direct sum's reach is where (1 + 10^6/a)^s passes 2^226
// with a factor 2 to spare.
constexpr __float128 bits_log = 156.651262806547639928294459449547905Q;
constexpr __float128 half_budget = 500000;
// Below this a kxreal's low word is subnormal: fewer than 226 bits remain.
constexpr __float128 full_precision_floor = 0x1p-16269Q;
// Below this A^(s+1) leaves the tail's growing powers of A room in the range.
constexpr __float128 tail_power_ceiling = 0x1p16000Q;

// Above (2.303 D)/log(2.515 D) the direct sum needs fewer terms than Euler-Maclaurin.
__float128 direct_threshold() {
  const __float128 d = roundq(format_digits);
  return (2.30300000000000000000000000000000018Q * d) / logq(2.51500000000000000000000000000000011Q * d);
}

// The largest a at which the direct sum of (a + k)^-s settles within half
// its budget.
__float128 direct_reach(int s) { return half_budget / expm1q(bits_log / s); }

kxreal pi_value() {
  kxreal pi;
  kxpi(pi);
  return pi;
}

// pi x^2.
kxreal pi_square(const kxreal& x) {
  kxreal r;
  kxmul(x, x, r);
  kxmul(pi_value(), r, r);
  return r;
}

// |x|^n by kxnpwr.
kxreal abs_power(const kxreal& x, int n) {
  kxreal r;
  kxabs(x, r);
  kxnpwr(r, n, r);
  return r;
}

// x^-n by kxnpwr.
kxreal reciprocal_power(const kxreal& x, int n) {
  kxreal r;
  kxnpwr(x, -n, r);
  return r;
}

// Gamma(p, z)/g with g = Gamma(p).
kxreal regularised(const kxreal& p, const kxreal& z, const kxreal& g) {
  kxreal r;
  kxincgammar(p, z, r);
  kxdiv(r, g, r);
  return r;
}

// The orders s/2, (s+1)/2, (1-s)/2, 1 - s/2 and Gamma of the first two.
struct orders {
  kxreal half_s, half_s1, half_1s, one_half_s, g1, g2;
  explicit orders(int s)
      : half_s{static_cast<__float128>(s) * 0.5Q},
        half_s1{static_cast<__float128>(s + 1) * 0.5Q},
        half_1s{static_cast<__float128>(1 - s) * 0.5Q},
        one_half_s{1 - static_cast<__float128>(s) * 0.5Q} {
    kxgammar(half_s, g1);
    kxgammar(half_s1, g2);
  }
};

// Q(s/2, z) + Q((s+1)/2, z), over |x|^s.
kxreal outer_sum(const orders& o, int s, const kxreal& z, const kxreal& x) {
  kxreal t;
  kxadd(regularised(o.half_s, z, o.g1), regularised(o.half_s1, z, o.g2), t);
  kxdiv(t, abs_power(x, s), t);
  return t;
}

// pi^(s/2): pi^((s-1)/2) sqrt(pi) for odd s.
kxreal pi_half_power(int s) {
  const kxreal pi = pi_value();
  kxreal r;
  if (s % 2 == 0) {
    kxnpwr(pi, s / 2, r);
    return r;
  }
  kxnpwr(pi, (s - 1) / 2, r);
  kxreal root;
  kxsqrt(pi, root);
  kxmul(r, root, r);
  return r;
}

// [P((s+1)/2, z) - P(s/2, z)]/|x|^s with z = pi x^2 where |x|^s leaves the
// range: z^p/|x|^s is pi^p |x|^(2p-s), so pi^((s+1)/2) |x| e^-z sum2 -
// pi^(s/2) e^-z sum1.
kxreal scaled_lower_difference(const orders& o, int s, const kxreal& z, const kxreal& x) {
  kxreal e;
  kxneg(z, e);
  kxexp(e, e);
  kxreal second;
  kxabs(x, second);
  kxmul(second, pi_half_power(s + 1), second);
  kxmul(second, e, second);
  kxmul(second, kx::lower_gamma_sum(o.half_s1, z, o.g2), second);
  kxreal first;
  kxmul(pi_half_power(s), e, first);
  kxmul(first, kx::lower_gamma_sum(o.half_s, z, o.g1), first);
  kxreal t;
  kxsub(second, first, t);
  return t;
}

// Q(s/2, z) - Q((s+1)/2, z), over |x|^s. Below z = s/2 both are near 1 and
// their difference would cancel (to 2^-37 at s = 40, a = 0.97): there it is
// P((s+1)/2, z) - P(s/2, z) from the lower series.
kxreal outer_difference(const orders& o, int s, const kxreal& z, const kxreal& x) {
  const kxreal power = abs_power(x, s);
  kxreal t;
  if (z.hi < o.half_s.hi) {
    if (fabsq(power.hi) < full_precision_floor) return scaled_lower_difference(o, s, z, x);
    kxsub(kx::regularised_lower_gamma(o.half_s1, z, o.g2), kx::regularised_lower_gamma(o.half_s, z, o.g1), t);
  } else {
    kxsub(regularised(o.half_s, z, o.g1), regularised(o.half_s1, z, o.g2), t);
  }
  kxdiv(t, power, t);
  return t;
}

// [Gamma((1-s)/2, pi k^2) cos(2k pi a)/g1 + Gamma(1-s/2, pi k^2) sin(2k pi a)/g2] / k^(1-s).
kxreal inner_term(const orders& o, int s, int k, const kxreal& a) {
  const kxreal pi = pi_value();
  kxreal z0;
  kxmuld(pi, static_cast<__float128>(k) * k, z0);
  kxreal theta;
  kxmuld(pi, 2 * static_cast<__float128>(k), theta);
  kxmul(theta, a, theta);
  kxreal c;
  kxreal sn;
  kxcssnr(theta, c, sn);
  kxreal u;
  kxreal v;
  kxincgammar(o.half_1s, z0, u);
  kxmul(u, c, u);
  kxdiv(u, o.g1, u);
  kxincgammar(o.one_half_s, z0, v);
  kxmul(v, sn, v);
  kxdiv(v, o.g2, v);
  kxadd(u, v, u);
  kxreal p;
  kxnpwr(kxreal{k}, 1 - s, p);
  kxdiv(u, p, u);
  return u;
}

[[noreturn]] void hurwitzbe_array_error() {
  kx::fatal(
      "('*** KXHURWITZZETANBE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' "
      "entries by calling KXBERNE or KXBERNER.')",
      bernoulli_minimum);
}

// sum_{k>=0} (a + k)^-s by the 2^-226 test; `fail` reports the budget's end.
template <typename Fail>
kxreal direct_sum(int s, const kxreal& a, Fail fail) {
  kxreal sum;
  for (int k = 0; k <= kx::hurwitz_term_limit; ++k) {
    kxreal x;
    kxadd(a, kxreal{k}, x);
    kxreal term;
    kxnpwr(x, -s, term);
    // a^-s past the range: so is the sum of positive terms (the pair sum would be NaN).
    if (isinfq(term.hi)) return term;
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) return sum;
  }
  fail();
  __builtin_unreachable();
}

kxreal direct_sum_be(int s, const kxreal& a) {
  return direct_sum(s, a, [] { kx::fatal("('*** KXHURWITZZETANBE: Loop end error 1')"); });
}

// The Bernoulli tail: sum over k >= 1 of b(k) s(s+1)...(s+2k-2)/((2k)! A^(s+2k-1)),
// each term from b(k) R and F = (2k)! by `over_power`, which also steps the
// power of A. Empty when the terms grow again before they settle (s near
// 30.457 with A near 40): then no number of entries would do.
template <typename OverPower>
std::optional<kxreal> bernoulli_tail(std::span<const kxreal> b, int s, OverPower over_power) {
  kxreal f{1};
  kxreal r{s};
  kxreal e;
  __float128 previous = __builtin_inff128();
  for (int k = 1;; ++k) {
    kxmuld(f, 2 * k - 1, f);
    kxmuld(f, 2 * k, f);
    kxreal term;
    kxmul(b[k - 1], r, term);
    term = over_power(term, f);
    kxadd(e, term, e);
    if (kx::settled(term, e)) return e;
    if (fabsq(term.hi) > previous) return std::nullopt;
    previous = fabsq(term.hi);
    if (k + 1 > static_cast<int>(b.size())) {
      kx::fatal("('*** KXHURWITZZETANBE: End loop error 2; call KXBERNE with larger NB.')");
    }
    kxmuld(r, s + 2 * k - 1, r);
    kxmuld(r, s + 2 * k, r);
  }
}

// T1 = 1/((s-1) A^(s-1)), T2 = 1/(2 A^s) and the Bernoulli tail E.
struct closing {
  kxreal t1, t2;
  std::optional<kxreal> e;
};

// The closing terms with A^(s-1) in range.
closing closing_terms(std::span<const kxreal> b, int s, const kxreal& big_a, const kxreal& power) {
  kxreal t1;
  kxmuld(power, s - 1, t1);
  kxdiv(kxreal{1}, t1, t1);
  kxreal t2;
  kxnpwr(big_a, s, t2);
  kxmuld(t2, 2, t2);
  kxdiv(kxreal{1}, t2, t2);
  kxreal a2;
  kxmul(big_a, big_a, a2);
  kxreal p = power;
  const std::optional<kxreal> e = bernoulli_tail(b, s, [&](const kxreal& term, const kxreal& f) {
    kxmul(p, a2, p);
    kxreal den;
    kxreal t;
    kxmul(f, p, den);
    kxdiv(term, den, t);
    return t;
  });
  return {t1, t2, e};
}

// The closing terms times A^(s-1)/p0, from p0 down: T1 = p0/(s-1),
// T2 = p0/(2A) and the tail with p0/A^(2k), whose products stay finite.
// With p0 = A^(1-s) they are the closing terms where A^(s+1) nears the end of
// the range (the tail's powers of A would overflow into NaN); with p0 = 1 the
// closing terms scaled by A^(s-1).
closing closing_terms_scaled(std::span<const kxreal> b, int s, const kxreal& big_a, const kxreal& p0) {
  kxreal t1;
  kxdivd(p0, s - 1, t1);
  kxreal t2;
  kxdiv(p0, big_a, t2);
  kxmuld(t2, 0.5Q, t2);
  kxreal p = p0;
  // A^2 itself may pass the range: divide by A twice.
  const std::optional<kxreal> e = bernoulli_tail(b, s, [&](const kxreal& term, const kxreal& f) {
    kxdiv(p, big_a, p);
    kxdiv(p, big_a, p);
    kxreal t;
    kxmul(term, p, t);
    kxdiv(t, f, t);
    return t;
  });
  return {t1, t2, e};
}

// The Euler-Maclaurin value: N leading terms, the integral and half-term at
// A = a + N, and the Bernoulli tail; empty where the tail diverges.
std::optional<kxreal> euler_maclaurin(std::span<const kxreal> b, int s, const kxreal& a) {
  const int n = static_cast<int>(truncq(std::max(0.0Q, maclaurin_offset - a.hi)));
  kxreal sum;
  for (int k = 0; k < n; ++k) {
    kxreal x;
    kxadd(a, kxreal{k}, x);
    kxreal term;
    kxnpwr(x, -s, term);
    kxadd(sum, term, sum);
  }
  kxreal big_a;
  kxadd(a, kxreal{n}, big_a);
  kxreal power;
  kxnpwr(big_a, s - 1, power);
  const closing c = fabsq(power.hi * big_a.hi * big_a.hi) < tail_power_ceiling
                        ? closing_terms(b, s, big_a, power)
                        : closing_terms_scaled(b, s, big_a, reciprocal_power(big_a, s - 1));
  if (!c.e) return std::nullopt;
  kxreal z;
  kxadd(sum, c.t1, z);
  kxadd(z, c.t2, z);
  kxadd(z, *c.e, z);
  return z;
}

// n!/x^n as a running product (i/x over i = 1..n).
kxreal factorial_over_power(int n, const kxreal& x) {
  kxreal r{1};
  for (int i = 1; i <= n; ++i) {
    kxmuld(r, i, r);
    kxdiv(r, x, r);
  }
  return r;
}

// n! zeta(n + 1, x) for where n! or zeta leaves the range, the scale n!/x^n
// carried as a running product: (n!/x^(n+1)) sum_{k>=0} (1 + k/x)^-(n+1)
// within the direct sum's reach, beyond it (n!/x^n) times the closing terms
// at A = x scaled by x^n (no leading terms there: x > 40.8197).
kxreal scaled_polygamma_sum(std::span<const kxreal> b, int n, const kxreal& x) {
  kxreal scale = factorial_over_power(n, x);
  if (x.hi > direct_reach(n + 1)) {
    const closing c = closing_terms_scaled(b, n + 1, x, kxreal{1});
    if (!c.e) kx::fatal("('*** KXPOLYGAMMABE: Loop end error 1')");
    kxreal z;
    kxadd(c.t1, c.t2, z);
    kxadd(z, *c.e, z);
    kxmul(scale, z, z);
    return z;
  }
  kxdiv(scale, x, scale);
  if (scale.hi == 0) return scale;
  kxreal sum{1};
  for (int k = 1; k <= kx::hurwitz_term_limit; ++k) {
    kxreal y;
    kxadd(x, kxreal{k}, y);
    kxdiv(y, x, y);
    kxreal term;
    kxnpwr(y, -(n + 1), term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) {
      kxmul(scale, sum, sum);
      return sum;
    }
  }
  kx::fatal("('*** KXPOLYGAMMABE: Loop end error 1')");
}

// psi = (-1)^(nn+1) f zeta.
void signed_product(int nn, const kxreal& f, const kxreal& zeta, kxreal& psi) {
  kxreal g = f;
  if (nn % 2 == 0) kxneg(g, g);
  kxmul(g, zeta, psi);
}

}  // namespace

void kxhurwitzzetan(int s, const kxreal& a, kxreal& z) {
  if (s <= 0) kx::fatal("('*** KXHURWITZZETAN: IS less than or equal to 0:')");
  if (s == 1) kx::fatal("('*** KXHURWITZZETAN: S = 1 is the pole.')");
  int below = 0;
  int above = 0;
  kxcpr(a, kxreal{0}, below);
  kxcpr(a, kxreal{1}, above);
  if (below <= 0 || above >= 0) kx::fatal("('*** KXHURWITZZETAN: AA must be in the range (0, 1)')");
  const orders o(s);
  // Where Gamma(s/2) leaves the range (s above about 3510) the quotients Q
  // would be infinity over infinity; there (a/(1 + a))^s < 2^-3510 and the
  // direct sum settles within three terms.
  if (!finiteq(o.g1.hi) || !finiteq(o.g2.hi)) {
    z = direct_sum(s, a, [] { kx::fatal("('*** KXHURWITZZETAN: Loop end error')"); });
    return;
  }
  kxreal s1 = outer_sum(o, s, pi_square(a), a);
  // a^s underflows: zeta(s, a) > a^-s passes the range.
  if (!finiteq(s1.hi)) {
    z = kxreal{__builtin_inff128(), 0};
    return;
  }
  kxreal s2;
  kxreal s3;
  for (int k = 1;; ++k) {
    if (k > kx::hurwitz_term_limit) kx::fatal("('*** KXHURWITZZETAN: Loop end error')");
    kxreal plus;
    kxreal minus;
    kxadd(kxreal{k}, a, plus);
    kxsub(a, kxreal{k}, minus);
    const kxreal tp = outer_sum(o, s, pi_square(plus), plus);
    const kxreal tm = outer_difference(o, s, pi_square(minus), minus);
    const kxreal t0 = inner_term(o, s, k, a);
    kxadd(s1, tp, s1);
    kxadd(s2, tm, s2);
    kxadd(s3, t0, s3);
    if (kx::settled(tp, s1) && kx::settled(tm, s2) && kx::settled(t0, s3)) break;
  }
  // C0 = pi^(s/2)/((s-1) Gamma(s/2)); Gamma(s/2) is o.g1, the same call's value.
  kxreal c0;
  kxmuld(o.g1, s - 1, c0);
  kxdiv(pi_half_power(s), c0, c0);
  const kxreal pi = pi_value();
  kxreal w;
  kxreal root;
  kxnpwr(pi, s, w);
  kxsqrt(pi, root);
  kxdiv(w, root, w);
  kxmuld(s1, 0.5Q, s1);
  kxmuld(s2, 0.5Q, s2);
  kxmul(s3, w, s3);
  kxadd(c0, s1, z);
  kxadd(z, s2, z);
  kxadd(z, s3, z);
}

void kxhurwitzzetanbe(std::span<const kxreal> b, int s, const kxreal& a, kxreal& z) {
  if (!kx::bernoulli_ready(b, bernoulli_minimum)) hurwitzbe_array_error();
  if (s <= 0) kx::fatal("('*** KXHURWITZZETANBE: ISS <= 0')");
  if (a.hi < 0) kx::fatal("('*** KXHURWITZZETANBE: AA < 0')");
  if (s == 1) kx::fatal("('*** KXHURWITZZETANBE: S = 1 is the pole.')");
  if (a.hi == 0) kx::fatal("('*** KXHURWITZZETANBE: AA = 0 is a pole.')");
  if (static_cast<__float128>(s) > direct_threshold() && a.hi <= direct_reach(s)) {
    z = direct_sum_be(s, a);
    return;
  }
  // Where the tail diverges (s of 29 or 30 with A near 40) the direct sum
  // takes a few thousand terms.
  const std::optional<kxreal> em = euler_maclaurin(b, s, a);
  z = em ? *em : direct_sum_be(s, a);
}

void kxpolygamma(int nn, const kxreal& x, kxreal& psi) {
  if (nn <= 0) kx::fatal("('*** KXPOLYGAMMA: NN <= 0')");
  int below = 0;
  int above = 0;
  kxcpr(x, kxreal{0}, below);
  kxcpr(x, kxreal{1}, above);
  if (below <= 0 || above >= 0) kx::fatal("('*** KXPOLYGAMMA: X must be in the range (0, 1)')");
  kxreal zeta;
  kxhurwitzzetan(nn + 1, x, zeta);
  signed_product(nn, kx::factorial(nn), zeta, psi);
}

void kxpolygammabe(std::span<const kxreal> b, int nn, const kxreal& x, kxreal& psi) {
  if (!kx::bernoulli_ready(b, bernoulli_minimum)) {
    kx::fatal(
        "('*** KXPOLYGAMMABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' "
        "entries by calling KXBERNE or KXBERER.')",
        bernoulli_minimum);
  }
  if (nn <= 0) kx::fatal("('*** KXPOLYGAMMABE: NN <= 0')");
  if (x.hi < 0) kx::fatal("('*** KXPOLYGAMMABE: X < 0')");
  if (x.hi == 0) kx::fatal("('*** KXPOLYGAMMABE: X = 0 is a pole.')");
  const kxreal f = kx::factorial(nn);
  kxreal zeta;
  kxhurwitzzetanbe(b, nn + 1, x, zeta);
  if (finiteq(f.hi) && fabsq(zeta.hi) >= full_precision_floor) {
    signed_product(nn, f, zeta, psi);
  } else {
    signed_product(nn, kxreal{1}, scaled_polygamma_sum(b, nn, x), psi);
  }
}
