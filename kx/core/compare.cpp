// Ordering and sign of quad pairs and binary128 values.
#include <kx/core/core.h>

// High words decide unless equal; a NaN high word compares as greater.
void kxcpr(const kxreal& a, const kxreal& b, int& ic) {
  if (a.hi < b.hi) {
    ic = -1;
  } else if (a.hi != b.hi) {
    ic = 1;
  } else if (a.lo < b.lo) {
    ic = -1;
  } else {
    ic = a.lo != b.lo ? 1 : 0;
  }
}

// The high word decides the sign; -0 counts as non-negative.
void kxabs(const kxreal& a, kxreal& b) {
  if (a.hi >= 0) {
    b = a;
  } else {
    b = {-a.hi, -a.lo};
  }
}

int kxqsgn(__float128 x) {
  if (x == 0) return 0;
  return x > 0 ? 1 : -1;
}
