// erf and erfc share one evaluation. Below 10 (and down to -13) the power
// series erf(x) = 2 e^(-x^2)/sqrt(pi) sum_k 2^k x^(2k+1)/(1 3 5 ... (2k+1)),
// whose terms all have the sign of x, with erfc = 1 - erf up to x = 1. From
// 10 up, and for erfc alone from 1 up, sqrt(pi) e^(x^2) erfc(x) by Laplace's
// continued fraction, with erf = 1 - erfc, so that erfc keeps its relative
// accuracy wherever 1 - erf would cancel.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/quad_from_integer.h>
#include <kx/core/quad_integer.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/error_function.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/support/fatal.h>

namespace {

// 226 log 2: erfc(x) < 2^-226 beyond sqrt of it, so erf = 1 there; the
// breakpoint is the next integer, 13.
constexpr __float128 bits_log_2 = 156.651262806547639928294459449547905Q;
// The series gives way to the continued fraction at the integer part, 10.
constexpr __float128 fraction_start = 10.2599999999999999999999999999999998Q;
// Above 1, 1 - erf would lose more than 3 bits (erfc(1) = 0.157): erfc
// comes from the continued fraction, which settles there in 3200 terms.
constexpr __float128 erfc_fraction_start = 1;
// The series' first "previous ratio", above any ratio t/S it can meet.
constexpr __float128 first_ratio = 1e10Q;

enum class routine { erf, erfc };

struct erf_values {
  kxreal erf;
  kxreal erfc;
};

[[noreturn]] void iteration_limit(routine r, int branch) {
  if (r == routine::erf) kx::fatal("('*** KXERFR: iteration limit exceeded',2i10)", branch, kx::erf_term_limit);
  kx::fatal("('*** KXERFCR: iteration limit exceeded',2i10)", branch, kx::erf_term_limit);
}

kxreal sqrt_pi() {
  kxreal s;
  kxpi(s);
  kxsqrt(s, s);
  return s;
}

// erf(x) for -13 <= x < 10 by the power series. The terms N/D grow until
// k is about x^2 and then fall; the sum stops when a term's share t/S is
// below 2^-226, or stops falling (the rounding floor).
kxreal erf_series(const kxreal& x, routine r) {
  kxreal eps;
  kxnpwr(kxreal{2}, -226, eps);
  kxreal x2;
  kxmul(x, x, x2);
  kxreal num = x;
  kxreal den{1};
  kxreal sum;
  kxreal previous{first_ratio};
  // 2 x^2, the same words at every term.
  kxreal factor;
  kxmuld(x2, 2, factor);
  for (int k = 0;;) {
    kxreal t;
    kxdiv(num, den, t);
    kxadd(sum, t, sum);
    kxreal ratio;
    kxdiv(t, sum, ratio);
    int ic = 0;
    kxcpr(ratio, eps, ic);
    if (ic <= 0) break;
    kxcpr(ratio, previous, ic);
    if (ic >= 0) break;
    previous = ratio;
    ++k;
    if (k > kx::erf_term_limit) iteration_limit(r, 1);
    kxmul(num, factor, num);
    kxmuld(den, kx::iq_from_integer(2 * k + 1), den);
  }
  kxreal e;
  kxexp(x2, e);
  kxmul(sqrt_pi(), e, e);
  kxmuld(sum, 2, sum);
  kxreal result;
  kxdiv(sum, e, result);
  return result;
}

// sqrt(pi) e^(x^2) erfc(x) = 1/(x + (1/2)/(x + 1/(x + (3/2)/(x + ...)))),
// for x > 1, summed as the differences of successive convergents:
// t_1 = rho_1 = 1/x and, with a_n = (n - 1)/2, m = a_n rho_(n-1),
// rho_n = 1/(x + m), t_n = -t_(n-1) m rho_n. The terms alternate and fall
// (|t_n/t_(n-1)| = 1 - x rho_n), so the sum is within |t_n| of the value;
// at x = 10 it settles to 2^-226 in under 100 terms, at x = 1 in 3200.
kxreal scaled_erfc(const kxreal& x, routine r) {
  kxreal rho;
  kxdiv(kxreal{1}, x, rho);
  kxreal term = rho;
  kxreal sum = rho;
  for (int n = 2;; ++n) {
    if (n > kx::erf_term_limit) iteration_limit(r, 2);
    kxreal m;
    kxmuld(rho, kx::iq_mul(kx::iq_from_integer(n - 1), 0.5Q), m);
    kxreal den;
    kxadd(x, m, den);
    kxdiv(kxreal{1}, den, rho);
    kxmul(term, m, term);
    kxmul(term, rho, term);
    kxneg(term, term);
    kxadd(sum, term, sum);
    if (kx::settled(term, sum)) return sum;
  }
}

erf_values error_functions(const kxreal& x, routine r) {
  const kxreal upper{truncq(sqrtq(bits_log_2) + 1)};
  const kxreal lower{truncq(fraction_start)};
  kxreal minus_upper;
  kxneg(upper, minus_upper);
  int vs_upper = 0;
  int vs_minus_upper = 0;
  int vs_lower = 0;
  kxcpr(x, upper, vs_upper);
  kxcpr(x, minus_upper, vs_minus_upper);
  kxcpr(x, lower, vs_lower);
  if (x.hi == 0) return {kxreal{}, kxreal{1}};
  // A NaN compares as no range: it is passed on rather than taken as large.
  if (isnanq(x.hi)) return {kxreal{nanq(""), nanq("")}, kxreal{nanq(""), nanq("")}};
  erf_values v;
  if (vs_upper > 0) {
    // erf is 1 to 226 bits; erfc = S e^(-x^2)/sqrt(pi) until e^(-x^2)
    // leaves kxexp's range (x^2 >= 11000, erfc below 10^-4778), then 0.
    v.erf = kxreal{1};
    if (r == routine::erf) return v;
    kxreal e;
    kxmul(x, x, e);
    kxneg(e, e);
    kxexp(e, e);
    if (e.hi == 0) return v;
    kxmul(scaled_erfc(x, r), e, v.erfc);
    kxdiv(v.erfc, sqrt_pi(), v.erfc);
    return v;
  }
  if (vs_minus_upper < 0) return {kxreal{-1}, kxreal{2}};
  if (vs_lower < 0 && !(r == routine::erfc && x.hi > erfc_fraction_start)) {
    v.erf = erf_series(x, r);
    kxsub(kxreal{1}, v.erf, v.erfc);
    return v;
  }
  kxreal e;
  kxmul(x, x, e);
  kxexp(e, e);
  kxmul(sqrt_pi(), e, e);
  kxdiv(scaled_erfc(x, r), e, v.erfc);
  kxsub(kxreal{1}, v.erfc, v.erf);
  return v;
}

}  // namespace

void kxerfr(const kxreal& x, kxreal& y) { y = error_functions(x, routine::erf).erf; }

void kxerfcr(const kxreal& x, kxreal& y) { y = error_functions(x, routine::erfc).erfc; }
