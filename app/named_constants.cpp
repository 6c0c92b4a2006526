#include "named_constants.h"

#include <algorithm>
#include <array>
#include <vector>

#include <kx/kx.h>

namespace finder {
namespace {

// The even Bernoulli numbers that the Hurwitz zeta routine reads (it needs
// at least 95), filled once.
std::span<const kxreal> bernoulli() {
  static const std::vector<kxreal> b = [] {
    std::vector<kxreal> v(120);
    kxberner(v);
    return v;
  }();
  return b;
}

kxreal pi_squared() { return kxpi() * kxpi(); }
kxreal euler_e() { return exp(kxreal{1}); }
kxreal log3() { return log(kxreal{3}); }
kxreal log5() { return log(kxreal{5}); }
kxreal sqrt2() { return sqrt(kxreal{2}); }
kxreal sqrt3() { return sqrt(kxreal{3}); }
kxreal sqrt5() { return sqrt(kxreal{5}); }

// zeta(s) = zeta(s, 1) by Euler-Maclaurin, a few hundred units of 2^-226
// closer than the integer-argument zeta routine.
kxreal zeta3() { return kxhurwitzzetanbe(bernoulli(), 3, kxreal{1}); }
kxreal zeta5() { return kxhurwitzzetanbe(bernoulli(), 5, kxreal{1}); }

// zeta(2, 1/4) - zeta(2, 3/4) = 16 G: the sum over odd k of (-1)^((k-1)/2)
// 16/k^2. The difference cancels less than one digit (17.2 - 2.5).
kxreal catalan() {
  return (kxhurwitzzetanbe(bernoulli(), 2, kxreal{0.25Q}) - kxhurwitzzetanbe(bernoulli(), 2, kxreal{0.75Q})) /
         16.0Q;
}

constexpr std::array<named_constant, 13> table{{
    {"pi", "pi", "pi", kxpi},
    {"pi2", "pi^2", "pi squared", pi_squared},
    {"e", "e", "Euler's number e = exp(1)", euler_e},
    {"log2", "log(2)", "the natural logarithm of 2", kxlog2},
    {"log3", "log(3)", "the natural logarithm of 3", log3},
    {"log5", "log(5)", "the natural logarithm of 5", log5},
    {"gamma", "gamma", "Euler's constant 0.5772...", kxegamma},
    {"zeta3", "zeta(3)", "Apery's constant zeta(3)", zeta3},
    {"zeta5", "zeta(5)", "zeta(5)", zeta5},
    {"catalan", "G", "Catalan's constant G = 0.9159...", catalan},
    {"sqrt2", "sqrt(2)", "the square root of 2", sqrt2},
    {"sqrt3", "sqrt(3)", "the square root of 3", sqrt3},
    {"sqrt5", "sqrt(5)", "the square root of 5", sqrt5},
}};

}  // namespace

std::span<const named_constant> named_constants() { return table; }

const named_constant* find_constant(std::string_view name) {
  const auto it = std::find_if(table.begin(), table.end(), [&](const named_constant& c) { return c.name == name; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace finder
