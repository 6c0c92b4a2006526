// Ordering and sign of quad pairs and binary128 values, compared on the
// words' bit patterns (quad_order.h): the answers of binary128 comparison.
#include <kx/core/core.h>
#include <kx/core/quad_order.h>

using kx::iq_equal;
using kx::iq_is_zero_value;
using kx::iq_less;
using kx::iq_less_equal;

// High words decide unless equal; a NaN high word compares as greater.
void kxcpr(const kxreal& a, const kxreal& b, int& ic) {
  if (iq_less(a.hi, b.hi)) {
    ic = -1;
  } else if (!iq_equal(a.hi, b.hi)) {
    ic = 1;
  } else if (iq_less(a.lo, b.lo)) {
    ic = -1;
  } else {
    ic = !iq_equal(a.lo, b.lo) ? 1 : 0;
  }
}

// The high word decides the sign; -0 counts as non-negative.
void kxabs(const kxreal& a, kxreal& b) {
  if (iq_less_equal(0, a.hi)) {
    b = a;
  } else {
    b = {-a.hi, -a.lo};
  }
}

int kxqsgn(__float128 x) {
  if (iq_is_zero_value(x)) return 0;
  return iq_less(0, x) ? 1 : -1;
}
