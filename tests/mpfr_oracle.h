// MPFR as the reference oracle of the tests: quad pairs converted exactly at
// 600 bits, errors measured in units of 2^-226, random normalised operands,
// and the words of a failing operand printed in hexadecimal for replay.
#pragma once

#define MPFR_WANT_FLOAT128 1
#include <mpfr.h>
#include <quadmath.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include <kx/core/core.h>

namespace oracle {

inline constexpr mpfr_prec_t precision = 600;

/// An MPFR number that frees itself.
class big {
 public:
  big() { mpfr_init2(v_, precision); mpfr_set_zero(v_, 1); }
  explicit big(const kxreal& a) : big() { set(a); }
  explicit big(__float128 q) : big() { mpfr_set_float128(v_, q, MPFR_RNDN); }
  big(const big& o) : big() { mpfr_set(v_, o.v_, MPFR_RNDN); }
  big& operator=(const big& o) { mpfr_set(v_, o.v_, MPFR_RNDN); return *this; }
  ~big() { mpfr_clear(v_); }

  /// hi + lo exactly (600 bits hold any normal pair).
  void set(const kxreal& a) {
    mpfr_t lo;
    mpfr_init2(lo, precision);
    mpfr_set_float128(v_, a.hi, MPFR_RNDN);
    mpfr_set_float128(lo, a.lo, MPFR_RNDN);
    mpfr_add(v_, v_, lo, MPFR_RNDN);
    mpfr_clear(lo);
  }

  mpfr_ptr get() { return v_; }
  mpfr_srcptr get() const { return v_; }

 private:
  mpfr_t v_;
};

/// |computed - exact| / |scale| in units of 2^-226 (0 when both are zero).
inline double error_units(const big& computed, const big& exact, const big& scale) {
  big d;
  mpfr_sub(d.get(), computed.get(), exact.get(), MPFR_RNDN);
  if (mpfr_zero_p(d.get())) return 0;
  mpfr_abs(d.get(), d.get(), MPFR_RNDN);
  big s;
  mpfr_abs(s.get(), scale.get(), MPFR_RNDN);
  mpfr_div(d.get(), d.get(), s.get(), MPFR_RNDN);
  mpfr_mul_2si(d.get(), d.get(), 226, MPFR_RNDN);
  return mpfr_get_d(d.get(), MPFR_RNDU);
}

/// The error of a computed pair against an exact value, relative to it.
inline double error_units(const kxreal& computed, const big& exact) {
  return error_units(big(computed), exact, exact);
}

/// The error of a computed pair against an exact value, relative to it, in
/// units of 2^-226, after forgiving `subnormal_units` of 2^-16494: a pair
/// near the bottom of the range has a subnormal low word, which no routine
/// can fill beyond that granularity.
inline double error_units_above_subnormal(const kxreal& computed, const big& exact, double subnormal_units) {
  big d(computed);
  mpfr_sub(d.get(), d.get(), exact.get(), MPFR_RNDN);
  mpfr_abs(d.get(), d.get(), MPFR_RNDN);
  big allowance;
  mpfr_set_d(allowance.get(), subnormal_units, MPFR_RNDN);
  mpfr_mul_2si(allowance.get(), allowance.get(), -16494, MPFR_RNDN);
  mpfr_sub(d.get(), d.get(), allowance.get(), MPFR_RNDN);
  if (mpfr_sgn(d.get()) <= 0) return 0;
  big s;
  mpfr_abs(s.get(), exact.get(), MPFR_RNDN);
  mpfr_div(d.get(), d.get(), s.get(), MPFR_RNDN);
  mpfr_mul_2si(d.get(), d.get(), 226, MPFR_RNDN);
  return mpfr_get_d(d.get(), MPFR_RNDU);
}

/// The correctly rounded binary128 value of an MPFR number.
inline __float128 to_quad(const big& x) { return mpfr_get_float128(x.get(), MPFR_RNDN); }

/// The pair nearest to an MPFR number: hi rounded, then the rest rounded.
inline kxreal to_pair(const big& x) {
  const __float128 hi = to_quad(x);
  big rest;
  big h(hi);
  mpfr_sub(rest.get(), x.get(), h.get(), MPFR_RNDN);
  return {hi, to_quad(rest)};
}

/// The words of a pair, for failure messages that let a case be replayed.
inline std::string hex(const kxreal& a) {
  char hi[64];
  char lo[64];
  quadmath_snprintf(hi, sizeof hi, "%Qa", a.hi);
  quadmath_snprintf(lo, sizeof lo, "%Qa", a.lo);
  return std::string("(") + hi + ", " + lo + ")";
}

inline std::string hex(__float128 q) {
  char s[64];
  quadmath_snprintf(s, sizeof s, "%Qa", q);
  return s;
}

/// First-order error bound of kxnpwr(a, n) in units of 2^-226 relative:
/// each of the |n| - 1 + (bits of |n|) multiplications of the binary
/// powering costs at most 8, and the reciprocal for n < 0 another 8.
inline double kxnpwr_bound(int n) {
  const int m = std::abs(n);
  int bits = 0;
  for (int k = m; k > 0; k /= 2) ++bits;
  return m == 0 ? 0 : 8.0 * (m - 1 + bits + (n < 0 ? 1 : 0));
}

/// First-order error bound of kxinpc in units of 2^-226: each counted digit
/// costs at most a kxmuld (4) and a kxadd (4) relative to m, the power
/// 10^n by kxnpwr at most 8 (|n| - 1 + bits of |n| + [n < 0]), the product 8.
inline double inpc_bound(int digits, int n) { return 8.0 * digits + kxnpwr_bound(n) + 8; }

/// Random normalised operands with a fixed seed.
class operands {
 public:
  explicit operands(std::uint64_t seed) : gen_(seed) {}

  /// A binary128 value with 113 random significand bits in [1, 2).
  __float128 significand() {
    const std::uint64_t hi = gen_() >> 15;  // 49 bits
    const std::uint64_t lo = gen_();        // 64 bits
    return 1 + (static_cast<__float128>(hi) * 0x1p-48Q + static_cast<__float128>(lo) * 0x1p-112Q) / 2;
  }

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
  bool coin() { return (gen_() & 1) != 0; }

  /// A random normalised pair of either sign with binary exponent e: the
  /// low word a random fraction of half an ulp of the high word, either sign.
  kxreal pair_with_exponent(int e) {
    const __float128 hi = scalbnq(significand(), e) * (coin() ? 1 : -1);
    const __float128 lo = scalbnq(significand() - 1, e - 113) * (coin() ? 1 : -1);
    const __float128 s = hi + lo;
    return {s, lo - (s - hi)};
  }

  /// A pair whose decimal exponent lies in -1000..1000.
  kxreal pair() { return pair_with_exponent(uniform(-3321, 3321)); }

  /// A positive pair in the same range.
  kxreal positive_pair() {
    kxreal a = pair();
    if (a.hi < 0) a = {-a.hi, -a.lo};
    return a;
  }

 private:
  std::mt19937_64 gen_;
};

}  // namespace oracle
