// The Bessel functions J, Y and the modified Bessel functions I, K of
// integer and of real order. Below |x| = 102.049 the power series (for Y
// and K with their logarithmic parts), except where those of J and Y would
// cancel from |x| = 5 on: there J by Miller's recurrence normalised by
// Neumann's sum, Y from Neumann's series in those J. Above 102.049
// Hankel's expansion and the expansion of I and K where the order is small
// against x, the recurrences in the order where it is not. Hankel's
// expansion is tried from x = 80, where it already reaches 2^-226. K, which
// the series and the difference of two I values would give only through a
// cancellation of e^2x, comes from Steed's method for 2 < x < 78.5 and from
// its own expansion above.
#include <quadmath.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <kx/core/core.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/bessel.h>
#include <kx/special/bessel_expansions.h>
#include <kx/special/gamma.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

using kx::bessel_sum;
using kx::bessel_term_limit;
using kx::bessel_threshold;

// Up to here the logarithmic series of K loses under 2^6 to cancellation;
// from here on Steed's fraction converges geometrically.
constexpr __float128 steed_floor = 2;

// The largest order whose factorial (and Gamma(order + 1)) the range holds:
// the series of larger orders would start from 1/infinity, so those orders
// come from orders 0 and 1 (or mu0 and mu0 + 1) by the recurrences.
constexpr int largest_factorial = 1754;

bool small(const kxreal& r) { return r.hi < bessel_threshold; }

// From here up to 102.049 the power series of J, whose terms grow to about
// I_n(x) before they cancel, loses more than a digit: there J comes from
// Miller's recurrence and Y from Neumann's series in those J.
constexpr __float128 recurrence_floor = 5;

// For orders above x the series of J cancels about e^(x^2 / (2 (order + 1)))
// away (its terms sum to I_order / J_order of its value); where that passes
// this many powers of e the recurrence takes over.
constexpr __float128 series_loss_budget = 3;

// Y's series keeps its digits from order 1.5 x on: its finite sum, which
// does not cancel, outgrows the terms of I that the rest cancels.
constexpr __float128 y_series_order_ratio = 1.5Q;

// True where the power series of J of this order would cancel too much.
bool j_series_cancels(__float128 order, const kxreal& r) {
  return r.hi >= recurrence_floor && small(r) && r.hi * r.hi > 2 * series_loss_budget * (fabsq(order) + 1);
}

// True where the power series of Y_m would cancel too much.
bool y_series_cancels(int m, const kxreal& r) {
  return r.hi >= recurrence_floor && small(r) && m < y_series_order_ratio * r.hi;
}

// Hankel's expansion is tried from x = 80, where it can reach 2^-226 before
// its terms grow again (below 102.049 the power series takes over if not).
bool hankel_reaches(const kxreal& mu, const kxreal& r) {
  return r.hi >= kx::hankel_floor && kx::order_small_against(mu, r);
}

kxreal quarter_square(const kxreal& r) {
  kxreal x2;
  kxmul(r, r, x2);
  kxmuld(x2, 0.25Q, x2);
  return x2;
}

// (r/2)^m by kxnpwr.
kxreal half_power(const kxreal& r, int m) {
  kxreal h;
  kxmuld(r, 0.5Q, h);
  kxnpwr(h, m, h);
  return h;
}

// 4 m^2, formed as the binary128 product m m 4.
kxreal integer_mu(int m) { return kxreal{static_cast<__float128>(m) * m * 4}; }

// 4 nu^2.
kxreal real_mu(const kxreal& nu) {
  kxreal mu;
  kxmul(nu, nu, mu);
  kxmuld(mu, 4, mu);
  return mu;
}

// sum_k (+-r^2/4)^k / (k! (m+k)!): the series of J_m (alternating) and I_m.
bessel_sum integer_order_series(int m, const kxreal& x2, bool alternating) {
  kxreal f1{1};
  kxreal f2 = kx::factorial(m);
  kxreal a{1};
  kxreal t;
  kxmul(f1, f2, t);
  kxdiv(kxreal{1}, t, t);
  kxreal s = t;
  for (int k = 1; k <= bessel_term_limit; ++k) {
    kxmuld(f1, k, f1);
    kxmuld(f2, m + k, f2);
    if (alternating) kxneg(a, a);
    kxmul(a, x2, a);
    kxmul(f1, f2, t);
    if (!finiteq(t.hi)) return {s, false, false};
    kxdiv(a, t, t);
    kxadd(s, t, s);
    if (kx::settled(t, s)) return {s, true};
  }
  return {s, false};
}

