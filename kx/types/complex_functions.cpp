#include <kx/core/complex_range.h>
#include <kx/types/complex_functions.h>

namespace kx {

kxreal abs(const complex& a) { return modulus(a); }

complex sqrt(const complex& a) {
  complex b;
  kxcsqrt(a, b);
  return b;
}

complex conjg(const complex& a) { return {a.re, kxreal{-a.im.hi, -a.im.lo}}; }

complex conj(const complex& a) { return conjg(a); }

kxreal aimag(const complex& a) { return a.im; }

kxreal imag(const complex& a) { return aimag(a); }

}  // namespace kx
