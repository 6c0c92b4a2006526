// The cases of quad_integer.h outside its window. Zeros are common operands
// (a low word of 0) and are settled here without the compiler's library
// call: x + 0 = x for x != 0, and the sum of two zeros is -0 only when both
// are -0; a product with a zero factor and a finite other is a zero of the
// product's sign. The rest is the compiler's binary128.
#include <kx/core/eft.h>
#include <kx/core/quad_integer.h>

namespace kx {

namespace {

bool iq_is_finite_bits(iq_u128 b) { return iq_field_of(b) != 0x7fff; }

}  // namespace

__float128 iq_add_outside_window(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if (iq_is_zero(by) && iq_is_finite_bits(bx)) return iq_is_zero(bx) ? iq_quad(bx & by & iq_sign_bit) : x;
  if (iq_is_zero(bx) && iq_is_finite_bits(by)) return y;
  return x + y;
}

__float128 iq_sub_outside_window(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if (iq_is_zero(by) && iq_is_finite_bits(bx)) return iq_is_zero(bx) ? iq_quad(bx & ~by & iq_sign_bit) : x;
  if (iq_is_zero(bx) && iq_is_finite_bits(by)) return iq_quad(by ^ iq_sign_bit);
  return x - y;
}

__float128 iq_mul_outside_window(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if ((iq_is_zero(bx) && iq_is_finite_bits(by)) || (iq_is_zero(by) && iq_is_finite_bits(bx))) {
    return iq_quad((bx ^ by) & iq_sign_bit);
  }
  return x * y;
}

// A zero times an in-window word: a zero of the product's sign, and
// Dekker's error +0 (each of its partial products is then a zero of p's
// sign or sums to +0 with +0).
iq_rounded_product iq_two_product_outside_window(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if ((iq_is_zero(bx) && iq_in_window(iq_field_of(by))) || (iq_is_zero(by) && iq_in_window(iq_field_of(bx)))) {
    return {iq_quad((bx ^ by) & iq_sign_bit), 0};
  }
  const __float128 p = x * y;
  return {p, product_error(x, y, p)};
}

}  // namespace kx
