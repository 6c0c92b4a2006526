// The even Bernoulli numbers B_2 .. B_240 that the Bernoulli-based routines
// read, filled once per test program by kxberner.
#pragma once

#include <vector>

#include <kx/special/zeta.h>

inline const std::vector<kxreal>& bernoulli() {
  static const std::vector<kxreal> b = [] {
    std::vector<kxreal> v(120);
    kxberner(v);
    return v;
  }();
  return b;
}
