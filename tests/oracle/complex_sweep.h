// Table-driven accuracy sweeps of complex routines against MPC at the
// oracle's precision. A row names a routine of one or two kxcomplex
// arguments (a real argument enters as a complex with a zero imaginary
// part, a real result likewise), its MPC reference, a sampler per argument
// and a bound in units of 2^-226. The error of a point is the larger of the
// two parts' errors, each relative to the modulus of the exact result, or to
// |a| + |b| for rows whose bound is stated that way (sums, where the result
// may cancel). As oracle::sweep, the points are fixed by the seed and the
// row's name, one "[ accuracy ]" line is printed per row, and a failure
// shows the worst arguments' words.
//
//   const oracle::complex_row rows[] = {
//       {"kxcmul", kxcmul, mpc_mul, oracle::near_modulus(-1000, 1000, 20), same, 12},
//       {"kxcsqrt", kxcsqrt, mpc_sqrt, oracle::near_modulus(-1000, 1000, 20), 42},
//   };
//   oracle::sweep(rows, /*seed=*/7);
#pragma once

#include <mpc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include <kx/core/complex.h>

#include "oracle/sweep.h"

namespace oracle {

/// An MPC number that frees itself, exact for any kxcomplex.
class big_complex {
 public:
  big_complex() { mpc_init2(v_, precision); mpc_set_ui(v_, 0, MPC_RNDNN); }
  explicit big_complex(const kxcomplex& a) : big_complex() {
    const big re(a.re), im(a.im);
    mpc_set_fr_fr(v_, re.get(), im.get(), MPC_RNDNN);
  }
  big_complex(const big_complex&) = delete;
  big_complex& operator=(const big_complex&) = delete;
  ~big_complex() { mpc_clear(v_); }

  mpc_ptr get() { return v_; }
  mpc_srcptr get() const { return v_; }

 private:
  mpc_t v_;
};

/// The words of a complex pair, for failure messages.
inline std::string hex(const kxcomplex& a) { return hex(a.re) + " + i " + hex(a.im); }

/// Draws one complex argument.
using complex_sampler = std::function<kxcomplex(operands&)>;

/// Parts drawn independently.
inline complex_sampler parts(sampler re, sampler im) {
  return [re = std::move(re), im = std::move(im)](operands& gen) {
    const kxreal x = re(gen);
    return kxcomplex{x, im(gen)};
  };
}

/// A real argument: the values of s with a zero imaginary part.
inline complex_sampler real_axis(sampler s) { return parts(std::move(s), [](operands&) { return kxreal{}; }); }

/// Both parts of either sign, the larger with binary exponent uniform in
/// [emin, emax], the other up to `spread` binades below it.
inline complex_sampler near_modulus(int emin, int emax, int spread) {
  return [=](operands& gen) {
    const int e = gen.uniform(emin, emax);
    const int other = e - gen.uniform(0, spread);
    const kxreal x = gen.pair_with_exponent(e);
    const kxreal y = gen.pair_with_exponent(other);
    return gen.coin() ? kxcomplex{x, y} : kxcomplex{y, x};
  };
}

/// |z| with binary exponent uniform in [emin, emax] and random bits, and
/// the angle uniform in [theta_lo, theta_hi] (radians), both parts rounded
/// to the nearest pair: keeps a routine's angles away from the axes.
inline complex_sampler polar(int emin, int emax, double theta_lo, double theta_hi) {
  return [=](operands& gen) {
    const kxreal rho = gen.pair_with_exponent(gen.uniform(emin, emax));
    big r(rho), theta(gen.significand() - 1), x, y;
    mpfr_abs(r.get(), r.get(), MPFR_RNDN);
    mpfr_mul_d(theta.get(), theta.get(), theta_hi - theta_lo, MPFR_RNDN);
    mpfr_add_d(theta.get(), theta.get(), theta_lo, MPFR_RNDN);
    mpfr_sin_cos(y.get(), x.get(), theta.get(), MPFR_RNDN);
    mpfr_mul(x.get(), x.get(), r.get(), MPFR_RNDN);
    mpfr_mul(y.get(), y.get(), r.get(), MPFR_RNDN);
    return kxcomplex{to_pair(x), to_pair(y)};
  };
}

/// What a row's errors are relative to.
enum class complex_scale { result, operands };

/// One point of a complex sweep: the arguments and the computed result.
struct complex_point {
  kxcomplex a, b, result;
};

namespace detail {

template <typename F, typename... In>
void call_complex_reference(const F& f, mpc_ptr out, In... in) {
  if constexpr (std::is_invocable_v<const F&, mpc_ptr, In..., mpc_rnd_t>) {
    f(out, in..., MPC_RNDNN);
  } else {
    f(out, in...);
  }
}

inline big modulus(const kxcomplex& a) {
  const big_complex z(a);
  big m;
  mpc_abs(m.get(), z.get(), MPFR_RNDN);
  return m;
}

// The larger of the parts' errors relative to `scale`; a NaN counts as infinite.
inline double part_errors(const kxcomplex& computed, mpc_srcptr exact, const big& scale) {
  big re, im;
  mpfr_set(re.get(), mpc_realref(exact), MPFR_RNDN);
  mpfr_set(im.get(), mpc_imagref(exact), MPFR_RNDN);
  const double re_err = error_units(big(computed.re), re, scale);
  const double im_err = error_units(big(computed.im), im, scale);
  if (std::isnan(re_err) || std::isnan(im_err)) return std::numeric_limits<double>::infinity();
  return std::max(re_err, im_err);
}

}  // namespace detail

template <typename R>
concept complex_unary = std::is_invocable_v<const R&, const kxcomplex&, kxcomplex&>;
template <typename R>
concept complex_binary = std::is_invocable_v<const R&, const kxcomplex&, const kxcomplex&, kxcomplex&>;
template <typename R>
concept complex_to_real = std::is_invocable_v<const R&, const kxcomplex&, kxreal&>;

/// One complex routine, its reference, its samplers and its bound.
struct complex_row {
  std::string name;
  int arity;
  double bound;
  std::function<double(operands&, complex_point&)> trial;

