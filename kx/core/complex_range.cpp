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

kxreal modulus_in_range(const kxcomplex& a) {
  kxreal re2, im2, sum, s;
  kxmul(a.re, a.re, re2);
  kxmul(a.im, a.im, im2);
  kxadd(re2, im2, sum);
  kxsqrt(sum, s);
  return s;
}

kxreal modulus(const kxcomplex& a) {
  const int k = square_scaling_exponent(a);
  if (k == 0) return modulus_in_range(a);
  return scaled_by_power_of_two(modulus_in_range(scaled_by_power_of_two(a, -k)), k);
}

kxcomplex scaled_by_power_of_two(const kxcomplex& a, int e) {
  return {scaled_by_power_of_two(a.re, e), scaled_by_power_of_two(a.im, e)};
}

}  // namespace kx