// sum_k (+-x^2/4)^k / (k! Gamma(nu+k+1)): the series of J_nu and I_nu.
bessel_sum real_order_series(const kxreal& nu, const kxreal& x2, bool alternating) {
  kxreal g;
  kxadd(nu, kxreal{1}, g);
  kxgammar(g, g);
  kxreal f1{1};
  kxreal a{1};
  kxreal t;
  kxmul(f1, g, t);
  kxdiv(kxreal{1}, t, t);
  kxreal s = t;
  for (int k = 1; k <= bessel_term_limit; ++k) {
    kxmuld(f1, k, f1);
    kxreal f;
    kxadd(nu, kxreal{k}, f);
    kxmul(g, f, g);
    if (alternating) kxneg(a, a);
    kxmul(a, x2, a);
    kxmul(f1, g, t);
    if (!finiteq(t.hi)) return {s, false, false};
    kxdiv(a, t, t);
    kxadd(s, t, s);
    if (kx::settled(t, s)) return {s, true};
  }
  return {s, false};
}

// sum_{k<m} (m-k-1)!/k! (+-r^2/4)^k, the finite part of Y_m (+) and K_m (-).
kxreal finite_sum(int m, const kxreal& x2, bool alternating) {
  if (m == 0) return kxreal{};
  kxreal a = kx::factorial(m - 1);
  kxreal b{1};
  kxreal c{1};
  kxreal f;
  kxmul(a, b, f);
  kxdiv(f, c, f);
  for (int k = 1; k <= m - 1; ++k) {
    kxdivd(a, m - k, a);
    if (alternating) kxneg(b, b);
    kxmul(b, x2, b);
    kxmuld(c, k, c);
    kxreal t;
    kxmul(a, b, t);
    kxdiv(t, c, t);
    kxadd(f, t, f);
  }
  return f;
}

// sum_k (psi(k+1) + psi(m+k+1)) (+-r^2/4)^k / (k! (m+k)!), the series of
// the logarithmic solutions Y_m (alternating) and K_m.
bessel_sum psi_series(int m, const kxreal& x2, bool alternating) {
  kxreal p;
  kxegamma(p);
  kxneg(p, p);
  kxreal q = p;
  for (int i = 1; i <= m; ++i) {
    kxreal inv;
    kxdiv(kxreal{1}, kxreal{i}, inv);
    kxadd(q, inv, q);
  }
  kxreal u{1};
  kxreal v = kx::factorial(m);
  kxreal t{1};
  auto term = [&] {
    kxreal pq;
    kxadd(p, q, pq);
    kxmul(pq, t, pq);
    kxreal uv;
    kxmul(u, v, uv);
    kxdiv(pq, uv, pq);
    return pq;
  };
  kxreal s = term();
  for (int k = 1; k <= bessel_term_limit; ++k) {
    kxreal inv;
    kxdiv(kxreal{1}, kxreal{k}, inv);
    kxadd(p, inv, p);
    kxdiv(kxreal{1}, kxreal{k + m}, inv);
    kxadd(q, inv, q);
    if (alternating) kxneg(t, t);
    kxmul(t, x2, t);
    kxmuld(u, k, u);
    kxmuld(v, k + m, v);
    const kxreal next = term();
    if (!finiteq(next.hi)) return {s, false, false};
    kxadd(s, next, s);
    if (kx::settled(next, s)) return {s, true};
  }
  return {s, false};
}

// J and Y of order m by Hankel's expansion, the phase (m/2) pi. The
// outputs, which may overwrite an argument, are written only when it settled.
bool integer_hankel(int m, const kxreal& r, kxreal& j, kxreal& y) {
  const kx::hankel_sums h = kx::hankel_expansion(integer_mu(m), r);
  if (!h.settled) return false;
  kxreal phase;
  kxpi(phase);
  kxmuld(phase, static_cast<__float128>(m) / 2, phase);
  kx::hankel_values(h, phase, r, j, y);
  return true;
}

// J and Y of order nu by Hankel's expansion, the phase (pi nu) / 2.
bool real_hankel(const kxreal& nu, const kxreal& r, kxreal& j, kxreal& y) {
  const kx::hankel_sums h = kx::hankel_expansion(real_mu(nu), r);
  if (!h.settled) return false;
  kxreal phase;
  kxpi(phase);
  kxmul(phase, nu, phase);
  kxmuld(phase, 0.5Q, phase);
  kxreal jj;
  kxreal yy;
  kx::hankel_values(h, phase, r, jj, yy);
  j = jj;
  y = yy;
  return true;
}

