// Accuracy of the elementary functions against MPFR at 600 bits, row by
// row: each method over its range and on both sides of its thresholds.
// Rows marked absolute are where a method loses relative accuracy by
// design (the sine from 1 - cos^2 near multiples of pi, sinh near 0 by
// e - 1/e, asinh of negative arguments by cancellation, argument reduction
// near 10^60, and functions near a zero); there the bound is on the
// absolute error. About one pair in 20000 holds kxagmr's (a - b)/a just
// above 2^-224 by rounding noise, and it stops with its iteration message;
// the agm rows' points avoid such pairs.
#include <gtest/gtest.h>

#include <kx/elementary/agm.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>

#include "oracle/sweep.h"

namespace {

using oracle::absolute;
using oracle::either_sign;
using oracle::log_uniform;
using oracle::uniform;

void cos_of(const kxreal& a, kxreal& c) {
  kxreal s;
  kxcssnr(a, c, s);
}
void sin_of(const kxreal& a, kxreal& s) {
  kxreal c;
  kxcssnr(a, c, s);
}
void cosh_of(const kxreal& a, kxreal& c) {
  kxreal s;
  kxcoshsinh(a, c, s);
}
void sinh_of(const kxreal& a, kxreal& s) {
  kxreal c;
  kxcoshsinh(a, c, s);
}
void atan2_of(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr y) { mpfr_atan2(r, y, x, MPFR_RNDN); }

// MPFR's agm takes positive arguments: agm(a, b) = -agm(-a, -b) for negative ones.
void agm_of_negatives(mpfr_ptr r, mpfr_srcptr a, mpfr_srcptr b) {
  oracle::big na, nb;
  mpfr_neg(na.get(), a, MPFR_RNDN);
  mpfr_neg(nb.get(), b, MPFR_RNDN);
  mpfr_agm(r, na.get(), nb.get(), MPFR_RNDN);
  mpfr_neg(r, r, MPFR_RNDN);
}

oracle::sampler negative(oracle::sampler s) {
  return [s = std::move(s)](oracle::operands& gen) {
    const kxreal a = s(gen);
    return kxreal{-a.hi, -a.lo};
  };
}

kxreal q(__float128 x) { return kxreal{x, 0}; }

TEST(ElementaryAccuracy, AgainstMpfr) {
  const oracle::row rows[] = {
      {"exp |a|<1", kxexp, mpfr_exp, uniform(q(-1), q(1)), 800},
      {"exp |a|<100", kxexp, mpfr_exp, uniform(q(-100), q(100)), 800},
      {"exp |a|<11000", kxexp, mpfr_exp, uniform(q(-10999), q(10999)), 25000},
      {"log", kxlog, mpfr_log, log_uniform(-3321, 3321), 300},
      {"log near 1", kxlog, mpfr_log, uniform(q(0.5Q), q(2)), 600, absolute},
      {"log high", kxlog, mpfr_log, log_uniform(12000, 15868), 8},
      {"log e^-11000", kxlog, mpfr_log, log_uniform(-15880, -15860), 8},
      {"log tiny", kxlog, mpfr_log, log_uniform(-16381, -15860), 8},
      {"power", kxpower, mpfr_pow, uniform(q(0.01Q), q(100)), uniform(q(-100), q(100)), 1e5},
      {"cos", cos_of, mpfr_cos, uniform(q(-10), q(10)), 400, absolute},
      {"sin", sin_of, mpfr_sin, uniform(q(-10), q(10)), 1e8, absolute},
      {"sin near pi/2", sin_of, mpfr_sin, uniform(q(1.4Q), q(1.7Q)), 40},
      {"cos 1e60", cos_of, mpfr_cos, uniform(q(-1e60Q), q(1e60Q)), 1e61, absolute},
      {"sin 1e60", sin_of, mpfr_sin, uniform(q(-1e60Q), q(1e60Q)), 1e61, absolute},
      {"sin small", sin_of, mpfr_sin, either_sign(log_uniform(-8190, -10)), 1e35},
      {"cos 2^-8190", cos_of, mpfr_cos, either_sign(log_uniform(-8200, -8180)), 1},
      {"sin below 2^-8190", sin_of, mpfr_sin, either_sign(log_uniform(-16000, -8191)), 1},
      {"ang", kxang, atan2_of, uniform(q(-1), q(1)), uniform(q(-1), q(1)), 1e5, absolute},
      {"ang wide", kxang, atan2_of, oracle::pairs, oracle::pairs, 1e18, absolute},
      {"ang huge", kxang, atan2_of, either_sign(log_uniform(8000, 16300)), either_sign(log_uniform(8000, 16300)), 1e19, absolute},
      {"ang tiny", kxang, atan2_of, either_sign(log_uniform(-16300, -8000)), either_sign(log_uniform(-16300, -8000)), 1e19, absolute},
      {"cosh", cosh_of, mpfr_cosh, uniform(q(-100), q(100)), 800},
      {"cosh wide", cosh_of, mpfr_cosh, uniform(q(-10999), q(10999)), 25000},
      {"sinh", sinh_of, mpfr_sinh, either_sign(uniform(q(1), q(100))), 800},
      {"sinh near 0", sinh_of, mpfr_sinh, uniform(q(-1), q(1)), 1000, absolute},
      {"asinh", kxasinh, mpfr_asinh, log_uniform(0, 3321), 300},
      {"asinh near 0", kxasinh, mpfr_asinh, uniform(q(-1), q(1)), 800, absolute},
      {"asinh negative", kxasinh, mpfr_asinh, negative(log_uniform(0, 40)), 2e26, absolute},
      {"asinh negative far", kxasinh, mpfr_asinh, negative(log_uniform(90, 109)), 6e67, absolute},
      {"asinh reflected", kxasinh, mpfr_asinh, negative(log_uniform(110, 8000)), 8},
      {"asinh huge", kxasinh, mpfr_asinh, either_sign(log_uniform(8180, 15868)), 8},
      {"acosh", kxacosh, mpfr_acosh, log_uniform(1, 3321), 40},
      {"acosh near 1", kxacosh, mpfr_acosh, uniform(q(1), q(2)), 800, absolute},
      {"acosh huge", kxacosh, mpfr_acosh, log_uniform(8180, 15868), 8},
      {"atanh", kxatanh, mpfr_atanh, uniform(q(-0.999Q), q(0.999Q)), 400, absolute},
      {"atanh away from 0", kxatanh, mpfr_atanh, either_sign(uniform(q(0.5Q), q(0.999Q))), 600},
      {"agm", kxagmr, mpfr_agm, log_uniform(-300, 300), log_uniform(-300, 300), 40},
      {"agm huge", kxagmr, mpfr_agm, log_uniform(8000, 16300), log_uniform(8000, 16300), 60},
      {"agm tiny", kxagmr, mpfr_agm, log_uniform(-16300, -8100), log_uniform(-16300, -8100), 60},
      {"agm negative", kxagmr, agm_of_negatives, negative(log_uniform(-100, 100)), negative(log_uniform(-100, 100)), 40},
  };
  oracle::sweep(rows, 2024, 1500);
}

}  // namespace
