#include "relation_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <kx/kx.h>

namespace finder {
namespace {

__int128 magnitude(__int128 v) { return v < 0 ? -v : v; }

__int128 gcd(__int128 a, __int128 b) {
  a = magnitude(a);
  b = magnitude(b);
  while (b != 0) a = std::exchange(b, a % b);
  return a;
}

// Appends one term, "coefficient*name" with the sign as a joining " + " or
// " - " (a leading "-" for the first term); a unit coefficient is left out
// unless the name is empty.
void append_term(std::string& text, bool negative, const std::string& coefficient, const std::string& name) {
  if (text.empty()) {
    if (negative) text += "-";
  } else {
    text += negative ? " - " : " + ";
  }
  if (name.empty()) {
    text += coefficient;
  } else if (coefficient == "1") {
    text += name;
  } else {
    text += coefficient + "*" + name;
  }
}

std::string power_name(std::size_t k) {
  if (k == 0) return "";
  if (k == 1) return "x";
  return "x^" + std::to_string(k);
}

}  // namespace

std::vector<__int128> integers_of(std::span<const kxreal> r) {
  std::vector<__int128> v;
  v.reserve(r.size());
  for (const kxreal& c : r) v.push_back(static_cast<__int128>(c.hi) + static_cast<__int128>(c.lo));
  return v;
}

std::string integer_text(__int128 v) {
  if (v == 0) return "0";
  std::string digits;
  for (__int128 m = magnitude(v); m != 0; m /= 10) digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
  return v < 0 ? "-" + digits : digits;
}

std::string polynomial_text(std::span<const __int128> c) {
  std::size_t top = c.size();
  while (top > 0 && c[top - 1] == 0) --top;
  if (top == 0) return "0";
  const bool flip = c[top - 1] < 0;
  std::string text;
  for (std::size_t k = top; k-- > 0;) {
    if (c[k] == 0) continue;
    const __int128 v = flip ? -c[k] : c[k];
    append_term(text, v < 0, integer_text(magnitude(v)), power_name(k));
  }
  return text;
}

std::string formula_text(std::span<const __int128> r, std::span<const std::string> names) {
  if (r.empty() || r[0] == 0) return "";
  std::string terms;
  for (std::size_t i = 1; i < r.size(); ++i) {
    if (r[i] == 0) continue;
    // x = sum of (-r[i] / r[0]) c_i, each fraction in lowest terms.
    __int128 p = -r[i];
    __int128 q = r[0];
    const __int128 g = gcd(p, q);
    p /= g;
    q /= g;
    if (q < 0) {
      p = -p;
      q = -q;
    }
    std::string coefficient = integer_text(magnitude(p));
    if (q != 1) coefficient += "/" + integer_text(q);
    append_term(terms, p < 0, coefficient, names[i] == "1" ? "" : names[i]);
  }
  if (terms.empty()) terms = "0";
  terms.insert(0, "x = ");
  return terms;
}

kxreal residual(std::span<const kxreal> r, std::span<const kxreal> x) {
  kxreal sum;
  for (std::size_t i = 0; i < r.size(); ++i) sum = sum + r[i] * x[i];
  return abs(sum);
}

double confidence_digits(int working_digits, std::span<const kxreal> r) {
  kxreal largest;
  for (const kxreal& c : r) largest = max(largest, abs(c));
  const double used = static_cast<double>(r.size()) * std::log10(static_cast<double>(largest));
  return working_digits - used;
}

}  // namespace finder
