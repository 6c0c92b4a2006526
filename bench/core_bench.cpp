// Time per call of the core routines, and of the exponential and the
// logarithm, beside MPFR (and Arb, when built with it) at 226 bits on the
// same operands, in one run. After the usual table a summary gives each kx
// routine's CPU time and its ratio to MPFR and Arb, from the medians when
// run with --benchmark_repetitions.
#include <kx/elementary/exp_log.h>

#include "bench_support.h"

namespace {

using kx::bench_bits;
using kx::mp;
#ifdef KX_BENCH_ARB
using kx::ab;
#endif

// Full-length operands; nint_operand has a fraction and 100 integer bits.
const kxreal a = {1.2345678901234567890123456789012345Q, 3.21e-35Q};
const kxreal b = {9.8765432109876543210987654321098765Q, -1.23e-34Q};
const kxreal nint_operand = {a.hi * 0x1p100Q, a.lo * 0x1p100Q};

// ---- kx -------------------------------------------------------------------

template <void (*routine)(const kxreal&, const kxreal&, kxreal&)>
void kx_pair(benchmark::State& state) {
  kxreal x = a, y = b, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    routine(x, y, c);
    benchmark::DoNotOptimize(c);
  }
}

void kx_sqrt(benchmark::State& state) {
  kxreal x = a, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxsqrt(x, c);
    benchmark::DoNotOptimize(c);
  }
}

template <void (*routine)(const kxreal&, kxreal&)>
void kx_unary(benchmark::State& state) {
  kxreal x = a, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    routine(x, c);
    benchmark::DoNotOptimize(c);
  }
}

void kx_nint(benchmark::State& state) {
  kxreal x = nint_operand, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxnint(x, c);
    benchmark::DoNotOptimize(c);
  }
}

void kx_nrt(benchmark::State& state) {
  kxreal x = a, c;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxnrt(x, n, c);
    benchmark::DoNotOptimize(c);
  }
}

void kx_npwr(benchmark::State& state) {
  kxreal x = a, c;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxnpwr(x, n, c);
    benchmark::DoNotOptimize(c);
  }
}

// kxdivd and kxmuld by a small integer (the argument), as the series divide
// and multiply their terms.
template <void (*routine)(const kxreal&, __float128, kxreal&)>
void kx_by_integer(benchmark::State& state) {
  kxreal x = a, c;
  __float128 k = static_cast<__float128>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(k);
    routine(x, k, c);
    benchmark::DoNotOptimize(c);
  }
}

// ---- MPFR -----------------------------------------------------------------

