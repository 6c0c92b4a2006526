// The binary128 word of a machine integer, built from its bits: every
// integer of up to 64 bits is exact in binary128 (113-bit significand), so
// this is the word the compiler's conversion gives, without its library
// call; 0 gives +0.
#pragma once

#include <cstdint>

#include <kx/core/quad_unpacked.h>

namespace kx {

inline __float128 iq_from_integer(std::int64_t i) {
  if (i == 0) return 0;
  const bool negative = i < 0;
  const iq_u128 m = negative ? -static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i);
  const int top = iq_top_bit(m);
  return iq_quad((negative ? iq_sign_bit : 0) | (static_cast<iq_u128>(iq_bias + top) << 112) |
                 ((m << (112 - top)) & iq_fraction_mask));
}

}  // namespace kx
