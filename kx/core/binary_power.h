// Binary powering from the lowest bit of the exponent, shared by the real and
// the complex integer powers so that both run the same sequence of products.
#pragma once

namespace kx {

/// The number of binary digits of m >= 1: the count the binary128 logarithm
/// with its guard gives (reference_power_bit_count), for every int m.
int power_bit_count(int m);

/// a^m for m >= 1 with the product routine multiply(x, y, out): a itself for
/// m = 1, a a for m = 2, otherwise b = one and r = a, and for each bit of m
/// from the lowest, b = b r when the bit is set, then r = r r unless it was
/// the last bit. The product is always taken b times r, in that order.
template <class T, class Multiply>
T positive_power(const T& a, int m, const T& one, Multiply multiply) {
  if (m == 1) return a;
  T b = one;
  if (m == 2) {
    multiply(a, a, b);
    return b;
  }
  const int nbits = power_bit_count(m);
  T r = a;
  for (int j = 1; j <= nbits; ++j) {
    const int k = m / 2;
    if (m != 2 * k) multiply(b, r, b);
    m = k;
    if (j < nbits) multiply(r, r, r);
  }
  return b;
}

}  // namespace kx
