// std::hash for kxreal and kxcomplex, so that they can key unordered
// containers. Values that compare equal hash equal: == compares the words
// one by one, so the only equal values with different bits are zero words of
// either sign, and a zero word is hashed as +0. A pair with a NaN word
// equals nothing, itself included; all such pairs hash alike.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <string_view>

#include <kx/core/complex.h>

namespace kx {

/// The words' bits as == sees them: a zero word of either sign as +0, and
/// any pair with a NaN word as one fixed pair. Integer operations only, so
/// a caller's -ffast-math cannot fold the zero and NaN tests away.
///   kx::hash_value(kxreal{-0.0Q, 0}) == kx::hash_value(kxreal{});   // true
inline std::size_t hash_value(const kxreal& a) {
  constexpr unsigned __int128 sign_bit = static_cast<unsigned __int128>(1) << 127;
  constexpr unsigned __int128 exponent_bits = static_cast<unsigned __int128>(0x7fff) << 112;
  unsigned __int128 words[2];
  std::memcpy(&words[0], &a.hi, sizeof words[0]);
  std::memcpy(&words[1], &a.lo, sizeof words[1]);
  for (unsigned __int128& w : words) {
    if ((w & ~sign_bit) == 0) w = 0;
  }
  const auto is_nan = [&](unsigned __int128 w) { return (w & ~sign_bit) > exponent_bits; };
  if (is_nan(words[0]) || is_nan(words[1])) words[0] = words[1] = exponent_bits | 1;
  char bytes[sizeof words];
  std::memcpy(bytes, words, sizeof words);
  return std::hash<std::string_view>{}(std::string_view(bytes, sizeof bytes));
}

}  // namespace kx

template <>
struct std::hash<kx::real> {
  std::size_t operator()(const kx::real& a) const noexcept { return kx::hash_value(a); }
};

/// The real part's hash and the imaginary part's, combined (boost's mix),
/// so that z and conj(z) usually differ.
template <>
struct std::hash<kx::complex> {
  std::size_t operator()(const kx::complex& z) const noexcept {
    const std::size_t h = kx::hash_value(z.re);
    return h ^ (kx::hash_value(z.im) + 0x9e3779b97f4a7c15 + (h << 6) + (h >> 2));
  }
};
