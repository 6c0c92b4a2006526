// Conversions between quad pairs and binary128 values with a binary exponent.
#include <cstdint>
#include <cstring>

#include <kx/core/core.h>
#include <kx/core/eft.h>

namespace {

constexpr int quad_exponent_bias = 16383;
constexpr int quad_fraction_bits = 112;

// 2^n as the exact binary128 value, built from its bits: zero below the
// smallest subnormal, infinity above the largest power.
__float128 power_of_two(int n) {
  unsigned __int128 bits = 0;
  if (n > quad_exponent_bias) {
    bits = static_cast<unsigned __int128>(2 * quad_exponent_bias + 1) << quad_fraction_bits;
  } else if (n >= 1 - quad_exponent_bias) {
    bits = static_cast<unsigned __int128>(n + quad_exponent_bias) << quad_fraction_bits;
  } else if (n >= 1 - quad_exponent_bias - quad_fraction_bits) {
    bits = static_cast<unsigned __int128>(1) << (n - (1 - quad_exponent_bias - quad_fraction_bits));
  }
  __float128 q;
  std::memcpy(&q, &bits, sizeof q);
  return q;
}

// h 2^64 + l for the signed or unsigned high half h and the low half l of a
// 128-bit integer: both terms are exact binary128 values (64 bits each), and
// the quick two-sum of them is exact because |h 2^64| >= 2^64 > l unless h
// is zero, so hi is the integer rounded to binary128 and lo the remainder.
template <class High>
kxreal from_halves(High h, std::uint64_t l) {
  const __float128 high_part = static_cast<__float128>(h) * 0x1p64Q;
  return kx::renormalise(high_part, static_cast<__float128>(l));
}

}  // namespace

kx::real::real(__int128 i) : real(from_halves(static_cast<std::int64_t>(i >> 64), static_cast<std::uint64_t>(i))) {}

kx::real::real(unsigned __int128 i)
    : real(from_halves(static_cast<std::uint64_t>(i >> 64), static_cast<std::uint64_t>(i))) {}

void kxqtox(__float128 q, kxreal& b) { b = {q, 0}; }

void kxtoqe(const kxreal& a, __float128& q, int& n) {
  q = a.hi;
  n = 0;
}

void kxqetox(__float128 q, int n, kxreal& b) { b = {q * power_of_two(n), 0}; }
