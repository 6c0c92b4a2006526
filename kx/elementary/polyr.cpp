// Newton's method x <- x - p(x)/p'(x), with p and p' summed over the powers
// 1, x, x^2, ... in turn and the derivative's coefficients formed once.
#include <quadmath.h>

#include <cstddef>
#include <span>
#include <vector>

#include <kx/core/core.h>
#include <kx/elementary/polyr.h>
#include <kx/support/fatal.h>

namespace {

constexpr int step_budget = 20;
constexpr __float128 tolerance = 1e-65Q;

// ad(k) = (k + 1) a(k + 1) for k < n, and ad(n) = 0.
std::vector<kxreal> derivative_coefficients(int n, std::span<const kxreal> a) {
  std::vector<kxreal> ad(static_cast<std::size_t>(n) + 1);
  for (int k = 0; k < n; ++k) kxmuld(a[k + 1], k + 1, ad[k]);
  return ad;
}

// p(x)/p'(x), the Newton correction.
kxreal newton_correction(std::span<const kxreal> a, const std::vector<kxreal>& ad, const kxreal& x) {
  kxreal s;
  kxreal d;
  kxreal w{1, 0};
  for (std::size_t k = 0; k < ad.size(); ++k) {
    kxreal t;
    kxmul(a[k], w, t);
    kxadd(s, t, s);
    kxmul(ad[k], w, t);
    kxadd(d, t, d);
    kxmul(w, x, w);
  }
  kxdiv(s, d, s);
  return s;
}

}  // namespace

void kxpolyr(int n, std::span<const kxreal> a, const kxreal& x1, kxreal& x) {
  if (n < 0 || a.size() < static_cast<std::size_t>(n) + 1) {
    kx::fatal("('*** KXPOLYR: Improper value of N',i10)", n);
  }
  const std::vector<kxreal> ad = derivative_coefficients(n, a);
  x = x1;
  for (int budget = step_budget;;) {
    const kxreal t = newton_correction(a, ad, x);
    kxsub(x, t, x);
    if (fabsq(t.hi) <= tolerance) return;
    if (--budget == 0) kx::fatal("('KXPOLYR: failed to converge.')");
  }
}
