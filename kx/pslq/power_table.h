// The powers a^1 .. a^count with the words of pow(a, i), sharing the
// products that kxnpwr's binary powering repeats from one exponent to the
// next.
#pragma once

#include <bit>
#include <vector>

#include <kx/types/number.h>

namespace kx {

/// p[i - 1] = pow(a, i), i = 1..count, word for word. pow(a, i) is a for
/// i = 1, a a for i = 2, and otherwise the loop product L(i) of binary
/// powering from the lowest bit: L(0) = 1, L(i) = L(i - 2^t) r_t for the top
/// bit t of i, where r_0 = a and r_t = r_(t-1) r_(t-1). Each L and r is
/// formed once, by the same products in the same order.
///   power_table(g, 3);   // {pow(g, 1), pow(g, 2), pow(g, 3)}
inline std::vector<kxreal> power_table(const kxreal& a, int count) {
  std::vector<kxreal> p(count > 0 ? static_cast<std::size_t>(count) : 0);
  if (a.hi == 0) {  // zero powers without the products
    for (int i = 1; i <= count; ++i) p[i - 1] = pow(a, i);
    return p;
  }
  std::vector<kxreal> squares{a};
  std::vector<kxreal> loop{kxreal{1, 0}};
  for (int i = 1; i <= count; ++i) {
    const int top = std::bit_width(static_cast<unsigned>(i)) - 1;
    while (static_cast<int>(squares.size()) <= top) squares.push_back(squares.back() * squares.back());
    loop.push_back(loop[static_cast<std::size_t>(i - (1 << top))] * squares[static_cast<std::size_t>(top)]);
    p[i - 1] = i == 1 ? a : i == 2 ? squares[1] : loop.back();
  }
  return p;
}

}  // namespace kx
