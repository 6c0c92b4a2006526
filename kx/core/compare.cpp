// Ordering and sign of quad pairs and binary128 values, compared on the
// words' bit patterns (quad_order.h): the answers of binary128 comparison.
#include <kx/core/core.h>
#include <kx/core/quad_order.h>

namespace iq = kx::iq;

// High words decide unless equal; a NaN high word compares as greater.
void kxcpr(const kxreal& a, const kxreal& b, int& ic) {
  if (iq::less(a.hi, b.hi)) {
    ic = -1;
  } else if (!iq::equal(a.hi, b.hi)) {
    ic = 1;
  } else if (iq::less(a.lo, b.lo)) {
    ic = -1;
  } else {
    ic = !iq::equal(a.lo, b.lo) ? 1 : 0;
  }
}

// The high word decides the sign; -0 counts as non-negative.
void kxabs(const kxreal& a, kxreal& b) {
  if (iq::less_equal(0, a.hi)) {
    b = a;
  } else {
    b = {-a.hi, -a.lo};
  }
}

int kxqsgn(__float128 x) {
  if (iq::is_zero_value(x)) return 0;
  return iq::less(0, x) ? 1 : -1;
}