// J_n and Y_n change sign with odd n under n -> -n and under x -> -x. The
// sign of x is taken on entry, as the result may overwrite x.
void integer_sign_rule(int n, int sign_of_x, kxreal& v) {
  if (n % 2 != 0 && ((n < 0 && sign_of_x > 0) || (n > 0 && sign_of_x < 0))) kxneg(v, v);
}

// I_n and K_n change sign with odd n under x -> -x.
void modified_sign_rule(int n, int sign_of_x, kxreal& v) {
  if (n % 2 != 0 && sign_of_x < 0) kxneg(v, v);
}

// The integer n nearest to nu when nu has no fraction.
bool integer_order(const kxreal& nu, int& n) {
  kxreal ip;
  kxreal f;
  kxinfr(nu, ip, f);
  if (f.hi != 0) return false;
  n = static_cast<int>(lroundq(nu.hi));
  return true;
}

// nu = mu0 + n with n the nearest integer and |mu0| <= 1/2.
int split_order(const kxreal& nu, kxreal& mu0) {
  kxreal n;
  kxnint(nu, n);
  kxsub(nu, n, mu0);
  return static_cast<int>(n.hi);
}

// K_(mu0+n)(r), n >= 0, for 2 < r < 78.5: K_mu0 and K_(mu0+1) by Steed's
// method, then the upward recurrence; false when the fraction did not settle.
bool steed_k_of_order(const kxreal& mu0, int n, const kxreal& r, kxreal& k) {
  const kx::k_pair p = kx::steed_k(mu0, r);
  k = kx::upward_recurrence(mu0, n, r, p.k0, p.k1, 1);
  return p.settled;
}

// K by its expansion at mu = 4 order^2.
bool k_expansion(const kxreal& mu, const kxreal& r, kxreal& k) {
  const bessel_sum s = kx::modified_expansion(mu, r, false);
  k = kx::k_from_expansion(s.s, r);
  return s.settled;
}

// K_(mu0+n)(r), n >= 0, from r = 78.5: the expansion at the order itself
// (mu) while the order is small against r; for larger orders its separate
// numerator and denominator would leave the range before it settles, so
// there K_mu0 and K_(mu0+1) by it and the upward recurrence.
bool k_large_argument(const kxreal& mu, const kxreal& mu0, int n, const kxreal& r, kxreal& k) {
  if (kx::order_small_against(mu, r)) return k_expansion(mu, r, k);
  kxreal mu1;
  kxadd(mu0, kxreal{1}, mu1);
  kxreal k0;
  kxreal k1;
  if (!k_expansion(real_mu(mu0), r, k0) || !k_expansion(real_mu(mu1), r, k1)) return false;
  k = kx::upward_recurrence(mu0, n, r, k0, k1, 1);
  return true;
}

// (r/2)^m times the power series: J_m (alternating) or I_m, in v once the
// series settled.
bessel_sum integer_series_value(int m, const kxreal& r, bool alternating, kxreal& v) {
  const bessel_sum s = integer_order_series(m, quarter_square(r), alternating);
  if (s.settled) kxmul(half_power(r, m), s.s, v);
  return s;
}

// The power series times (r/2)^nu by kxpower: J_nu (alternating) or I_nu.
bessel_sum real_series_value(const kxreal& nu, const kxreal& r, bool alternating, kxreal& v) {
  const bessel_sum s = real_order_series(nu, quarter_square(r), alternating);
  if (!s.settled) return s;
  kxreal h;
  kxmuld(r, 0.5Q, h);
  kxpower(h, nu, h);
  kxmul(s.s, h, v);
  return s;
}

// J_(mu0+n)(r) by the recurrences from Hankel's J_mu0 and J_(mu0+1).
bool j_by_recurrence(const kxreal& mu0, int n, const kxreal& r, kxreal& j) {
  kxreal mu1;
  kxadd(mu0, kxreal{1}, mu1);
  kxreal j0;
  kxreal j1;
  kxreal y;
  if (!real_hankel(mu0, r, j0, y) || !real_hankel(mu1, r, j1, y)) return false;
  j = n >= 0 ? kx::miller_recurrence(mu0, n, r, -1, j0, j1) : kx::downward_recurrence(mu0, n, r, j0, j1);
  return true;
}

