// e^a = 2^n e^r with r = a - n log 2 (|r| <= log 2 / 2); e^r is the Taylor
// series of s = r/64 (|s| <= 0.0055, at most 22 terms to 10^-70) squared six
// times. log a is Newton's iteration b <- b + (a - e^b)/e^b, which doubles
// the correct digits of logq's 33 at each of its three steps.
#include <quadmath.h>

#include <array>
#include <atomic>
#include <mutex>

#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/core/quad_from_integer.h>
#include <kx/core/quad_integer.h>
#include <kx/core/quad_order.h>
#include <kx/core/quad_unpacked.h>
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
    kxdivd(term, kx::iq_from_integer(k), term);
    kxadd(sum, term, sum);
    // The compiler's product and comparison, in integer registers.
    if (kx::iq_less_equal(fabsq(term.hi), kx::iq_mul(series_tolerance, fabsq(sum.hi)))) return sum;
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

// The integers whose logarithms are kept once computed: the series of zeta
// and gamma take kxlog (through kxpower) of the same small integers on
// every call.
constexpr int cached_log_limit = 256;

// i when a is the pair (i, +0) for an integer i in [1, cached_log_limit];
// otherwise 0.
int small_integer(const kxreal& a) {
  const kx::iq_u128 b = kx::iq_bits(a.hi);
  if (kx::iq_bits(a.lo) != 0 || (b & kx::iq_sign_bit) != 0) return 0;
  const int e = kx::iq_field_of(b) - kx::iq_bias;
  if (e < 0 || e > 8) return 0;
  const kx::iq_u128 sig = kx::iq_significand(b);
  if ((sig & ((kx::iq_u128(1) << (112 - e)) - 1)) != 0) return 0;
  const int i = static_cast<int>(sig >> (112 - e));
  return i <= cached_log_limit ? i : 0;
}

// newton_log of (i, +0), formed on first use and kept: a deterministic
// sequence of operations, so every later call gets the words it would form.
const kxreal& cached_log(int i) {
  static std::array<std::atomic<bool>, cached_log_limit + 1> ready{};
  static std::array<kxreal, cached_log_limit + 1> logs;
  static std::mutex forming;
  if (!ready[i].load(std::memory_order_acquire)) {
    const std::lock_guard<std::mutex> lock(forming);
    if (!ready[i].load(std::memory_order_relaxed)) {
      logs[i] = newton_log(kxreal{i});
      ready[i].store(true, std::memory_order_release);
    }
  }
  return logs[i];
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
  // log i >= 0 lies above the floor: kept logs are those of newton_log.
  if (const int i = small_integer(a); i != 0) {
    b = cached_log(i);
    return;
  }
  b = logq(a.hi) <= log_floor ? scaled_log(a) : newton_log(a);
}

void kxpower(const kxreal& a, const kxreal& b, kxreal& c) {
  if (a.hi <= 0) kx::fatal("('KXPOWER: A <= 0')");
  kxreal t;
  kxlog(a, t);
  kxmul(t, b, t);
  kxexp(t, c);
}
