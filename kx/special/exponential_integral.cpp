// Ei(x) = -Gamma(0, -x): the incomplete gamma function's series of E1 below
// |x| = 188.258 (its continued fraction for -188.258 < x <= -1), its
// asymptotic expansion above.
#include <kx/core/core.h>
#include <kx/special/exponential_integral.h>
#include <kx/special/gamma.h>
#include <kx/support/fatal.h>

void kxexpint(const kxreal& x, kxreal& e) {
  if (x.hi == 0) kx::fatal("('*** KXEXPINT: argument is zero')");
  kxreal minus_x;
  kxneg(x, minus_x);
  kxincgammar(kxreal{}, minus_x, e);
  kxneg(e, e);
}
