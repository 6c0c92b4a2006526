// pFq(a; b; x) by its series, numerator and denominator products apart and
// rescaled together, with the parameter and argument checks that keep the
// series from dividing by zero or running to its budget on a divergent sum.
#include <quadmath.h>

#include <span>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

constexpr int parameter_limit = 10;
constexpr int term_limit = 1000000;
// The products are rescaled when the larger leaves [2^-4096, 2^4096], a
// check made after every factor: far enough inside the range that one factor
// (below 2^12000) cannot carry a product or its low word out of the normal
// range, where scaling would no longer be exact.
constexpr __float128 product_ceiling = 0x1p4096Q;
constexpr __float128 product_floor = 0x1p-4096Q;

// v = 0, -1, -2, ...: both words integers (the sum of a normalised pair is
// an integer only then) and the high word not positive.
bool nonpositive_integer(const kxreal& v) {
  return v.hi <= 0 && truncq(v.hi) == v.hi && truncq(v.lo) == v.lo;
}

// The largest a(j) that is 0, -1, -2, ...: the series' last nonzero term is
// i = -a(j). Null when no parameter ends it.
const kxreal* ending_parameter(std::span<const kxreal> a) {
  const kxreal* last = nullptr;
  for (const kxreal& v : a) {
    if (!nonpositive_integer(v)) continue;
    int ic = 0;
    if (last != nullptr) kxcpr(v, *last, ic);
    if (last == nullptr || ic > 0) last = &v;
  }
  return last;
}

// The factor (b(j) + i - 1) first vanishes at i = 1 - b(j); the numerator's
// at i = 1 - a(j), after which every term is zero and the series ends. A
// zero denominator is reached unless the numerator's zero comes first.
void check_denominators(std::span<const kxreal> b, const kxreal* ending) {
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (!nonpositive_integer(b[j])) continue;
    int ic = 0;
    if (ending != nullptr) kxcpr(*ending, b[j], ic);
    if (ending == nullptr || ic <= 0) {
      kx::fatal("('*** KXHYPERGEOMPFQ: B(J) is zero or a negative integer for J =',i4)", static_cast<int>(j + 1));
    }
  }
}

// With np = nq + 1 the terms behave like i^(sum(a) - sum(b) - 1) x^i: the
// series diverges for |x| > 1, at x = 1 unless sum(b) - sum(a) > 0, at
// x = -1 unless it is > -1.
void check_convergence(std::span<const kxreal> a, std::span<const kxreal> b, const kxreal& x) {
  kxreal ax;
  kxabs(x, ax);
  int ic = 0;
  kxcpr(ax, kxreal{1}, ic);
  if (ic < 0) return;
  kxreal margin;
  for (const kxreal& v : b) kxadd(margin, v, margin);
  for (const kxreal& v : a) kxsub(margin, v, margin);
  const __float128 least = x.hi > 0 ? 0 : -1;
  if (ic > 0 || margin.hi <= least) kx::fatal("('*** KXHYPERGEOMPFQ: The series diverges at this X (NP = NQ + 1).')");
}

// Scales n and d by one exact power of two when the larger of them leaves
// [2^-4096, 2^4096], bringing it into [1, 2): n/d keeps its words.
void keep_in_range(kxreal& n, kxreal& d) {
  const __float128 larger = fmaxq(fabsq(n.hi), fabsq(d.hi));
  if (larger == 0 || !finiteq(larger)) return;
  if (larger <= product_ceiling && larger >= product_floor) return;
  const int e = -ilogbq(larger);
  n = kx::scaled_by_power_of_two(n, e);
  d = kx::scaled_by_power_of_two(d, e);
}

// product = product * (t + p(j)) for each parameter in order, the pair
// (product, other) kept in range after every factor.
void multiply_factors(kxreal& product, kxreal& other, const kxreal& t, std::span<const kxreal> p) {
  for (const kxreal& v : p) {
    kxreal factor;
    kxadd(t, v, factor);
    kxmul(product, factor, product);
    keep_in_range(product, other);
  }
}

}  // namespace

void kxhypergeompfq(int np, int nq, std::span<const kxreal> a, std::span<const kxreal> b, const kxreal& x,
                    kxreal& f) {
  if (np < 1 || np > parameter_limit || nq < 1 || nq > parameter_limit) {
    kx::fatal("('*** KXHYPERGEOMPFQ: NP and NQ must be between 1 and',i4)", parameter_limit);
  }
  if (a.size() < static_cast<std::size_t>(np) || b.size() < static_cast<std::size_t>(nq)) {
    kx::fatal("('*** KXHYPERGEOMPFQ: A and B must hold at least NP and NQ entries:',2i4)", np, nq);
  }
  a = a.first(np);
  b = b.first(nq);
  const kxreal* ending = ending_parameter(a);
  check_denominators(b, ending);
  if (np == nq + 1 && ending == nullptr) check_convergence(a, b, x);

  kxreal sum{1};
  kxreal num{1};
  kxreal den{1};
  for (int i = 1;; ++i) {
    const kxreal t{i - 1};
    multiply_factors(num, den, t, a);
    multiply_factors(den, num, t, b);
    kxmul(num, x, num);
    keep_in_range(num, den);
    kxmuld(den, i, den);
    keep_in_range(num, den);
    kxreal term;
    kxdiv(num, den, term);
    if (!finiteq(term.hi)) kx::fatal("('*** KXHYPERGEOMPFQ: Term is not finite at I =',i10)", i);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) break;
    if (i >= term_limit) kx::fatal("('*** KXHYPERGEOMPFQ: Loop end error',i10)", term_limit);
  }
  f = sum;
}
