// Binary128 comparisons on the bit patterns, without the compiler's library
// calls: the same answers as <, <=, == and != on binary128, -0 equal to +0
// and NaN unordered.
#pragma once

#include <kx/core/quad_integer.h>

namespace kx::iq {

inline bool is_nan_bits(u128 b) { return (b & ~sign_bit) > (u128(0x7fff) << 112); }

/// A signed key ordered as the values: the magnitude, negated for a
/// negative sign, so that -0 and +0 both give 0. Not for NaN.
inline __int128 order_key(u128 b) {
  const __int128 m = static_cast<__int128>(b & ~sign_bit);
  return (b & sign_bit) != 0 ? -m : m;
}

inline bool less(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  return !is_nan_bits(bx) && !is_nan_bits(by) && order_key(bx) < order_key(by);
}

inline bool less_equal(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  return !is_nan_bits(bx) && !is_nan_bits(by) && order_key(bx) <= order_key(by);
}

inline bool equal(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  return !is_nan_bits(bx) && !is_nan_bits(by) && order_key(bx) == order_key(by);
}

/// x == 0 (either zero).
inline bool is_zero_value(__float128 x) { return is_zero(bits(x)); }

}  // namespace kx::iq
