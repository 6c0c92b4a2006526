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

namespace kx {

/// (high:low) / d for high < d, by the processor's 128-by-64 division.
inline iq_u64 iq_divide_128_by_64(iq_u64 high, iq_u64 low, iq_u64 d, iq_u64& remainder) {
#if defined(__x86_64__)
  iq_u64 q;
  __asm__("divq %4" : "=a"(q), "=d"(remainder) : "a"(low), "d"(high), "rm"(d) : "cc");
  return q;
#else
  const iq_u128 n = (static_cast<iq_u128>(high) << 64) | low;
  remainder = static_cast<iq_u64>(n % d);
  return static_cast<iq_u64>(n / d);
#endif
}

/// One 64-bit digit of long division: the remainder r < v (v >= 2^127)
/// with the next limb brought in, (r:limb) / v; r becomes the new
/// remainder. The digit estimated from the top limbs is at most 2 too
/// large (v is normalised) and is corrected down.
inline iq_u64 iq_quotient_digit(iq_u128& r, iq_u64 limb, iq_u128 v) {
  const iq_u64 v1 = static_cast<iq_u64>(v >> 64);
  const iq_u64 v0 = static_cast<iq_u64>(v);
  const iq_u64 r1 = static_cast<iq_u64>(r >> 64);
  const iq_u64 r0 = static_cast<iq_u64>(r);
  iq_u64 q;
  if (r1 >= v1) {  // r1 == v1: the digit estimate 2^64 - 1
    q = ~iq_u64(0);
  } else {
    iq_u64 unused;
    q = iq_divide_128_by_64(r1, r0, v1, unused);
  }
  // U = r:limb (192 bits) and P = q v (192 bits) as (high 128 : low 64).
  const iq_u128 p_low_full = static_cast<iq_u128>(q) * v0;
  const iq_u128 p_high_part = static_cast<iq_u128>(q) * v1;
  iq_u64 p0 = static_cast<iq_u64>(p_low_full);
  iq_u128 p_hi = p_high_part + (p_low_full >> 64);  // < 2^128: q v < 2^192
  // While P > U, take one v off P and one off q.
  while (p_hi > r || (p_hi == r && p0 > limb)) {
    const iq_u64 borrow = p0 < v0 ? 1 : 0;
    p0 -= v0;
    p_hi -= static_cast<iq_u128>(v1) + borrow;
    --q;
  }
  // r = U - P, below v.
  const iq_u64 borrow = limb < p0 ? 1 : 0;
  const iq_u64 new_low = limb - p0;
  const iq_u128 new_high = r - p_hi - borrow;  // < 2^64
  r = (new_high << 64) | new_low;
  return q;
}

/// x / y for a nonzero y whose quotient's field is in the window; a zero
/// x gives a zero of the quotient's sign.
[[gnu::always_inline]] inline iq_num iq_quotient(const iq_num& x, const iq_num& y) {
  const bool negative = x.negative != y.negative;
  if (x.sig == 0) return {0, 0, negative};
  // floor(mx 2^131 / (my 2^15)) = floor(mx 2^116 / my), in [2^115, 2^117).
  const iq_u128 v = y.sig << 15;
  // mx 2^131 as 64-bit limbs: mx 2^3 on top, two zero limbs below; the
  // top is below 2^116 < v, so the quotient has two digits.
  iq_u128 r = x.sig << 3;
  const iq_u64 q1 = iq_quotient_digit(r, 0, v);
  const iq_u64 q0 = iq_quotient_digit(r, 0, v);
  iq_u128 q = (static_cast<iq_u128>(q1) << 64) | q0;
  const bool sticky = r != 0;
  // Keep 113 bits: shift by 4 for a 117-bit q, by 3 for 116 bits.
  const int s = static_cast<int>(q >> 116) + 3;
  int e = x.field - y.field + iq_bias - 4 + s;
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
  return {q, e, negative};
}

/// Whether a quotient of words with these fields lies in the window with
/// room above for the rounding carry.
inline bool iq_quotient_field_in_window(int fx, int fy) {
  return iq_product_field_in_window(fx, 2 * iq_bias - fy);
}

inline __float128 iq_div(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  const int fx = iq_field_of(bx);
  const int fy = iq_field_of(by);
  if (iq_in_window(fx) && iq_in_window(fy) && iq_quotient_field_in_window(fx, fy)) [[likely]] {
    return iq_pack(iq_quotient(iq_unpack(bx), iq_unpack(by)));
  }
  // A zero over an in-window word: a zero of the quotient's sign.
  if (iq_is_zero(bx) && iq_in_window(fy)) return iq_quad((bx ^ by) & iq_sign_bit);
  return x / y;
}

/// floor(n / x) for n = (n_high:n_low) < 2^231 and 2^114 <= x < 2^128,
/// by two digits of long division with x normalised.
inline iq_u128 iq_divide_wide(iq_u128 n_high, iq_u128 n_low, iq_u128 x) {
  const int l = 127 - iq_top_bit(x);  // at most 13
  const iq_u128 v = x << l;
  iq_u128 r = l == 0 ? n_high : (n_high << l) | (n_low >> (128 - l));  // below 2^116 < v
  const iq_u128 low = n_low << l;
  const iq_u64 q1 = iq_quotient_digit(r, static_cast<iq_u64>(low >> 64), v);
  const iq_u64 q0 = iq_quotient_digit(r, static_cast<iq_u64>(low), v);
  return (static_cast<iq_u128>(q1) << 64) | q0;
}

/// The square root of a positive in-window word, unpacked. With M the significand
/// (doubled for an odd exponent, so M 2^-112 is in [1, 4)), S = floor(sqrt(
/// M 2^116)) in [2^114, 2^115] from a double estimate (53 bits) and two
/// integer Newton steps, each at most squaring the error and never below
/// floor(sqrt), then corrected to it; the two bits below the 113 kept and
/// the sticky bit S^2 != M 2^116 round it.
inline iq_num iq_root(const iq_num& x) {
  const int unbiased = x.field - iq_bias;
  const bool odd = (unbiased & 1) != 0;
  const iq_u128 m = x.sig << (odd ? 1 : 0);
  const iq_u128 n_high = m >> 12;  // M 2^116 = M 2^228 / 2^112, as (high:low)
  const iq_u128 n_low = m << 116;
  const double root = std::sqrt(static_cast<double>(m) * 0x1p-112);  // in [1, 2]
  iq_u128 s = static_cast<iq_u128>(static_cast<iq_u64>(root * 0x1p62)) << 52;  // about sqrt(M 2^116)
  for (int step = 0; step < 2; ++step) s = (s + iq_divide_wide(n_high, n_low, s)) >> 1;
  for (;;) {
    const iq_wide sq = iq_multiply(s, s);
    if (sq.high > n_high || (sq.high == n_high && sq.low > n_low)) {
      --s;
      continue;
    }
    const iq_wide next = iq_multiply(s + 1, s + 1);
    if (next.high < n_high || (next.high == n_high && next.low <= n_low)) {
      ++s;
      continue;
    }
    break;
  }
  const iq_wide sq = iq_multiply(s, s);
  const bool sticky = sq.high != n_high || sq.low != n_low;
  int e = iq_bias + (odd ? unbiased - 1 : unbiased) / 2;
  const unsigned rest = static_cast<unsigned>(s) & 3;
  iq_u128 q = s >> 2;
  if (rest > 2 || (rest == 2 && (sticky || (q & 1)))) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  return {q, e, false};
}

/// quad_sqrt(x), the same word.
inline __float128 iq_sqrt(__float128 x) {
  const iq_u128 b = iq_bits(x);
  if ((b & iq_sign_bit) == 0 && iq_in_window(iq_field_of(b))) [[likely]] return iq_pack(iq_root(iq_unpack(b)));
  return quad_sqrt(x);
}

}  // namespace kx
