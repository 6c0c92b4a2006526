// Bernoulli numbers against exact rationals, every message of the gamma and
// zeta families with its status, and the mended ends of their ranges
// against MPFR and Arb.
#include <arb_hypgeom.h>
#include <gmp.h>
#include <gtest/gtest.h>

#include <vector>

#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
#include <kx/special/zeta.h>

#include "mpfr_oracle.h"
#include "bernoulli_table.h"
#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"
#include "test_support.h"

namespace {

using oracle::big;

kxreal q(__float128 x) { return kxreal{x, 0}; }

// B_0..B_n by the Akiyama-Tanigawa recurrence, exactly.
std::vector<big> exact_bernoulli(int n) {
  std::vector<mpq_t> a(n + 1);
  std::vector<big> out;
  for (int m = 0; m <= n; ++m) {
    mpq_init(a[m]);
    mpq_set_ui(a[m], 1, m + 1);
    for (int j = m; j >= 1; --j) {
      mpq_t d;
      mpq_init(d);
      mpq_sub(d, a[j - 1], a[j]);
      mpq_set_ui(a[j - 1], j, 1);
      mpq_mul(a[j - 1], a[j - 1], d);
      mpq_clear(d);
    }
    big b;
    mpfr_set_q(b.get(), a[0], MPFR_RNDN);
    out.push_back(b);
  }
  for (auto& x : a) mpq_clear(x);
  return out;
}

template <typename F>
double error_of(const kxreal& computed, F reference) {
  big exact;
  reference(exact.get());
  return oracle::error_units(computed, exact);
}

TEST(SpecialCases, BernoulliAgainstExactRationals) {
  std::vector<kxreal> b(120);
  kxberner(b);
  const std::vector<big> exact = exact_bernoulli(240);
  double largest = 0;
  for (int k = 1; k <= 120; ++k) largest = std::max(largest, oracle::error_units(b[k - 1], exact[2 * k]));
  std::printf("[ accuracy ] kxberner largest error %.3f units of 2^-226 (nb = 120)\n", largest);
  EXPECT_LE(largest, 60);
  // Shorter requests fill what they ask for and touch nothing beyond.
  for (int nb = 1; nb <= 3; ++nb) {
    std::vector<kxreal> s(nb + 1, q(7));
    kxberner(std::span<kxreal>(s.data(), nb));
    for (int k = 1; k <= nb; ++k) EXPECT_LE(oracle::error_units(s[k - 1], exact[2 * k]), 16) << nb;
    EXPECT_TRUE(same_words(s[nb], q(7)));
  }
}

TEST(SpecialCases, Messages) {
  kxreal z;
  std::vector<kxreal> b(120);
  kxberner(b);
  EXPECT_FATAL_STOP(kxgammar(q(0), z),
                    "\\*\\*\\* KXGAMMAR: input argument must have absolute value <=100000000\\.,\nmust not be zero, "
                    "and if negative must not be an integer\\.");
  EXPECT_FATAL_STOP(kxgammar(q(-3), z), "KXGAMMAR: input argument");
  EXPECT_FATAL_STOP(kxgammar(q(100000001), z), "KXGAMMAR: input argument");
  EXPECT_FATAL_STOP(kxincgammar(q(1), q(0), z),
                    "\\*\\*\\* KXINCGAMMAR: The second argument must not be zero,\nand must not be negative unless "
                    "the first is zero\\.");
  EXPECT_FATAL_STOP(kxincgammar(q(1), q(-1), z), "KXINCGAMMAR: The second argument");
  // An infinite s gives NaN terms in the asymptotic expansion: its message
  // at once (it ran its 10^6 terms first).
  EXPECT_FATAL_STOP(kxincgammar(q(HUGE_VALQ), q(188.3Q), z), "^\\*\\*\\* KXINCGAMMAR: Loop end error 3\n$");
  // A NaN is outside Gamma's domain, and makes the incomplete gamma NaN
  // (each converted NaN to an int, which is undefined).
  EXPECT_FATAL_STOP(kxgammar(q(nanq("")), z), "KXGAMMAR: input argument");
  // An integer s past the int range takes the lower series and stops in
  // kxgammar's domain test (it was converted to int, which is undefined).
  EXPECT_FATAL_STOP(kxincgammar(q(0x1p180Q), q(0x1p-16400Q), z), "KXGAMMAR: input argument");
  for (const kxreal& s : {q(nanq("")), q(2)}) {
    kxincgammar(s, s.hi == 2 ? q(nanq("")) : q(3), z);
    EXPECT_TRUE(isnanq(z.hi)) << oracle::hex(s);
  }
  EXPECT_FATAL_STOP(kxdigammabe(b, q(0), z), "\\*\\*\\* KXDIGAMMABE: Argument is less than or equal to 0");
  EXPECT_FATAL_STOP(kxdigammabe(std::span<const kxreal>(b.data(), 94), q(1), z),
                    "\\*\\*\\* KXDIGAMMABE: Array of even Bernoulli coefficients must be initialized\nwith at least  "
                    "    95 entries using KXBERNE or KXBERNER\\.");
  EXPECT_FATAL_STOP(kxzetaintr(1, z), "\\*\\*\\* KXZETAINTR: argument is 1");
  EXPECT_FATAL_STOP(kxzetar(q(1), z), "\\*\\*\\* KXZETAR: argument is 1");
  EXPECT_FATAL_STOP(kxzetabe(std::span<const kxreal>(b.data(), 101), q(1), z),
                    "\\*\\*\\* KXZETABE: Array of even Bernoulli coefficients must be initialized\nwith at least     "
                    "102 entries\\.");
  std::vector<kxreal> wrong(b);
  wrong[0] = q(0.25Q);
  std::vector<kxreal> enough(120);
  kxberner(enough);
  EXPECT_FATAL_STOP(kxzetabe(std::span<const kxreal>(enough.data(), 101), q(2), z), "with at least     102 entries");
  EXPECT_FATAL_STOP(kxzetabe(wrong, q(2), z), "with at least     102 entries");
  std::vector<kxreal> big_b(200);
  kxberner(big_b);
  EXPECT_FATAL_STOP(kxzetabe(big_b, q(1), z), "\\*\\*\\* KXZETABE: argument is 1");
}

// The faults of the first design, each against an oracle.
TEST(SpecialCases, MendedEnds) {
  kxreal z;
  std::vector<kxreal> b(120);
  kxberner(b);
  const auto mpfr_at = [](auto f, __float128 x) {
    return [f, x](mpfr_ptr r) {
      big a(x);
      f(r, a.get(), MPFR_RNDN);
    };
  };
  for (const __float128 t : {1e-2470Q, 1e-3000Q, -1e-70Q, -1e-40Q, 1e-35Q}) {
    kxgammar(q(t), z);
    EXPECT_LE(error_of(z, mpfr_at(mpfr_gamma, t)), 200) << static_cast<double>(t);
  }
  for (const __float128 s : {-1e-70Q, -1e-50Q, -0.3Q}) {
    kxzetar(q(s), z);
    EXPECT_LE(error_of(z, mpfr_at(mpfr_zeta, s)), 10000) << static_cast<double>(s);
    kxzetabe(b, q(s), z);
    EXPECT_LE(error_of(z, mpfr_at(mpfr_zeta, s)), 10000) << static_cast<double>(s);
  }
  kxzetar(q(3e9Q), z);
  EXPECT_TRUE(same_words(z, q(1)));
  for (const __float128 s : {30.5Q, 35.0Q, 37.3Q, 37.333Q, 39.9Q}) {
    kxzetabe(b, q(s), z);
    EXPECT_LE(error_of(z, mpfr_at(mpfr_zeta, s)), 5000) << static_cast<double>(s);
  }
  kxzetaintr(-1801, z);
  EXPECT_LE(error_of(z, [](mpfr_ptr r) { mpfr_zeta_ui(r, 0, MPFR_RNDN); mpfr_set_si(r, -1801, MPFR_RNDN); big a; mpfr_set(a.get(), r, MPFR_RNDN); mpfr_zeta(r, a.get(), MPFR_RNDN); }), 20000);
  const auto upper = [](double s, double x) {
    return [s, x](mpfr_ptr r) {
      oracle::arb_evaluate(r, [s, x](arb_t out, slong p) {
        arb_t a, zz;
        arb_init(a);
        arb_init(zz);
        arb_set_d(a, s);
        arb_set_d(zz, x);
        arb_hypgeom_gamma_upper(out, a, zz, 0, p);
        arb_clear(a);
        arb_clear(zz);
      });
    };
  };
  kxincgammar(q(-2000), q(1), z);
  EXPECT_LE(error_of(z, upper(-2000, 1)), 1e5);
  kxincgammar(q(0.5Q), q(160), z);
  EXPECT_LE(error_of(z, upper(0.5, 160)), 8000);
  kxincgammar(q(3), q(180), z);
  EXPECT_LE(error_of(z, upper(3, 180)), 8000);
  kxincgammar(q(0), q(188), z);
  EXPECT_LE(error_of(z, upper(0, 188)), 8000);
  // Past the asymptotic series' smallest term, the continued fraction.
  kxincgammar(q(-10), q(188.5Q), z);
  EXPECT_LE(error_of(z, upper(-10, 188.5)), 8000);
  kxincgammar(q(-14.5Q), q(201), z);
  EXPECT_LE(error_of(z, upper(-14.5, 201)), 8000);
}

// zeta(s, a), or (-1)^(n+1) n! zeta(n+1, a) with n = s - 1 when `polygamma`, from Arb.
auto hurwitz_exact(int s, const kxreal& a, bool polygamma = false) {
  return [s, a, polygamma](mpfr_ptr r) {
    const big x(a);
    oracle::arb_evaluate(r, [&](arb_t out, slong p) {
      arb_t sa, aa;
      arb_init(sa);
      arb_init(aa);
      arb_set_si(sa, s);
      arf_set_mpfr(arb_midref(aa), x.get());
      arb_hurwitz_zeta(out, sa, aa, p);
      if (polygamma) {
        arb_fac_ui(sa, s - 1, p);
        arb_mul(out, out, sa, p);
        if (s % 2 == 1) arb_neg(out, out);
      }
      arb_clear(sa);
      arb_clear(aa);
    });
  };
}

// Identities that hold to the routines' accuracy: zeta(s, 1/2) = (2^s - 1)
// zeta(s), zeta(s, a) - zeta(s, a + 1) = a^-s, the two Hurwitz routines on
// (0, 1), and psi'(1/2) = pi^2/2.
TEST(SpecialCases, HurwitzIdentities) {
  const auto& b = bernoulli();
  const auto units = [](const kxreal& x, const kxreal& y, const kxreal& scale) {
    return oracle::error_units(big(x), big(y), big(scale));
  };
  kxreal z;
  kxreal w;
  for (int s = 2; s <= 40; ++s) {
    kxreal zeta;
    kxzetaintr(s, zeta);
    kxreal f;
    kxnpwr(kxreal{2}, s, f);
    kxsub(f, kxreal{1}, f);
    kxmul(f, zeta, f);
    kxhurwitzzetanbe(b, s, q(0.5Q), z);
    EXPECT_LE(units(z, f, f), 5000) << s;
    kxhurwitzzetan(s, q(0.5Q), z);
    EXPECT_LE(units(z, f, f), 1e12) << s;
  }
  oracle::operands gen(7);
  const auto order = [](oracle::operands& g) { return kxreal{g.uniform(2, 60)}; };
  const oracle::sampler below_one = oracle::uniform(q(0.001Q), q(0.999Q));
  const oracle::sampler up_to_40 = oracle::uniform(q(0.001Q), q(40));
  for (int i = 0; i < 400; ++i) {
    const int s = static_cast<int>(order(gen).hi);
    const kxreal a = up_to_40(gen);
    kxreal a1;
    kxadd(a, q(1), a1);
    kxhurwitzzetanbe(b, s, a, z);
    kxhurwitzzetanbe(b, s, a1, w);
    kxreal d;
    kxsub(z, w, d);
    kxreal p;
    kxnpwr(a, -s, p);
    EXPECT_LE(units(d, p, z), 1000) << s << " " << oracle::hex(a);
  }
  for (int i = 0; i < 20; ++i) {
    const int s = static_cast<int>(order(gen).hi);
    const kxreal a = below_one(gen);
    kxhurwitzzetan(s, a, z);
    kxhurwitzzetanbe(b, s, a, w);
    EXPECT_LE(units(z, w, w), 3e16) << s << " " << oracle::hex(a);
  }
  kxreal half_pi2;
  kxpi(half_pi2);
  kxmul(half_pi2, half_pi2, half_pi2);
  kxmuld(half_pi2, 0.5Q, half_pi2);
  kxpolygamma(1, q(0.5Q), z);
  EXPECT_LE(units(z, half_pi2, half_pi2), 1e12);
  kxpolygammabe(b, 1, q(0.5Q), z);
  EXPECT_LE(units(z, half_pi2, half_pi2), 100);
}

TEST(SpecialCases, HurwitzMessages) {
  kxreal z;
  const auto& b = bernoulli();
  const std::span<const kxreal> short_b(b.data(), 94);
  EXPECT_FATAL_STOP(kxhurwitzzetan(0, q(0.5Q), z), "\\*\\*\\* KXHURWITZZETAN: IS less than or equal to 0:");
  EXPECT_FATAL_STOP(kxhurwitzzetan(1, q(0.5Q), z), "\\*\\*\\* KXHURWITZZETAN: S = 1 is the pole\\.");
  EXPECT_FATAL_STOP(kxhurwitzzetan(2, q(0), z), "\\*\\*\\* KXHURWITZZETAN: AA must be in the range \\(0, 1\\)");
  EXPECT_FATAL_STOP(kxhurwitzzetan(2, q(1), z), "KXHURWITZZETAN: AA must be in the range");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(short_b, 2, q(1), z),
                    "\\*\\*\\* KXHURWITZZETANBE: Array of even Bernoulli coefficients must be initialized\nwith at "
                    "least      95 entries by calling KXBERNE or KXBERNER\\.");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(b, 0, q(1), z), "\\*\\*\\* KXHURWITZZETANBE: ISS <= 0");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(b, 2, q(-1), z), "\\*\\*\\* KXHURWITZZETANBE: AA < 0");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(b, 1, q(1), z), "\\*\\*\\* KXHURWITZZETANBE: S = 1 is the pole\\.");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(b, 2, q(0), z), "\\*\\*\\* KXHURWITZZETANBE: AA = 0 is a pole\\.");
  EXPECT_FATAL_STOP(kxhurwitzzetanbe(std::span<const kxreal>(b.data(), 95), 30, q(0.1Q), z),
                    "\\*\\*\\* KXHURWITZZETANBE: End loop error 2; call KXBERNE with larger NB\\.");
  EXPECT_FATAL_STOP(kxpolygamma(0, q(0.5Q), z), "\\*\\*\\* KXPOLYGAMMA: NN <= 0");
  EXPECT_FATAL_STOP(kxpolygamma(1, q(1), z), "\\*\\*\\* KXPOLYGAMMA: X must be in the range \\(0, 1\\)");
  EXPECT_FATAL_STOP(kxpolygamma(1, q(0), z), "KXPOLYGAMMA: X must be in the range");
  EXPECT_FATAL_STOP(kxpolygammabe(short_b, 1, q(1), z),
                    "\\*\\*\\* KXPOLYGAMMABE: Array of even Bernoulli coefficients must be initialized\nwith at "
                    "least      95 entries by calling KXBERNE or KXBERER\\.");
  EXPECT_FATAL_STOP(kxpolygammabe(b, 0, q(1), z), "\\*\\*\\* KXPOLYGAMMABE: NN <= 0");
  EXPECT_FATAL_STOP(kxpolygammabe(b, 1, q(-1), z), "\\*\\*\\* KXPOLYGAMMABE: X < 0");
  EXPECT_FATAL_STOP(kxpolygammabe(b, 1, q(0), z), "\\*\\*\\* KXPOLYGAMMABE: X = 0 is a pole\\.");
}

