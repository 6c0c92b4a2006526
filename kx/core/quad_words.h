// Binary128 values from their bit patterns, as 128-bit hexadecimal words
// written high 64 bits first; used for every stored constant, so that each
// constant is exactly the word given and not a decimal conversion of it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace kx {

inline __float128 quad_from_words(std::uint64_t high, std::uint64_t low) {
  static_assert(sizeof(__float128) == 2 * sizeof(std::uint64_t));
  std::uint64_t words[2];
  if constexpr (std::endian::native == std::endian::little) {
    words[0] = low;
    words[1] = high;
  } else {
    words[0] = high;
    words[1] = low;
  }
  __float128 q;
  std::memcpy(&q, words, sizeof q);
  return q;
}

/// The biased exponent field of x, read from its bits: 0 for zeros and
/// subnormals, 0x7fff for infinities and NaNs. Integer work only, so range
/// tests on the hot path cost no binary128 comparison.
inline int exponent_field(__float128 x) {
  std::uint64_t words[2];
  std::memcpy(words, &x, sizeof x);
  const std::uint64_t high = std::endian::native == std::endian::little ? words[1] : words[0];
  return static_cast<int>((high >> 48) & 0x7fff);
}

inline constexpr int non_finite_exponent_field = 0x7fff;

inline bool is_finite(__float128 x) { return exponent_field(x) != non_finite_exponent_field; }

}  // namespace kx