// I_(mu0+n)(r), n >= 0, by Miller's recurrence scaled to the expansions'
// I_mu0 and I_(mu0+1).
bool i_by_recurrence(const kxreal& mu0, int n, const kxreal& r, kxreal& i) {
  kxreal mu1;
  kxadd(mu0, kxreal{1}, mu1);
  const bessel_sum s0 = kx::modified_expansion(real_mu(mu0), r, true);
  const bessel_sum s1 = kx::modified_expansion(real_mu(mu1), r, true);
  if (!s0.settled || !s1.settled) return false;
  i = kx::miller_recurrence(mu0, n, r, 1, kx::i_from_expansion(s0.s, r), kx::i_from_expansion(s1.s, r));
  return true;
}

// J_(mu0+k)(r) = f[k] scale, k = 0..N: Miller's sequence normalised by
// Neumann's sum, whose exact value is (r/2)^mu0 / Gamma(mu0 + 1) (1 for the
// integer orders, mu0 = 0). The sum's weights are positive, so the scale
// carries the errors of kxpower and kxgammar only.
struct j_sequence {
  std::vector<kxreal> f;
  kxreal scale;
};
j_sequence normalised_j(const kxreal& mu0, int n, const kxreal& r) {
  j_sequence j{kx::miller_sequence(mu0, n, r, -1), kxreal{1}};
  if (mu0.hi != 0) {
    kxreal g;
    kxadd(mu0, kxreal{1}, g);
    kxgammar(g, g);
    kxreal h;
    kxmuld(r, 0.5Q, h);
    kxpower(h, mu0, h);
    kxdiv(h, g, j.scale);
  }
  kxdiv(j.scale, kx::neumann_sum(mu0, j.f), j.scale);
  return j;
}

// J_(mu0+n)(r) by Miller's normalised sequence: directly for n >= 0, by the
// downward recurrence from J_mu0 and J_(mu0+1) for n < 0.
kxreal j_by_miller(const kxreal& mu0, int n, const kxreal& r) {
  const j_sequence j = normalised_j(mu0, std::max(n, 0), r);
  kxreal v;
  if (n >= 0) {
    kxmul(j.f[n], j.scale, v);
    return v;
  }
  kxreal v1;
  kxmul(j.f[0], j.scale, v);
  kxmul(j.f[1], j.scale, v1);
  return kx::downward_recurrence(mu0, n, r, v, v1);
}

// Y_m(r) from Neumann's series in the J of Miller's sequence, for Y_0 and
// (from Y_1 = -Y_0') for Y_1, with l = log(r/2) + gamma:
//   (pi/2) Y_0 = l J_0 - 2 sum_k>=1 (-1)^k J_2k / k,
//   (pi/2) Y_1 = (l - 1) J_1 - J_0 / r + sum_k>=1 (-1)^(k+1) (2k+1) / (k (k+1)) J_2k+1;
// the weights fall like 1/k while |J| <= 1, so neither sum cancels much.
// Then the upward recurrence, stable for Y.
kxreal y_by_neumann(int m, const kxreal& r) {
  const j_sequence j = normalised_j(kxreal{}, 1, r);
  const int top = static_cast<int>(j.f.size()) - 1;
  kxreal even;
  kxreal odd;
  for (int i = top; i >= 2; --i) {
    const int k = i / 2;
    kxreal t;
    if (i % 2 == 0) {
      kxdivd(j.f[i], k, t);
      if (k % 2 != 0) kxneg(t, t);
      kxadd(even, t, even);
    } else {
      kxmuld(j.f[i], 2 * k + 1, t);
      kxdivd(t, static_cast<__float128>(k) * (k + 1), t);
      if (k % 2 == 0) kxneg(t, t);
      kxadd(odd, t, odd);
    }
  }
  kxreal l;
  kxmuld(r, 0.5Q, l);
  kxlog(l, l);
  kxreal g;
  kxegamma(g);
  kxadd(l, g, l);
  kxreal y0;
  kxmul(l, j.f[0], y0);
  kxmuld(even, 2, even);
  kxsub(y0, even, y0);
  kxreal y1;
  kxsub(l, kxreal{1}, l);
  kxmul(l, j.f[1], y1);
  kxreal t;
  kxdiv(j.f[0], r, t);
  kxsub(y1, t, y1);
  kxadd(y1, odd, y1);
  kxreal c;
  kxpi(c);
  kxdiv(kxreal{2}, c, c);
  kxmul(c, j.scale, c);
  kxmul(y0, c, y0);
  kxmul(y1, c, y1);
  return kx::upward_recurrence(kxreal{}, m, r, y0, y1, -1);
}

