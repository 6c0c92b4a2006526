// Binary128 quotients and square roots in integer registers: the word of
// the compiler's x / y, from an integer division of the significands with
// the remainder kept as a sticky bit, and one rounding to nearest even; the
// correctly rounded square root likewise from the integer square root of
// the significand. Outside the window of quad_integer.h (and for a zero
// divisor, a zero or negative radicand) the compiler's and glibc's.
#pragma once

#include <cmath>

#include <kx/core/quad_integer.h>
#include <kx/core/quad_sqrt.h>

namespace kx::iq {

/// (high:low) / d for high < d, by the processor's 128-by-64 division.
inline u64 divide_128_by_64(u64 high, u64 low, u64 d, u64& remainder) {
#if defined(__x86_64__)
  u64 q;
  __asm__("divq %4" : "=a"(q), "=d"(remainder) : "a"(low), "d"(high), "rm"(d) : "cc");
  return q;
#else
  const u128 n = (static_cast<u128>(high) << 64) | low;
  remainder = static_cast<u64>(n % d);
  return static_cast<u64>(n / d);
#endif
}

/// One 64-bit digit of long division: the remainder r < v (v >= 2^127)
/// with the next limb brought in, (r:limb) / v; r becomes the new
/// remainder. The digit estimated from the top limbs is at most 2 too
/// large (v is normalised) and is corrected down.
inline u64 quotient_digit(u128& r, u64 limb, u128 v) {
  const u64 v1 = static_cast<u64>(v >> 64);
  const u64 v0 = static_cast<u64>(v);
  const u64 r1 = static_cast<u64>(r >> 64);
  const u64 r0 = static_cast<u64>(r);
  u64 q;
  if (r1 >= v1) {  // r1 == v1: the digit estimate 2^64 - 1
    q = ~u64(0);
  } else {
    u64 unused;
    q = divide_128_by_64(r1, r0, v1, unused);
  }
  // U = r:limb (192 bits) and P = q v (192 bits) as (high 128 : low 64).
  const u128 p_low_full = static_cast<u128>(q) * v0;
  const u128 p_high_part = static_cast<u128>(q) * v1;
  u64 p0 = static_cast<u64>(p_low_full);
  u128 p_hi = p_high_part + (p_low_full >> 64);  // < 2^128: q v < 2^192
  // While P > U, take one v off P and one off q.
  while (p_hi > r || (p_hi == r && p0 > limb)) {
    const u64 borrow = p0 < v0 ? 1 : 0;
    p0 -= v0;
    p_hi -= static_cast<u128>(v1) + borrow;
    --q;
  }
  // r = U - P, below v.
  const u64 borrow = limb < p0 ? 1 : 0;
  const u64 new_low = limb - p0;
  const u128 new_high = r - p_hi - borrow;  // < 2^64
  r = (new_high << 64) | new_low;
  return q;
}

/// x / y for in-window x and y whose quotient's field is in the window.
inline __float128 divide_in_window(u128 bx, u128 by, int field) {
  const u128 sign = (bx ^ by) & sign_bit;
  // floor(mx 2^131 / (my 2^15)) = floor(mx 2^116 / my), in [2^115, 2^117).
  const u128 v = significand(by) << 15;
  const u128 mx = significand(bx);
  // mx 2^131 as 64-bit limbs: mx 2^3 on top, two zero limbs below; the
  // top is below 2^116 < v, so the quotient has two digits.
  u128 r = mx << 3;
  const u64 q1 = quotient_digit(r, 0, v);
  const u64 q0 = quotient_digit(r, 0, v);
  u128 q = (static_cast<u128>(q1) << 64) | q0;
  const bool sticky = r != 0;
  // Keep 113 bits: shift by 4 for a 117-bit q, by 3 for 116 bits.
  const int s = static_cast<int>(q >> 116) + 3;
  int e = field - 4 + s;
  const unsigned rest = static_cast<unsigned>(q) & ((1u << s) - 1);
  const unsigned half = 1u << (s - 1);
  q >>= s;
  if (rest > half || (rest == half && (sticky || (q & 1)))) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  return quad(sign | (static_cast<u128>(e) << 112) | (q & fraction_mask));
}

inline __float128 div(__float128 x, __float128 y) {
  const u128 bx = bits(x);
  const u128 by = bits(y);
  const int fx = field_of(bx);
  const int fy = field_of(by);
  const int field = fx - fy + bias;
  if (in_window(fx) && in_window(fy) &&
      static_cast<unsigned>(field - window_low) <= static_cast<unsigned>(window_high - 2 - window_low)) [[likely]] {
    return divide_in_window(bx, by, field);
  }
  // A zero over an in-window word: a zero of the quotient's sign.
  if (is_zero(bx) && in_window(fy)) return quad((bx ^ by) & sign_bit);
  return x / y;
}

/// floor(n / x) for n = (n_high:n_low) < 2^231 and 2^114 <= x < 2^128,
/// by two digits of long division with x normalised.
inline u128 divide_wide(u128 n_high, u128 n_low, u128 x) {
  const int l = 127 - top_bit(x);  // at most 13
  const u128 v = x << l;
  u128 r = l == 0 ? n_high : (n_high << l) | (n_low >> (128 - l));  // below 2^116 < v
  const u128 low = n_low << l;
  const u64 q1 = quotient_digit(r, static_cast<u64>(low >> 64), v);
  const u64 q0 = quotient_digit(r, static_cast<u64>(low), v);
  return (static_cast<u128>(q1) << 64) | q0;
}

/// The square root of a positive in-window word. With M the significand
/// (doubled for an odd exponent, so M 2^-112 is in [1, 4)), S = floor(sqrt(
/// M 2^116)) in [2^114, 2^115] from a double estimate (53 bits) and two
/// integer Newton steps, each at most squaring the error and never below
/// floor(sqrt), then corrected to it; the two bits below the 113 kept and
/// the sticky bit S^2 != M 2^116 round it.
inline __float128 sqrt_in_window(u128 bx) {
  const int unbiased = field_of(bx) - bias;
  const bool odd = (unbiased & 1) != 0;
  const u128 m = significand(bx) << (odd ? 1 : 0);
  const u128 n_high = m >> 12;  // M 2^116 = M 2^228 / 2^112, as (high:low)
  const u128 n_low = m << 116;
  const double root = std::sqrt(static_cast<double>(m) * 0x1p-112);  // in [1, 2]
  u128 s = static_cast<u128>(static_cast<u64>(root * 0x1p62)) << 52;  // about sqrt(M 2^116)
  for (int step = 0; step < 2; ++step) s = (s + divide_wide(n_high, n_low, s)) >> 1;
  for (;;) {
    const wide sq = multiply(s, s);
    if (sq.high > n_high || (sq.high == n_high && sq.low > n_low)) {
      --s;
      continue;
    }
    const wide next = multiply(s + 1, s + 1);
    if (next.high < n_high || (next.high == n_high && next.low <= n_low)) {
      ++s;
      continue;
    }
    break;
  }
  const wide sq = multiply(s, s);
  const bool sticky = sq.high != n_high || sq.low != n_low;
  int e = bias + (odd ? unbiased - 1 : unbiased) / 2;
  const unsigned rest = static_cast<unsigned>(s) & 3;
  u128 q = s >> 2;
  if (rest > 2 || (rest == 2 && (sticky || (q & 1)))) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  return quad((static_cast<u128>(e) << 112) | (q & fraction_mask));
}

/// quad_sqrt(x), the same word.
inline __float128 sqrt(__float128 x) {
  const u128 b = bits(x);
  if ((b & sign_bit) == 0 && in_window(field_of(b))) [[likely]] return sqrt_in_window(b);
  return quad_sqrt(x);
}

}  // namespace kx::iq
