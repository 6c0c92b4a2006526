// Accuracy of the functions composed from several elementary routines
// (log10, tan, tanh, asin, acos, atan, hypot, and the complex exp, log, sin
// and cos) against MPFR and MPC at 600 bits. Rows marked absolute are where
// a routine called loses relative accuracy by design (kxlog near 1, the sine
// of kxcssnr near 0 and through it kxang, sinh near 0); the complex rows
// bound each part relative to the modulus of the result. Also the ends of
// the range: squares that would leave it, and e^|y| beyond kxexp's reach.
#include <gtest/gtest.h>

#include <kx/kx.h>

#include "oracle/complex_sweep.h"
#include "test_support.h"

namespace {

using oracle::absolute;
using oracle::either_sign;
using oracle::log_uniform;
using oracle::uniform;

kxreal q(__float128 x) { return kxreal{x, 0}; }

// The function under a routine's calling convention, for the sweep tables.
#define ROUTINE_OF(function) [](const kxreal& a, kxreal& b) { b = function(a); }
#define COMPLEX_ROUTINE_OF(function) [](const kxcomplex& a, kxcomplex& b) { b = function(a); }

TEST(ComposedFunctions, RealAgainstMpfr) {
  const auto hypot_of = [](const kxreal& a, const kxreal& b, kxreal& c) { c = hypot(a, b); };
  const oracle::row rows[] = {
      {"log10", ROUTINE_OF(log10), mpfr_log10, log_uniform(1, 3321), 100},
      {"log10 small", ROUTINE_OF(log10), mpfr_log10, log_uniform(-3321, -2), 100},
      {"log10 near 1", ROUTINE_OF(log10), mpfr_log10, uniform(q(0.5Q), q(2)), 400, absolute},
      {"tan", ROUTINE_OF(tan), mpfr_tan, uniform(q(-1.4Q), q(1.4Q)), 1e5, absolute},
      {"tan away from 0", ROUTINE_OF(tan), mpfr_tan, either_sign(uniform(q(0.5Q), q(1.4Q))), 1500},
      {"tanh", ROUTINE_OF(tanh), mpfr_tanh, either_sign(uniform(q(1), q(100))), 800},
      {"tanh near 0", ROUTINE_OF(tanh), mpfr_tanh, uniform(q(-1), q(1)), 1000, absolute},
      {"asin", ROUTINE_OF(asin), mpfr_asin, uniform(q(-1), q(1)), 1e7, absolute},
      {"asin away from 0", ROUTINE_OF(asin), mpfr_asin, either_sign(uniform(q(0.5Q), q(1))), 1000},
      {"acos", ROUTINE_OF(acos), mpfr_acos, uniform(q(-1), q(1)), 1e5, absolute},
      {"atan", ROUTINE_OF(atan), mpfr_atan, uniform(q(-10), q(10)), 1e5, absolute},
      // The sine near 0, and kxang with it, keeps about 2^-113 relative.
      {"atan small", ROUTINE_OF(atan), mpfr_atan, either_sign(log_uniform(-120, -1)), 1e18, absolute},
      {"hypot", hypot_of, mpfr_hypot, oracle::pairs, oracle::pairs, 25},
      {"hypot huge", hypot_of, mpfr_hypot, either_sign(log_uniform(8129, 16382)), oracle::pairs, 25},
      {"hypot tiny", hypot_of, mpfr_hypot, either_sign(log_uniform(-16000, -8129)),
       either_sign(log_uniform(-16000, -8129)), 25},
  };
  oracle::sweep(rows, 4242, 1500);
}

TEST(ComposedFunctions, ComplexAgainstMpc) {
  const oracle::complex_row rows[] = {
      {"exp C", COMPLEX_ROUTINE_OF(exp), mpc_exp, oracle::parts(uniform(q(-100), q(100)), uniform(q(-10), q(10))),
       1e5},
      // Angles of z in [0.3, 3]: the result's imaginary part keeps |log z| from 0.
      {"log C", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(-3000, 3000, 0.3, 3.0), 1800},
      {"log C far from 1", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(2, 3000, 0.3, 3.0), 120},
      {"log C far below 1", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(-3000, -3, 0.3, 3.0), 120},
      // |z| near 1: |log z| is least, about arg z, and kxang's absolute error counts most.
      {"log C near |z|=1", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(-1, 0, 0.3, 0.6), 1800},
      {"log C huge", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(8129, 16300, 0.3, 3.0), 200},
      {"log C tiny", COMPLEX_ROUTINE_OF(log), mpc_log, oracle::polar(-16000, -8129, 0.3, 3.0), 200},
      {"sin C", COMPLEX_ROUTINE_OF(sin), mpc_sin, oracle::parts(uniform(q(-10), q(10)), uniform(q(-10), q(10))),
       1e5},
      {"cos C", COMPLEX_ROUTINE_OF(cos), mpc_cos, oracle::parts(uniform(q(-10), q(10)), uniform(q(-10), q(10))),
       1e5},
      // e^-y far below 1 and e^y far above it, both within kxexp's range.
      {"sin C far", COMPLEX_ROUTINE_OF(sin), mpc_sin,
       oracle::parts(uniform(q(-3), q(3)), either_sign(uniform(q(5000), q(10999)))), 1e5},
      {"cos C far", COMPLEX_ROUTINE_OF(cos), mpc_cos,
       oracle::parts(uniform(q(-3), q(3)), either_sign(uniform(q(5000), q(10999)))), 1e5},
  };
  oracle::sweep(rows, 4242, 1500);
}

TEST(ComposedFunctions, EdgeValues) {
  EXPECT_TRUE(same_words(hypot(kxreal{3}, kxreal{4}), kxreal{5, 0}));
  // Squares that would underflow or overflow are taken of scaled values.
  EXPECT_EQ(hypot(q(1e-3000Q), kxreal{}).hi, 1e-3000Q);
  EXPECT_EQ(hypot(kxreal{}, q(-1e3000Q)).hi, 1e3000Q);
  const kxcomplex huge_log = log(kxcomplex{q(1e3000Q)});
  oracle::big log_huge(1e3000Q);
  mpfr_log(log_huge.get(), log_huge.get(), MPFR_RNDN);
  EXPECT_LE(oracle::error_units(huge_log.re, log_huge), 10);
  // log(-1) = i pi with a real part exactly 0; atan(1) = pi/4, atan2(1, 0) = pi/2.
  const kxcomplex log_minus_one = log(kxcomplex{kxreal{-1}});
  EXPECT_TRUE(same_words(log_minus_one.re, kxreal{}) && same_words(log_minus_one.im, kxpi()));
  EXPECT_TRUE(same_words(atan2(kxreal{1}, kxreal{}), [] { kxreal a; kxang(kxreal{}, kxreal{1}, a); return a; }()));

  // |y| >= 11000: e^|y| is beyond kxexp's range on either side.
  const char* exp_stop = "^\\*\\*\\* KXEXP: Argument is too large ?11000\\.000000\n$";
  EXPECT_FATAL_STOP(sin(kxcomplex{kxreal{1}, kxreal{11000}}), exp_stop);
  EXPECT_FATAL_STOP(sin(kxcomplex{kxreal{1}, kxreal{-11000}}), exp_stop);
  EXPECT_FATAL_STOP(cos(kxcomplex{kxreal{1}, kxreal{11000}}), exp_stop);
  EXPECT_FATAL_STOP(cos(kxcomplex{kxreal{1}, kxreal{-11000}}), exp_stop);
  EXPECT_FATAL_STOP(log(kxcomplex{}), "^\\*\\*\\* KXLOG: Argument is less than or equal to zero\\.\n$");
  EXPECT_FATAL_STOP(atan2(kxreal{}, kxreal{}), "^\\*\\*\\* KXANG: Both arguments are zero\\.\n$");
}

}  // namespace
