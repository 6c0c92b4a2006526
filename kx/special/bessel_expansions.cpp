// Hankel's expansion of J and Y, the expansion of I and K for large
// arguments, the three-term recurrences in the order and Steed's method for
// K: the pieces that the Bessel routines of integer and of real order share.
#include <quadmath.h>

#include <algorithm>
#include <cmath>

#include <kx/core/core.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/bessel_expansions.h>
#include <kx/special/series.h>

namespace kx {

namespace {

// The alternating expansions lose about e^(mu/8r) to their growing terms;
// this ratio of mu to r keeps that loss near e^4.
constexpr __float128 small_order_ratio = 32;
// Below J_N / J_n = e^-180 the recurrence's start no longer shows in 226 bits.
constexpr __float128 miller_margin = 180;
constexpr int miller_extra_orders = 10;
// The backward recurrence grows like 1/J: rescaled by an exact power of two
// before it can leave the range.
constexpr __float128 rescale_above = 0x1p4000Q;
constexpr __float128 rescale_by = 0x1p-4000Q;

// (2 (mu0 + k) / r) f_k + sign g: one step of the recurrences at order mu0 + k.
kxreal recurrence_step(const kxreal& mu0, int k, const kxreal& r, const kxreal& fk, const kxreal& g, int sign) {
  kxreal c;
  kxadd(mu0, kxreal{k}, c);
  kxmuld(c, 2, c);
  kxdiv(c, r, c);
  kxmul(c, fk, c);
  if (sign > 0) {
    kxadd(c, g, c);
  } else {
    kxsub(c, g, c);
  }
  return c;
}

// Decisions of the sum in doubles at least this far from the threshold
// are those of the sum in binary128 (see miller_start).
constexpr double miller_band = 1e-3;

}  // namespace

int miller_start_written(int n, const kxreal& r, int sign) {
  const __float128 x = r.hi;
  const __float128 top = std::max(static_cast<__float128>(n), x);
  __float128 estimate = 0;
  __float128 estimate_n = 0;
  for (int k = 1;; ++k) {
    const __float128 k2 = static_cast<__float128>(k) * k + sign * x * x;
    if (k2 > 0) estimate += logq(x / (k + sqrtq(k2)));
    if (k == n) estimate_n = estimate;
    if (k >= top + miller_extra_orders && estimate <= estimate_n - miller_margin) return k;
  }
}

// The written sum's order from the same sum in doubles. Both lie within
// rounding of the exact sum of the same logarithms: the doubles within k
// 2^-50 (1 + the partial sums' size), a term whose k^2 + sign x^2 the two
// formats put on different sides of 0 below 10^-7, x rounded to a double
// within 10^-9 of the sum. So each double decision further than
// miller_band plus that from the threshold is the binary128 one; a nearer
// one, or r outside (2^-60, 10^5) or n above 10^5, takes the written sum.
// k >= top + 10 is kept in binary128 as the integer ceil(top + 10).
int miller_start(int n, const kxreal& r, int sign) {
  const __float128 x = r.hi;
  if (!(x > 0x1p-60Q && x < 1e5Q) || n > 100000) return miller_start_written(n, r, sign);
  const __float128 top = std::max(static_cast<__float128>(n), x);
  const int first_decision = static_cast<int>(ceilq(top + miller_extra_orders));
  const auto xd = static_cast<double>(x);
  const auto margin = static_cast<double>(miller_margin);
  double estimate = 0;
  double estimate_n = 0;
  for (int k = 1;; ++k) {
    const double k2 = static_cast<double>(k) * k + sign * xd * xd;
    if (k2 > 0) estimate += std::log(xd / (k + std::sqrt(k2)));
    if (k == n) estimate_n = estimate;
    if (k >= first_decision) {
      const double off = estimate - (estimate_n - margin);
      const double band = miller_band + 0x1p-40 * k * (1 + std::fabs(estimate) + std::fabs(estimate_n));
      if (std::fabs(off) <= band) return miller_start_written(n, r, sign);
      if (off < 0) return k;
    }
  }
}

hankel_sums hankel_expansion(const kxreal& mu, const kxreal& r) {
  kxreal p{1};
  kxreal b;
  kxsub(mu, kxreal{1}, b);
  kxmuld(b, 0.125Q, b);
  kxreal e = r;
  kxreal q;
  kxdiv(b, e, q);
  kxreal a{1};
  kxreal d{1};
  kxreal r2;
  kxmul(r, r, r2);
  __float128 previous = HUGE_VALQ;
  for (int k = 1; k <= bessel_term_limit; ++k) {
    const __float128 lower = 4 * static_cast<__float128>(k) - 3;
    const __float128 middle = lower + 2;
    const __float128 upper = middle + 2;
    kxreal f;
    kxneg(a, a);
    kxsub(mu, kxreal{lower * lower}, f);
    kxmul(a, f, a);
    kxsub(mu, kxreal{middle * middle}, f);
    kxmul(a, f, a);
    kxmuld(d, 64 * (2 * static_cast<__float128>(k) - 1) * (2 * k), d);
    kxmul(d, r2, d);
    kxreal tp;
    kxdiv(a, d, tp);
    kxadd(p, tp, p);
    kxneg(b, b);
    kxsub(mu, kxreal{middle * middle}, f);
    kxmul(b, f, b);
    kxsub(mu, kxreal{upper * upper}, f);
    kxmul(b, f, b);
    kxmuld(e, 64 * (2 * static_cast<__float128>(k)) * (2 * k + 1), e);
    kxmul(e, r2, e);
    kxreal tq;
    kxdiv(b, e, tq);
    kxadd(q, tq, q);
    if (settled(tp, p) && settled(tq, q)) return {p, q, true};
    // A NaN term (r^2 past the range, near |x| = 10^2466) leaves P or Q NaN
    // for good: the expansion cannot settle, so it ends here, not at the limit.
    if (isnanq(tp.hi) || isnanq(tq.hi)) return {p, q, false};
    // Past its growth (4k - 3)^2 > mu, a term of P larger than the one before
    // means the smallest term has passed: the expansion will not settle.
    if (lower * lower > mu.hi && fabsq(tp.hi) > previous) return {p, q, false};
    previous = fabsq(tp.hi);
  }
  return {p, q, false};
}

void hankel_values(const hankel_sums& h, const kxreal& phase, const kxreal& r, kxreal& j, kxreal& y) {
  kxreal pi;
  kxpi(pi);
  kxreal quarter;
  kxmuld(pi, 0.25Q, quarter);
  kxreal chi;
  kxsub(r, phase, chi);
  kxsub(chi, quarter, chi);
  kxreal c;
  kxreal s;
  kxcssnr(chi, c, s);
  kxreal scale;
  kxmul(pi, r, scale);
  kxdiv(kxreal{2}, scale, scale);
  kxsqrt(scale, scale);
  kxreal u;
  kxreal v;
  kxmul(h.p, c, u);
  kxmul(h.q, s, v);
  kxreal jj;
  kxsub(u, v, jj);
  kxmul(h.p, s, u);
  kxmul(h.q, c, v);
  kxreal yy;
  kxadd(u, v, yy);
  kxmul(scale, jj, j);
  kxmul(scale, yy, y);
}

bessel_sum modified_expansion(const kxreal& mu, const kxreal& r, bool alternating) {
  kxreal s{1};
  kxreal a{1};
  kxreal d{1};
  for (int k = 1; k <= bessel_term_limit; ++k) {
    const __float128 odd = 2 * static_cast<__float128>(k) - 1;
    kxreal f;
    kxsub(mu, kxreal{odd * odd}, f);
    kxmul(a, f, a);
    if (alternating) kxneg(a, a);
    kxreal g;
    kxmuld(r, 8 * static_cast<__float128>(k), g);
    kxmul(d, g, d);
    kxreal t;
    kxdiv(a, d, t);
    kxadd(s, t, s);
    if (settled(t, s)) return {s, true};
    if (isnanq(t.hi)) return {s, false};  // as in Hankel's expansion: S stays NaN
  }
  return {s, false};
}

kxreal i_from_expansion(const kxreal& s, const kxreal& r) {
  kxreal e;
  kxexp(r, e);
  kxreal pi;
  kxpi(pi);
  kxreal w;
  kxmuld(pi, 2, w);
  kxmul(w, r, w);
  kxsqrt(w, w);
  kxreal i;
  kxmul(s, e, i);
  kxdiv(i, w, i);
  return i;
}

kxreal k_from_expansion(const kxreal& s, const kxreal& r) {
  kxreal pi;
  kxpi(pi);
  kxreal w;
  kxmuld(r, 2, w);
  kxdiv(pi, w, w);
  kxsqrt(w, w);
  kxreal e;
  kxexp(r, e);
  kxdiv(w, e, w);
  kxreal k;
  kxmul(s, w, k);
  return k;
}

bool order_small_against(const kxreal& mu, const kxreal& r) { return mu.hi <= small_order_ratio * r.hi; }

kxreal downward_recurrence(const kxreal& mu0, int n, const kxreal& r, const kxreal& f0, const kxreal& f1) {
  kxreal fk = f0;
  kxreal above = f1;
  for (int k = 0; k > n; --k) {
    const kxreal f = recurrence_step(mu0, k, r, fk, above, -1);
    above = fk;
    fk = f;
  }
  return fk;
}

std::vector<kxreal> miller_sequence(const kxreal& mu0, int n, const kxreal& r, int sign) {
  const int start = miller_start(n, r, sign);
  std::vector<kxreal> f(start + 2);
  f[start] = kxreal{1};
  for (int k = start; k >= 1; --k) {
    f[k - 1] = recurrence_step(mu0, k, r, f[k], f[k + 1], sign);
    if (fabsq(f[k - 1].hi) > rescale_above) {
      for (int i = k - 1; i <= start; ++i) kxmuld(f[i], rescale_by, f[i]);
    }
  }
  f.pop_back();
  return f;
}

kxreal miller_recurrence(const kxreal& mu0, int n, const kxreal& r, int sign, const kxreal& v0, const kxreal& v1) {
  const std::vector<kxreal> f = miller_sequence(mu0, n, r, sign);
  // Scaled to the larger of the two known values: for J it lies near the
  // envelope sqrt(2/(pi r)) where the other passes through a zero.
  kxreal scale;
  if (fabsq(v0.hi) >= fabsq(v1.hi)) {
    kxdiv(v0, f[0], scale);
  } else {
    kxdiv(v1, f[1], scale);
  }
  kxmul(f[n], scale, scale);
  return scale;
}

kxreal neumann_sum(const kxreal& mu0, std::span<const kxreal> f) {
  const int top = static_cast<int>((f.size() - 1) / 2);
  kxreal s = f[2 * top];
  for (int k = top; k >= 1; --k) {
    if (mu0.hi == 0) {
      // Integer orders: the ratios are exactly 2 (k = 1) and 1.
      if (k == 1) kxmuld(s, 2, s);
    } else {
      kxreal ratio;
      kxadd(mu0, kxreal{2 * k}, ratio);
      if (k > 1) {
        kxreal a;
        kxadd(mu0, kxreal{k - 1}, a);
        kxmul(ratio, a, ratio);
        kxadd(mu0, kxreal{2 * k - 2}, a);
        kxmuld(a, k, a);
        kxdiv(ratio, a, ratio);
      }
      kxmul(ratio, s, s);
    }
    kxadd(f[2 * k - 2], s, s);
  }
  return s;
}

kxreal upward_recurrence(const kxreal& mu0, int n, const kxreal& r, const kxreal& f0, const kxreal& f1, int sign) {
  if (n == 0) return f0;
  kxreal below = f0;
  kxreal fk = f1;
  for (int k = 1; k < n; ++k) {
    const kxreal f = recurrence_step(mu0, k, r, fk, below, sign);
    // Past the range the value is infinite, of the sign it grew with.
    if (!finiteq(f.hi)) return kxreal{copysignq(HUGE_VALQ, fk.hi), 0};
    below = fk;
    fk = f;
  }
  return fk;
}

// Steed's algorithm for the continued fraction CF2 of Thompson and Barnett:
// h = K_(mu+1)/K_mu up to known terms, and beside it the sum s of the
// coefficients q_i that gives K_mu = sqrt(pi/2x) e^-x / s. Both converge
// geometrically for x >= 2 (the terms shrink by about (1 + 2/x)^-2 a step).
k_pair steed_k(const kxreal& mu0, const kxreal& x) {
  kxreal mu2;
  kxmul(mu0, mu0, mu2);
  kxreal a1;
  kxsub(kxreal{0.25Q}, mu2, a1);
  kxreal b;
  kxadd(kxreal{1}, x, b);
  kxmuld(b, 2, b);
  kxreal d;
  kxdiv(kxreal{1}, b, d);
  kxreal h = d;
  kxreal delh = d;
  kxreal q1;
  kxreal q2{1};
  kxreal q = a1;
  kxreal c = a1;
  kxreal a;
  kxneg(a1, a);
  kxreal s;
  kxmul(q, delh, s);
  kxadd(kxreal{1}, s, s);
  bool converged = false;
  for (int i = 2; i <= bessel_term_limit; ++i) {
    kxsub(a, kxreal{2 * (i - 1)}, a);
    kxmul(a, c, c);
    kxneg(c, c);
    kxdivd(c, i, c);
    kxreal qnew;
    kxmul(b, q2, qnew);
    kxsub(q1, qnew, qnew);
    kxdiv(qnew, a, qnew);
    q1 = q2;
    q2 = qnew;
    kxreal cq;
    kxmul(c, qnew, cq);
    kxadd(q, cq, q);
    kxadd(b, kxreal{2}, b);
    kxreal den;
    kxmul(a, d, den);
    kxadd(b, den, den);
    kxdiv(kxreal{1}, den, d);
    kxreal bd;
    kxmul(b, d, bd);
    kxsub(bd, kxreal{1}, bd);
    kxmul(bd, delh, delh);
    kxadd(h, delh, h);
    kxreal dels;
    kxmul(q, delh, dels);
    kxadd(s, dels, s);
    if (settled(dels, s)) {
      converged = true;
      break;
    }
  }
  kxmul(a1, h, h);
  kxreal k0 = k_from_expansion(kxreal{1}, x);
  kxdiv(k0, s, k0);
  // K_(mu+1) = K_mu (mu + x + 1/2 - h) / x.
  kxreal k1;
  kxadd(mu0, x, k1);
  kxadd(k1, kxreal{0.5Q}, k1);
  kxsub(k1, h, k1);
  kxmul(k0, k1, k1);
  kxdiv(k1, x, k1);
  return {k0, k1, converged};
}

}  // namespace kx
