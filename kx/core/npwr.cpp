// Integer power by binary powering from the lowest bit of |n|.
#include <climits>
#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/support/fatal.h>
#include <kx/core/quad_words.h>

namespace {

// 1/ln 2, and the guard that lifts exact powers of two to their full count.
const __float128 inverse_log2 = kx::quad_from_words(0x3FFF71547652B82F, 0xE1777D0FFDA0D23A);
const __float128 bit_count_guard = static_cast<__float128>(1e-14);

// The number of binary digits of m, from a binary128 logarithm.
int bit_count(int m) {
  const __float128 mq = m;
  return static_cast<int>(truncq(((logq(mq) * inverse_log2) + 1) + bit_count_guard));
}

kxreal binary_power(const kxreal& a, int m) {
  const int nbits = bit_count(m);
  kxreal b = {1, 0};
  kxreal r = a;
  for (int j = 1; j <= nbits; ++j) {
    const int k = m / 2;
    if (m != 2 * k) kxmul(b, r, b);
    m = k;
    if (j < nbits) kxmul(r, r, r);
  }
  return b;
}

}  // namespace

void kxnpwr(const kxreal& a, int n, kxreal& b) {
  if (a.hi == 0) {
    if (n <= 0) {
      kx::fatal("('*** KXNPWR: Argument is zero and N is negative or zero.')");
    }
    b = {0, 0};
    return;
  }
  if (n == 0) {
    b = {1, 0};
    return;
  }
  // |n| must be representable: -2^31 has no 32-bit magnitude.
  if (n == INT_MIN) {
    kx::fatal("('*** KXNPWR: Improper value of N',i12)", n);
  }
  const int m = n < 0 ? -n : n;
  kxreal p;
  if (m == 1) {
    p = a;
  } else if (m == 2) {
    kxmul(a, a, p);
  } else {
    p = binary_power(a, m);
  }
  if (n < 0) {
    kxdiv(kxreal{1, 0}, p, p);
  }
  b = p;
}
