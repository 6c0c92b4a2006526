// The relation search on arbitrary vectors: n from 3 to 30, entries from
// 10^-300 to 10^300 of either sign, some zero, repeated or planted as an
// integer combination of earlier ones, and a norm bound small enough that
// the search ends within a few checkpoints. A relation the search reports
// must hold in MPFR: |sum r_i x_i| <= eps max|r_i| |x|, the test the search
// applies to y = x b / |x|, with room for the rounding of its updates.
#include <cstdio>
#include <vector>

#include <mpfr_oracle.h>

#include "fuzz_bytes.h"

namespace {

// Rounding room beside eps, per entry: 2^26 units of 2^-226 of max|r| |x|.
constexpr long rounding_room_exponent = -200;

kxreal power_of_ten(int e) {
  kxreal p;
  kxnpwr(kxreal{10}, e, p);
  return p;
}

std::vector<kxreal> input_vector(kx::fuzz_bytes& in, int n) {
  std::vector<kxreal> x(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const int kind = in.byte() % 8;
    if (kind == 0 && i > 0) {  // an integer combination of earlier entries
      for (int j = 0; j < i; ++j) x[i] = x[i] + static_cast<__float128>(in.integer(-4, 4)) * x[j];
    } else if (kind == 1 && i > 0) {
      x[i] = x[in.integer(0, i - 1)];
    } else if (kind == 2) {
      x[i] = kxreal{};
    } else {
      const int decades = kind == 3 ? 300 : 4;
      const kxreal m = in.normalised(0);
      x[i] = m * power_of_ten(in.integer(-decades, decades));
    }
  }
  return x;
}

bool is_integer(__float128 q) { return finiteq(q) && truncq(q) == q; }

[[noreturn]] void report(const char* what, std::span<const kxreal> x, std::span<const kxreal> r) {
  std::fprintf(stderr, "relation check failed: %s\n", what);
  for (std::size_t i = 0; i < x.size(); ++i) {
    char b[4][64];
    quadmath_snprintf(b[0], 64, "%Qa", x[i].hi);
    quadmath_snprintf(b[1], 64, "%Qa", x[i].lo);
    quadmath_snprintf(b[2], 64, "%Qa", r[i].hi);
    quadmath_snprintf(b[3], 64, "%Qa", r[i].lo);
    std::fprintf(stderr, "x(%zu) = (%s, %s)  r = (%s, %s)\n", i + 1, b[0], b[1], b[2], b[3]);
  }
  __builtin_trap();
}

void check_relation(const kxreal& eps, std::span<const kxreal> x, std::span<const kxreal> r) {
  bool all_zero = true;
  for (const kxreal& ri : r) {
    if (!is_integer(ri.hi) || !is_integer(ri.lo)) report("an entry is not an integer", x, r);
    all_zero = all_zero && ri.hi == 0;
  }
  if (all_zero) report("the relation is zero", x, r);

  oracle::big sum, norm, rmax, term;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const oracle::big xi(x[i]), ri(r[i]);
    mpfr_mul(term.get(), ri.get(), xi.get(), MPFR_RNDN);
    mpfr_add(sum.get(), sum.get(), term.get(), MPFR_RNDN);
    mpfr_sqr(term.get(), xi.get(), MPFR_RNDN);
    mpfr_add(norm.get(), norm.get(), term.get(), MPFR_RNDN);
    mpfr_abs(term.get(), ri.get(), MPFR_RNDN);
    mpfr_max(rmax.get(), rmax.get(), term.get(), MPFR_RNDN);
  }
  mpfr_sqrt(norm.get(), norm.get(), MPFR_RNDN);
  // bound = (eps + n 2^-200) max|r| |x|
  oracle::big bound(eps);
  mpfr_set_ui_2exp(term.get(), static_cast<unsigned long>(x.size()), rounding_room_exponent, MPFR_RNDN);
  mpfr_add(bound.get(), bound.get(), term.get(), MPFR_RNDN);
  mpfr_mul(bound.get(), bound.get(), rmax.get(), MPFR_RNDN);
  mpfr_mul(bound.get(), bound.get(), norm.get(), MPFR_RNDN);
  mpfr_abs(sum.get(), sum.get(), MPFR_RNDN);
  if (mpfr_cmp(sum.get(), bound.get()) > 0) report("|sum r_i x_i| exceeds the tolerance", x, r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kx::fuzz_bytes in(data, size);
  // n = 2 is left out: there the search can exchange the same pair for
  // ever, the norm bound unchanged, until its limit of 100100 iterations
  // (2 s uninstrumented, past the timeout under the sanitizers).
  const int n = in.integer(3, 30);
  const double rb = in.integer(1, 8);
  const kxreal eps = power_of_ten(-in.integer(20, 55));
  const std::vector<kxreal> x = input_vector(in, n);
  std::vector<kxreal> r(static_cast<std::size_t>(n));
  int found = 0;
  kx::run_or_stop([&] { zezuv1(0, n, rb, eps, x, found, r); });
  if (found == 1) check_relation(eps, x, r);
  return 0;
}
