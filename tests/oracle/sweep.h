// Table-driven accuracy sweeps against MPFR, for GoogleTest programs. A row
// names a routine of one or two kxreal arguments, its MPFR reference, a
// sampler per argument, a bound in units of 2^-226, and whether the error is
// relative to the exact value or absolute. oracle::sweep draws the same
// points on every run (the seed and the row's name fix them), prints one
// "[ accuracy ]" line per row, and EXPECTs the largest error within the
// bound; a failure shows the worst arguments' words in hexadecimal (%Qa).
//
//   const oracle::row rows[] = {
//       {"kxsqrt", kxsqrt, mpfr_sqrt, oracle::log_uniform(-3321, 3321), 19},
//       {"kxdiv", kxdiv, mpfr_div, oracle::pairs, oracle::pairs, 8},
//       {"kxsin", kxsin, mpfr_sin, oracle::uniform(3.0Q, 3.25Q), 6, oracle::absolute},
//   };
//   oracle::sweep(rows, /*seed=*/42);
//
// A reference may take a rounding mode (mpfr_sqrt) or not (a lambda
// (mpfr_ptr out, mpfr_srcptr in)); an int parameter goes in lambdas, e.g.
// [](const kxreal& a, kxreal& b) { kxnrt(a, 3, b); } against
// [](mpfr_ptr r, mpfr_srcptr a) { mpfr_rootn_ui(r, a, 3, MPFR_RNDN); }.
// A NaN from either side counts as an infinite error, never as none.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "mpfr_oracle.h"

namespace oracle {

/// Relative: |computed - exact| / |exact|; absolute: |computed - exact|;
/// both in units of 2^-226.
enum class error_kind { relative, absolute };
inline constexpr error_kind relative = error_kind::relative;
inline constexpr error_kind absolute = error_kind::absolute;

/// Draws one argument.
using sampler = std::function<kxreal(operands&)>;

/// Uniform in [a, b]: a + (b - a) t for t with 224 random bits, rounded
/// to the nearest pair, so both words carry random bits.
inline sampler uniform(const kxreal& a, const kxreal& b) {
  const big lo(a), hi(b);
  big width;
  mpfr_sub(width.get(), hi.get(), lo.get(), MPFR_RNDN);
  return [lo, width](operands& gen) {
    big t(gen.significand() - 1);
    big t2(gen.significand() - 1);
    mpfr_mul_2si(t2.get(), t2.get(), -113, MPFR_RNDN);
    mpfr_add(t.get(), t.get(), t2.get(), MPFR_RNDN);
    mpfr_mul(t.get(), t.get(), width.get(), MPFR_RNDN);
    mpfr_add(t.get(), t.get(), lo.get(), MPFR_RNDN);
    return to_pair(t);
  };
}

/// Positive, with binary exponent uniform in [emin, emax] and random words.
inline sampler log_uniform(int emin, int emax) {
  return [emin, emax](operands& gen) {
    const kxreal a = gen.pair_with_exponent(gen.uniform(emin, emax));
    return a.hi < 0 ? kxreal{-a.hi, -a.lo} : a;
  };
}

/// The values of s with a random sign.
inline sampler either_sign(sampler s) {
  return [s = std::move(s)](operands& gen) {
    const kxreal a = s(gen);
    return gen.coin() ? kxreal{-a.hi, -a.lo} : a;
  };
}

/// Either sign, binary exponents in -3321..3321 (decimal -1000..1000).
inline const sampler pairs = either_sign(log_uniform(-3321, 3321));

/// One point of a sweep: the arguments and the computed result.
struct point {
  kxreal a, b, result;
};

namespace detail {

template <typename F, typename... In>
void call_reference(const F& f, mpfr_ptr out, In... in) {
  if constexpr (std::is_invocable_v<const F&, mpfr_ptr, In..., mpfr_rnd_t>) {
    f(out, in..., MPFR_RNDN);
  } else {
    f(out, in...);
  }
}

inline double measure(const kxreal& computed, const big& exact, error_kind kind) {
  const double err = kind == relative ? error_units(computed, exact)
                                      : error_units(big(computed), exact, big(__float128{1}));
  return std::isnan(err) ? std::numeric_limits<double>::infinity() : err;
}

// FNV-1a, so that each row draws its own points whatever its place in the table.
inline std::uint64_t name_hash(const std::string& s) {
  std::uint64_t h = 14695981039346656037ull;
  for (const unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

}  // namespace detail

template <typename R>
concept unary_routine = std::is_invocable_v<const R&, const kxreal&, kxreal&>;
template <typename R>
concept binary_routine = std::is_invocable_v<const R&, const kxreal&, const kxreal&, kxreal&>;

/// One routine, its reference, its samplers, its bound and its kind of error.
struct row {
  std::string name;
  int arity;
  double bound;
  error_kind kind;
  /// Draws the arguments, runs the routine and the reference, fills the
  /// point and returns the error.
  std::function<double(operands&, point&)> trial;

  template <unary_routine R, typename F>
  row(std::string name, R routine, F reference, sampler s, double bound, error_kind kind = relative)
      : name(std::move(name)), arity(1), bound(bound), kind(kind) {
    trial = [=](operands& gen, point& p) {
      p.a = s(gen);
      routine(p.a, p.result);
      const big a(p.a);
      big exact;
      detail::call_reference(reference, exact.get(), a.get());
      return detail::measure(p.result, exact, kind);
    };
  }

  template <binary_routine R, typename F>
  row(std::string name, R routine, F reference, sampler sa, sampler sb, double bound, error_kind kind = relative)
      : name(std::move(name)), arity(2), bound(bound), kind(kind) {
    trial = [=](operands& gen, point& p) {
      p.a = sa(gen);
      p.b = sb(gen);
      routine(p.a, p.b, p.result);
      const big a(p.a), b(p.b);
      big exact;
      detail::call_reference(reference, exact.get(), a.get(), b.get());
      return detail::measure(p.result, exact, kind);
    };
  }
};

/// Runs each row on `samples` points, reports its largest error on `log`
/// (none when null) and expects it within the row's bound.
inline void sweep(std::span<const row> rows, std::uint64_t seed, int samples = 4000, std::FILE* log = stdout) {
  for (const row& r : rows) {
    operands gen(seed ^ detail::name_hash(r.name));
    double largest = 0;
    point worst{}, p{};
    for (int i = 0; i < samples; ++i) {
      const double err = r.trial(gen, p);
      if (err > largest) {
        largest = err;
        worst = p;
      }
    }
    if (log != nullptr) {
      // Three decimals for the usual figures, three digits and an exponent
      // for the large absolute errors of methods that lose accuracy by design.
      const char* format = largest < 1e6 && r.bound < 1e6
                               ? "[ accuracy ] %-7s largest error %.3f units of 2^-226%s (bound %.1f)\n"
                               : "[ accuracy ] %-7s largest error %.3g units of 2^-226%s (bound %.3g)\n";
      std::fprintf(log, format, r.name.c_str(), largest, r.kind == absolute ? " absolute" : "", r.bound);
      std::fflush(log);
    }
    EXPECT_LE(largest, r.bound) << r.name << " at a = " << hex(worst.a)
                                << (r.arity == 2 ? ", b = " + hex(worst.b) : std::string())
                                << " gives " << hex(worst.result);
  }
}

}  // namespace oracle
