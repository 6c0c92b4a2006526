// What the benchmarks that set kx beside MPFR and Arb share: the operands'
// conversion to 226-bit MPFR numbers and Arb balls, and a reporter that
// ends the run with each kx routine's time and its ratio to the others.
#pragma once

#include <benchmark/benchmark.h>

#define MPFR_WANT_FLOAT128 1
#include <mpfr.h>
#include <quadmath.h>

#ifdef KX_BENCH_ARB
#include <arb.h>
#endif

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <kx/core/core.h>

namespace kx {

// The working precision of MPFR and Arb beside kx's 226 bits.
constexpr mpfr_prec_t bench_bits = 226;

// The MPFR number nearest hi + lo at 226 bits.
struct mp {
  mpfr_t v;
  explicit mp(const kxreal& x) {
    mpfr_init2(v, bench_bits);
    mpfr_t lo;
    mpfr_init2(lo, 113);
    mpfr_set_float128(v, x.hi, MPFR_RNDN);
    mpfr_set_float128(lo, x.lo, MPFR_RNDN);
    mpfr_add(v, v, lo, MPFR_RNDN);
    mpfr_clear(lo);
  }
  mp() { mpfr_init2(v, bench_bits); }
  ~mp() { mpfr_clear(v); }
  mp(const mp&) = delete;
  mp& operator=(const mp&) = delete;
};

#ifdef KX_BENCH_ARB
// The exact ball of mp(x).
struct ab {
  arb_t v;
  explicit ab(const kxreal& x) : ab() {
    const mp m(x);
    arf_t f;
    arf_init(f);
    arf_set_mpfr(f, m.v);
    arb_set_arf(v, f);
    arf_clear(f);
  }
  ab() { arb_init(v); }
  ~ab() { arb_clear(v); }
  ab(const ab&) = delete;
  ab& operator=(const ab&) = delete;
};
#endif

// The console table, then kx against the others: CPU ns per call of each
// routine (the median of the repetitions when there are several). A kx
// benchmark "kxNAME" is compared with "mpfr_NAME" and "arb_NAME".
class summary_reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const bool aggregate = r.run_type == Run::RT_Aggregate;
      if (aggregate && r.aggregate_name != "median") continue;
      // A single run's time stands until a median replaces it.
      std::string name = r.run_name.function_name;
      if (!r.run_name.args.empty()) name += "/" + r.run_name.args;
      if (aggregate || !medians_.count(name)) ns_[name] = r.GetAdjustedCPUTime();
      if (aggregate) medians_[name] = true;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-26s %10s %10s %8s %10s %8s\n", "routine", "kx ns", "MPFR ns", "kx/MPFR", "Arb ns",
                "kx/Arb");
    for (const auto& [name, t] : ns_) {
      if (name.rfind("kx", 0) != 0) continue;
      const std::string rest = name.substr(2);
      std::printf("%-26s %10.1f", name.c_str(), t);
      for (const char* other : {"mpfr_", "arb_"}) {
        const auto it = ns_.find(other + rest);
        if (it == ns_.end()) {
          std::printf(" %10s %8s", "-", "-");
        } else {
          std::printf(" %10.1f %8.2f", it->second, t / it->second);
        }
      }
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, double> ns_;
  std::map<std::string, bool> medians_;
};

// Runs the registered benchmarks with the summary at the end; main's result.
inline int run_benchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  summary_reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace kx
