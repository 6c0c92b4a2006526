// B_2k read off the power series of pi t coth(pi t) = cosh(pi t) times the
// reciprocal of sinh(pi t)/(pi t), the reciprocal found by Newton's
// iteration d <- d + d(1 - c d) on truncated series in t^2 whose length
// doubles from 4 up to nb once its last coefficient has settled.
#include <quadmath.h>

#include <algorithm>
#include <span>
#include <vector>

#include <kx/core/core.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/special/zeta.h>
#include <kx/support/fatal.h>

namespace {

using series = std::vector<kxreal>;

constexpr int start_length = 4;
constexpr __float128 settle_tolerance = 0x1p-220Q;

// c(k) = sum_{j=0..k} a(j) b(k-j) for k = 0..m, each from j = 0 upward.
void series_product(int m, const series& a, const series& b, series& c) {
  for (int k = 0; k <= m; ++k) {
    kxreal sum;
    for (int j = 0; j <= k; ++j) {
      kxreal p;
      kxmul(a[j], b[k - j], p);
      kxadd(sum, p, sum);
    }
    c[k] = sum;
  }
}

void series_difference(int m, const series& a, const series& b, series& c) {
  for (int k = 0; k <= m; ++k) kxsub(a[k], b[k], c[k]);
}

void series_sum(int m, const series& a, const series& b, series& c) {
  for (int k = 0; k <= m; ++k) kxadd(a[k], b[k], c[k]);
}

// a(k) = p^k/(2k)!, for cosh(pi t) with p = pi^2.
series cosh_series(int nb, const kxreal& p) {
  series a(nb + 1);
  a[0] = kxreal{1};
  for (int k = 1; k <= nb; ++k) {
    kxmul(a[k - 1], p, a[k]);
    kxdivd(a[k], static_cast<__float128>(2 * k - 1) * (2 * k), a[k]);
  }
  return a;
}

// c(k) = p^k/(2k+1)!, for sinh(pi t)/(pi t).
series sinhc_series(int nb, const kxreal& p) {
  series c(nb + 1);
  c[0] = kxreal{1};
  for (int k = 1; k <= nb; ++k) {
    kxmul(c[k - 1], p, c[k]);
    kxdivd(c[k], static_cast<__float128>(2 * k) * (2 * k + 1), c[k]);
  }
  return c;
}

// d = the reciprocal series of c to nb + 1 coefficients.
series reciprocal(int nb, const series& c) {
  series u(nb + 1);
  series d(nb + 1);
  series e(nb + 1);
  series f(nb + 1);
  u[0] = kxreal{1};
  d[0] = kxreal{1};
  int m = std::min(start_length, nb);
  kxreal q;
  for (int budget = kx::bernoulli_pass_budget;;) {
    series_product(m, c, d, e);
    series_difference(m, u, e, f);
    series_product(m, f, d, e);
    series_sum(m, d, e, d);
    kxreal delta;
    kxsub(d[m], q, delta);
    if (fabsq(delta.hi) >= settle_tolerance) {
      q = d[m];
    } else if (m == nb) {
      return d;
    } else {
      m = std::min(2 * m, nb);
      q = kxreal{};
    }
    if (--budget == 0) kx::fatal("('*** KXBERNER: Loop end error')");
  }
}

}  // namespace

void kxberner(std::span<kxreal> b) {
  const int nb = static_cast<int>(b.size());
  if (nb == 0) return;
  kxreal pi;
  kxpi(pi);
  kxreal p;
  kxmul(pi, pi, p);
  const series a = cosh_series(nb, p);
  const series d = reciprocal(nb, sinhc_series(nb, p));
  series e(nb + 1);
  series_product(nb, a, d, e);
  // B_2k = (g/2)/h |e(k)| with g = -2 (-1)^k (2k)! and h = (2 pi)^2k; from the
  // k where (2k)! leaves the range, the ratio (g/2)/h is carried instead.
  kxreal four_p;
  kxmuld(p, 4, four_p);
  kxreal g{-2};
  kxreal h{1};
  kxreal ratio;
  bool carried = false;
  for (int k = 1; k <= nb; ++k) {
    const __float128 factor = -(static_cast<__float128>(2 * k - 1) * (2 * k));
    if (!carried) {
      kxreal next;
      kxmuld(g, factor, next);
      if (isinfq(next.hi)) {
        carried = true;
      } else {
        g = next;
        kxmul(h, four_p, h);
        kxmuld(g, 0.5Q, ratio);
        kxdiv(ratio, h, ratio);
      }
    }
    if (carried) {
      kxmuld(ratio, factor, ratio);
      kxdiv(ratio, four_p, ratio);
    }
    kxreal ek;
    kxabs(e[k], ek);
    kxmul(ratio, ek, b[k - 1]);
  }
}
