// Time per call of the elementary and special functions beside MPFR and Arb
// (when built with it) at 226 bits on the same operands, in one run, with
// bench_support.h's summary at the end. Each row names the kx routine and
// its arguments; its MPFR and Arb benchmarks carry the same name after
// "mpfr_" and "arb_" and call the functions written beside it in the table.
// A routine that MPFR (or Arb) lacks has no entry there.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include <kx/elementary/agm.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/special/bessel.h>
#include <kx/special/error_function.h>
#include <kx/special/exponential_integral.h>
#include <kx/special/gamma.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/polylog.h>
#include <kx/special/zeta.h>

#include "bench_support.h"

#ifdef KX_BENCH_ARB
#include <acb.h>
#include <arb_hypgeom.h>
#endif

namespace {

using kx::bench_bits;
using kx::mp;

// Every call takes two operands x, y and has two outputs c, d (cos and sin,
// cosh and sinh, else d unused); a routine uses those it needs. The macros keep each row of the table on a few lines.
using kx_call = std::function<void(const kxreal&, const kxreal&, kxreal&, kxreal&)>;
using mpfr_call = std::function<void(mpfr_ptr, mpfr_ptr, mpfr_srcptr, mpfr_srcptr)>;
#define KX(...)                                                                                   \
  kx_call([]([[maybe_unused]] const kxreal& x, [[maybe_unused]] const kxreal& y,                  \
             [[maybe_unused]] kxreal& c, [[maybe_unused]] kxreal& d) { __VA_ARGS__; })
#define MPFR(...)                                                                                 \
  mpfr_call([]([[maybe_unused]] mpfr_ptr c, [[maybe_unused]] mpfr_ptr d,                          \
               [[maybe_unused]] mpfr_srcptr x, [[maybe_unused]] mpfr_srcptr y) { __VA_ARGS__; })
#define NONE nullptr
#ifdef KX_BENCH_ARB
using kx::ab;
using arb_call = std::function<void(arb_ptr, arb_ptr, arb_srcptr, arb_srcptr)>;
#define ARB(...)                                                                                  \
  arb_call([]([[maybe_unused]] arb_ptr c, [[maybe_unused]] arb_ptr d, [[maybe_unused]] arb_srcptr x, \
              [[maybe_unused]] arb_srcptr y) { __VA_ARGS__; })
#else
using arb_call = std::function<void()>;
#define ARB(...) nullptr
#endif

// A full-length operand near hi: its low word fills the 226 bits.
kxreal full(__float128 hi) { return {hi, hi * 0x1.5fp-116Q}; }

const kxreal x06 = full(0.61728394505617283945056172839450562Q);
const kxreal x12 = full(1.2345678901234567890123456789012345Q);
const kxreal x62 = full(6.2345678901234567890123456789012345Q);
const kxreal x99 = full(9.8765432109876543210987654321098765Q);
const kxreal x12b = full(12.345678901234567890123456789012345Q);
const kxreal x62b = full(61.728394505617283945056172839450562Q);
const kxreal x99b = full(98.765432109876543210987654321098765Q);

struct row {
  std::string name;
  kxreal x, y;
  kx_call kx;
  mpfr_call mpfr;
  arb_call arb;
};

// The hypergeometric rows' parameters: 1F1(0.617; 2.5; x), 2F1(0.617, 1.23; 2.5; x).
const kxreal pfq_a[] = {x06, x12};
const kxreal pfq_b[] = {kxreal{2.5Q}};

#ifdef KX_BENCH_ARB
// Arb's vectors of those parameters, made once.
arb_srcptr arb_parameters(const kxreal* p, int n) {
  arb_ptr v = _arb_vec_init(n);
  for (int i = 0; i < n; i++) arb_set(v + i, ab(p[i]).v);
  return v;
}
void arb_pfq(arb_ptr c, int p, arb_srcptr x) {
  static const arb_srcptr a = arb_parameters(pfq_a, 2), b = arb_parameters(pfq_b, 1);
  arb_hypgeom_pfq(c, a, p, b, 1, x, 0, bench_bits);
}
// Li_2 through the complex polylogarithm at a real point.
void arb_li2(arb_ptr c, arb_srcptr x) {
  acb_t z, w;
  acb_init(z);
  acb_init(w);
  acb_set_arb(z, x);
  acb_polylog_si(w, 2, z, bench_bits);
  arb_set(c, acb_realref(w));
  acb_clear(w);
  acb_clear(z);
}
#endif

const row rows[] = {
    {"cssnr(1.23)", x12, {}, KX(kxcssnr(x, c, d)), MPFR(mpfr_sin_cos(d, c, x, MPFR_RNDN)),
     ARB(arb_sin_cos(d, c, x, bench_bits))},
    {"cssnr(98.8)", x99b, {}, KX(kxcssnr(x, c, d)), MPFR(mpfr_sin_cos(d, c, x, MPFR_RNDN)),
     ARB(arb_sin_cos(d, c, x, bench_bits))},
    {"ang(9.88,1.23)", x99, x12, KX(kxang(x, y, c)), MPFR(mpfr_atan2(c, y, x, MPFR_RNDN)),
     ARB(arb_atan2(c, y, x, bench_bits))},
    {"coshsinh(1.23)", x12, {}, KX(kxcoshsinh(x, c, d)), MPFR(mpfr_sinh_cosh(d, c, x, MPFR_RNDN)),
     ARB(arb_sinh_cosh(d, c, x, bench_bits))},
    {"asinh(1.23)", x12, {}, KX(kxasinh(x, c)), MPFR(mpfr_asinh(c, x, MPFR_RNDN)),
     ARB(arb_asinh(c, x, bench_bits))},
    {"agmr(1.23,9.88)", x12, x99, KX(kxagmr(x, y, c)), MPFR(mpfr_agm(c, x, y, MPFR_RNDN)),
     ARB(arb_agm(c, x, y, bench_bits))},
    {"power(1.23,9.88)", x12, x99, KX(kxpower(x, y, c)), MPFR(mpfr_pow(c, x, y, MPFR_RNDN)),
     ARB(arb_pow(c, x, y, bench_bits))},

    {"gammar(6.23)", x62, {}, KX(kxgammar(x, c)), MPFR(mpfr_gamma(c, x, MPFR_RNDN)),
     ARB(arb_gamma(c, x, bench_bits))},
    {"gammar(61.7)", x62b, {}, KX(kxgammar(x, c)), MPFR(mpfr_gamma(c, x, MPFR_RNDN)),
     ARB(arb_gamma(c, x, bench_bits))},
    {"zetar(1.23)", x12, {}, KX(kxzetar(x, c)), MPFR(mpfr_zeta(c, x, MPFR_RNDN)),
     ARB(arb_zeta(c, x, bench_bits))},
    {"zetar(12.3)", x12b, {}, KX(kxzetar(x, c)), MPFR(mpfr_zeta(c, x, MPFR_RNDN)),
     ARB(arb_zeta(c, x, bench_bits))},
    {"zetaintr(5)", {}, {}, KX(kxzetaintr(5, c)), MPFR(mpfr_zeta_ui(c, 5, MPFR_RNDN)),
     ARB(arb_zeta_ui(c, 5, bench_bits))},
    {"zetaintr(13)", {}, {}, KX(kxzetaintr(13, c)), MPFR(mpfr_zeta_ui(c, 13, MPFR_RNDN)),
     ARB(arb_zeta_ui(c, 13, bench_bits))},
    {"incgammar(1.23,9.88)", x12, x99, KX(kxincgammar(x, y, c)), MPFR(mpfr_gamma_inc(c, x, y, MPFR_RNDN)),
     ARB(arb_hypgeom_gamma_upper(c, x, y, 0, bench_bits))},
    {"incgammar(1.23,0.617)", x12, x06, KX(kxincgammar(x, y, c)), MPFR(mpfr_gamma_inc(c, x, y, MPFR_RNDN)),
     ARB(arb_hypgeom_gamma_upper(c, x, y, 0, bench_bits))},
    {"erfr(1.23)", x12, {}, KX(kxerfr(x, c)), MPFR(mpfr_erf(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_erf(c, x, bench_bits))},
    {"erfcr(1.23)", x12, {}, KX(kxerfcr(x, c)), MPFR(mpfr_erfc(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_erfc(c, x, bench_bits))},
    {"erfcr(9.88)", x99, {}, KX(kxerfcr(x, c)), MPFR(mpfr_erfc(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_erfc(c, x, bench_bits))},
    {"expint(1.23)", x12, {}, KX(kxexpint(x, c)), MPFR(mpfr_eint(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_ei(c, x, bench_bits))},
    {"expint(9.88)", x99, {}, KX(kxexpint(x, c)), MPFR(mpfr_eint(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_ei(c, x, bench_bits))},
    // The Bessel rows' y is the order, 0 (Arb takes it as a ball).
    {"besseljnr(0,1.23)", x12, {}, KX(kxbesseljnr(0, x, c)), MPFR(mpfr_j0(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_bessel_j(c, y, x, bench_bits))},
    {"besseljnr(0,9.88)", x99, {}, KX(kxbesseljnr(0, x, c)), MPFR(mpfr_j0(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_bessel_j(c, y, x, bench_bits))},
    {"besselynr(0,1.23)", x12, {}, KX(kxbesselynr(0, x, c)), MPFR(mpfr_y0(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_bessel_y(c, y, x, bench_bits))},
    {"besselynr(0,9.88)", x99, {}, KX(kxbesselynr(0, x, c)), MPFR(mpfr_y0(c, x, MPFR_RNDN)),
     ARB(arb_hypgeom_bessel_y(c, y, x, bench_bits))},
    {"besselknr(0,1.23)", x12, {}, KX(kxbesselknr(0, x, c)), NONE, ARB(arb_hypgeom_bessel_k(c, y, x, bench_bits))},
    {"besselknr(0,9.88)", x99, {}, KX(kxbesselknr(0, x, c)), NONE, ARB(arb_hypgeom_bessel_k(c, y, x, bench_bits))},
    // Here the order is x and the argument y.
    {"besselir(1.23,9.88)", x12, x99, KX(kxbesselir(x, y, c)), NONE,
     ARB(arb_hypgeom_bessel_i(c, x, y, bench_bits))},
    {"polylogpos(2,0.617)", x06, {}, KX(kxpolylogpos(2, x, c)), MPFR(mpfr_li2(c, x, MPFR_RNDN)),
     ARB(arb_li2(c, x))},
    {"hypergeompfq(1F1,1.23)", x12, {}, KX(kxhypergeompfq(1, 1, pfq_a, pfq_b, x, c)), NONE,
     ARB(arb_pfq(c, 1, x))},
    {"hypergeompfq(2F1,0.617)", x06, {}, KX(kxhypergeompfq(2, 1, pfq_a, pfq_b, x, c)), NONE,
     ARB(arb_pfq(c, 2, x))},
};

void time_kx(benchmark::State& state, const row& r) {
  kxreal x = r.x, y = r.y, c, d;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    r.kx(x, y, c, d);
    benchmark::DoNotOptimize(c);
    benchmark::DoNotOptimize(d);
  }
}

void time_mpfr(benchmark::State& state, const row& r) {
  mp x(r.x), y(r.y), c, d;
  for (auto _ : state) {
    r.mpfr(c.v, d.v, x.v, y.v);
    benchmark::DoNotOptimize(c.v);
    benchmark::DoNotOptimize(d.v);
  }
}

#ifdef KX_BENCH_ARB
void time_arb(benchmark::State& state, const row& r) {
  ab x(r.x), y(r.y), c, d;
  for (auto _ : state) {
    r.arb(c.v, d.v, x.v, y.v);
    benchmark::DoNotOptimize(c.v);
    benchmark::DoNotOptimize(d.v);
  }
}
#endif

// |u - v| / |v|, with u the MPFR value nearest a kx result.
double relative_difference(const kxreal& u, mpfr_srcptr v) {
  mp d(u);
  mpfr_sub(d.v, d.v, v, MPFR_RNDN);
  if (mpfr_zero_p(v)) return mpfr_get_d(d.v, MPFR_RNDN);
  mpfr_div(d.v, d.v, v, MPFR_RNDN);
  return mpfr_get_d(d.v, MPFR_RNDA);
}

// The relative radius of an Arb ball.
#ifdef KX_BENCH_ARB
double relative_radius(const arb_t b) {
  return mag_get_d(arb_radref(b)) / std::fabs(arf_get_d(arb_midref(b), ARF_RND_NEAR));
}
#endif

// Each row once before the timing: kx's results must agree with MPFR's to
// 2^-200, and with Arb's balls to 2^-200 beyond their radius, or the row
// does not time the same function on the same operands. Arb's balls at 226
// bits can be much wider than 2^-226 (K_0(9.88): 2^-191). Returns whether
// all agree.
bool rows_agree() {
  bool agree = true;
  const auto report = [&](const row& r, const char* other, const kxreal& u, mpfr_srcptr v, double radius) {
    const double e = relative_difference(u, v);
    if (!(std::fabs(e) <= 0x1p-200 + radius)) {
      std::fprintf(stderr, "kx%s differs from %s by %g relative\n", r.name.c_str(), other, e);
      agree = false;
    }
  };
  for (const row& r : rows) {
    kxreal c, d;
    r.kx(r.x, r.y, c, d);
    const mp x(r.x), y(r.y);
    if (r.mpfr) {
      mp mc, md;
      r.mpfr(mc.v, md.v, x.v, y.v);
      report(r, "MPFR", c, mc.v, 0);
      if (d.hi != 0) report(r, "MPFR", d, md.v, 0);
    }
#ifdef KX_BENCH_ARB
    if (r.arb) {
      const ab bx(r.x), by(r.y);
      ab ac, ad;
      r.arb(ac.v, ad.v, bx.v, by.v);
      mp mc, md;
      arf_get_mpfr(mc.v, arb_midref(ac.v), MPFR_RNDN);
      arf_get_mpfr(md.v, arb_midref(ad.v), MPFR_RNDN);
      report(r, "Arb", c, mc.v, relative_radius(ac.v));
      if (d.hi != 0) report(r, "Arb", d, md.v, relative_radius(ad.v));
    }
#endif
  }
  return agree;
}

// kx, MPFR and Arb of one row side by side in the console table.
void register_rows() {
  for (const row& r : rows) {
    benchmark::RegisterBenchmark(("kx" + r.name).c_str(), time_kx, r);
    if (r.mpfr) benchmark::RegisterBenchmark(("mpfr_" + r.name).c_str(), time_mpfr, r);
#ifdef KX_BENCH_ARB
    if (r.arb) benchmark::RegisterBenchmark(("arb_" + r.name).c_str(), time_arb, r);
#endif
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!rows_agree()) return 1;
  register_rows();
  return kx::run_benchmarks(argc, argv);
}
