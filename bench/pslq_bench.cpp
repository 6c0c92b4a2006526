// Time of the relation search on the test program's input (the 17 powers of
// 3^(1/4) - 2^(1/4)), silent, and of one index sort of 16 weights.
#include <benchmark/benchmark.h>

#include <vector>

#include <kx/kx.h>
#include <kx/pslq/utilities.h>

#include "test_run.h"

namespace {

using test_run::test_vector;

void whole_search(benchmark::State& state) {
  const std::vector<kxreal> x = test_vector();
  const kxreal eps = pow(kxreal{10}, -67);
  std::vector<kxreal> r(x.size());
  int found = 0;
  for (auto _ : state) {
    zezuv1(0, 17, 20.0, eps, x, found, r);
    benchmark::DoNotOptimize(r.data());
  }
  if (found != 1) state.SkipWithError("no relation found");
}

void index_sort(benchmark::State& state) {
  const std::vector<kxreal> x = test_vector();
  std::vector<kxreal> keys(x.rbegin(), x.rend() - 1);
  std::vector<int> ip(keys.size());
  for (auto _ : state) {
    kx::sortindex(static_cast<int>(keys.size()), keys, ip);
    benchmark::DoNotOptimize(ip.data());
  }
}

}  // namespace

BENCHMARK(whole_search)->Unit(benchmark::kMillisecond);
BENCHMARK(index_sort);
