// The error bound of kxnpwr that the conversion tests build on.
#pragma once

#include <cstdlib>

namespace convert_test {

/// First-order error bound of kxnpwr(a, n) in units of 2^-226 relative:
/// each of the |n| - 1 + (bits of |n|) multiplications of the binary
/// powering costs at most 8, and the reciprocal for n < 0 another 8.
inline double kxnpwr_bound(int n) {
  const int m = std::abs(n);
  int bits = 0;
  for (int k = m; k > 0; k /= 2) ++bits;
  return m == 0 ? 0 : 8.0 * (m - 1 + bits + (n < 0 ? 1 : 0));
}

}  // namespace convert_test