// cos(nu pi) and sin(nu pi) by one kxcssnr call.
void cos_sin_pi(const kxreal& nu, kxreal& c, kxreal& s) {
  kxreal a;
  kxpi(a);
  kxmul(nu, a, a);
  kxcssnr(a, c, s);
}

// I_nu(r) = I_a(r) + (2/pi) sin(a pi) K_a(r), a = -nu > 0, for r >= 102.049
// and a large against r, where the power series' running numerator
// (r^2/4)^k would leave the range before it settles.
bool i_of_negative_order(const kxreal& nu, const kxreal& r, kxreal& i) {
  kxreal a;
  kxneg(nu, a);
  kxreal mu0;
  const int steps = split_order(a, mu0);
  kxreal k;
  if (!i_by_recurrence(mu0, steps, r, i) || !k_large_argument(real_mu(a), mu0, steps, r, k)) return false;
  // sin(a pi) = (-1)^n sin(mu0 pi), from the exact fraction mu0.
  kxreal s = kx::sin_pi(mu0);
  if (steps % 2 != 0) kxneg(s, s);
  kxreal pi;
  kxpi(pi);
  kxmul(k, s, k);
  kxmuld(k, 2, k);
  kxdiv(k, pi, k);
  kxadd(i, k, i);
  return true;
}

// f_(mu0+n)(r) by a recurrence from f_mu0(r) and f_(mu0+1)(r), both from the
// routine f itself: Miller's (sign -1 for J, +1 for I) when `miller`, else
// the upward one (sign -1 for Y, +1 for K).
using order_routine = void (*)(const kxreal&, const kxreal&, kxreal&);
kxreal from_low_orders(order_routine f, const kxreal& mu0, int n, const kxreal& r, int sign, bool miller) {
  kxreal mu1;
  kxadd(mu0, kxreal{1}, mu1);
  kxreal v0;
  kxreal v1;
  f(mu0, r, v0);
  f(mu1, r, v1);
  return miller ? kx::miller_recurrence(mu0, n, r, sign, v0, v1) : kx::upward_recurrence(mu0, n, r, v0, v1, sign);
}

// J or I of order mu0 + n, n >= 0, from a power series s that ran into v;
// where its running denominator left the range before it settled (orders
// within some dozens of 1754, as large x needs more terms), Miller's
// recurrence from the low orders of f as for larger orders. False when the
// series did not settle.
bool series_or_low_orders(const bessel_sum& s, order_routine f, const kxreal& mu0, int n, const kxreal& r, int sign,
                          kxreal& v) {
  // Orders mu0 and mu0 + 1 are the recurrence's start: from them f would
  // call itself with the same arguments without end.
  if (s.in_range || n < 2) return s.settled;
  v = from_low_orders(f, mu0, n, r, sign, true);
  return true;
}

// A NaN order or argument has no integer part or range to choose a method
// by (its nearest integer was converted to int, which is undefined): the
// result is NaN.
bool nan_result(const kxreal& nu, const kxreal& x, kxreal& v) {
  if (!isnanq(nu.hi) && !isnanq(x.hi)) return false;
  v = {nanq(""), nanq("")};
  return true;
}

// Orders past largest_bessel_order are refused: their recurrences would hold
// that many values (2^31 near the int range, where |n| and the nearest
// integer of a real order would also leave int).
bool order_too_large(int n) { return n < -kx::largest_bessel_order || n > kx::largest_bessel_order; }
bool order_too_large(const kxreal& nu) { return fabsq(nu.hi) > kx::largest_bessel_order; }

}  // namespace

