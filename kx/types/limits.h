// std::numeric_limits<kxreal>: what a quad pair can hold.
//
// A normalised pair (hi, lo) has hi = hi + lo rounded to binary128, so
// |lo| <= ulp(hi) / 2, and lo may have either sign. Every number whose
// significand has 227 bits is a pair: hi takes its leading 113 bits rounded,
// and the remainder, at most half an ulp of hi, is a multiple of the 227th
// bit's unit and so fits lo's 113 bits (the sign of lo is the extra bit). A
// 228-bit number such as 2^227 + 2^113 + 1 is not a pair. Pairs have no
// uniform spacing: the pair after (1, 0) is (1, 2^-16494), lo being any
// binary128 value down to the smallest subnormal. So epsilon is defined as
// for a binary type of 227 digits, 2^(1 - digits) = 2^-226, the unit in
// which the library states every accuracy; the nearest pair lies within
// epsilon / 2 of any real number x with |x| >= 2^-16268.
//
// The full 227 bits hold for |x| >= 2^-16268, where the unit of the 227th
// bit is at least the smallest subnormal binary128 value, 2^-16494. Below,
// lo loses a bit per binade, down to the 113 bits of binary128 at min(), and
// the subnormal hi values below min() carry fewer still.
#pragma once

#include <limits>

#include <kx/core/core.h>

template <>
struct std::numeric_limits<kx::real> {
  static constexpr bool is_specialized = true;

  /// The smallest positive normal pair: (2^-16382, 0), as binary128's. A
  /// pair this small carries only hi's 113 bits (see above).
  static constexpr kx::real min() noexcept { return {0x1p-16382Q, 0}; }
  /// The largest finite normalised pair: hi the largest binary128 value and
  /// lo the largest value below ulp(hi) / 2 = 2^16270 (lo = 2^16270 would
  /// make hi + lo round up to infinity, ties going to even).
  static constexpr kx::real max() noexcept {
    return {0x1.ffffffffffffffffffffffffffffp+16383Q, 0x1.ffffffffffffffffffffffffffffp+16269Q};
  }
  /// -max(): both words negated.
  static constexpr kx::real lowest() noexcept { return {-max().hi, -max().lo}; }

  /// Significand bits that every pair holds without change (see above).
  static constexpr int digits = 227;
  /// Decimal digits that survive text -> pair -> text: floor((digits - 1) log10 2).
  static constexpr int digits10 = 68;
  /// Decimal digits that tell any two 227-bit pairs apart: ceil(1 + digits
  /// log10 2). A pair whose lo lies far below hi's last bit needs more.
  static constexpr int max_digits10 = 70;
  static constexpr bool is_signed = true;
  static constexpr bool is_integer = false;
  static constexpr bool is_exact = false;
  static constexpr int radix = 2;
  /// 2^(1 - digits) = 2^-226, the library's unit of accuracy; not the gap
  /// above 1, which is the smallest subnormal binary128 (see above).
  static constexpr kx::real epsilon() noexcept { return {0x1p-226Q, 0}; }
  /// The nearest pair of a real x (|x| >= 2^-16268) lies
  /// within round_error() epsilon() |x|. The arithmetic itself errs by a few
  /// epsilon, as each routine states.
  static constexpr kx::real round_error() noexcept { return {0.5Q, 0}; }

  /// The exponent range is binary128's: hi carries the exponent.
  static constexpr int min_exponent = -16381;
  static constexpr int min_exponent10 = -4931;
  static constexpr int max_exponent = 16384;
  static constexpr int max_exponent10 = 4932;

  /// (inf, 0). Products, quotients and powers that overflow give it, and it
  /// compares above every finite pair and prints as "inf"; a sum or a
  /// difference that overflows, or any arithmetic on an infinity, gives NaN.
  static constexpr bool has_infinity = true;
  /// A NaN in either word makes the pair unordered (every comparison but !=
  /// false), and the arithmetic passes it on.
  static constexpr bool has_quiet_NaN = true;
  static constexpr bool has_signaling_NaN = true;
  /// hi may be subnormal (then lo is zero): binary128's denormals.
  static constexpr std::float_denorm_style has_denorm = std::denorm_present;
  static constexpr bool has_denorm_loss = false;
  static constexpr kx::real infinity() noexcept { return {__builtin_huge_valq(), 0}; }
  /// (NaN, NaN), quiet, as the arithmetic gives for 0 / 0.
  static constexpr kx::real quiet_NaN() noexcept { return {__builtin_nanq(""), __builtin_nanq("")}; }
  /// (sNaN, 0): a signalling NaN high word.
  static constexpr kx::real signaling_NaN() noexcept { return {__builtin_nansq(""), 0}; }
  /// (2^-16494, 0), the smallest subnormal binary128 value as hi.
  static constexpr kx::real denorm_min() noexcept { return {0x1p-16494Q, 0}; }

  /// Pairs are not IEEE 754 numbers: their arithmetic is not correctly
  /// rounded, and no operation rounds to the nearest pair.
  static constexpr bool is_iec559 = false;
  static constexpr bool is_bounded = true;
  static constexpr bool is_modulo = false;
  /// Binary128 operations raise no traps here.
  static constexpr bool traps = false;
  /// Tininess as binary128 detects it on this platform: after rounding.
  static constexpr bool tinyness_before = false;
  /// Each routine's result lies within its stated bound of the exact one,
  /// not on a fixed side of it nor always at the nearest pair.
  static constexpr std::float_round_style round_style = std::round_indeterminate;
};
