// The update of b, the relation search's integer matrix, in integers:
// b(i, c) += sum over k > i of T(k, i) b(k, c) with the words that
// add_multiple gives, where b's entries and T's multipliers are small
// integers (nearly always).
#pragma once

#include <span>
#include <vector>

#include <kx/core/integer_multiply_add.h>
#include <kx/pslq/matrix.h>

namespace kx {

/// The longest column worked in integers.
inline constexpr int max_integer_column = 64;

// The value v of an entry (v, zero of either sign) of b, v an integer
// below 2^62 in magnitude or a zero of either sign.
inline bool is_plain_integer(const kxreal& a, iq_s128& v) {
  return iq_is_zero(iq_bits(a.lo)) && iq_word_as_integer(iq_bits(a.hi), 62, v);
}

/// A nonzero multiplier T(k, row) below the diagonal.
struct integer_term {
  int row;
  int k;
  iq_s128 multiplier;
};

// T's nonzero entries below the diagonal (n x n, by columns) as integers,
// row by row and k increasing within a row, when every entry is a
// multiplier of integer_multiply_add_exact (an integer below 2^32, zero low
// word).
inline bool integer_multipliers(int n, std::span<const kxreal> t, std::vector<integer_term>& terms) {
  terms.clear();
  if (n > max_integer_column) return false;
  for (int i = 1; i <= n - 1; ++i) {
    for (int k = i + 1; k <= n; ++k) {
      const kxreal& m = element(t, n, k, i);
      iq_s128 v;
      if (!(iq_is_zero(iq_bits(m.lo)) && iq_word_as_integer(iq_bits(m.hi), 32, v))) return false;
      if (v != 0) terms.push_back({i, k, v});
    }
  }
  return true;
}

// Column c of b updated in integers: b(i, c) += sum over k > i of T(k, i)
// b(k, c), rows below i still the old ones. Where every entry is an integer
// below 2^62 with a zero low word, every multiplier one of
// integer_multiply_add_exact and every partial sum below 2^62, each
// add_multiple gives (a + m x, +0), +0 for zero, or skips (m = 0 and a =
// (v, +0), v != 0: the same words); rows 1..n-1 see at least one, so they
// end as (sum, +0), and row n is left as it is. A zero multiplier leaves
// the sum as it is, so only the nonzero terms are added, in their order,
// and a row without one is rewritten only where its words were not
// (v, +0) already. False, b untouched, otherwise.
inline bool update_column_in_integers(int n, std::span<const integer_term> terms, std::span<kxreal> b, int c) {
  constexpr iq_s128 bound = iq_s128(1) << 62;
  iq_s128 v[max_integer_column];
  for (int i = 1; i <= n; ++i) {
    if (!is_plain_integer(element(b, n, i, c), v[i - 1])) return false;
  }
  bool touched[max_integer_column] = {};
  for (const integer_term& term : terms) {
    iq_s128& a = v[term.row - 1];
    a += term.multiplier * v[term.k - 1];
    if (a >= bound || a <= -bound) return false;
    touched[term.row - 1] = true;
  }
  for (int i = 1; i <= n - 1; ++i) {
    kxreal& e = element(b, n, i, c);
    if (touched[i - 1] || iq_bits(e.lo) != 0 || iq_bits(e.hi) == iq_sign_bit) {
      e = {iq_word_of_integer(v[i - 1]), iq_quad(0)};
    }
  }
  return true;
}

}  // namespace kx
