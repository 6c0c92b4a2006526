// H_nu(x) = (x/2)^(nu+1) sum_k (-x^2/4)^k / (Gamma(k+3/2) Gamma(k+nu+3/2)).
// The series alternates: its largest terms are about e^|x| / sqrt(|x|)
// times the power, so it loses about 0.43 |x| decimal digits to
// cancellation; the argument is bounded where that loss stays near the
// library's other functions' (see struve.h).
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/special/struve.h>
#include <kx/support/fatal.h>

namespace {

// At |x| = 12 the series keeps 63.5 digits (measured against Arb); beyond, fewer.
constexpr __float128 argument_limit = 12;
// Up to here the sum's denominators Gamma(k+3/2) Gamma(k+nu+3/2) stay in
// range for every k the sum needs (they grow by less than 10^120 for |x| <= 12).
constexpr __float128 gamma_ceiling = 0x1p15000Q;

// sum_k q^k / (g1 g2 (3/2)_k (nu+3/2)_k), g1 and g2 standing for Gamma(3/2)
// and Gamma(nu + 3/2) (or any scaling of the latter).
kxreal struve_sum(const kxreal& q, kxreal g1, kxreal g2, int nu) {
  kxreal a{1};
  kxreal sum;
  kxmul(g1, g2, sum);
  kxdiv(kxreal{1}, sum, sum);
  for (int k = 1;; ++k) {
    kxmul(q, a, a);
    kxmuld(g1, k + 0.5Q, g1);
    kxmuld(g2, static_cast<__float128>(k) + nu + 0.5Q, g2);
    kxreal term;
    kxmul(g1, g2, term);
    kxdiv(a, term, term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) return sum;
    if (k >= kx::struve_term_limit) kx::fatal("('*** KXSTRUVEHN: Loop end error')");
  }
}

}  // namespace

void kxstruvehn(int nu, const kxreal& x, kxreal& h) {
  if (nu < 0) kx::fatal("('*** KXSTRUVEHN: NU < 0')");
  if (fabsq(x.hi) > argument_limit) kx::fatal("('*** KXSTRUVEHN: ABS(SS) >',f8.2)", argument_limit);
  kxreal q;
  kxmul(x, x, q);
  kxmuld(q, -0.25Q, q);
  kxreal g1;
  kxpi(g1);
  kxsqrt(g1, g1);
  kxmuld(g1, 0.5Q, g1);
  kxreal g2 = g1;
  for (int i = 1; i <= nu && g2.hi < gamma_ceiling; ++i) kxmuld(g2, i + 0.5Q, g2);
  kxreal half;
  kxmuld(x, 0.5Q, half);
  if (g2.hi < gamma_ceiling) {
    kxreal power;
    kxnpwr(half, nu + 1, power);
    kxmul(power, struve_sum(q, g1, g2, nu), h);
    return;
  }
  // Gamma(nu + 3/2) near the top of the range: H = S / (g1 g), with
  // g = Gamma(nu + 3/2) / (x/2)^(nu+1) formed a factor (i + 1/2)/(x/2) at a
  // time and S the sum relative to its first term (about 1). Where g1 g
  // leaves the range, H is below the normal range and is given as 0.
  kxreal g;
  kxdiv(g1, half, g);
  for (int i = 1; i <= nu && finiteq(g.hi); ++i) {
    kxmuld(g, i + 0.5Q, g);
    kxdiv(g, half, g);
  }
  kxmul(g, g1, g);
  if (!finiteq(g.hi)) {
    h = kxreal{};
    return;
  }
  kxdiv(struve_sum(q, kxreal{1}, kxreal{1}, nu), g, h);
}
