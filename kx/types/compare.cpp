// The ordering of the value type: kxcpr's answer, except that a NaN word
// makes a pair unordered, as binary128 comparison has it. Compiled in the
// library so that a caller's -ffinite-math-only cannot remove the NaN test.
#include <kx/core/quad_order.h>
#include <kx/types/number.h>

namespace kx {

namespace {

bool has_nan_word(const kxreal& a) { return iq_is_nan_bits(iq_bits(a.hi)) || iq_is_nan_bits(iq_bits(a.lo)); }

}  // namespace

int compare(const kxreal& a, const kxreal& b) {
  if (has_nan_word(a) || has_nan_word(b)) return unordered;
  int ic;
  kxcpr(a, b, ic);
  return ic;
}

}  // namespace kx