void kxbesseljnr(int n, const kxreal& x, kxreal& j) {
  if (x.hi == 0) kx::fatal("('*** KXBESSELJNR: Second argument is zero')");
  if (order_too_large(n)) kx::fatal("('*** KXBESSELJNR: Order',i12,' is too large in magnitude')", n);
  const int m = std::abs(n);
  const int sign_of_x = kxqsgn(x.hi);
  kxreal r;
  kxabs(x, r);
  kxreal y;
  if (small(r) && m > largest_factorial) {
    j = from_low_orders(kxbesseljr, kxreal{}, m, r, -1, true);
  } else if (hankel_reaches(integer_mu(m), r) && integer_hankel(m, r, j, y)) {
    // Hankel's expansion settled.
  } else if (j_series_cancels(m, r)) {
    j = j_by_miller(kxreal{}, m, r);
  } else if (small(r)) {
    const bessel_sum s = integer_series_value(m, r, true, j);
    if (!series_or_low_orders(s, kxbesseljr, kxreal{}, m, r, -1, j)) kx::fatal("('*** KXBESSELJNR: Loop end error 1')");
  } else if (kx::order_small_against(integer_mu(m), r)) {
    kx::fatal("('*** KXBESSELJNR: Loop end error 2')");
  } else if (!j_by_recurrence(kxreal{}, m, r, j)) {
    kx::fatal("('*** KXBESSELJNR: Loop end error 2')");
  }
  integer_sign_rule(n, sign_of_x, j);
}

void kxbesselynr(int n, const kxreal& x, kxreal& y) {
  if (x.hi == 0) kx::fatal("('*** KXBESSELYNR: argument is negative or too large')");
  if (order_too_large(n)) kx::fatal("('*** KXBESSELYNR: Order',i12,' is too large in magnitude')", n);
  const int m = std::abs(n);
  const int sign_of_x = kxqsgn(x.hi);
  kxreal r;
  kxabs(x, r);
  kxreal j;
  if (small(r) && m > largest_factorial) {
    y = from_low_orders(kxbesselyr, kxreal{}, m, r, -1, false);
  } else if (hankel_reaches(integer_mu(m), r) && integer_hankel(m, r, j, y)) {
    // Hankel's expansion settled.
  } else if (y_series_cancels(m, r)) {
    y = y_by_neumann(m, r);
  } else if (small(r)) {
    const kxreal x2 = quarter_square(r);
    const kxreal f = finite_sum(m, x2, false);
    kxreal h;
    kxmuld(r, 0.5Q, h);
    kxreal l;
    kxlog(h, l);
    kxmuld(l, 2, l);
    kxbesseljnr(m, r, j);
    kxmul(l, j, l);
    const bessel_sum s = psi_series(m, x2, true);
    if (s.in_range && !s.settled) kx::fatal("('*** KXBESSELYNR: Loop end error 1')");
    const kxreal hm = half_power(r, m);
    kxreal a;
    kxdiv(f, hm, a);
    kxneg(a, a);
    kxadd(a, l, a);
    kxreal b;
    kxmul(hm, s.s, b);
    kxsub(a, b, a);
    kxreal pi;
    kxpi(pi);
    kxdiv(a, pi, y);
    // Orders near 1754 take their values, which may leave the range, from
    // the upward recurrence where the series' running numbers leave it.
    // Orders 0 and 1 start that recurrence: Y_1 of an x below about
    // 2^-16384 (-2/(pi x)) is past the range, -infinity.
    if (m >= 2 && (!s.in_range || !finiteq(y.hi))) {
      y = from_low_orders(kxbesselyr, kxreal{}, m, r, -1, false);
    } else if (m == 1 && !finiteq(y.hi)) {
      y = {-HUGE_VALQ, 0};
    }
  } else if (kx::order_small_against(integer_mu(m), r)) {
    kx::fatal("('*** KXBESSELYNR: Loop end error 2')");
  } else {
    kxreal y0;
    kxreal y1;
    if (!real_hankel(kxreal{}, r, j, y0) || !real_hankel(kxreal{1}, r, j, y1)) {
      kx::fatal("('*** KXBESSELYNR: Loop end error 2')");
    }
    y = kx::upward_recurrence(kxreal{}, m, r, y0, y1, -1);
  }
  integer_sign_rule(n, sign_of_x, y);
}

void kxbesselinr(int n, const kxreal& x, kxreal& i) {
  if (x.hi == 0) kx::fatal("('*** KXBESSELINR: Second argument is zero')");
  if (order_too_large(n)) kx::fatal("('*** KXBESSELINR: Order',i12,' is too large in magnitude')", n);
  const int m = std::abs(n);
  const int sign_of_x = kxqsgn(x.hi);
  kxreal r;
  kxabs(x, r);
  if (small(r) && m > largest_factorial) {
    i = from_low_orders(kxbesselir, kxreal{}, m, r, 1, true);
  } else if (small(r)) {
    const bessel_sum s = integer_series_value(m, r, false, i);
    if (!series_or_low_orders(s, kxbesselir, kxreal{}, m, r, 1, i)) kx::fatal("('*** KXBESSELINR: Loop end error 1')");
  } else if (kx::order_small_against(integer_mu(m), r)) {
    const bessel_sum s = kx::modified_expansion(integer_mu(m), r, true);
    if (!s.settled) kx::fatal("('*** KXBESSELINR: Loop end error 2')");
    i = kx::i_from_expansion(s.s, r);
  } else if (!i_by_recurrence(kxreal{}, m, r, i)) {
    kx::fatal("('*** KXBESSELINR: Loop end error 2')");
  }
  modified_sign_rule(n, sign_of_x, i);
}

