// pFq(a; b; x) by its series, numerator and denominator products apart,
// each carried with a binary exponent of its own, with the parameter and argument checks that keep the
// series from dividing by zero or running to its budget on a divergent sum.
#include <quadmath.h>

#include <algorithm>
#include <span>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

constexpr int parameter_limit = 10;
// A running product is brought back to [1, 2) when it leaves
// [2^-4096, 2^4096], a check made after every factor: one factor (within
// 2^+-12000) then cannot carry it or its low word out of the normal range,
// where scaling by a power of two would no longer be exact.
constexpr __float128 product_ceiling = 0x1p4096Q;
constexpr __float128 product_floor = 0x1p-4096Q;
// Beyond this the term's scale passes the range whatever its words.
constexpr long long exponent_clamp = 40000;

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

// A running product value * 2^exponent: the numerator or the denominator of
// the terms, which pass the range of binary128 in slow series (3F2 at 0.9
// after some hundreds of terms) or fall below it with tiny parameters.
struct scaled_product {
  kxreal value{1};
  long long exponent = 0;

  // value = value * f (a kxreal or a binary128 factor), then an exact
  // rescaling: value * 2^exponent is the unscaled product's words times a
  // power of two, whatever its size.
  void multiply(const kxreal& f) {
    kxmul(value, f, value);
    rescale();
  }
  void multiply(__float128 f) {
    kxmuld(value, f, value);
    rescale();
  }

  void rescale() {
    const __float128 m = fabsq(value.hi);
    if (m == 0 || !finiteq(m) || (m <= product_ceiling && m >= product_floor)) return;
    const int e = ilogbq(m);
    value = kx::scaled_by_power_of_two(value, -e);
    exponent += e;
  }
};

// product = product * (t + p(j)) for each parameter in order.
void multiply_factors(scaled_product& product, const kxreal& t, std::span<const kxreal> p) {
  for (const kxreal& v : p) {
    kxreal factor;
    kxadd(t, v, factor);
    product.multiply(factor);
  }
}

// N/D: the quotient of the values, scaled by 2^(eN - eD) exactly while it
// stays in the normal range; so its words are those of the unscaled quotient.
kxreal quotient(const scaled_product& n, const scaled_product& d) {
  kxreal q;
  kxdiv(n.value, d.value, q);
  const long long e = std::clamp(n.exponent - d.exponent, -exponent_clamp, exponent_clamp);
  return kx::scaled_by_power_of_two(q, static_cast<int>(e));
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
  scaled_product num;
  scaled_product den;
  for (int i = 1;; ++i) {
    const kxreal t{i - 1};
    multiply_factors(num, t, a);
    multiply_factors(den, t, b);
    num.multiply(x);
    den.multiply(static_cast<__float128>(i));
    const kxreal term = quotient(num, den);
    if (!finiteq(term.hi)) kx::fatal("('*** KXHYPERGEOMPFQ: Term is not finite at I =',i10)", i);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) break;
    if (i >= kx::hypergeometric_term_limit) kx::fatal("('*** KXHYPERGEOMPFQ: Loop end error',i10)", kx::hypergeometric_term_limit);
  }
  f = sum;
}