// The mended faults against Arb: each was infinite, zero, a crash or a
// large loss before.
TEST(SpecialCases, HurwitzMendedFaults) {
  const auto& b = bernoulli();
  kxreal z;
  // Order 2000 at 10: 2000! leaves the range, the value (-3.3e3734) does not.
  kxpolygammabe(b, 2000, q(10), z);
  EXPECT_LE(error_of(z, hurwitz_exact(2001, q(10), true)), 5000);
  // zeta(1701, 1000) = 1e-5103 underflows, the product 1700! zeta does not.
  kxpolygammabe(b, 1700, q(1000), z);
  EXPECT_LE(error_of(z, hurwitz_exact(1701, q(1000), true)), 5000);
  // And beyond the direct sum's reach (its budget ran out before).
  kxpolygammabe(b, 663, q(58956644.43Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(664, q(58956644.43Q), true)), 5000);
  // The Bernoulli tail diverges at s = 30 with A near 39.86: the direct sum.
  const kxreal a30{8.8588808791993756Q, 0};
  kxhurwitzzetanbe(b, 30, a30, z);
  EXPECT_LE(error_of(z, hurwitz_exact(30, a30)), 300);
  // Beyond the direct sum's budget: Euler-Maclaurin at N = 0.
  kxhurwitzzetanbe(b, 31, q(1e5Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(31, q(1e5Q))), 300);
  // A^31 passes the range (A^2 too at 1e3000): the reciprocal powers.
  kxhurwitzzetanbe(b, 30, q(1e160Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(30, q(1e160Q))), 300);
  kxhurwitzzetanbe(b, 2, q(1e3000Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(2, q(1e3000Q))), 300);
  // Incomplete gamma functions of order (1-s)/2 < -3 at pi k^2 > 188.258,
  // and Q(s/2, z) - Q((s+1)/2, z) near a = 1 (2^-37 before).
  kxhurwitzzetan(30, q(0.7Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(30, q(0.7Q))), 3e16);
  kxhurwitzzetan(40, q(0.97Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(40, q(0.97Q))), 3e16);
  // |a - 1|^s underflows (0/0 before): the factor z^p/|a - 1|^s taken whole.
  kxhurwitzzetan(2000, q(0.999Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(2000, q(0.999Q))), 3e16);
  const kxreal near_one{1, -0x1p-300Q};
  kxhurwitzzetan(60, near_one, z);
  EXPECT_LE(error_of(z, hurwitz_exact(60, near_one)), 3e16);
  // Gamma(s/2) overflows (NaN before): the direct sum.
  kxhurwitzzetan(4000, q(0.5Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(4000, q(0.5Q))), 3e16);
  kxhurwitzzetan(3600, q(0.9Q), z);
  EXPECT_LE(error_of(z, hurwitz_exact(3600, q(0.9Q))), 3e16);
  // a^-s passes the range (a NaN sum that never settled before): infinity.
  kxhurwitzzetan(3609, q(0.0216Q), z);
  EXPECT_TRUE(isinfq(z.hi) && z.hi > 0);
  kxhurwitzzetanbe(b, 3609, q(0.0216Q), z);
  EXPECT_TRUE(isinfq(z.hi) && z.hi > 0);
  kxhurwitzzetan(3297, q(0.00148Q), z);
  EXPECT_TRUE(isinfq(z.hi) && z.hi > 0);
}

}  // namespace
