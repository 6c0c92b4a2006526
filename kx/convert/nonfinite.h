// The text of a quad pair that has no decimal digits to show.
#pragma once

#include <quadmath.h>

#include <string_view>

#include <kx/core/core.h>

namespace kx {

/// "inf" or "-inf" when the high word is infinite, "nan" when a word is NaN
/// or the low word alone is infinite, and an empty text for a finite pair.
/// The output routines write this text in place of digits, which keeps every
/// logarithm, power of ten and digit loop on finite values.
inline std::string_view nonfinite_text(const kxreal& a) {
  if (finiteq(a.hi) && finiteq(a.lo)) return {};
  if (isinfq(a.hi) && !isnanq(a.lo)) return signbitq(a.hi) ? "-inf" : "inf";
  return "nan";
}

}  // namespace kx
