// cosh and sinh from e^a and its reciprocal; asinh, acosh and atanh by
// their logarithms. Where a^2 overflows, log(|a| + sqrt(a^2 +- 1)) is
// log |a| + log 2 to within a^-2/4, far below the format's precision.
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/quad_words.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/support/fatal.h>

namespace {

// At and below this cosh and |sinh| overflow, as e^a does at +11000.
constexpr __float128 cosh_floor = -11000;

kxreal negated(const kxreal& a) { return {-a.hi, -a.lo}; }

// log 2|a| = log |a| + log 2, for |a| whose square overflows.
kxreal log_of_twice(const kxreal& a) {
  kxreal m;
  kxabs(a, m);
  kxreal b;
  kxlog(m, b);
  kxreal log2;
  kxlog2(log2);
  kxadd(b, log2, b);
  return b;
}

// From here down the sum a + sqrt(a^2 + 1), about 1/(2|a|), is no larger
// than the rounding error of the root, about 19 |a| 2^-226: no digit is left.
const __float128 cancelling_asinh = -0x1p110Q;

// sum = a + sqrt(a^2 + 1); false where a^2 overflows or, for negative a,
// where the sum cancels to nothing or to a value that is not positive.
bool asinh_argument(const kxreal& a, kxreal& sum) {
  if (a.hi <= cancelling_asinh) return false;
  kxmul(a, a, sum);
  if (!kx::is_finite(sum.hi)) return false;
  kxadd(sum, kxreal{1, 0}, sum);
  kxsqrt(sum, sum);
  kxadd(a, sum, sum);
  return sum.hi > 0;
}

// asinh a for a >= 0, or for a < 0 where the formula does not cancel away.
bool asinh_by_formula(const kxreal& a, kxreal& b) {
  kxreal sum;
  if (!asinh_argument(a, sum)) return false;
  kxlog(sum, b);
  return true;
}

}  // namespace

void kxcoshsinh(const kxreal& a, kxreal& x, kxreal& y) {
  if (a.hi <= cosh_floor) kx::fatal("('*** KXCOSHSINH: Argument is too large',f13.6)", a.hi);
  kxreal e;
  kxexp(a, e);
  kxreal f;
  kxdiv(kxreal{1, 0}, e, f);
  kxreal sum;
  kxadd(e, f, sum);
  kxsub(e, f, y);
  kxmuld(sum, 0.5Q, x);
  kxmuld(y, 0.5Q, y);
}

void kxasinh(const kxreal& a, kxreal& b) {
  if (asinh_by_formula(a, b)) return;
  const bool negative = a.hi < 0;
  kxreal m;
  kxabs(a, m);
  if (!asinh_by_formula(m, b)) b = log_of_twice(m);
  if (negative) b = negated(b);
}

void kxacosh(const kxreal& a, kxreal& b) {
  if (a.hi < 1) kx::fatal("('KXACOSH: Argument is < 1.')");
  kxreal t;
  kxmul(a, a, t);
  if (!kx::is_finite(t.hi)) {
    b = log_of_twice(a);
    return;
  }
  kxsub(t, kxreal{1, 0}, t);
  if (t.hi < 0) kx::fatal("('KXACOSH: Argument is < 1.')");
  kxsqrt(t, t);
  kxadd(a, t, t);
  kxlog(t, b);
}

void kxatanh(const kxreal& a, kxreal& b) {
  if (fabsq(a.hi) >= 1) kx::fatal("('KXATANH: Argument is <= -1 or >= 1.')");
  const kxreal one{1, 0};
  kxreal p;
  kxreal q;
  kxadd(one, a, p);
  kxsub(one, a, q);
  kxdiv(p, q, q);
  kxlog(q, b);
  kxmuld(b, 0.5Q, b);
}
