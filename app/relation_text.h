// What the relation finder says about a relation beyond its integers: the
// polynomial or the formula it stands for, and how far to trust it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include <kx/core/core.h>

namespace finder {

/// The relation's integers (each |r[i]| below 2^126, as the norm bound
/// keeps them).
std::vector<__int128> integers_of(std::span<const kxreal> r);

/// Decimal text of an integer.
std::string integer_text(__int128 v);

/// c[k] the coefficient of x^k, as "x^3 - x - 1": highest power first, its
/// coefficient made positive, unit coefficients and zero terms left out.
std::string polynomial_text(std::span<const __int128> c);

/// r[0] x + r[1] c1 + ... = 0 solved for x, as "x = 3/4*pi - 1/2*log(2)",
/// with names[i] the name of the constant of r[i] ("1" for the constant
/// term). Empty when r[0] is 0: x is then not in the relation.
std::string formula_text(std::span<const __int128> r, std::span<const std::string> names);

/// |r[0] x[0] + ... + r[n-1] x[n-1]|, the products summed in index order.
kxreal residual(std::span<const kxreal> r, std::span<const kxreal> x);

/// The digits of precision left over: working_digits - n log10 max |r[i]|.
double confidence_digits(int working_digits, std::span<const kxreal> r);

/// Below this confidence a relation is "doubtful": one of that size can
/// appear by chance among numbers known to working_digits.
inline constexpr double doubtful_below = 5.0;

}  // namespace finder