void kxbesselknr(int n, const kxreal& x, kxreal& k) {
  if (x.hi == 0) kx::fatal("('*** KXBESSELKNR: Second argument is zero')");
  if (order_too_large(n)) kx::fatal("('*** KXBESSELKNR: Order',i12,' is too large in magnitude')", n);
  const int m = std::abs(n);
  const int sign_of_x = kxqsgn(x.hi);
  kxreal r;
  kxabs(x, r);
  if (r.hi >= kx::k_expansion_floor) {
    if (!k_large_argument(integer_mu(m), kxreal{}, m, r, k)) kx::fatal("('*** KXBESSELKNR: Loop end error 2')");
  } else if (r.hi > steed_floor) {
    if (!steed_k_of_order(kxreal{}, m, r, k)) kx::fatal("('*** KXBESSELKNR: Loop end error 1')");
  } else if (m > largest_factorial) {
    k = from_low_orders(kxbesselkr, kxreal{}, m, r, 1, false);
  } else {
    const kxreal x2 = quarter_square(r);
    const kxreal hm = half_power(r, m);
    kxreal a = finite_sum(m, x2, true);
    kxmuld(a, 0.5Q, a);
    kxdiv(a, hm, a);
    kxreal h;
    kxmuld(r, 0.5Q, h);
    kxreal l;
    kxlog(h, l);
    kxmuld(l, m % 2 == 0 ? -1 : 1, l);
    kxreal i;
    kxbesselinr(m, r, i);
    kxmul(l, i, l);
    const bessel_sum s = psi_series(m, x2, false);
    if (s.in_range && !s.settled) kx::fatal("('*** KXBESSELKNR: Loop end error 1')");
    kxreal b;
    kxmuld(hm, m % 2 == 0 ? 0.5Q : -0.5Q, b);
    kxmul(b, s.s, b);
    kxadd(a, l, k);
    kxadd(k, b, k);
    // Orders 0 and 1 are what the recurrence starts from: K_1 of an x below
    // about 2^-16384 (1/x) is past the range, +infinity.
    if (m >= 2 && (!s.in_range || !finiteq(k.hi))) {
      k = from_low_orders(kxbesselkr, kxreal{}, m, r, 1, false);
    } else if (m == 1 && !finiteq(k.hi)) {
      k = {HUGE_VALQ, 0};
    }
  }
  modified_sign_rule(n, sign_of_x, k);
}

void kxbesseljr(const kxreal& nu, const kxreal& x, kxreal& j) {
  if (nan_result(nu, x, j)) return;
  if (order_too_large(nu)) kx::fatal("('*** KXBESSELJR: Order is too large in magnitude',1p,d15.6)", nu.hi);
  int n = 0;
  if (integer_order(nu, n)) {
    kxbesseljnr(n, x, j);
    return;
  }
  if (x.hi <= 0) kx::fatal("('*** KXBESSELJR: Second argument <= 0')");
  kxreal y;
  kxreal mu0;
  const int steps = split_order(nu, mu0);
  if (small(x) && nu.hi > largest_factorial) {
    j = from_low_orders(kxbesseljr, mu0, steps, x, -1, true);
  } else if (hankel_reaches(real_mu(nu), x) && real_hankel(nu, x, j, y)) {
    // Hankel's expansion settled.
  } else if (j_series_cancels(nu.hi, x)) {
    j = j_by_miller(mu0, steps, x);
  } else if (small(x)) {
    const bessel_sum s = real_series_value(nu, x, true, j);
    if (!series_or_low_orders(s, kxbesseljr, mu0, steps, x, -1, j)) kx::fatal("('*** KXBESSELJR: Loop end error 1')");
  } else if (kx::order_small_against(real_mu(nu), x)) {
    kx::fatal("('*** KXBESSELJR: Loop end error 2')");
  } else if (!j_by_recurrence(mu0, steps, x, j)) {
    kx::fatal("('*** KXBESSELJR: Loop end error 2')");
  }
}

