// The text of a quad pair that has no decimal digits to show, and the pair
// that the output routines print.
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

/// The pair the output routines print for a: a itself when a word is not
/// finite or the pair is normalised (|lo| at most half an ulp of hi, 2^-113
/// |hi|), word for word. A pair with a larger low word (which no routine
/// forms, but a caller may pass) becomes hi + lo rounded to binary128 and
/// the rest, so that scaling it into [1, 10) takes the usual step or two; a
/// sum past the range is infinite.
inline kxreal printed_value(const kxreal& a) {
  if (!nonfinite_text(a).empty() || fabsq(a.lo) <= scalbnq(fabsq(a.hi), -112)) return a;
  const __float128 sum = a.hi + a.lo;
  if (isinfq(sum)) return {sum, 0};
  kxreal s;
  kxadd(kxreal{a.hi, 0}, kxreal{a.lo, 0}, s);
  return s;
}

}  // namespace kx
