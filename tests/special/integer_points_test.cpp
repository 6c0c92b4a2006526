// The special functions at integer arguments and at the orders where a
// factorial leaves the binary128 range, against MPFR at 600 bits and Arb:
// zeta at the integers through each of its three routines (zero, infinite
// and finite values alike), the even Bernoulli numbers past B_1754, and the
// incomplete gamma function at negative integers past -1754.
#include <arb_hypgeom.h>
#include <gmp.h>
#include <gtest/gtest.h>

#include <quadmath.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <vector>

#include <kx/special/gamma.h>
#include <kx/special/zeta.h>

#include "bernoulli_table.h"
#include "mpfr_oracle.h"
#include "oracle/arb_oracle.h"
#include "oracle/sweep.h"

namespace {

using oracle::big;

// Checks a computed zeta(n) against MPFR's: exactly zero where zeta is,
// infinite of the right sign where it leaves the binary128 range, else
// within `bound` units. Returns the error (0 for the exact cases).
double zeta_error(long n, const kxreal& computed, double bound, const char* routine) {
  big exact;
  mpfr_set_si(exact.get(), n, MPFR_RNDN);
  mpfr_zeta(exact.get(), exact.get(), MPFR_RNDN);
  if (mpfr_zero_p(exact.get())) {
    EXPECT_TRUE(computed.hi == 0 && computed.lo == 0) << routine << " at " << n << " gives " << oracle::hex(computed);
    return 0;
  }
  big largest(FLT128_MAX);
  if (mpfr_cmpabs(exact.get(), largest.get()) > 0) {
    EXPECT_TRUE(isinfq(computed.hi) && (computed.hi > 0) == (mpfr_sgn(exact.get()) > 0))
        << routine << " at " << n << " gives " << oracle::hex(computed);
    return 0;
  }
  const double err = oracle::error_units(computed, exact);
  EXPECT_LE(err, bound) << routine << " at " << n << " gives " << oracle::hex(computed);
  return err;
}

// Every integer from -300 to 100 and the band -2400..-2250 where |zeta|
// passes the top of the range, through the integer routine and the real
// one; the Euler-Maclaurin routine on -300..100 (its own bound).
TEST(IntegerPoints, ZetaAtTheIntegers) {
  double worst[2][3] = {};  // [band][routine]
  for (long n = -2400; n <= 100; ++n) {
    if (n == 1 || (n > -2250 && n < -300)) continue;
    const int band = n < -300 ? 1 : 0;
    kxreal z;
    kxzetaintr(static_cast<int>(n), z);
    worst[band][0] = std::max(worst[band][0], zeta_error(n, z, 6000, "kxzetaintr"));
    kxzetar(kxreal{static_cast<int>(n)}, z);
    worst[band][1] = std::max(worst[band][1], zeta_error(n, z, 6000, "kxzetar"));
    if (band == 1) continue;
    kxzetabe(bernoulli(), kxreal{static_cast<int>(n)}, z);
    worst[band][2] = std::max(worst[band][2], zeta_error(n, z, 50000, "kxzetabe"));
  }
  std::printf("[ accuracy ] zeta at -300..100: kxzetaintr %.3f, kxzetar %.3f, kxzetabe %.3f units of 2^-226\n",
              worst[0][0], worst[0][1], worst[0][2]);
  std::printf("[ accuracy ] zeta at -2400..-2250: kxzetaintr %.3f, kxzetar %.3f units of 2^-226\n", worst[1][0],
              worst[1][1]);
}

// Integers past -10^4 (through both routines) and beyond int, as a pair
// hi + lo (below 2^225 in magnitude, where kxinfr stops): zeta(s) is 0 for
// even s and, for odd s = 1 - k, infinite with the sign (-1)^(k/2), k/2
// taken exactly by GMP.
TEST(IntegerPoints, ZetaAtHugeNegativeIntegers) {
  const kxreal points[] = {
      {-10001, 0},         {-10003, 0},             {-20000, 0},             {-2147483647, 0},
      {-0x1p31Q - 1, 0},   {-0x1p31Q - 3, 0},       {-0x1p40Q, 0},           {-0x1p100Q - 1, 0},
      {-0x1p100Q - 3, 0},  {-0x1p200Q, -1},         {-0x1p200Q, -3},         {-0x1p200Q, -2},
      {-0x1p112Q - 5, 0},  {-0x1p220Q, 0x1p100Q + 1}, {-0x1p220Q, 0x1p100Q - 1}, {-0x1p220Q, 0},
  };
  for (const kxreal& s : points) {
    const big exact_s(s);
    mpz_t k, half;
    mpz_init(k);
    mpz_init(half);
    mpfr_get_z(k, exact_s.get(), MPFR_RNDN);
    mpz_ui_sub(k, 1, k);  // k = 1 - s
    std::vector<kxreal> values(1);
    kxzetar(s, values[0]);
    if (s.hi >= INT_MIN && s.lo == 0) kxzetaintr(static_cast<int>(s.hi), values.emplace_back());
    mpz_fdiv_q_2exp(half, k, 1);
    for (const kxreal& z : values) {
      if (mpz_odd_p(k) != 0) {  // s even
        EXPECT_TRUE(z.hi == 0 && z.lo == 0) << oracle::hex(s) << " gives " << oracle::hex(z);
      } else {
        const bool positive = mpz_even_p(half) != 0;
        EXPECT_TRUE(isinfq(z.hi) && (z.hi > 0) == positive) << oracle::hex(s) << " gives " << oracle::hex(z);
      }
    }
    mpz_clear(k);
    mpz_clear(half);
  }
}

// B_2k = (-1)^(k+1) 2 (2k)! zeta(2k) / (2 pi)^2k, by MPFR, for k up to 920:
// beyond k = 877, where (2k)! leaves the range and kxberner carries a ratio.
TEST(IntegerPoints, BernoulliPastTheFactorialsRange) {
  constexpr int nb = 920;
  std::vector<kxreal> b(nb);
  kxberner(b);
  double worst_low = 0, worst_high = 0;
  for (int k = 1; k <= nb; ++k) {
    big exact, t;
    mpfr_fac_ui(exact.get(), 2 * k, MPFR_RNDN);
    mpfr_zeta_ui(t.get(), 2 * k, MPFR_RNDN);
    mpfr_mul(exact.get(), exact.get(), t.get(), MPFR_RNDN);
    mpfr_const_pi(t.get(), MPFR_RNDN);
    mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
    mpfr_pow_ui(t.get(), t.get(), 2 * k, MPFR_RNDN);
    mpfr_div(exact.get(), exact.get(), t.get(), MPFR_RNDN);
    mpfr_mul_si(exact.get(), exact.get(), k % 2 == 1 ? 2 : -2, MPFR_RNDN);
    const double err = oracle::error_units(b[k - 1], exact);
    (k <= 877 ? worst_low : worst_high) = std::max(k <= 877 ? worst_low : worst_high, err);
    EXPECT_LE(err, 2000) << "B_" << 2 * k << " = " << oracle::hex(b[k - 1]);
  }
  std::printf("[ accuracy ] kxberner nb=920: B_2..B_1754 %.3f, B_1756..B_1840 %.3f units of 2^-226\n", worst_low,
              worst_high);
}

// Gamma(-m, z) for m past 1754, where m! leaves the range and each piece is
// divided by it as it is formed (z < 1), and by the continued fraction
// (z > 1), whose error grows with m: 16000 units bound m <= 30, 4.1e5
// measured here. Arb's ball as the reference.
TEST(IntegerPoints, IncompleteGammaAtLargeNegativeIntegers) {
  const auto upper_gamma_arb = oracle::arb_reference(std::function<void(arb_t, const arb_t, const arb_t, slong)>(
      [](arb_t r, const arb_t s, const arb_t z, slong p) { arb_hypgeom_gamma_upper(r, s, z, 0, p); }));
  const oracle::sampler orders = [](oracle::operands& gen) { return kxreal{-gen.uniform(1755, 2000)}; };
  const oracle::row rows[] = {
      {"incgamma m>1754 z<1", kxincgammar, upper_gamma_arb, orders, oracle::uniform(kxreal{0.01Q}, kxreal{0.99Q}), 2500},
      {"incgamma m>1754 z>1", kxincgammar, upper_gamma_arb, orders, oracle::uniform(kxreal{20}, kxreal{99}), 5e5},
  };
  oracle::sweep(rows, 2025, 60);
}

}  // namespace
