// Nearest integer and the split into integer and fractional parts.
//
// Below 2^112 in magnitude the rounding pair R = (2^225, 2^112) does the
// work: adding R leaves a pair whose low word has unit 1 in its last place,
// so binary128 round-to-nearest-even removes the fraction. From 2^112 on the
// high word is itself an integer and the whole fraction sits in the low word,
// which is rounded directly; this keeps the result an integer up to the bound
// 2^225, where R no longer suffices.
#include <kx/core/core.h>
#include <kx/support/fatal.h>
#include <kx/core/quad_order.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_words.h>

namespace {

using kx::iq_add;
using kx::iq_bits;
using kx::iq_is_nan_bits;
using kx::iq_is_zero_value;
using kx::iq_less;
using kx::iq_less_equal;
using kx::iq_quad;
using kx::iq_sign_bit;
using kx::iq_sub;
using kx::iq_u128;

const kxreal rounding_pair = {kx::quad_from_words(0x40E0000000000000, 0x0000000000000000),
                              kx::quad_from_words(0x406F000000000000, 0x0000000000000000)};

// 2^112: from here on every binary128 value is an integer.
const __float128 integral_threshold = rounding_pair.lo;

// |x| >= bound for a positive bound, false for NaN: on the magnitudes' bits.
bool at_least_in_magnitude(__float128 x, __float128 bound) {
  const iq_u128 b = iq_bits(x);
  return !iq_is_nan_bits(b) && (b & ~iq_sign_bit) >= iq_bits(bound);
}

bool beyond_rounding_range(const kxreal& a) { return at_least_in_magnitude(a.hi, rounding_pair.hi); }

bool high_word_is_integral(const kxreal& a) { return at_least_in_magnitude(a.hi, integral_threshold); }

// x rounded to an integer, halfway cases to even (exact).
__float128 rint_word(__float128 x) {
  if (iq_is_nan_bits(iq_bits(x)) || at_least_in_magnitude(x, integral_threshold)) return x;
  if (iq_less_equal(0, x)) return iq_sub(iq_add(x, integral_threshold), integral_threshold);
  return iq_add(iq_sub(x, integral_threshold), integral_threshold);
}

__float128 floor_word(__float128 x) {
  const __float128 r = rint_word(x);
  return iq_less(x, r) ? iq_sub(r, 1) : r;
}

__float128 ceil_word(__float128 x) {
  const __float128 r = rint_word(x);
  return iq_less(r, x) ? iq_add(r, 1) : r;
}

// The nearest integer by the rounding pair, for |a.hi| < 2^112.
kxreal nint_by_rounding_pair(const kxreal& a) {
  kxreal s;
  kxreal b;
  if (iq_less(0, a.hi)) {
    kxadd(a, rounding_pair, s);
    kxsub(s, rounding_pair, b);
  } else {
    kxsub(a, rounding_pair, s);
    kxadd(s, rounding_pair, b);
  }
  return b;
}

// x - y exactly, as a normalised pair (Knuth's two-sum).
kxreal exact_difference(__float128 x, __float128 y) {
  const __float128 s = iq_sub(x, y);
  const __float128 e = iq_sub(s, x);
  return {s, iq_add(iq_sub(x, iq_sub(s, e)), iq_sub(-y, e))};
}

// hi + k for an integral high word and an integral correction k, |k| <= |hi|.
kxreal integral_pair(__float128 hi, __float128 k) {
  const __float128 s = iq_add(hi, k);
  return {s, iq_sub(k, iq_sub(s, hi))};
}

// The nearest integer of a below 2^110 in magnitude with |a.lo| < |a.hi|,
// in integer registers. Adding R leaves the high word 2^225 with error a.hi
// (a.hi is below half the ulp 2^113 of 2^225), so the low word is
// v = a.hi + a.lo rounded, nonzero and of a.hi's sign, then v + 2^112
// rounded, which is 2^112
// plus v rounded to an integer n, halfway cases to even. The closing
// two-sum and the subtraction of R are then exact and give (n, +0), with
// n = +0 when it is zero, for either sign of a.hi.
bool nint_directly(const kxreal& a, kxreal& b) {
  const iq_u128 ba = iq_bits(a.hi);
  const int field = kx::iq_field_of(ba);
  if (field < kx::iq_bias - 120 || field >= kx::iq_bias + 110) return false;
  if ((iq_bits(a.lo) & ~iq_sign_bit) >= (ba & ~iq_sign_bit)) return false;
  const iq_u128 bv = iq_bits(iq_add(a.hi, a.lo));
  const int e = kx::iq_field_of(bv) - kx::iq_bias;
  if (e < -1) {
    b = {0, 0};
    return true;
  }
  const iq_u128 sign = bv & iq_sign_bit;
  if (e == -1) {
    // [0.5, 1): a half rounds to +0, the rest to one.
    const bool half = (bv & kx::iq_fraction_mask) == 0;
    b = {half ? __float128(0) : iq_quad(sign | (static_cast<iq_u128>(kx::iq_bias) << 112)), 0};
    return true;
  }
  // 0 <= e <= 111 (|v| <= 2^111): the 112 - e low bits of the significand
  // are the fraction.
  const int f = 112 - e;
  const iq_u128 m = kx::iq_significand(bv);
  const iq_u128 unit = iq_u128(1) << f;
  const iq_u128 rest = m & (unit - 1);
  iq_u128 r = m - rest;
  const iq_u128 half = unit >> 1;
  if (rest > half || (rest == half && (r & unit) != 0)) r += unit;
  int out_field = e + kx::iq_bias;
  if (r >> 113) {
    r >>= 1;
    ++out_field;
  }
  b = {iq_quad(sign | (static_cast<iq_u128>(out_field) << 112) | (r & kx::iq_fraction_mask)), 0};
  return true;
}

}  // namespace

void kxnint(const kxreal& a, kxreal& b) {
  if (iq_is_zero_value(a.hi)) {
    b = {0, 0};
    return;
  }
  if (beyond_rounding_range(a)) {
    kx::fatal("('*** KXNINT: Argument is too large.')");
  }
  // With an even high word (ulp >= 2) or a normalised tie, rounding the low
  // word to even rounds the sum to even.
  if (nint_directly(a, b)) [[likely]] return;
  b = high_word_is_integral(a) ? integral_pair(a.hi, rint_word(a.lo)) : nint_by_rounding_pair(a);
}

void kxinfr(const kxreal& a, kxreal& b, kxreal& c) {
  if (iq_is_zero_value(a.hi)) {
    b = {0, 0};
    c = {0, 0};
    return;
  }
  if (beyond_rounding_range(a)) {
    kx::fatal("('*** KXINFR: Argument is too large.')");
  }
  if (high_word_is_integral(a)) {
    // The fraction is all in the low word: trunc(hi + lo) = hi + floor(lo)
    // for positive values, hi + ceil(lo) for negative ones. lo minus that
    // correction may need more than one word (1 - 2^-200), so it is formed
    // exactly by two-sum.
    const __float128 k = iq_less(0, a.hi) ? floor_word(a.lo) : ceil_word(a.lo);
    const kxreal fraction = exact_difference(a.lo, k);
    b = integral_pair(a.hi, k);
    c = fraction;
    return;
  }
  const kxreal one = {1, 0};
  kxreal whole = nint_by_rounding_pair(a);
  int ic;
  kxcpr(a, whole, ic);
  if (iq_less(0, a.hi) && ic < 0) kxsub(whole, one, whole);
  if (iq_less(a.hi, 0) && ic > 0) kxadd(whole, one, whole);
  kxsub(a, whole, c);
  b = whole;
}
