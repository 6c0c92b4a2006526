// Square root by one Newton correction of the binary128 root, in Karp's form
// that multiplies by the reciprocal root: b = t2 + (a - t2^2) t1 / 2 with
// t1 = 1/sqrt(a.hi) and t2 = a.hi t1, the square t2^2 formed exactly.
#include <cstring>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_divide.h>
#include <kx/core/quad_fixed_root.h>
#include <kx/core/quad_fixed_sum.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_order.h>
#include <kx/core/quad_unpacked.h>
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

// newton_sqrt on unpacked words, for a.hi in the window and a.lo in it or
// zero, while the reciprocal root, the products and the quotient stay in
// the window (false otherwise, before b is written). The halving is the
// product with 0.5, and the closing kxadd of (t2, 0) and (t3, 0) its terms
// with zero low words.
bool fused_newton_sqrt(const kxreal& a, kxreal& b) {
  using kx::iq_num;
  using kx::iq_product;
  const kx::iq_u128 ah = kx::iq_bits(a.hi);
  const kx::iq_u128 al = kx::iq_bits(a.lo);
  if (!(kx::iq_in_window(kx::iq_field_of(ah)) && kx::iq_in_window_or_zero(al))) return false;
  const iq_num x = kx::iq_unpack(ah);
  const iq_num one = {kx::iq_hidden_bit, kx::iq_bias, false};
  const iq_num half = {kx::iq_hidden_bit, kx::iq_bias - 1, false};
  const iq_num root = kx::iq_root(x);
  if (!kx::iq_quotient_field_in_window(one.field, root.field)) return false;
  const iq_num t1 = kx::iq_quotient(one, root);
  if (!kx::iq_product_fits(x, t1)) return false;
  const iq_num t2 = iq_product<false>(x, t1);
  if (!kx::iq_product_fits(t2, t2)) return false;
  iq_num c21;
  const iq_num c11 = iq_product<true>(t2, t2, &c21);
  iq_num rh, rl;
  kx::iq_remainder_of(x, kx::iq_unpack(al), c11, c21, rh, rl);
  const iq_num r = kx::iq_sum(rl, rh);
  if (!kx::iq_product_fits(r, half)) return false;
  const iq_num half_r = iq_product<false>(r, half);
  if (!kx::iq_product_fits(half_r, t1)) return false;
  const iq_num t3 = iq_product<false>(half_r, t1);
  const iq_num zero = {0, 0, false};
  if (kx::iq_fixed_tail(t2, t3, zero, zero, b)) [[likely]] return true;
  iq_num s, e;
  kx::iq_two_sum(t2, t3, s, e);
  b = kx::iq_quick_two_sum(s, kx::iq_sum(kx::iq_sum(e, zero), zero));
  return true;
}

// sqrt(a) = sqrt(a 2^-2k) 2^k with a 2^-2k in [1/2, 4): every step of the
// Newton correction is then the same one 2^-k or 2^-2k lower, so where the
// unscaled steps stay in range the words are theirs.
kxreal scaled_newton_sqrt(const kxreal& a) {
  const int k = ilogbq(a.hi) / 2;
  return kx::scaled_by_power_of_two(newton_sqrt(kx::scaled_by_power_of_two(a, -2 * k)), k);
}

// kxsqrt where the fixed-point path declines: zeros, negative operands,
// words outside its conditions.
[[gnu::noinline]] void sqrt_outside_fixed(const kxreal& a, kxreal& b) {
  if (kx::iq_is_zero_value(a.hi)) {
    b = {0, 0};
    return;
  }
  if (kx::iq_less(a.hi, 0)) {
    kx::fatal("('*** KXSQRT: Argument is negative.')");
  }
  if (fused_newton_sqrt(a, b)) return;
  b = kx::has_far_exponent(a.hi) ? scaled_newton_sqrt(a) : newton_sqrt(a);
}

}  // namespace

// The fixed-point path takes only positive high words in the window, which
// are neither zero nor negative.
void kxsqrt(const kxreal& a, kxreal& b) {
  kx::iq_u128 high, low;
  std::memcpy(&high, &a.hi, sizeof high);
  std::memcpy(&low, &a.lo, sizeof low);
  if (kx::iq_fixed_sqrt(high, low, b)) [[likely]] return;
  sqrt_outside_fixed(a, b);
}
