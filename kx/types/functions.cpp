#include <kx/types/functions.h>
#include <kx/types/number.h>
#include <kx/types/result_of.h>

#include <quadmath.h>

namespace kx {

kxreal abs(const kxreal& a) { return result_of(kxabs, a); }

kxreal sqrt(const kxreal& a) { return result_of(kxsqrt, a); }

kxreal nroot(const kxreal& a, int n) {
  kxreal b;
  kxnrt(a, n, b);
  return b;
}

kxreal nint(const kxreal& a) { return result_of(kxnint, a); }

kxreal aint(const kxreal& a) {
  kxreal whole;
  kxreal fraction;
  kxinfr(a, whole, fraction);
  return whole;
}

kxreal mod(const kxreal& a, const kxreal& b) {
  kxreal q;
  kxdiv(a, b, q);
  kxreal i;
  kxreal f;
  kxinfr(q, i, f);
  kxreal t;
  kxmul(b, i, t);
  kxreal r;
  kxsub(a, t, r);
  return r;
}

// The high word takes b's sign bit; the low word is negated only when that
// changed the high word, so a zero high word keeps its low word as it is.
kxreal sign(const kxreal& a, const kxreal& b) {
  const __float128 h = copysignq(a.hi, b.hi);
  return {h, h != a.hi ? -a.lo : a.lo};
}

// Of two unordered operands, the one with a NaN word (a when both have one),
// so that min and max give NaN whichever order the operands come in.
const kxreal& nan_operand(const kxreal& a, const kxreal& b) { return compare(a, a) == unordered ? a : b; }

kxreal min(const kxreal& a, const kxreal& b) {
  const int c = compare(a, b);
  if (c == unordered) return nan_operand(a, b);
  return c < 0 ? a : b;
}

kxreal min(const kxreal& a, const kxreal& b, const kxreal& c) { return min(min(a, b), c); }

kxreal max(const kxreal& a, const kxreal& b) {
  const int c = compare(a, b);
  if (c == unordered) return nan_operand(a, b);
  return c < 0 ? b : a;
}

kxreal max(const kxreal& a, const kxreal& b, const kxreal& c) { return max(max(a, b), c); }

}  // namespace kx
