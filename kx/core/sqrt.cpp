// Square root by one Newton correction of the binary128 root, in Karp's form
// that multiplies by the reciprocal root: b = t2 + (a - t2^2) t1 / 2 with
// t1 = 1/sqrt(a.hi) and t2 = a.hi t1, the square t2^2 formed exactly.
#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_divide.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_order.h>
#include <kx/support/fatal.h>
#include <kx/core/quad_sqrt.h>

namespace {

// The terms of kx::reference_newton_sqrt, sums, products, the binary128
// root and its reciprocal in integers.
kxreal newton_sqrt(const kxreal& a) {
  const __float128 t1 = kx::iq_div(1, kx::iq_sqrt(a.hi));
  const __float128 t2 = kx::iq_mul(a.hi, t1);
  const kx::iq_rounded_product c = kx::iq_two_product(t2, t2);
  const kx::quad_halves r = kx::iq_remainder_of(a, c.p, c.error);
  const __float128 t3 = kx::iq_mul(kx::iq_mul(kx::iq_add(r.low, r.high), 0.5Q), t1);
  kxreal b;
  kxadd(kxreal{t2, 0}, kxreal{t3, 0}, b);
  return b;
}

// sqrt(a) = sqrt(a 2^-2k) 2^k with a 2^-2k in [1/2, 4): every step of the
// Newton correction is then the same one 2^-k or 2^-2k lower, so where the
// unscaled steps stay in range the words are theirs.
kxreal scaled_newton_sqrt(const kxreal& a) {
  const int k = ilogbq(a.hi) / 2;
  return kx::scaled_by_power_of_two(newton_sqrt(kx::scaled_by_power_of_two(a, -2 * k)), k);
}

}  // namespace

void kxsqrt(const kxreal& a, kxreal& b) {
  if (kx::iq_is_zero_value(a.hi)) {
    b = {0, 0};
    return;
  }
  if (kx::iq_less(a.hi, 0)) {
    kx::fatal("('*** KXSQRT: Argument is negative.')");
  }
  b = kx::has_far_exponent(a.hi) ? scaled_newton_sqrt(a) : newton_sqrt(a);
}
