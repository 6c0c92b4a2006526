// The relation finder's input: decimal literals, one per line, converted by
// the library's own decimal input, with what each says about its precision.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <kx/core/core.h>

namespace finder {

struct literal {
  kxreal value;
  int digits;  // significant digits of the mantissa
  bool exact;  // an integer, taken as exact whatever its digits
  int line;    // 1-based line of the input
};

/// A line that is not a decimal literal, with its line number.
class input_error : public std::runtime_error {
 public:
  input_error(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

/// True for an integer below 10^30, which a pair holds exactly whatever
/// digits wrote it: such a literal counts as exact.
bool exact_integer(const kxreal& v);

/// The significant digits of a literal's mantissa: its digits from the
/// first non-zero one on ("0.00120" has 3, "1.5e3" has 2, "0" has 0).
int significant_digits(std::string_view text);

/// Every literal of `in`, one per line; blank lines and lines whose first
/// non-blank character is '#' are skipped. Throws input_error at the first
/// line that kxinpc refuses, before any value after it is read. Needs the
/// throwing fatal handler (kx::throw_fatal_error) in place.
std::vector<literal> read_literals(std::istream& in);

/// The decimal digits that the input supports: the fewest significant
/// digits of an inexact literal, at most 68 (what a quad pair holds); 68
/// when every literal is exact.
int input_digits(const std::vector<literal>& literals);

/// The default tolerance, 10^-digits: two digits below the input's
/// precision, and 67 for literals of 68 digits or more.
int default_tolerance_digits(const std::vector<literal>& literals);

}  // namespace finder
