// The cases of quad_integer.h outside its window. Zeros are common operands
// (a low word of 0) and are settled here without the compiler's library
// call: x + 0 = x for x != 0, and the sum of two zeros is -0 only when both
// are -0; a product with a zero factor and a finite other is a zero of the
// product's sign. The rest is the compiler's binary128.
#include <kx/core/eft.h>
#include <kx/core/quad_integer.h>

namespace kx::iq {

namespace {

bool is_finite_bits(u128 b) { return field_of(b) != 0x7fff; }

}  // namespace

__float128 add_outside_window(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  if (is_zero(by) && is_finite_bits(bx)) return is_zero(bx) ? quad(bx & by & sign_bit) : x;
  if (is_zero(bx) && is_finite_bits(by)) return y;
  return x + y;
}

__float128 sub_outside_window(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  if (is_zero(by) && is_finite_bits(bx)) return is_zero(bx) ? quad(bx & ~by & sign_bit) : x;
  if (is_zero(bx) && is_finite_bits(by)) return quad(by ^ sign_bit);
  return x - y;
}

__float128 mul_outside_window(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  if ((is_zero(bx) && is_finite_bits(by)) || (is_zero(by) && is_finite_bits(bx))) {
    return quad((bx ^ by) & sign_bit);
  }
  return x * y;
}

// A zero times an in-window word: a zero of the product's sign, and
// Dekker's error +0 (each of its partial products is then a zero of p's
// sign or sums to +0 with +0).
rounded_product two_product_outside_window(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  if ((is_zero(bx) && in_window(field_of(by))) || (is_zero(by) && in_window(field_of(bx)))) {
    return {quad((bx ^ by) & sign_bit), 0};
  }
  const __float128 p = x * y;
  return {p, product_error(x, y, p)};
}

}  // namespace kx::iq
