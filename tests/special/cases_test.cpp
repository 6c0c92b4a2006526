// Bernoulli numbers against exact rationals, every message of the gamma and
// zeta families with its status, and the mended ends of their ranges
// against MPFR and Arb.
#include <arb_hypgeom.h>
#include <gmp.h>
#include <gtest/gtest.h>

#include <vector>

#include <kx/special/gamma.h>
#include <kx/special/zeta.h>

#include "mpfr_oracle.h"
#include "oracle/arb_oracle.h"
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

}  // namespace
