// Arb as a reference for the functions MPFR lacks. An Arb result is a ball
// with a proven radius: a value is trusted only when the radius is below
// 2^-240 of it, which the helpers assert (raising the precision once first).
//
//   oracle::arb_reference([](arb_t r, const arb_t x, slong p) { arb_hypgeom_gamma_upper(r, s, x, 0, p); })
// gives a reference (mpfr_ptr out, mpfr_srcptr in) for oracle::sweep rows.
#pragma once

#include <arb.h>
#include <gtest/gtest.h>

#include <functional>

#include "mpfr_oracle.h"

namespace oracle {

inline constexpr slong arb_precision = 400;
inline constexpr slong arb_trusted_bits = 240;

/// Evaluates f at arb_precision bits, and at twice that when the ball is too
/// wide; writes the midpoint to out and expects the radius below 2^-240
/// relative.
inline void arb_evaluate(mpfr_ptr out, const std::function<void(arb_t, slong)>& f) {
  arb_t r;
  arb_init(r);
  for (slong p = arb_precision; p <= 4 * arb_precision; p *= 2) {
    f(r, p);
    if (arb_rel_accuracy_bits(r) >= arb_trusted_bits) break;
  }
  EXPECT_GE(arb_rel_accuracy_bits(r), arb_trusted_bits) << "Arb's ball is too wide to trust";
  arf_get_mpfr(out, arb_midref(r), MPFR_RNDN);
  arb_clear(r);
}

/// An Arb value of one argument as a sweep reference.
inline auto arb_reference(std::function<void(arb_t, const arb_t, slong)> f) {
  return [f](mpfr_ptr out, mpfr_srcptr in) {
    arb_t x;
    arb_init(x);
    arf_set_mpfr(arb_midref(x), in);
    arb_evaluate(out, [&](arb_t r, slong p) { f(r, x, p); });
    arb_clear(x);
  };
}

/// An Arb value of two arguments as a sweep reference.
inline auto arb_reference(std::function<void(arb_t, const arb_t, const arb_t, slong)> f) {
  return [f](mpfr_ptr out, mpfr_srcptr in1, mpfr_srcptr in2) {
    arb_t x;
    arb_t y;
    arb_init(x);
    arb_init(y);
    arf_set_mpfr(arb_midref(x), in1);
    arf_set_mpfr(arb_midref(y), in2);
    arb_evaluate(out, [&](arb_t r, slong p) { f(r, x, y, p); });
    arb_clear(x);
    arb_clear(y);
  };
}

}  // namespace oracle
