#include <quadmath.h>

#include <algorithm>

#include <kx/core/complex_range.h>
#include <kx/core/eft.h>
#include <kx/core/quad_words.h>

namespace kx {

int square_scaling_exponent(const kxcomplex& a) {
  if (!is_finite(a.re.hi) || !is_finite(a.im.hi) || (a.re.hi == 0 && a.im.hi == 0)) return 0;
  const int e = ilogbq(std::max(fabsq(a.re.hi), fabsq(a.im.hi)));
  return e > square_exponent_limit || e < -square_exponent_limit ? e : 0;
}

kxcomplex scaled_by_power_of_two(const kxcomplex& a, int e) {
  return {scaled_by_power_of_two(a.re, e), scaled_by_power_of_two(a.im, e)};
}

}  // namespace kx
