// e^a = 2^n e^r with r = a - n log 2 (|r| <= log 2 / 2); e^r is the Taylor
// series of s = r/64 (|s| <= 0.0055, at most 22 terms to 10^-70) squared six
// times. log a is Newton's iteration b <- b + (a - e^b)/e^b, which doubles
// the correct digits of logq's 33 at each of its three steps.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/elementary/exp_budget.h>
#include <kx/elementary/exp_log.h>
#include <kx/support/fatal.h>

namespace {

// |a.hi| from here on leaves the exponential's range (2^nz stays normal).
constexpr __float128 exp_bound = 11000;
constexpr __float128 series_tolerance = 1e-70Q;
// Keeps a nearly integral n.hi from truncating to the integer below.
constexpr __float128 truncation_nudge = 1e-14Q;
constexpr __float128 reduction_scale = 64;
constexpr int squarings = 6;
constexpr int newton_steps = 3;

// e^s by its Taylor series, for |s| <= log 2 / 128.
kxreal exp_series(const kxreal& s) {
  kxreal term{1, 0};
  kxreal sum{1, 0};
  for (int k = 1;; ++k) {
    kxmul(term, s, term);
    kxdivd(term, k, term);
    kxadd(sum, term, sum);
    if (fabsq(term.hi) <= series_tolerance * fabsq(sum.hi)) return sum;
    if (k + 1 == kx::exp_term_limit) kx::fatal("('*** KXEXP: Iteration limit exceeded.')");
  }
}

// e^r for |r| <= log 2 / 2: the series at r/64, squared six times.
kxreal exp_of_remainder(const kxreal& r) {
  if (r.hi == 0) return {1, 0};
  kxreal f;
  kxdivd(r, reduction_scale, f);
  f = exp_series(f);
  for (int i = 0; i < squarings; ++i) kxmul(f, f, f);
  return f;
}

// Below e^-11000 the exponential of the start value logq(a.hi) is 0: the
// start is at most this far above -11000 when the iterates could reach it.
constexpr __float128 log_floor = -11000 + 0x1p-60Q;

// log a for a.hi > 0 whose Newton iterates stay in the exponential's range.
kxreal newton_log(const kxreal& a) {
  kxreal b{logq(a.hi), 0};
  for (int step = 0; step < newton_steps; ++step) {
    kxreal e;
    kxreal t;
    kxexp(b, e);
    kxsub(a, e, t);
    kxdiv(t, e, t);
    kxadd(b, t, b);
  }
  return b;
}

// log a = log(a 2^-k) + k log 2, with a 2^-k in [1, 2) (exact scaling up).
kxreal scaled_log(const kxreal& a) {
  const int k = ilogbq(a.hi);
  const kxreal m = kx::scaled_by_power_of_two(a, -k);
  kxreal log2;
  kxlog2(log2);
  kxreal klog2;
  kxmuld(log2, k, klog2);
  kxreal b;
  kxadd(newton_log(m), klog2, b);
  return b;
}

}  // namespace

void kxexp(const kxreal& a, kxreal& b) {
  if (fabsq(a.hi) >= exp_bound) {
    if (a.hi > 0) kx::fatal("('*** KXEXP: Argument is too large',f12.6)", a.hi);
    b = {0, 0};
    return;
  }
  // A NaN, or a low word that is not finite, has no multiple of log 2 to
  // reduce by (converting it to an integer is undefined): the result is NaN.
  if (isnanq(a.hi) || !finiteq(a.lo)) {
    b = {nanq(""), nanq("")};
    return;
  }
  kxreal log2;
  kxlog2(log2);
  kxreal n;
  kxdiv(a, log2, n);
  kxnint(n, n);
  const int nz = static_cast<int>(n.hi + copysignq(truncation_nudge, n.hi));
  kxreal r;
  kxmul(n, log2, r);
  kxsub(a, r, r);
  kxmuld(exp_of_remainder(r), scalbnq(1, nz), b);
}

void kxlog(const kxreal& a, kxreal& b) {
  if (a.hi <= 0) kx::fatal("('*** KXLOG: Argument is less than or equal to zero.')");
  b = logq(a.hi) <= log_floor ? scaled_log(a) : newton_log(a);
}

void kxpower(const kxreal& a, const kxreal& b, kxreal& c) {
  if (a.hi <= 0) kx::fatal("('KXPOWER: A <= 0')");
  kxreal t;
  kxlog(a, t);
  kxmul(t, b, t);
  kxexp(t, c);
}
