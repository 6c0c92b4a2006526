// Accuracy of the core arithmetic against MPFR at 600 bits, over 10^5
// random normalised operands per routine with decimal exponents in
// -1000..1000 and low words of both signs. Errors are in units of 2^-226,
// relative to |a| + |b| for sums and to the exact result otherwise.
//
// The asserted bounds are first-order worst cases, with u = 2^-113 the unit
// roundoff (u^2 is one unit) and every rounding costing at most u times the
// magnitude it rounds:
// - kxadd/kxsub: the high words are summed exactly; the error term, at most
//   u (|a| + |b|), takes the two low words in two roundings of at most
//   2 u^2 (|a| + |b|) each: 4 units.
// - kxmul: the cross terms a.hi b.lo + b.hi a.lo (two products and a sum,
//   at most 2u |ab|) cost 4 units, adding them to the exact product c11 + c21
//   one rounding of at most 2 units, and the last term a.lo b.lo another 2:
//   8 units. kxmuld has one cross term and no last term: 4 units.
// - kxdiv: s1 b.lo (1), adding it to the product (2), the remainder's low
//   word and a.lo (2), the rounded remainder (1), dividing by b.hi instead
//   of b (1) and the division (1): 8 units. kxdivd: the product is exact,
//   so 4 roundings and the last quick two-sum: 5 units.
// - kxsqrt: with t1 = (1 + tau)/sqrt(a.hi), |tau| <= 2u, and t2 = a.hi t1 =
//   (1 + tau + e3) sqrt(a.hi), the Newton step leaves eta tau/2 - 1.5 tau^2 -
//   2 e3 tau - e3^2/2 (at most 11.5 units), the remainder's two roundings
//   add 4 and the correction's two 3.5: 19 units.
// - kxnrt: at the fixed point of the iteration the relative error of the
//   reciprocal root is (pi + sigma)/n plus the last kxadd (4), with pi the
//   error of a b^n (8 (n + log2 n) + 8) and sigma that of 1 - a b^n (8);
//   largest at n = 3 (22 units), plus the final reciprocal (8): 30 units.
// - kxnpwr: a squaring doubles the relative error it inherits, so r^(2^k)
//   carries (2^k - 1) multiplication errors; all together at most
//   8 (|n| - 1 + bits of |n|) units, plus 8 for the reciprocal when n < 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "mpfr_oracle.h"

namespace {

using oracle::big;
using oracle::hex;

constexpr int samples = 100000;

// Tracks the largest error seen and the operands that produced it.
struct worst_case {
  const char* name;
  double bound;
  double largest = 0;
  std::string operands = {};

  void see(double err, const std::string& ops) {
    if (err > largest) {
      largest = err;
      operands = ops;
    }
  }

