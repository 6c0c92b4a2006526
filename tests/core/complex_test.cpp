// The complex core routines: swept against MPC at 600 bits, exact values
// derived by hand, the ends of the range against MPC, and every fatal
// message.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include <kx/kx.h>

#include "oracle/complex_sweep.h"
#include "test_support.h"

namespace {

using oracle::complex_row;
using oracle::complex_scale;

bool same_words(const kxcomplex& a, const kxcomplex& b) { return ::same_words(a.re, b.re) && ::same_words(a.im, b.im); }

kxcomplex gaussian(int re, int im) { return {kxreal{re}, kxreal{im}}; }

// First-order bounds in units of 2^-226 relative to the modulus of the exact
// result, per part, as core/complex.h states them.
constexpr double kxcmul_bound = 12;
constexpr double kxcdiv_bound = 84;
constexpr double kxcsqrt_bound = 42;

double kxcpwr_bound(int n) {
  const int m = n < 0 ? -n : n;
  int bits = 0;
  for (int k = m; k > 0; k /= 2) ++bits;
  return kxcmul_bound * (m - 1 + bits) + (n < 0 ? kxcdiv_bound : 0);
}

kxcomplex divided(const kxcomplex& a, const kxcomplex& b) {
  kxcomplex c;
  kxcdiv(a, b, c);
  return c;
}

kxcomplex root(const kxcomplex& a) {
  kxcomplex b;
  kxcsqrt(a, b);
  return b;
}

complex_row power_row(int n, const oracle::complex_sampler& s) {
  return {"kxcpwr " + std::to_string(n), [n](const kxcomplex& a, kxcomplex& b) { kxcpwr(a, n, b); },
          [n](mpc_ptr r, mpc_srcptr a) { mpc_pow_si(r, a, n, MPC_RNDNN); }, s, kxcpwr_bound(n)};
}

TEST(ComplexCore, SweepAgainstMpc) {
  const oracle::complex_sampler wide = oracle::near_modulus(-1000, 1000, 30);
  const oracle::complex_sampler unit = oracle::near_modulus(-2, 2, 8);
  // Sums may cancel: their bound holds relative to |a| + |b|.
  std::vector<complex_row> rows = {
      {"kxcadd", kxcadd, mpc_add, wide, oracle::near_modulus(-10, 10, 30), 4, complex_scale::operands},
      {"kxcsub", kxcsub, mpc_sub, unit, unit, 4, complex_scale::operands},
      {"kxcmul", kxcmul, mpc_mul, wide, wide, kxcmul_bound},
      {"kxcdiv", kxcdiv, mpc_div, wide, wide, kxcdiv_bound},
      {"kxcsqrt", kxcsqrt, mpc_sqrt, oracle::near_modulus(-3000, 3000, 60), kxcsqrt_bound},
  };
  for (const int n : {2, 3, 7, 40, -1, -5}) rows.push_back(power_row(n, unit));
  oracle::sweep(rows, 1964);
}

// Squares beyond the range: divisors and roots of values whose larger part
// lies beyond 2^±8128, out to where the results themselves stay normal,
// against MPC.
TEST(ComplexCore, SquaresBeyondTheRangeAreScaled) {
  const oracle::complex_sampler huge = oracle::near_modulus(8129, 16000, 40);
  const oracle::complex_sampler tiny = oracle::near_modulus(-16200, -8129, 40);
  const oracle::complex_sampler moderate = oracle::near_modulus(-8, 8, 8);
  const complex_row rows[] = {
      {"kxcdiv huge", kxcdiv, mpc_div, moderate, huge, kxcdiv_bound},
      {"kxcdiv tiny", kxcdiv, mpc_div, moderate, tiny, kxcdiv_bound},
      {"kxcsqrt huge", kxcsqrt, mpc_sqrt, huge, kxcsqrt_bound},
      {"kxcsqrt tiny", kxcsqrt, mpc_sqrt, tiny, kxcsqrt_bound},
      {"kxcpwr -1 huge", [](const kxcomplex& a, kxcomplex& b) { kxcpwr(a, -1, b); },
       [](mpc_ptr r, mpc_srcptr a) { mpc_pow_si(r, a, -1, MPC_RNDNN); }, huge, kxcpwr_bound(-1)},
  };
  oracle::sweep(rows, 2718, 1000);

  // The cases that gave NaN, or 7.07e-1501, when |b|^2 left the range.
  const struct {
    kxcomplex result;
    __float128 expected;
  } cases[] = {
      {divided(gaussian(1, 0), kxcomplex{kxreal{1e3000Q, 0}}), 1 / 1e3000Q},
      {divided(gaussian(1, 0), kxcomplex{kxreal{1e-2500Q, 0}}), 1 / 1e-2500Q},
      {root(kxcomplex{kxreal{1e3000Q, 0}}), sqrtq(1e3000Q)},
      {root(kxcomplex{kxreal{1e-3000Q, 0}}), sqrtq(1e-3000Q)},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(fabsq(c.result.re.hi - c.expected) <= c.expected * 0x1p-112Q && c.result.im.hi == 0)
        << oracle::hex(c.result);
  }
}

// A reference that is not the routine's must fail the harness's assertion.
TEST(ComplexCore, HarnessCatchesErrors) {
  const oracle::complex_sampler unit = oracle::near_modulus(-2, 2, 8);
  const complex_row wrong[] = {{"kxcsub", kxcsub, mpc_add, unit, unit, 4, complex_scale::operands}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(wrong, 1, 50, nullptr), "kxcsub at a = (");
  const complex_row conjugated[] = {{"kxcsqrt", kxcsqrt, mpc_sqrt, oracle::near_modulus(-2, 2, 0), 42}};
  oracle::sweep(conjugated, 2, 50, nullptr);
  const auto conjugate_root = [](const kxcomplex& a, kxcomplex& b) {
    kxcsqrt(a, b);
    b.im = {-b.im.hi, -b.im.lo};
  };
  const complex_row wrong_branch[] = {{"conj sqrt", conjugate_root, mpc_sqrt, oracle::near_modulus(-2, 2, 0), 42}};
  EXPECT_NONFATAL_FAILURE(oracle::sweep(wrong_branch, 2, 50, nullptr), "conj sqrt at a = (");
}

TEST(ComplexCore, ExactValues) {
  kxcomplex c;
  kxcmul(gaussian(1, 2), gaussian(3, 4), c);
  EXPECT_TRUE(same_words(c, gaussian(-5, 10))) << oracle::hex(c);

  // Square roots of perfect squares, on both branches of the half-angle method.
  const struct {
    kxcomplex a, root;
  } roots[] = {
      {gaussian(-4, 0), gaussian(0, 2)},  {gaussian(3, 4), gaussian(2, 1)},   {gaussian(-3, 4), gaussian(1, 2)},
      {gaussian(-3, -4), gaussian(1, -2)}, {gaussian(0, -2), gaussian(1, -1)},
  };
  for (const auto& r : roots) {
    kxcsqrt(r.a, c);
    EXPECT_TRUE(c.re == r.root.re && c.im == r.root.im) << oracle::hex(r.a) << " gives " << oracle::hex(c);
  }
  kxcsqrt(gaussian(0, 0), c);
  EXPECT_TRUE(same_words(c, kxcomplex{}));

  // Powers of Gaussian integers stay exact; (1 + i)^-2 = -i/2.
  const struct {
    kxcomplex a;
    int n;
    kxcomplex power;
  } powers[] = {
      {gaussian(5, -7), 0, gaussian(1, 0)}, {gaussian(0, 1), 2, gaussian(-1, 0)},
      {gaussian(0, 0), 3, gaussian(0, 0)},  {gaussian(1, 1), 8, gaussian(16, 0)},
      {gaussian(2, 1), 5, gaussian(-38, 41)}, {gaussian(1, 1), -2, {kxreal{0, 0}, kxreal{-0.5Q, 0}}},
  };
  for (const auto& p : powers) {
    kxcpwr(p.a, p.n, c);
    EXPECT_TRUE(c.re == p.power.re && c.im == p.power.im) << oracle::hex(p.a) << " ^ " << p.n << " gives "
                                                          << oracle::hex(c);
  }
  kxcpwr(gaussian(0, 1), -1, c);
  EXPECT_TRUE(c.re == kxreal{} && c.im == kxreal{-1}) << oracle::hex(c);

  // The result may be an operand; a divisor with one zero part is accepted.
  c = gaussian(1, 2);
  kxcmul(c, c, c);
  EXPECT_TRUE(same_words(c, gaussian(-3, 4)));
  kxcsqrt(c, c);
  EXPECT_TRUE(same_words(c, gaussian(1, 2)));
  kxcdiv(c, gaussian(0, 2), c);
  EXPECT_TRUE(same_words(c, {kxreal{1}, kxreal{-0.5Q, 0}})) << oracle::hex(c);

  kxcomplex z;
  __complex128 q;
  __real__ q = 2.5Q;
  __imag__ q = -1;
  kxztoc(q, z);
  EXPECT_TRUE(same_words(z, kxcomplex{kxreal{2.5Q, 0}, kxreal{-1.0Q, 0}}));
}

TEST(ComplexCore, FatalMessages) {
  kxcomplex c;
  EXPECT_FATAL_STOP(kxcdiv(gaussian(1, 0), gaussian(0, 0), c), "^\\*\\*\\* KXCDIV: Divisor is zero\\.\n$");
  EXPECT_FATAL_STOP(kxcpwr(gaussian(0, 0), 0, c),
                    "^\\*\\*\\* KXCPWR: Argument is zero and N is negative or zero\\.\n$");
  EXPECT_FATAL_STOP(kxcpwr(gaussian(0, 0), -3, c),
                    "^\\*\\*\\* KXCPWR: Argument is zero and N is negative or zero\\.\n$");
  EXPECT_FATAL_STOP(kxcpwr(gaussian(1, 1), INT_MIN, c), "^\\*\\*\\* KXCPWR: Improper value of N -2147483648\n$");
}

}  // namespace
