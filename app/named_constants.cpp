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

// e = sum of 1/k!, each term the one before divided by k, until a term no
// longer reaches the sum's last bit: about two units of 2^-226, where kxexp
// at 1 is some units more.
kxreal euler_e() {
  kxreal term{1};
  kxreal sum{1};
  for (int k = 1; abs(term) >= sum * 0x1p-232Q; ++k) {
    term = term / static_cast<__float128>(k);
    sum = sum + term;
  }
  return sum;
}
// atanh(1/m) = sum over k >= 0 of m^-(2k+1) / (2k+1), for an integer m >= 2:
// the terms fall by m^2 each, so the sum stops after 226 / log2(m^2) terms,
// when a term no longer reaches the sum's last bit; a few units of 2^-226,
// where kxlog is some tens of units off at 3 and 5.
kxreal atanh_of_reciprocal(int m) {
  const __float128 m2 = static_cast<__float128>(m) * m;
  kxreal power = kxreal{1} / static_cast<__float128>(m);
  kxreal sum;
  for (int k = 0;; ++k) {
    const kxreal term = power / static_cast<__float128>(2 * k + 1);
    if (abs(term) < abs(sum) * 0x1p-232Q) return sum;
    sum = sum + term;
    power = power / m2;
  }
}

// log 3 = log 2 + log(3/2), log 5 = 2 log 2 + log(5/4), with
// log((1 + t)/(1 - t)) = 2 atanh t at t = 1/5 and 1/9.
kxreal log3() { return kxlog2() + atanh_of_reciprocal(5) * 2.0Q; }
kxreal log5() { return kxlog2() * 2.0Q + atanh_of_reciprocal(9) * 2.0Q; }
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
