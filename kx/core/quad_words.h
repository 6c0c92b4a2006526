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

}  // namespace kx