  template <complex_unary R, typename F>
  complex_row(std::string name, R routine, F reference, complex_sampler s, double bound)
      : name(std::move(name)), arity(1), bound(bound) {
    trial = [=](operands& gen, complex_point& p) {
      p.a = s(gen);
      routine(p.a, p.result);
      const big_complex a(p.a);
      big_complex exact;
      detail::call_complex_reference(reference, exact.get(), a.get());
      big scale;
      mpc_abs(scale.get(), exact.get(), MPFR_RNDN);
      return detail::part_errors(p.result, exact.get(), scale);
    };
  }

  template <complex_binary R, typename F>
  complex_row(std::string name, R routine, F reference, complex_sampler sa, complex_sampler sb, double bound,
              complex_scale relative_to = complex_scale::result)
      : name(std::move(name)), arity(2), bound(bound) {
    trial = [=](operands& gen, complex_point& p) {
      p.a = sa(gen);
      p.b = sb(gen);
      routine(p.a, p.b, p.result);
      const big_complex a(p.a), b(p.b);
      big_complex exact;
      detail::call_complex_reference(reference, exact.get(), a.get(), b.get());
      big scale;
      if (relative_to == complex_scale::result) {
        mpc_abs(scale.get(), exact.get(), MPFR_RNDN);
      } else {
        mpfr_add(scale.get(), detail::modulus(p.a).get(), detail::modulus(p.b).get(), MPFR_RNDN);
      }
      return detail::part_errors(p.result, exact.get(), scale);
    };
  }

  /// A real result against an MPFR value of an MPC argument (mpc_abs).
  template <complex_to_real R>
  complex_row(std::string name, R routine, int (*reference)(mpfr_ptr, mpc_srcptr, mpfr_rnd_t), complex_sampler s,
              double bound)
      : name(std::move(name)), arity(1), bound(bound) {
    trial = [=](operands& gen, complex_point& p) {
      p.a = s(gen);
      p.result = {};
      routine(p.a, p.result.re);
      const big_complex a(p.a);
      big exact;
      reference(exact.get(), a.get(), MPFR_RNDN);
      const double err = error_units(p.result.re, exact);
      return std::isnan(err) ? std::numeric_limits<double>::infinity() : err;
    };
  }
};

/// Runs each row on `samples` points, reports its largest error on `log`
/// (none when null) and expects it within the row's bound.
inline void sweep(std::span<const complex_row> rows, std::uint64_t seed, int samples = 4000,
                  std::FILE* log = stdout) {
  for (const complex_row& r : rows) {
    operands gen(seed ^ detail::name_hash(r.name));
    double largest = 0;
    complex_point worst{}, p{};
    for (int i = 0; i < samples; ++i) {
      const double err = r.trial(gen, p);
      if (err > largest) {
        largest = err;
        worst = p;
      }
    }
    if (log != nullptr) {
      std::fprintf(log, "[ accuracy ] %-7s largest error %.3f units of 2^-226 (bound %.1f)\n", r.name.c_str(),
                   largest, r.bound);
      std::fflush(log);
    }
    EXPECT_LE(largest, r.bound) << r.name << " at a = " << hex(worst.a)
                                << (r.arity == 2 ? ", b = " + hex(worst.b) : std::string()) << " gives "
                                << hex(worst.result);
  }
}

}  // namespace oracle