  void report_and_check() const {
    std::printf("[ accuracy ] %-7s largest error %.3f units of 2^-226 (bound %.1f)\n", name, largest, bound);
    EXPECT_LE(largest, bound) << name << " at " << operands;
  }
};

// The second operand of a sum: independent, near a's exponent, or almost -a
// (deep cancellation), in turn.
kxreal addend_for(const kxreal& a, oracle::operands& gen, int i) {
  const int ea = ilogbq(a.hi);
  switch (i % 3) {
    case 0:
      return gen.pair();
    case 1:
      return gen.pair_with_exponent(ea + gen.uniform(-120, 120));
    default: {
      kxreal b = gen.pair_with_exponent(ea - 113 - gen.uniform(0, 113));
      kxreal c;
      kxsub(b, a, c);
      return c;
    }
  }
}

using pair_routine = void (*)(const kxreal&, const kxreal&, kxreal&);
using mpfr_routine = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

void check_sum(const char* name, pair_routine routine, mpfr_routine exact_op, double bound, std::uint64_t seed) {
  oracle::operands gen(seed);
  worst_case worst{name, bound};
  for (int i = 0; i < samples; ++i) {
    const kxreal a = gen.pair();
    const kxreal b = addend_for(a, gen, i);
    kxreal c;
    routine(a, b, c);
    const big ba(a), bb(b);
    big exact, scale, abs_b;
    exact_op(exact.get(), ba.get(), bb.get(), MPFR_RNDN);
    mpfr_abs(scale.get(), ba.get(), MPFR_RNDN);
    mpfr_abs(abs_b.get(), bb.get(), MPFR_RNDN);
    mpfr_add(scale.get(), scale.get(), abs_b.get(), MPFR_RNDN);
    worst.see(oracle::error_units(big(c), exact, scale), hex(a) + " " + hex(b));
  }
  worst.report_and_check();
}

// A product or quotient, with the second operand a pair or (for the
// routines with a binary128 operand) a single word.
template <typename Second>
void check_product(const char* name, void (*routine)(const kxreal&, Second, kxreal&), mpfr_routine exact_op,
                   double bound, std::uint64_t seed) {
  oracle::operands gen(seed);
  worst_case worst{name, bound};
  for (int i = 0; i < samples; ++i) {
    const kxreal a = gen.pair();
    const kxreal second = gen.pair();
    kxreal c;
    if constexpr (std::is_same_v<Second, __float128>) {
      routine(a, second.hi, c);
    } else {
      routine(a, second, c);
    }
    const bool single_word = std::is_same_v<Second, __float128>;
    const big ba(a);
    const big bb = single_word ? big(second.hi) : big(second);
    big exact;
    exact_op(exact.get(), ba.get(), bb.get(), MPFR_RNDN);
    worst.see(oracle::error_units(c, exact), hex(a) + " " + (single_word ? hex(second.hi) : hex(second)));
  }
  worst.report_and_check();
}

TEST(Accuracy, AddAgainstMpfr) { check_sum("kxadd", kxadd, mpfr_add, 4, 1); }
TEST(Accuracy, SubAgainstMpfr) { check_sum("kxsub", kxsub, mpfr_sub, 4, 2); }
TEST(Accuracy, MulAgainstMpfr) { check_product("kxmul", kxmul, mpfr_mul, 8, 3); }
TEST(Accuracy, DivAgainstMpfr) { check_product("kxdiv", kxdiv, mpfr_div, 8, 4); }
TEST(Accuracy, MuldAgainstMpfr) { check_product("kxmuld", kxmuld, mpfr_mul, 4, 5); }
TEST(Accuracy, DivdAgainstMpfr) { check_product("kxdivd", kxdivd, mpfr_div, 5, 6); }

TEST(Accuracy, SqrtAgainstMpfr) {
  oracle::operands gen(7);
  worst_case worst{"kxsqrt", 19};
  for (int i = 0; i < samples; ++i) {
    const kxreal a = gen.positive_pair();
    kxreal b;
    kxsqrt(a, b);
    big exact(a);
    mpfr_sqrt(exact.get(), exact.get(), MPFR_RNDN);
    worst.see(oracle::error_units(b, exact), hex(a));
  }
  worst.report_and_check();
}

TEST(Accuracy, NthRootAgainstMpfr) {
  oracle::operands gen(8);
  worst_case worst{"kxnrt", 30};
  for (int i = 0; i < samples; ++i) {
    const kxreal a = gen.positive_pair();
    const int n = gen.uniform(1, 40);
    kxreal b;
    kxnrt(a, n, b);
    big exact(a);
    mpfr_rootn_ui(exact.get(), exact.get(), n, MPFR_RNDN);
    worst.see(oracle::error_units(b, exact), hex(a) + " n=" + std::to_string(n));
  }
  worst.report_and_check();
}

// The power's bound grows with |n|: the error is checked against it sample
// by sample, and the largest error per unit of |n| is reported too.
TEST(Accuracy, IntegerPowerAgainstMpfr) {
  oracle::operands gen(9);
  worst_case worst{"kxnpwr", 1};
  worst_case per_n{"kxnpwr/n", 16};
  double largest = 0;
  for (int i = 0; i < samples; ++i) {
    const int n = gen.uniform(-60, 60);
    const int m = std::abs(n);
    const int max_exponent = std::min(16000 / std::max(1, m) - 1, 3321);
    const kxreal a = gen.pair_with_exponent(gen.uniform(-max_exponent, max_exponent));
    kxreal b;
    kxnpwr(a, n, b);
    big exact(a);
    mpfr_pow_si(exact.get(), exact.get(), n, MPFR_RNDN);
    const double err = oracle::error_units(b, exact);
    const double bound = oracle::kxnpwr_bound(n);
    const std::string ops = hex(a) + " n=" + std::to_string(n);
    largest = std::max(largest, err);
    worst.see(bound == 0 ? (err == 0 ? 0 : 2) : err / bound, ops);
    per_n.see(err / std::max(1, m), ops);
  }
  std::printf("[ accuracy ] kxnpwr  largest error %.3f units of 2^-226 (|n| <= 60)\n", largest);
  std::printf("[ accuracy ] kxnpwr  largest error / its bound 8 (|n| - 1 + bits of |n| + [n < 0]): %.3f\n",
              worst.largest);
  EXPECT_LE(worst.largest, 1) << worst.operands;
  per_n.report_and_check();
}

}  // namespace
