// The fused kernel of a +- m x for a small integer multiplier m: kxmul's
// terms from the short product of m.hi with each word of x, kxmul's tail,
// and kxadd's terms on the product's words, all in integer registers.
#include <kx/core/integer_multiply_add.h>
#include <kx/core/quad_integer.h>

namespace kx {

namespace {

/// x * (+-k) for an integer 1 <= k < 2^32 and a nonzero unpacked x,
/// rounded once to nearest even, with its exact error when WithError (+0
/// when none): the value iq_product gives for the word k, as the same
/// normalised parts. The integer product k x.sig has 113 + s bits, s <= 32,
/// formed from two 64 x 32-bit products; its top 113 bits are the
/// significand before rounding and the s bits below the rest.
template <bool WithError>
[[gnu::always_inline]] inline iq_num product_by_integer(iq_u64 k, bool k_negative, const iq_num& x,
                                                       iq_num* error = nullptr) {
  const bool negative = k_negative != x.negative;
  const iq_u128 low = static_cast<iq_u128>(static_cast<iq_u64>(x.sig)) * k;
  const iq_u128 high = static_cast<iq_u128>(static_cast<iq_u64>(x.sig >> 64)) * k + (low >> 64);
  // k x.sig = high 2^64 + (low mod 2^64), high in [2^48, 2^81).
  const int s = iq_top_bit(high) - 48;
  const iq_u128 low64 = static_cast<iq_u64>(low);
  iq_u128 q = (high << (64 - s)) | (low64 >> s);
  const iq_u128 rest = low64 & ((iq_u128(1) << s) - 1);
  int field = x.field + s;
  bool up = false;
  if (rest != 0) {
    const iq_u128 half = iq_u128(1) << (s - 1);
    up = rest > half || (rest == half && (q & 1));
  }
  if (up) {
    ++q;
    if (q >> 113) {
      q >>= 1;
      ++field;
    }
  }
  if constexpr (WithError) {
    *error = {0, 0, false};
    if (rest != 0) {
      const iq_u128 d = up ? (iq_u128(1) << s) - rest : rest;
      const int t = iq_top_bit(d);
      *error = {d << (112 - t), x.field - 112 + t, up != negative};
    }
  }
  return {q, field, negative};
}

// Whether every word of the pair is in the window or a zero.
bool pair_in_window_or_zero(const kxreal& a) {
  return iq_in_window_or_zero(iq_bits(a.hi)) && iq_in_window_or_zero(iq_bits(a.lo));
}

// kxmul(m, x) for m = (+-k, zero of sign m_lo_negative) and x.hi nonzero, on
// its unpacked path term for term: c11 and its error c21, c2 = m.hi x.lo +
// x.hi m.lo and c3 = m.lo x.lo, the products with the zero m.lo zeros of
// their sign as iq_product gives them.
kxreal product_terms(iq_u64 k, bool m_negative, bool m_lo_negative, const iq_num& x_hi, const iq_num& x_lo) {
  iq_num c21;
  const iq_num c11 = product_by_integer<true>(k, m_negative, x_hi, &c21);
  const iq_num m_hi_x_lo = x_lo.sig != 0 ? product_by_integer<false>(k, m_negative, x_lo)
                                          : iq_num{0, 0, m_negative != x_lo.negative};
  const iq_num c2 = iq_sum(m_hi_x_lo, iq_num{0, 0, x_hi.negative != m_lo_negative});
  const iq_num c3 = {0, 0, m_lo_negative != x_lo.negative};
  kxreal p;
  if (!iq_fixed_tail(c11, c2, c21, c3, p)) [[unlikely]] {
    iq_num t1, t2;
    iq_add_to_product(c11, c21, c2, t1, t2);
    p = iq_quick_two_sum(t1, iq_sum(t2, c3));
  }
  return p;
}

}  // namespace

// kxmul(m, x) is product_terms, the words of its unpacked path (every word
// and every product of two nonzero words in the window), or for m = +-1 and
// a normalised x, x's words with m's sign. kxadd(a, p) (kxsub: p's words
// negated, as kxsub negates its operand) is then its unpacked path on the
// product's words. Each product is the one word iq_product gives (the same
// value, rounded once), so the words are kxmul's and kxadd's.
bool integer_multiply_add_fused(const kxreal& a, const kxreal& m, const kxreal& x, bool subtract, kxreal& c) {
  const iq_u128 mh = iq_bits(m.hi);
  const iq_u128 xh = iq_bits(x.hi);
  const iq_u128 xl = iq_bits(x.lo);
  iq_s128 mv;
  if (!(iq_is_zero(iq_bits(m.lo)) && iq_word_as_integer(mh, 32, mv) && mv != 0)) return false;
  if (!(iq_in_window(iq_field_of(xh)) && iq_in_window_or_zero(xl) && pair_in_window_or_zero(a))) return false;
  if (!iq_product_field_in_window(iq_field_of(mh), iq_field_of(xh)) ||
      !(iq_is_zero(xl) || iq_product_field_in_window(iq_field_of(mh), iq_field_of(xl)))) {
    return false;
  }
  const bool m_negative = mv < 0;
  const iq_u64 k = static_cast<iq_u64>(m_negative ? -mv : mv);
  const iq_num x_hi = iq_unpack(xh);
  const iq_num x_lo = iq_unpack(xl);
  iq_num p_hi, p_lo;
  if (k == 1 && x_lo.sig != 0 && iq_rounds_to_high_word(xh, xl)) {
    // +-1 times a normalised x: c11 = +-x.hi exact, c21 = +0, c2 = +-x.lo;
    // as c11 + c2 rounds to c11, the two-sum's error is c2, the low word
    // t = (c2 + +0) + zero = c2 and the quick two-sum (c11, c2).
    p_hi = x_hi;
    p_lo = x_lo;
    p_hi.negative = x_hi.negative != m_negative;
    p_lo.negative = x_lo.negative != m_negative;
  } else {
    const kxreal p = product_terms(k, m_negative, (iq_bits(m.lo) & iq_sign_bit) != 0, x_hi, x_lo);
    if (!pair_in_window_or_zero(p)) [[unlikely]] {
      subtract ? kxsub(a, p, c) : kxadd(a, p, c);
      return true;
    }
    p_hi = iq_unpack(iq_bits(p.hi));
    p_lo = iq_unpack(iq_bits(p.lo));
  }
  if (subtract) {
    p_hi.negative = !p_hi.negative;
    p_lo.negative = !p_lo.negative;
  }
  const iq_num a_hi = iq_unpack(iq_bits(a.hi));
  const iq_num a_lo = iq_unpack(iq_bits(a.lo));
  if (iq_fixed_tail(a_hi, p_hi, a_lo, p_lo, c)) [[likely]] return true;
  iq_num s, e;
  iq_two_sum(a_hi, p_hi, s, e);
  c = iq_quick_two_sum(s, iq_sum(iq_sum(e, a_lo), p_lo));
  return true;
}
}  // namespace kx
