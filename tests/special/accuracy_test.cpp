// Accuracy of the gamma and zeta families against MPFR at 600 bits and Arb
// (balls below 2^-240 relative), row by row: each method over its range and
// on both sides of its thresholds (10^-36 for gamma, 1, 100 and 188.258 for
// the incomplete gamma, 31.2361 and 37.333 for zeta). Below z = 1 the lower
// series keeps its loss of log2(Gamma(s)/Gamma(s, z)) bits: 5 at s = 0.1,
// more next to the poles of Gamma(s) (rows z<1 and near 1). For large s,
// z^s from kxpower costs about |s log z| units. The Hurwitz zeta and polygamma rows lie on
// both sides of 30.457 (direct sum above it).
#include <arb_hypgeom.h>
#include <gtest/gtest.h>

#include <vector>

#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
#include <kx/special/zeta.h>

#include "bernoulli_table.h"
#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"

namespace {

using oracle::either_sign;
using oracle::log_uniform;
using oracle::uniform;

kxreal q(__float128 x) { return kxreal{x, 0}; }

// Integers in [lo, hi] other than 1, as kxreal values.
oracle::sampler integers(int lo, int hi) {
  return [lo, hi](oracle::operands& gen) {
    int n = 1;
    while (n == 1) n = gen.uniform(lo, hi);
    return kxreal{n};
  };
}

void digamma_of(const kxreal& x, kxreal& psi) { kxdigammabe(bernoulli(), x, psi); }
void zetabe_of(const kxreal& s, kxreal& z) { kxzetabe(bernoulli(), s, z); }
void zetaint_of(const kxreal& n, kxreal& z) { kxzetaintr(static_cast<int>(n.hi), z); }
void incgamma_ref(mpfr_ptr r, mpfr_srcptr s, mpfr_srcptr z) { mpfr_gamma_inc(r, s, z, MPFR_RNDN); }
const auto upper_gamma_arb = oracle::arb_reference(
    std::function<void(arb_t, const arb_t, const arb_t, slong)>(
        [](arb_t r, const arb_t s, const arb_t z, slong p) { arb_hypgeom_gamma_upper(r, s, z, 0, p); }));

// The integer order travels as the first kxreal argument.
void hurwitz_of(const kxreal& s, const kxreal& a, kxreal& z) { kxhurwitzzetan(static_cast<int>(s.hi), a, z); }
void hurwitzbe_of(const kxreal& s, const kxreal& a, kxreal& z) {
  kxhurwitzzetanbe(bernoulli(), static_cast<int>(s.hi), a, z);
}
void polygamma_of(const kxreal& n, const kxreal& x, kxreal& z) { kxpolygamma(static_cast<int>(n.hi), x, z); }
void polygammabe_of(const kxreal& n, const kxreal& x, kxreal& z) {
  kxpolygammabe(bernoulli(), static_cast<int>(n.hi), x, z);
}
const auto hurwitz_arb = oracle::arb_reference(std::function<void(arb_t, const arb_t, const arb_t, slong)>(
    [](arb_t r, const arb_t s, const arb_t a, slong p) { arb_hurwitz_zeta(r, s, a, p); }));
// psi^(n)(x) = (-1)^(n+1) n! zeta(n+1, x).
const auto polygamma_arb = oracle::arb_reference(std::function<void(arb_t, const arb_t, const arb_t, slong)>(
    [](arb_t r, const arb_t n, const arb_t x, slong p) {
      const ulong k = arf_get_si(arb_midref(n), ARF_RND_NEAR);
      arb_t s, f;
      arb_init(s);
      arb_init(f);
      arb_add_ui(s, n, 1, p);
      arb_hurwitz_zeta(r, s, x, p);
      arb_fac_ui(f, k, p);
      arb_mul(r, r, f, p);
      if (k % 2 == 0) arb_neg(r, r);
      arb_clear(s);
      arb_clear(f);
    }));

TEST(SpecialAccuracy, HurwitzFamily) {
  const oracle::row rows[] = {
      {"hurwitzzetanbe s<=30", hurwitzbe_of, hurwitz_arb, integers(2, 30), uniform(q(0.001Q), q(50)), 300},
      {"hurwitzzetanbe s>30", hurwitzbe_of, hurwitz_arb, integers(31, 300), uniform(q(0.001Q), q(50)), 500},
      {"hurwitzzetanbe large a", hurwitzbe_of, hurwitz_arb, integers(2, 100), log_uniform(22, 60), 200},
      {"polygammabe n<=29", polygammabe_of, polygamma_arb, integers(2, 29), uniform(q(0.001Q), q(50)), 100},
      {"polygammabe n>29", polygammabe_of, polygamma_arb, integers(30, 300), uniform(q(0.001Q), q(50)), 500},
  };
  oracle::sweep(rows, 2025, 1000);
}

// Where n! leaves the range: orders 1755..2500 with the value in range.
TEST(SpecialAccuracy, PolygammaScaled) {
  const oracle::row rows[] = {
      {"polygammabe scaled", polygammabe_of, polygamma_arb, integers(1755, 2500), uniform(q(12), q(200)), 5000},
  };
  oracle::sweep(rows, 2025, 400);
}

// Six incomplete gamma functions a term, about 12 ms a point.
TEST(SpecialAccuracy, HurwitzIncompleteGamma) {
  const oracle::row rows[] = {
      {"hurwitzzetan s<=30", hurwitz_of, hurwitz_arb, integers(2, 30), uniform(q(0.001Q), q(0.999Q)), 1500},
      {"hurwitzzetan s>30", hurwitz_of, hurwitz_arb, integers(31, 60), uniform(q(0.001Q), q(0.999Q)), 1500},
      {"polygamma", polygamma_of, polygamma_arb, integers(2, 40), uniform(q(0.001Q), q(0.999Q)), 1500},
  };
  oracle::sweep(rows, 2025, 40);
}

TEST(SpecialAccuracy, GammaFamily) {
  const oracle::row rows[] = {
      {"gamma (0,1)", kxgammar, mpfr_gamma, uniform(q(0.001Q), q(1)), 3000},
      {"gamma (1,60)", kxgammar, mpfr_gamma, uniform(q(1), q(60)), 6000},
      {"gamma (-60,0)", kxgammar, mpfr_gamma, uniform(q(-60), q(-0.001Q)), 4000},
      {"gamma (600,1700)", kxgammar, mpfr_gamma, uniform(q(600), q(1700)), 6000},
      {"gamma near 0", kxgammar, mpfr_gamma, either_sign(log_uniform(-200, -10)), 300},
      {"gamma below 1e-36", kxgammar, mpfr_gamma, either_sign(log_uniform(-16000, -120)), 4},
      {"incgamma z<1", kxincgammar, incgamma_ref, uniform(q(-5), q(5)), uniform(q(0.01Q), q(1)), 1e6},
      {"incgamma near 1", kxincgammar, incgamma_ref, uniform(q(0.1Q), q(0.9Q)), uniform(q(0.99Q), q(1.01Q)), 30000},
      {"incgamma [1,100)", kxincgammar, incgamma_ref, uniform(q(-5), q(5)), uniform(q(1), q(100)), 4000},
      {"incgamma large s", kxincgammar, incgamma_ref, uniform(q(20), q(90)), uniform(q(1), q(100)), 40000},
      {"incgamma [100,188.258)", kxincgammar, incgamma_ref, uniform(q(-20), q(20)), uniform(q(100), q(188.25Q)), 8000},
      {"incgamma [188.258,1000)", kxincgammar, incgamma_ref, uniform(q(-2), q(20)), uniform(q(188.26Q), q(1000)), 6000},
      {"incgamma integers z<1", kxincgammar, upper_gamma_arb, integers(-30, 0), uniform(q(0.01Q), q(1)), 1000},
      {"incgamma integers [1,100)", kxincgammar, upper_gamma_arb, integers(-30, 0), uniform(q(1), q(100)), 16000},
      {"incgamma integers [100,188.258)", kxincgammar, upper_gamma_arb, integers(-30, 0), uniform(q(100), q(188.25Q)), 12000},
      {"digamma", digamma_of, mpfr_digamma, log_uniform(-20, 20), 2000},
      {"zetaint", zetaint_of, mpfr_zeta, integers(-300, 100), 6000},
      {"zetabe (0,37.333]", zetabe_of, mpfr_zeta, uniform(q(0.01Q), q(37.333Q)), 5000},
      {"zetabe (37.334,80)", zetabe_of, mpfr_zeta, uniform(q(37.334Q), q(80)), 8},
      {"zetabe (-60,0)", zetabe_of, mpfr_zeta, uniform(q(-60), q(-0.01Q)), 50000},
  };
  oracle::sweep(rows, 2025, 150);
}

// Borwein's sum costs 140 real powers a point.
TEST(SpecialAccuracy, ZetaReal) {
  const oracle::row rows[] = {
      {"zetar (0,31.2361]", kxzetar, mpfr_zeta, uniform(q(0.01Q), q(31.236Q)), 10000},
      {"zetar (31.2362,80)", kxzetar, mpfr_zeta, uniform(q(31.2362Q), q(80)), 8},
      {"zetar (-60,0)", kxzetar, mpfr_zeta, uniform(q(-60), q(-0.01Q)), 9000},
  };
  oracle::sweep(rows, 2025, 30);
}

}  // namespace
