// Binary128 quotients and square roots in integer registers: the word of
// the compiler's x / y, from an integer division of the significands with
// the remainder kept as a sticky bit, and one rounding to nearest even; the
// correctly rounded square root likewise from the integer square root of
// the significand. Outside the window of quad_integer.h (and for a zero
// divisor, a zero or negative radicand) the compiler's and glibc's.
#pragma once

#include <cmath>
#include <cstdint>

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
[[gnu::always_inline]] inline iq_u64 iq_quotient_digit(iq_u128& r, iq_u64 limb, iq_u128 v) {
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

/// Whether y's significand has at most 64 bits: its low 49 bits are zero.
/// Every integer below 2^64 and every double is such a divisor.
inline constexpr iq_u128 iq_short_divisor_mask = (iq_u128(1) << 49) - 1;

inline bool iq_is_short_divisor(const iq_num& y) { return (y.sig & iq_short_divisor_mask) == 0; }

/// floor(mx 2^116 / my) for the significands of x and y, in [2^115, 2^117),
/// and whether the division leaves a remainder.
struct iq_quotient_digits {
  iq_u128 q;
  bool sticky;
};

/// By long division: mx 2^131 over my 2^15, two 64-bit digits, each
/// estimated from the top limbs and corrected.
[[gnu::always_inline]] inline iq_quotient_digits iq_long_quotient_digits(iq_u128 mx, iq_u128 my) {
  const iq_u128 v = my << 15;
  // mx 2^131 as 64-bit limbs: mx 2^3 on top, two zero limbs below; the
  // top is below 2^116 < v, so the quotient has two digits.
  iq_u128 r = mx << 3;
  const iq_u64 q1 = iq_quotient_digit(r, 0, v);
  const iq_u64 q0 = iq_quotient_digit(r, 0, v);
  return {(static_cast<iq_u128>(q1) << 64) | q0, r != 0};
}

/// For a short divisor my = m 2^49 (2^63 <= m < 2^64): floor(mx 2^116 /
/// (m 2^49)) = floor(mx 2^67 / m), and mx 2^116 mod my = 2^49 (mx 2^67 mod
/// m), so the digits and the sticky bit are those of the long division.
/// mx 2^67 is the limbs (mx 2^3 : 0) whose top limb mx >> 61 < 2^52 < m:
/// two exact 128-by-64-bit divisions, each remainder below m.
[[gnu::always_inline]] inline iq_quotient_digits iq_short_quotient_digits(iq_u128 mx, iq_u128 my) {
  const auto m = static_cast<iq_u64>(my >> 49);
  const iq_u128 top = mx << 3;
  iq_u64 r;
  const iq_u64 q1 = iq_divide_128_by_64(static_cast<iq_u64>(top >> 64), static_cast<iq_u64>(top), m, r);
  const iq_u64 q0 = iq_divide_128_by_64(r, 0, m, r);
  return {(static_cast<iq_u128>(q1) << 64) | q0, r != 0};
}

/// The quotient's word from its digits: 113 bits kept, rounded to nearest
/// even with the sticky bit.
[[gnu::always_inline]] inline iq_num iq_rounded_quotient(iq_quotient_digits d, const iq_num& x, const iq_num& y) {
  iq_u128 q = d.q;
  // Keep 113 bits: shift by 4 for a 117-bit q, by 3 for 116 bits.
  const int s = static_cast<int>(q >> 116) + 3;
  int e = x.field - y.field + iq_bias - 4 + s;
  const unsigned rest = static_cast<unsigned>(q) & ((1u << s) - 1);
  const unsigned half = 1u << (s - 1);
  q >>= s;
  if (rest > half || (rest == half && (d.sticky || (q & 1)))) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++e;
    }
  }
  return {q, e, x.negative != y.negative};
}

/// x / y for a nonzero y whose quotient's field is in the window; a zero
/// x gives a zero of the quotient's sign. For a short divisor
/// (iq_is_short_divisor) the digits may come from the division by one limb:
/// the same digits, so the same word.
[[gnu::always_inline]] inline iq_num iq_quotient(const iq_num& x, const iq_num& y, bool short_divisor = false) {
  if (x.sig == 0) return {0, 0, x.negative != y.negative};
  return iq_rounded_quotient(
      short_divisor ? iq_short_quotient_digits(x.sig, y.sig) : iq_long_quotient_digits(x.sig, y.sig), x, y);
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

/// floor(sqrt(n 2^104)) for 2^124 <= n < 2^126, and whether it is exact.
/// The double root of n's top bits is within 2^11 of sqrt(n); an integer
/// Newton step on n brings it within 1, and a second from s0 = e 2^52 adds
/// (n - e^2) 2^51 / e truncated (its own error below 2^-9), each by one
/// 128-by-64-bit division. The remainder N - s^2 is then below 2^117 in
/// size, exact modulo 2^128, and walks s to the floor.
struct iq_floor_root {
  iq_u128 root;
  bool exact;
};

inline iq_floor_root iq_floor_sqrt(iq_u128 n) {
  const auto n_high = static_cast<iq_u64>(n >> 64);  // in [2^60, 2^62)
  const auto e0 = static_cast<iq_u64>(std::sqrt(static_cast<double>(n_high)) * 0x1p32);  // in [2^62, 2^63]
  iq_u64 unused;
  const iq_u64 n_over_e0 = iq_divide_128_by_64(n_high, static_cast<iq_u64>(n), e0, unused);
  const auto e = static_cast<iq_u64>((static_cast<iq_u128>(e0) + n_over_e0) >> 1);
  const __int128 r = static_cast<__int128>(n - static_cast<iq_u128>(e) * e);  // below 2^65 in size
  const iq_u128 size = (r < 0 ? -static_cast<iq_u128>(r) : static_cast<iq_u128>(r)) << 51;  // below 2^116
  const iq_u64 step = iq_divide_128_by_64(static_cast<iq_u64>(size >> 64), static_cast<iq_u64>(size), e, unused);
  iq_u128 s = (static_cast<iq_u128>(e) << 52) + (r < 0 ? -static_cast<iq_u128>(step) : static_cast<iq_u128>(step));
  __int128 d = static_cast<__int128>((n << 104) - s * s);  // N - s^2
  while (d < 0) {
    d += static_cast<__int128>(2 * s - 1);
    --s;
  }
  while (d > static_cast<__int128>(2 * s)) {
    d -= static_cast<__int128>(2 * s + 1);
    ++s;
  }
  return {s, d == 0};
}

/// The square root of a positive in-window word, unpacked. With M the
/// significand (doubled for an odd exponent, so M 2^-112 is in [1, 4)),
/// S = floor(sqrt(M 2^116)) in [2^114, 2^115); the two bits below the 113
/// kept and the sticky bit S^2 != M 2^116 round it.
inline iq_num iq_root(const iq_num& x) {
  const int unbiased = x.field - iq_bias;
  const bool odd = (unbiased & 1) != 0;
  const iq_u128 m = x.sig << (odd ? 1 : 0);
  const iq_floor_root root = iq_floor_sqrt(m << 12);  // M 2^116 = (M 2^12) 2^104
  const iq_u128 s = root.root;
  int e = iq_bias + (odd ? unbiased - 1 : unbiased) / 2;
  const unsigned rest = static_cast<unsigned>(s) & 3;
  iq_u128 q = s >> 2;
  if (rest > 2 || (rest == 2 && (!root.exact || (q & 1)))) {
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
