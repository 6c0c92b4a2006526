// The relation finder's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "run_parameters.h"

namespace finder {

enum class search_mode { linear, algebraic, constants };

struct options {
  search_mode mode = search_mode::linear;
  int degree = 0;                       // algebraic: the powers 0..degree
  std::vector<std::string> constants;   // constants: their names, in order
  std::optional<int> tolerance_digits;  // 10^-digits; unset: from the input
  int norm_bound_digits = static_cast<int>(run_parameters::rb);  // 10^digits, as the test program
  int debug = 0;
  std::string input = "-";              // a file, or "-" for standard input
  bool help = false;
};

/// The options of argv[1..argc-1]. Throws std::invalid_argument with a
/// one-line reason when they are not a valid command.
options parse_options(int argc, const char* const* argv);

/// The one-line synopsis, and the whole --help text.
std::string usage_text();
std::string help_text();

}  // namespace finder
