// agm(a, b) by its arithmetic and geometric means. Each step multiplies the
// relative gap (a - b)/a by about its own size, so the budget of 100 steps
// is a guard that only a zero argument meets. The mean is homogeneous,
// agm(2^k a, 2^k b) = 2^k agm(a, b), and every step scales exactly, so the
// scaled run gives the unscaled words wherever those stay in range.
#include <quadmath.h>

#include <algorithm>

#include <kx/core/core.h>
#include <kx/elementary/agm.h>
#include <kx/support/fatal.h>

namespace {

constexpr int step_budget = 100;
const __float128 tolerance = 0x1p-224Q;

// The means never exceed the larger argument and their product never
// falls below the first one, so these limits keep every product, and its
// low word, in the normal range.
constexpr int largest_exponent = 8000;
constexpr int smallest_product_exponent = -16000;

kxreal scaled(const kxreal& a, int e) { return {scalbnq(a.hi, e), scalbnq(a.lo, e)}; }

// The power of two 2^-e that takes a and b within those limits where they
// are not, else e = 0.
int range_exponent(const kxreal& a, const kxreal& b) {
  if (a.hi == 0 || b.hi == 0) return 0;
  const int ea = ilogbq(a.hi);
  const int eb = ilogbq(b.hi);
  if (std::max(ea, eb) > largest_exponent) return std::max(ea, eb) - largest_exponent;
  if (ea + eb < smallest_product_exponent) return (ea + eb - smallest_product_exponent) / 2 - 1;
  return 0;
}

kxreal agm_steps(kxreal a, kxreal b) {
  for (int budget = step_budget;;) {
    kxreal mean;
    kxadd(a, b, mean);
    kxmuld(mean, 0.5Q, mean);
    kxmul(a, b, b);
    kxsqrt(b, b);
    a = mean;
    kxreal d;
    kxsub(a, b, d);
    if (d.hi == 0 || d.hi / a.hi < tolerance) return a;
    if (--budget == 0) kx::fatal("('*** KXAGMR: Iteration limit exceeded.')");
  }
}

}  // namespace

void kxagmr(const kxreal& a, const kxreal& b, kxreal& c) {
  if (a.hi < 0 && b.hi < 0) {
    kxagmr(kxreal{-a.hi, -a.lo}, kxreal{-b.hi, -b.lo}, c);
    c = {-c.hi, -c.lo};
    return;
  }
  const int e = range_exponent(a, b);
  c = scaled(agm_steps(scaled(a, -e), scaled(b, -e)), e);
}
