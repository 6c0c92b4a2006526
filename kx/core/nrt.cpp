// n-th root by Newton's iteration for a^(-1/n), b <- b + b (1 - a b^n) / n,
// from a binary128 start; three steps take the start's 113 bits past 226.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/support/fatal.h>

namespace {

constexpr int newton_steps = 3;

kxreal reciprocal_root_start(const kxreal& a, int n) {
  const __float128 nq = n;
  return {expq(-(logq(a.hi) / nq)), 0};
}

// b = 1/r after Newton's steps for r = a^(-1/n) from the start r.
kxreal newton_root(const kxreal& a, int n, kxreal r) {
  const kxreal one = {1, 0};
  const __float128 nq = n;
  for (int step = 0; step < newton_steps; ++step) {
    kxreal t;
    kxnpwr(r, n, t);
    kxmul(a, t, t);
    kxsub(one, t, t);
    kxmul(r, t, t);
    kxdivd(t, nq, t);
    kxadd(r, t, r);
  }
  kxreal b;
  kxdiv(one, r, b);
  return b;
}

// a^(1/n) = (a 2^-nk)^(1/n) 2^k, with a 2^-nk nearer 1 than a, so that r^n
// and its low word stay in range; the start is a's, scaled by 2^k. Every
// step is then the unscaled one times a power of two, so where the
// unscaled steps stay in range the words are theirs.
kxreal scaled_newton_root(const kxreal& a, int n) {
  const int k = ilogbq(a.hi) / n;
  const kxreal start = kx::scaled_by_power_of_two(reciprocal_root_start(a, n), k);
  return kx::scaled_by_power_of_two(newton_root(kx::scaled_by_power_of_two(a, -n * k), n, start), k);
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
  b = kx::has_far_exponent(a.hi) ? scaled_newton_root(a, n) : newton_root(a, n, reciprocal_root_start(a, n));
}
