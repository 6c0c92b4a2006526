// nint(a / b), the multipliers of the reduction, without the quad-pair
// division where the quotient's high words already decide the integer.
#pragma once

#include <bit>
#include <cstdint>

#include <kx/core/integer_multiply_add.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>

namespace kx {

/// A normal word with |exponent| < 1000 as a double, truncated to its top
/// 53 significant bits: w (1 - d) with 0 <= d < 2^-52.
inline double truncated_double(iq_u128 b) {
  const std::uint64_t sign = static_cast<std::uint64_t>(b >> 127) << 63;
  const std::uint64_t exponent = static_cast<std::uint64_t>(iq_field_of(b) - iq_bias + 1023) << 52;
  return std::bit_cast<double>(sign | exponent | static_cast<std::uint64_t>((b & iq_fraction_mask) >> 60));
}

/// A normal high word in [2^-900, 2^900) in magnitude with a low word that is
/// a zero or at least 113 binades below it (as in every normalised pair).
inline bool is_moderate_pair(const kxreal& a) {
  const iq_u128 h = iq_bits(a.hi);
  const iq_u128 l = iq_bits(a.lo);
  const int field = iq_field_of(h);
  return static_cast<unsigned>(field - (iq_bias - 900)) < 1800u && (iq_is_zero(l) || iq_field_of(l) <= field - 113);
}

/// n = nint(a / b), the words kxnint gives for kxdiv's quotient, where the
/// estimate d = a.hi / b.hi in doubles decides them; false otherwise.
///
/// Why: d is within |d| 2^-50 of a.hi / b.hi, which is within 2^-110 of the
/// quotient Q; kxdiv's pair is within 2^-200 |Q| of Q and kxnint rounds v =
/// q.hi + q.lo rounded, within 2^-112 |Q| more. With d at least 2^-40 |d|
/// from every half-integer, v lies strictly inside the same (k - 1/2, k +
/// 1/2), and for |Q| in [2^-101, 2^51] kxnint gives (k, +0), k +0 when zero.
inline bool nearest_quotient_by_estimate(const kxreal& a, const kxreal& b, kxreal& n) {
  if (!(is_moderate_pair(a) && is_moderate_pair(b))) return false;
  const double d = truncated_double(iq_bits(a.hi)) / truncated_double(iq_bits(b.hi));
  const double magnitude = d < 0 ? -d : d;
  if (!(magnitude >= 0x1p-100 && magnitude <= 0x1p50)) return false;
  // Below 2^51 adding and removing 1.5 2^52 rounds to the nearest integer.
  const double k = (d + 0x1.8p52) - 0x1.8p52;
  const double fraction = d - k;  // exact: |d - k| <= 1/2 and k = 0 or d / 2 <= k <= 2 d
  if (!(0.5 - (fraction < 0 ? -fraction : fraction) > magnitude * 0x1p-40)) return false;
  n = {iq_word_of_integer(static_cast<iq_s128>(static_cast<long long>(k))), iq_quad(0)};
  return true;
}

/// nint(a / b): the estimate where it decides, else the division.
inline kxreal nearest_quotient(const kxreal& a, const kxreal& b) {
  kxreal n;
  if (nearest_quotient_by_estimate(a, b, n)) return n;
  return nint(a / b);
}

}  // namespace kx
