// Routines of the package's convention (inputs, then outputs by reference)
// called for their outputs by value, for the functions of the value types.
#pragma once

#include <kx/core/core.h>

namespace kx {

/// The output argument of a routine of the form routine(a, b).
///   result_of(kxsqrt, a);   // kxsqrt(a, b), then b
template <class Routine>
kxreal result_of(Routine routine, const kxreal& a) {
  kxreal b;
  routine(a, b);
  return b;
}

/// The two outputs of a routine of the form routine(a, x, y), x first.
struct result_pair {
  kxreal first, second;
};

///   result_pair_of(kxcssnr, a);   // {cos a, sin a}
template <class Routine>
result_pair result_pair_of(Routine routine, const kxreal& a) {
  result_pair p;
  routine(a, p.first, p.second);
  return p;
}

}  // namespace kx
