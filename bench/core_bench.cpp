// Throughput of the core routines on fixed operands of full 226-bit length.
#include <benchmark/benchmark.h>

#include <kx/core/core.h>

namespace {

const kxreal a = {1.2345678901234567890123456789012345Q, 3.21e-35Q};
const kxreal b = {9.8765432109876543210987654321098765Q, -1.23e-34Q};

template <void (*routine)(const kxreal&, const kxreal&, kxreal&)>
void pair_operation(benchmark::State& state) {
  kxreal x = a, y = b, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    routine(x, y, c);
    benchmark::DoNotOptimize(c);
  }
}

void sqrt_operation(benchmark::State& state) {
  kxreal x = a, c;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxsqrt(x, c);
    benchmark::DoNotOptimize(c);
  }
}

void nth_root(benchmark::State& state) {
  kxreal x = a, c;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxnrt(x, n, c);
    benchmark::DoNotOptimize(c);
  }
}

void integer_power(benchmark::State& state) {
  kxreal x = a, c;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    kxnpwr(x, n, c);
    benchmark::DoNotOptimize(c);
  }
}

BENCHMARK(pair_operation<kxadd>)->Name("kxadd");
BENCHMARK(pair_operation<kxsub>)->Name("kxsub");
BENCHMARK(pair_operation<kxmul>)->Name("kxmul");
BENCHMARK(pair_operation<kxdiv>)->Name("kxdiv");
BENCHMARK(sqrt_operation)->Name("kxsqrt");
BENCHMARK(nth_root)->Name("kxnrt")->Arg(3)->Arg(4)->Arg(16);
BENCHMARK(integer_power)->Name("kxnpwr")->Arg(3)->Arg(16)->Arg(-16);

}  // namespace
