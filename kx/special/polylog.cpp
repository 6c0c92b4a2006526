// Li_n(x) for n >= 0 by its power series; for n = -m < 0 by the Eulerian
// numbers: Li_-m(x) = sum_{i=1..m} A(m, i) x^i / (1 - x)^(m+1), exact
// rational form of (x d/dx)^m x/(1 - x).
#include <quadmath.h>

#include <cstdlib>
#include <span>
#include <vector>

#include <kx/core/core.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/polylog.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {


// 1 - x.
kxreal one_minus(const kxreal& x) {
  kxreal r;
  kxsub(kxreal{1}, x, r);
  return r;
}

// x + x^2/2^n + x^3/3^n + ...: each term below the one before by |x| at
// least, so the first term under 2^-226 of the sum leaves a tail below
// |x|/(1 - |x|) of it. Once k^n passes the range the term is below 2^-16384
// of the sum (whose first term is x): the sum has settled.
kxreal polylog_series(int n, const kxreal& x) {
  kxreal sum = x;
  kxreal t = x;
  for (int k = 2;; ++k) {
    kxmul(x, t, t);
    kxreal power;
    kxnpwr(kxreal{k}, n, power);
    if (isinfq(power.hi)) return sum;
    kxreal term;
    kxdiv(t, power, term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) return sum;
    if (k >= kx::polylog_term_limit) kx::fatal("('*** KXPOLYLOGPOS: Loop end error')");
  }
}

// (x + A(m, 2) x^2 + ... + A(m, m) x^m) / (1 - x)^(m+1) for m = a.size();
// `in_range` tells whether the sum and the power stayed finite.
kxreal rational_form(std::span<const kxreal> a, const kxreal& x, bool& in_range) {
  kxreal sum = x;
  kxreal t = x;
  for (std::size_t k = 2; k <= a.size(); ++k) {
    kxmul(x, t, t);
    kxreal term;
    kxmul(a[k - 1], t, term);
    kxadd(sum, term, sum);
  }
  kxreal power;
  kxnpwr(one_minus(x), static_cast<int>(a.size() + 1), power);
  in_range = finiteq(sum.hi) && finiteq(power.hi);
  kxreal r;
  kxdiv(sum, power, r);
  return r;
}

}  // namespace

void kxpolylogpos(int n, const kxreal& x, kxreal& li) {
  if (n < 0) {
    kx::fatal(
        "('*** KXPOLYLOGPOS: N is less than zero.'/ 'For negative n, call kxpolylogneg or polylog_neg. See "
        "documentation.')");
  }
  kxreal ax;
  kxabs(x, ax);
  int ic = 0;
  kxcpr(ax, kxreal{1}, ic);
  if (ic >= 0) kx::fatal("('*** KXPOLYLOGPOS: |X| must be less than one.')");
  if (n == 0) {
    kxdiv(x, one_minus(x), li);
    return;
  }
  li = polylog_series(n, x);
}

void kxpolylogini(int n, std::span<kxreal> table) {
  const long long m = std::llabs(static_cast<long long>(n));
  if (m == 0) return;
  if (table.size() < static_cast<std::size_t>(m)) {
    kx::fatal("('*** KXPOLYLOGINI: Array must have at least',i10,' entries for order N.')", m);
  }
  // Row i (1-based), column c (0 or 1) at 2 (i - 1) + c: row 1 is 1 in both
  // columns, the rest 0, so that row k of the source is 0 at order k.
  std::vector<kxreal> w(2 * m);
  const auto at = [&w](long long i, int c) -> kxreal& { return w[2 * (i - 1) + c]; };
  at(1, 0) = kxreal{1};
  at(1, 1) = kxreal{1};
  int dst = 0;
  for (long long k = 2; k <= m; ++k) {
    dst = static_cast<int>(k % 2 == 0);
    const int src = 1 - dst;
    for (long long i = 2; i <= k; ++i) {
      kxreal left;
      kxreal right;
      kxmuld(at(i - 1, src), static_cast<__float128>(k + 1 - i), left);
      kxmuld(at(i, src), static_cast<__float128>(i), right);
      kxadd(left, right, at(i, dst));
    }
  }
  for (long long i = 1; i <= m; ++i) table[i - 1] = at(i, dst);
}

void kxpolylogneg(int n, std::span<const kxreal> table, const kxreal& x, kxreal& li) {
  const long long m = std::llabs(static_cast<long long>(n));
  if (m == 0) kx::fatal("('*** KXPOLYLOGNEG: N = 0 is not a negative order; call kxpolylogpos.')");
  if (table.size() < static_cast<std::size_t>(m) || table[m - 1].hi != 1 || table[0].hi != 1) {
    kx::fatal(
        "('*** KXPOLYLOGNEG: Uninitialized or inadequately sized arrays'/ 'Call kxpolylogini or polylog_ini to "
        "initialize array. See documentation.')");
  }
  if (one_minus(x).hi == 0) kx::fatal("('*** KXPOLYLOGNEG: X = 1 is a pole.')");
  bool in_range = true;
  li = rational_form(table.first(m), x, in_range);
  if (in_range || fabsq(x.hi) <= 1) return;
  // x^m or (1 - x)^(m+1) passed the range: Li_-m(x) = (-1)^(m+1) Li_-m(1/x).
  kxreal y;
  kxdiv(kxreal{1}, x, y);
  li = rational_form(table.first(m), y, in_range);
  if (m % 2 == 0) kxneg(li, li);
}
