// Integer powers of complex quad pairs by the binary powering of kxnpwr,
// with complex products taken b times r.
#include <climits>

#include <kx/core/binary_power.h>
#include <kx/core/complex.h>
#include <kx/support/fatal.h>

void kxcpwr(const kxcomplex& a, int n, kxcomplex& b) {
  if (a.re.hi == 0 && a.im.hi == 0) {
    if (n <= 0) {
      kx::fatal("('*** KXCPWR: Argument is zero and N is negative or zero.')");
    }
    b = kxcomplex{};
    return;
  }
  const kxcomplex one{kxreal{1, 0}};
  if (n == 0) {
    b = one;
    return;
  }
  // |n| must be representable: -2^31 has no 32-bit magnitude.
  if (n == INT_MIN) {
    kx::fatal("('*** KXCPWR: Improper value of N',i12)", n);
  }
  const kxcomplex p = kx::positive_power(a, n < 0 ? -n : n, one, kxcmul);
  if (n > 0) {
    b = p;
  } else {
    kxcdiv(one, p, b);
  }
}
