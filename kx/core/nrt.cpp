// n-th root by Newton's iteration for a^(-1/n), b <- b + b (1 - a b^n) / n,
// from a binary128 start; three steps take the start's 113 bits past 226.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/support/fatal.h>

namespace {

constexpr int newton_steps = 3;

kxreal reciprocal_root_start(const kxreal& a, int n) {
  const __float128 nq = n;
  return {expq(-(logq(a.hi) / nq)), 0};
}

}  // namespace

void kxnrt(const kxreal& a, int n, kxreal& b) {
  if (a.hi == 0) {
    b = {0, 0};
    return;
  }
  if (a.hi < 0) {
    kx::fatal("('*** KXNRT: Argument is negative.')");
  }
  if (n <= 0) {
    kx::fatal("('*** KXNRT: Improper value of N',i10)", n);
  }
  if (n == 1) {
    b = a;
    return;
  }
  if (n == 2) {
    kxsqrt(a, b);
    return;
  }
  const kxreal one = {1, 0};
  const __float128 nq = n;
  kxreal r = reciprocal_root_start(a, n);
  for (int step = 0; step < newton_steps; ++step) {
    kxreal t;
    kxnpwr(r, n, t);
    kxmul(a, t, t);
    kxsub(one, t, t);
    kxmul(r, t, t);
    kxdivd(t, nq, t);
    kxadd(r, t, r);
  }
  kxdiv(one, r, b);
}
