// Binary128 comparisons on the bit patterns, without the compiler's library
// calls: the same answers as <, <=, == and != on binary128, -0 equal to +0
// and NaN unordered.
#pragma once

#include <kx/core/quad_integer.h>

namespace kx {

inline bool iq_is_nan_bits(iq_u128 b) { return (b & ~iq_sign_bit) > (iq_u128(0x7fff) << 112); }

/// A signed key ordered as the values: the magnitude, negated for a
/// negative sign, so that -0 and +0 both give 0. Not for NaN.
inline __int128 iq_order_key(iq_u128 b) {
  const __int128 m = static_cast<__int128>(b & ~iq_sign_bit);
  return (b & iq_sign_bit) != 0 ? -m : m;
}

inline bool iq_less(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  return !iq_is_nan_bits(bx) && !iq_is_nan_bits(by) && iq_order_key(bx) < iq_order_key(by);
}

inline bool iq_less_equal(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  return !iq_is_nan_bits(bx) && !iq_is_nan_bits(by) && iq_order_key(bx) <= iq_order_key(by);
}

inline bool iq_equal(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  return !iq_is_nan_bits(bx) && !iq_is_nan_bits(by) && iq_order_key(bx) == iq_order_key(by);
}

/// x == 0 (either zero).
inline bool iq_is_zero_value(__float128 x) { return iq_is_zero(iq_bits(x)); }

}  // namespace kx
