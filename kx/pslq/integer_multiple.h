// a + m x and a - m x for an integer multiplier m (a quad pair holding an
// integer), with the words of a + (m * x) and a - (m * x). Most multipliers
// in a relation search are 0 or +-1, and then the work is skipped where
// that provably leaves every word as it is:
// - m = (+-0, +-0), x finite: m x is a pair of zeros, and adding or
//   subtracting one leaves a normalised a with a nonzero high word and a
//   low word other than -0 unchanged, whatever the zeros' signs;
// - m = (+-1, +-0): m x is (+-x.hi, +-x.lo) for a normalised x with a
//   nonzero low word (the product's error and the cross terms are exact
//   zeros that the low word absorbs).
// Other small integer multipliers take the fused kernel of
// integer_multiply_add.h, which gives the same words in one pass.
#pragma once

#include <kx/core/integer_multiply_add.h>
#include <kx/core/quad_integer.h>
#include <kx/types/number.h>

namespace kx {

inline bool is_zero_word(__float128 x) { return (iq_bits(x) << 1) == 0; }

/// a.hi + a.lo rounds to a.hi. An in-window high word with a low word in
/// the window or a zero decides from the bits; the rest take the rounded
/// sum.
inline bool is_normalised_nonzero(const kxreal& a) {
  const iq_u128 bh = iq_bits(a.hi);
  const iq_u128 bl = iq_bits(a.lo);
  if (iq_in_window(iq_field_of(bh)) && iq_in_window_or_zero(bl)) return iq_rounds_to_high_word(bh, bl);
  return !is_zero_word(a.hi) && is_finite(a.hi) && is_finite(a.lo) && iq_bits(iq_add(a.hi, a.lo)) == iq_bits(a.hi);
}

inline bool is_zero_pair(const kxreal& m) { return is_zero_word(m.hi) && is_zero_word(m.lo); }

inline bool is_minus_zero(__float128 x) { return iq_bits(x) == iq_sign_bit; }

/// +-1 with a zero low word of either sign.
inline bool is_unit_pair(const kxreal& m) {
  return (iq_bits(m.hi) & ~iq_sign_bit) == iq_bits(1.0Q) && is_zero_word(m.lo);
}

/// a + m x leaves a's words as they are.
inline bool leaves_unchanged(const kxreal& a, const kxreal& m, const kxreal& x) {
  return is_zero_pair(m) && is_finite(x.hi) && is_finite(x.lo) && !is_minus_zero(a.lo) && is_normalised_nonzero(a);
}

inline kxreal integer_product(const kxreal& m, const kxreal& x) {
  if (is_unit_pair(m) && !is_zero_word(x.lo) && is_normalised_nonzero(x)) {
    return (iq_bits(m.hi) & iq_sign_bit) == 0 ? x : kxreal{-x.hi, -x.lo};
  }
  return m * x;
}

inline void add_multiple(kxreal& a, const kxreal& m, const kxreal& x) {
  if (leaves_unchanged(a, m, x) || integer_multiply_add(a, m, x, false, a)) return;
  a = a + integer_product(m, x);
}

inline void subtract_multiple(kxreal& a, const kxreal& m, const kxreal& x) {
  if (leaves_unchanged(a, m, x) || integer_multiply_add(a, m, x, true, a)) return;
  a = a - integer_product(m, x);
}

}  // namespace kx