// A routine of an unsigned integer argument (division, multiplication, root).
template <int (*routine)(mpfr_ptr, mpfr_srcptr, unsigned long, mpfr_rnd_t)>
void mpfr_by_integer(benchmark::State& state) {
  mp x(a), c;
  const auto k = static_cast<unsigned long>(state.range(0));
  for (auto _ : state) {
    routine(c.v, x.v, k, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

template <int (*routine)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t)>
void mpfr_pair(benchmark::State& state) {
  mp x(a), y(b), c;
  for (auto _ : state) {
    routine(c.v, x.v, y.v, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

void mpfr_sqrt_op(benchmark::State& state) {
  mp x(a), c;
  for (auto _ : state) {
    mpfr_sqrt(c.v, x.v, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

template <int (*routine)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)>
void mpfr_unary(benchmark::State& state) {
  mp x(a), c;
  for (auto _ : state) {
    routine(c.v, x.v, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

void mpfr_nint(benchmark::State& state) {
  mp x(nint_operand), c;
  for (auto _ : state) {
    mpfr_rint(c.v, x.v, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

void mpfr_npwr(benchmark::State& state) {
  mp x(a), c;
  const long n = static_cast<long>(state.range(0));
  for (auto _ : state) {
    mpfr_pow_si(c.v, x.v, n, MPFR_RNDN);
    benchmark::DoNotOptimize(c.v);
  }
}

// ---- Arb ------------------------------------------------------------------

#ifdef KX_BENCH_ARB
template <void (*routine)(arb_t, const arb_t, const arb_t, slong)>
void arb_pair(benchmark::State& state) {
  ab x(a), y(b), c;
  for (auto _ : state) {
    routine(c.v, x.v, y.v, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}

void arb_sqrt_op(benchmark::State& state) {
  ab x(a), c;
  for (auto _ : state) {
    arb_sqrt(c.v, x.v, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}

template <void (*routine)(arb_t, const arb_t, slong)>
void arb_unary(benchmark::State& state) {
  ab x(a), c;
  for (auto _ : state) {
    routine(c.v, x.v, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}

// Arb has no nearest-integer rounding of a ball: floor stands in for it.
void arb_nint(benchmark::State& state) {
  ab x(nint_operand), c;
  for (auto _ : state) {
    arb_floor(c.v, x.v, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}

template <void (*routine)(arb_t, const arb_t, ulong, slong)>
void arb_by_integer(benchmark::State& state) {
  ab x(a), c;
  const auto k = static_cast<ulong>(state.range(0));
  for (auto _ : state) {
    routine(c.v, x.v, k, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}

void arb_npwr(benchmark::State& state) {
  ab x(a), c;
  const long n = static_cast<long>(state.range(0));
  for (auto _ : state) {
    arb_pow_ui(c.v, x.v, static_cast<ulong>(n < 0 ? -n : n), bench_bits);
    if (n < 0) arb_inv(c.v, c.v, bench_bits);
    benchmark::DoNotOptimize(c.v);
  }
}
#endif

}  // namespace

BENCHMARK(kx_pair<kxadd>)->Name("kxadd");
BENCHMARK(kx_pair<kxsub>)->Name("kxsub");
BENCHMARK(kx_pair<kxmul>)->Name("kxmul");
BENCHMARK(kx_pair<kxdiv>)->Name("kxdiv");
BENCHMARK(kx_sqrt)->Name("kxsqrt");
BENCHMARK(kx_nint)->Name("kxnint");
BENCHMARK(kx_unary<kxexp>)->Name("kxexp");
BENCHMARK(kx_unary<kxlog>)->Name("kxlog");
BENCHMARK(kx_npwr)->Name("kxnpwr")->Arg(3)->Arg(16)->Arg(-16);
BENCHMARK(kx_nrt)->Name("kxnrt")->Arg(3)->Arg(4)->Arg(16);
BENCHMARK(kx_by_integer<kxdivd>)->Name("kxdivd")->Arg(7)->Arg(123456789);
BENCHMARK(kx_by_integer<kxmuld>)->Name("kxmuld")->Arg(7)->Arg(123456789);

BENCHMARK(mpfr_pair<mpfr_add>)->Name("mpfr_add");
BENCHMARK(mpfr_pair<mpfr_sub>)->Name("mpfr_sub");
BENCHMARK(mpfr_pair<mpfr_mul>)->Name("mpfr_mul");
BENCHMARK(mpfr_pair<mpfr_div>)->Name("mpfr_div");
BENCHMARK(mpfr_sqrt_op)->Name("mpfr_sqrt");
BENCHMARK(mpfr_nint)->Name("mpfr_nint");
BENCHMARK(mpfr_unary<mpfr_exp>)->Name("mpfr_exp");
BENCHMARK(mpfr_unary<mpfr_log>)->Name("mpfr_log");
BENCHMARK(mpfr_npwr)->Name("mpfr_npwr")->Arg(3)->Arg(16)->Arg(-16);
BENCHMARK(mpfr_by_integer<mpfr_rootn_ui>)->Name("mpfr_nrt")->Arg(3)->Arg(4)->Arg(16);
BENCHMARK(mpfr_by_integer<mpfr_div_ui>)->Name("mpfr_divd")->Arg(7)->Arg(123456789);
BENCHMARK(mpfr_by_integer<mpfr_mul_ui>)->Name("mpfr_muld")->Arg(7)->Arg(123456789);

#ifdef KX_BENCH_ARB
BENCHMARK(arb_pair<arb_add>)->Name("arb_add");
BENCHMARK(arb_pair<arb_sub>)->Name("arb_sub");
BENCHMARK(arb_pair<arb_mul>)->Name("arb_mul");
BENCHMARK(arb_pair<arb_div>)->Name("arb_div");
BENCHMARK(arb_sqrt_op)->Name("arb_sqrt");
BENCHMARK(arb_nint)->Name("arb_nint");
BENCHMARK(arb_unary<arb_exp>)->Name("arb_exp");
BENCHMARK(arb_unary<arb_log>)->Name("arb_log");
BENCHMARK(arb_npwr)->Name("arb_npwr")->Arg(3)->Arg(16)->Arg(-16);
BENCHMARK(arb_by_integer<arb_root_ui>)->Name("arb_nrt")->Arg(3)->Arg(4)->Arg(16);
BENCHMARK(arb_by_integer<arb_div_ui>)->Name("arb_divd")->Arg(7)->Arg(123456789);
BENCHMARK(arb_by_integer<arb_mul_ui>)->Name("arb_muld")->Arg(7)->Arg(123456789);
#endif

int main(int argc, char** argv) { return kx::run_benchmarks(argc, argv); }
