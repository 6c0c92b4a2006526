// Binary128 sums, differences, products and exact product errors computed
// in integer registers: sign, exponent field and a 113-bit significand, one
// rounding to nearest even per operation. Each result is the word the
// compiler's binary128 operation gives, so a routine written with these in
// the same order as with the compiler's operators gives the same words.
//
// Only normal operands whose exponent fields lie in a window well inside
// the range are worked here; zeros are settled directly, and everything
// else (subnormals, infinities, NaN, the ends of the range) goes to the
// compiler's binary128, so the window never changes a result.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_unpacked.h>

namespace kx {

/// x + y and x - y outside the window: zeros here, the rest by the compiler.
__float128 iq_add_outside_window(__float128 x, __float128 y);
__float128 iq_sub_outside_window(__float128 x, __float128 y);
/// x * y outside the window.
__float128 iq_mul_outside_window(__float128 x, __float128 y);

/// x + y for in-window operands given by their bits (y's sign already
/// flipped for a difference).
inline __float128 iq_add_in_window(iq_u128 bx, iq_u128 by) { return iq_pack(iq_sum(iq_unpack(bx), iq_unpack(by))); }

inline __float128 iq_add(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] return iq_add_in_window(bx, by);
  // x + 0 = x for x != 0; the rest out of line.
  if (wx && iq_is_zero(by)) return x;
  if (wy && iq_is_zero(bx)) return y;
  // Two zeros: -0 only when both are -0.
  if (iq_is_zero(bx) && iq_is_zero(by)) return iq_quad(bx & by & iq_sign_bit);
  return iq_add_outside_window(x, y);
}

inline __float128 iq_sub(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] return iq_add_in_window(bx, by ^ iq_sign_bit);
  if (wx && iq_is_zero(by)) return x;
  if (wy && iq_is_zero(bx)) return iq_quad(by ^ iq_sign_bit);
  if (iq_is_zero(bx) && iq_is_zero(by)) return iq_quad(bx & ~by & iq_sign_bit);
  return iq_sub_outside_window(x, y);
}

/// A product rounded: its word, and the exact error as a word (+0 if none).
struct iq_rounded_product {
  __float128 p;
  __float128 error;
};

/// Whether x * y is worked in integers: both operands and the product's
/// exponent in the window, with room above for the rounding carry.
inline bool iq_product_in_window(iq_u128 bx, iq_u128 by) {
  const int fx = iq_field_of(bx);
  const int fy = iq_field_of(by);
  return iq_in_window(fx) && iq_in_window(fy) && iq_product_field_in_window(fx, fy);
}

/// x * y rounded once, with its exact error when WithError (iq_product).
template <bool WithError>
inline iq_rounded_product iq_multiply_in_window(iq_u128 bx, iq_u128 by) {
  iq_num error;
  const iq_num p = iq_product<WithError>(iq_unpack(bx), iq_unpack(by), &error);
  return {iq_pack(p), WithError ? iq_pack(error) : 0};
}

inline __float128 iq_mul(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if (iq_product_in_window(bx, by)) [[likely]] return iq_multiply_in_window<false>(bx, by).p;
  // A zero times a finite word is a zero of the product's sign.
  if ((iq_is_zero(bx) && iq_in_window(iq_field_of(by))) || (iq_is_zero(by) && iq_in_window(iq_field_of(bx)))) {
    return iq_quad((bx ^ by) & iq_sign_bit);
  }
  return iq_mul_outside_window(x, y);
}

/// p = x * y and its exact error, the same words as x * y and
/// product_error (eft.h), which takes over outside the window.
iq_rounded_product iq_two_product_outside_window(__float128 x, __float128 y);

inline iq_rounded_product iq_two_product(__float128 x, __float128 y) {
  const iq_u128 bx = iq_bits(x);
  const iq_u128 by = iq_bits(y);
  if (!iq_product_in_window(bx, by)) [[unlikely]] return iq_two_product_outside_window(x, y);
  return iq_multiply_in_window<true>(bx, by);
}

/// Knuth's two-sum of in-window operands given by their bits (iq_two_sum).
inline quad_halves iq_two_sum_in_window(iq_u128 bx, iq_u128 by) {
  iq_num s, e;
  iq_two_sum(iq_unpack(bx), iq_unpack(by), s, e);
  return {iq_pack(s), iq_pack(e)};
}

/// iq_two_sum_in_window where both words are in the window, or one is and the
/// other a zero (sum the nonzero word, error +0). False otherwise: the
/// caller then takes the literal formula.
inline bool iq_two_sum_if_fast(iq_u128 bx, iq_u128 by, quad_halves& r) {
  const bool wx = iq_in_window(iq_field_of(bx));
  const bool wy = iq_in_window(iq_field_of(by));
  if (wx && wy) [[likely]] {
    r = iq_two_sum_in_window(bx, by);
    return true;
  }
  if (wx && iq_is_zero(by)) {
    r = {iq_quad(bx), 0};
    return true;
  }
  if (wy && iq_is_zero(bx)) {
    r = {iq_quad(by), 0};
    return true;
  }
  return false;
}

/// renormalise, add_to_product and remainder_of of eft.h, the same terms.
inline kxreal iq_renormalise(__float128 s, __float128 t) {
  const __float128 hi = iq_add(s, t);
  return {hi, iq_sub(t, iq_sub(hi, s))};
}

/// iq_renormalise(s, t) in one step where its quick two-sum is exact: s in the
/// window and t a zero (hi = s, lo = t - +0 = t, -0 kept) or in the window
/// at an exponent no higher than s's, when lo is the exact error of hi
/// (+0 if none). Elsewhere (after cancellation of the high words) the three
/// roundings are done as written.
inline kxreal iq_quick_two_sum(__float128 s, __float128 t) {
  const iq_u128 bs = iq_bits(s);
  const iq_u128 bt = iq_bits(t);
  const int fs = iq_field_of(bs);
  const int ft = iq_field_of(bt);
  if (iq_in_window(fs)) [[likely]] {
    if (iq_in_window(ft) && ft <= fs) [[likely]] {
      const quad_halves r = iq_two_sum_in_window(bs, bt);
      return {r.high, r.low};
    }
    if (iq_is_zero(bt)) return {s, t};
  }
  return iq_renormalise(s, t);
}

inline quad_halves iq_add_to_product(__float128 c11, __float128 c21, __float128 c2) {
  quad_halves r;
  if (iq_two_sum_if_fast(iq_bits(c11), iq_bits(c2), r)) [[likely]] return {r.high, iq_add(c21, r.low)};
  const __float128 t1 = iq_add(c11, c2);
  const __float128 e = iq_sub(t1, c11);
  const __float128 t2 = iq_add(c21, iq_add(iq_sub(c11, iq_sub(t1, e)), iq_sub(c2, e)));
  return {t1, t2};
}

// The first three lines of remainder_of are the two-sum of a.hi and -p,
// whose error's terms are added in the other order (the same word).
inline quad_halves iq_remainder_of(const kxreal& a, __float128 p, __float128 q) {
  quad_halves r;
  if (iq_two_sum_if_fast(iq_bits(a.hi), iq_bits(p) ^ iq_sign_bit, r)) [[likely]] {
    return {r.high, iq_sub(iq_add(r.low, a.lo), q)};
  }
  const __float128 t11 = iq_sub(a.hi, p);
  const __float128 e = iq_sub(t11, a.hi);
  const __float128 t21 = iq_sub(iq_add(iq_add(iq_sub(-p, e), iq_sub(a.hi, iq_sub(t11, e))), a.lo), q);
  return {t11, t21};
}

}  // namespace kx
