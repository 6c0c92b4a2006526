#include "finder_input.h"

#include <algorithm>

#include <kx/kx.h>

namespace finder {
namespace {

constexpr int pair_digits = 68;

bool skipped(std::string_view line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == std::string_view::npos || line[first] == '#';
}

// The fewest significant digits of an inexact literal (a large number
// when all are exact).
int least_digits(const std::vector<literal>& literals) {
  int digits = 1000;
  for (const literal& l : literals) {
    if (!l.exact) digits = std::min(digits, l.digits);
  }
  return digits;
}

}  // namespace

bool exact_integer(const kxreal& v) { return abs(v) < 1e30Q && nint(v) == v; }

int significant_digits(std::string_view text) {
  const std::string_view mantissa = text.substr(0, text.find_first_of("DdEe"));
  int digits = 0;
  for (const char c : mantissa) {
    if (c < '0' || c > '9') continue;
    if (digits > 0 || c != '0') ++digits;
  }
  return digits;
}

std::vector<literal> read_literals(std::istream& in) {
  std::vector<literal> literals;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (skipped(line)) continue;
    kxreal value;
    try {
      kxinpc(line, value);
    } catch (const kx::fatal_error& e) {
      std::string message = e.what();
      while (!message.empty() && message.back() == '\n') message.pop_back();
      throw input_error(number, "not a decimal literal: \"" + line + "\" (" + message + ")");
    }
    literals.push_back({value, significant_digits(line), exact_integer(value), number});
  }
  return literals;
}

int input_digits(const std::vector<literal>& literals) { return std::min(pair_digits, least_digits(literals)); }

// The search needs its tolerance near the noise of its input: a looser one
// takes a small but not yet tiny entry for the end of precision (or for a
// relation). A literal of 68 digits or more is as precise as the pair that
// holds it, whose noise is some 10^-68.
int default_tolerance_digits(const std::vector<literal>& literals) {
  const int digits = least_digits(literals);
  return digits >= pair_digits ? pair_digits - 1 : digits - 2;
}

}  // namespace finder