void kxbesselyr(const kxreal& nu, const kxreal& x, kxreal& y) {
  if (nan_result(nu, x, y)) return;
  if (order_too_large(nu)) kx::fatal("('*** KXBESSELYR: Order is too large in magnitude',1p,d15.6)", nu.hi);
  int n = 0;
  if (integer_order(nu, n)) {
    kxbesselynr(n, x, y);
    return;
  }
  if (nu.hi < 0 && x.hi <= 0) kx::fatal("('*** KXBESSELYR: First argument < 0 and second argument <= 0')");
  kxreal c;
  kxreal s;
  cos_sin_pi(nu, c, s);
  kxreal jp;
  kxreal jm;
  kxreal minus;
  kxneg(nu, minus);
  kxbesseljr(nu, x, jp);
  kxbesseljr(minus, x, jm);
  kxmul(jp, c, jp);
  kxsub(jp, jm, jp);
  kxdiv(jp, s, y);
}

void kxbesselir(const kxreal& nu, const kxreal& x, kxreal& i) {
  if (nan_result(nu, x, i)) return;
  if (order_too_large(nu)) kx::fatal("('*** KXBESSELIR: Order is too large in magnitude',1p,d15.6)", nu.hi);
  int n = 0;
  if (integer_order(nu, n)) {
    kxbesselinr(n, x, i);
    return;
  }
  if (nu.hi < 0 && x.hi <= 0) kx::fatal("('*** KXBESSELIR: First argument < 0 and second argument <= 0')");
  kxreal r;
  kxabs(x, r);
  kxreal mu0;
  const int steps = split_order(nu, mu0);
  if (small(r) && nu.hi > largest_factorial) {
    i = from_low_orders(kxbesselir, mu0, steps, r, 1, true);
  } else if (small(r)) {
    const bessel_sum s = real_series_value(nu, r, false, i);
    if (!series_or_low_orders(s, kxbesselir, mu0, steps, r, 1, i)) kx::fatal("('*** KXBESSELIR: Loop end error 1')");
  } else if (kx::order_small_against(real_mu(nu), r)) {
    const bessel_sum s = kx::modified_expansion(real_mu(nu), r, true);
    if (!s.settled) kx::fatal("('*** KXBESSELIR: Loop end error 2')");
    i = kx::i_from_expansion(s.s, r);
  } else if (steps >= 0) {
    if (!i_by_recurrence(mu0, steps, r, i)) kx::fatal("('*** KXBESSELIR: Loop end error 2')");
  } else if (!i_of_negative_order(nu, r, i)) {
    kx::fatal("('*** KXBESSELIR: Loop end error 2')");
  }
}

void kxbesselkr(const kxreal& nu, const kxreal& x, kxreal& k) {
  if (nan_result(nu, x, k)) return;
  if (order_too_large(nu)) kx::fatal("('*** KXBESSELKR: Order is too large in magnitude',1p,d15.6)", nu.hi);
  int n = 0;
  if (integer_order(nu, n)) {
    kxbesselknr(n, x, k);
    return;
  }
  if (nu.hi < 0 && x.hi <= 0) kx::fatal("('*** KXBESSELKR: First argument < 0 and second argument <= 0')");
  // K_-nu = K_nu: the order taken as |nu| = mu0 + n, n >= 0.
  kxreal a;
  kxabs(nu, a);
  kxreal mu0;
  const int steps = split_order(a, mu0);
  if (x.hi >= kx::k_expansion_floor) {
    if (!k_large_argument(real_mu(nu), mu0, steps, x, k)) kx::fatal("('*** KXBESSELKR: Loop end error 2')");
    return;
  }
  if (x.hi > steed_floor) {
    if (!steed_k_of_order(mu0, steps, x, k)) kx::fatal("('*** KXBESSELKR: Loop end error 1')");
    return;
  }
  kxreal minus;
  kxneg(nu, minus);
  kxreal d;
  kxreal ip;
  kxbesselir(minus, x, d);
  kxbesselir(nu, x, ip);
  kxsub(d, ip, d);
  kxreal c;
  kxreal s;
  cos_sin_pi(nu, c, s);
  kxdiv(d, s, d);
  kxreal pi;
  kxpi(pi);
  kxmul(pi, d, d);
  kxmuld(d, 0.5Q, k);
}
