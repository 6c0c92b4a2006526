#include "finder_options.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

#include "named_constants.h"
#include "relation_text.h"

namespace finder {
namespace {

// Bounds of the numeric options: a coefficient must fit 126 bits (10^36),
// the search holds about 68 digits, and zezuv1 knows debug levels 0..3.
constexpr int max_degree = 60;
constexpr int max_tolerance_digits = 75;
constexpr int max_norm_bound_digits = 36;
constexpr int max_debug = 3;

int integer_value(std::string_view option, std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    throw std::invalid_argument(std::string(option) + " needs an integer from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not \"" + std::string(text) + "\"");
  }
  return value;
}

std::vector<std::string> constant_names(std::string_view list) {
  std::vector<std::string> names;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string name(list.substr(0, comma));
    if (find_constant(name) == nullptr) {
      throw std::invalid_argument("unknown constant \"" + name + "\" (--help lists them)");
    }
    for (const std::string& earlier : names) {
      if (earlier == name) throw std::invalid_argument("constant \"" + name + "\" given twice");
    }
    names.push_back(name);
    if (comma == std::string_view::npos) return names;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

options parse_options(int argc, const char* const* argv) {
  options o;
  bool mode_given = false;
  bool input_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      o.help = true;
      continue;
    }
    if (arg == "-" || !arg.starts_with("-")) {
      if (input_given) throw std::invalid_argument("more than one input file");
      o.input = arg;
      input_given = true;
      continue;
    }
    // --name=value or --name value
    std::string_view name = arg;
    std::string_view value;
    const std::size_t equals = arg.find('=');
    if (equals != std::string_view::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const bool known = name == "--algebraic" || name == "--constants" || name == "--tolerance" ||
                       name == "--norm-bound" || name == "--debug";
    if (!known) throw std::invalid_argument("unknown option \"" + std::string(arg) + "\"");
    if (equals == std::string_view::npos) {
      if (i + 1 >= argc) throw std::invalid_argument(std::string(name) + " needs a value");
      value = argv[++i];
    }
    if (name == "--algebraic" || name == "--constants") {
      if (mode_given) throw std::invalid_argument("--algebraic and --constants exclude each other");
      mode_given = true;
    }
    if (name == "--algebraic") {
      o.mode = search_mode::algebraic;
      o.degree = integer_value(name, value, 1, max_degree);
    } else if (name == "--constants") {
      o.mode = search_mode::constants;
      o.constants = constant_names(value);
    } else if (name == "--tolerance") {
      o.tolerance_digits = integer_value(name, value, 1, max_tolerance_digits);
    } else if (name == "--norm-bound") {
      o.norm_bound_digits = integer_value(name, value, 1, max_norm_bound_digits);
    } else {
      o.debug = integer_value(name, value, 0, max_debug);
    }
  }
  return o;
}

std::string usage_text() {
  return "usage: kx-find-relation [--algebraic D | --constants NAME,...] [--tolerance D] [--norm-bound D]\n"
         "                        [--debug L] [FILE]   (kx-find-relation --help says more)\n";
}

std::string help_text() {
  std::string text = usage_text();
  text +=
      "\n"
      "Looks for integers r1..rn, not all zero, with r1*x1 + ... + rn*xn = 0, by the\n"
      "multi-pair PSLQ search of kx (zezuv1), in 68-digit arithmetic.\n"
      "\n"
      "Input: decimal literals, one per line (such as 1.2599210498948731647672106 or\n"
      "-2.5e-3), from FILE or, without FILE or with -, from standard input. Blank lines\n"
      "and lines starting with # are skipped. Give as many digits as you know: the\n"
      "precision of the least precise literal sets the default tolerance (an integer\n"
      "counts as exact).\n"
      "\n"
      "Modes:\n"
      "  (default)             linear: a relation among the numbers as given (two or more).\n"
      "  --algebraic D         one number x: a relation among 1, x, ..., x^D, that is a\n"
      "                        polynomial of degree at most D with x as a root.\n"
      "  --constants NAME,...  one number x: is x a rational combination of 1 and these\n"
      "                        constants? Prints the formula x = ... when it is.\n"
      "\n"
      "Constants (computed by kx to full precision):\n";
  for (const named_constant& c : named_constants()) {
    std::string name(c.name);
    name.resize(10, ' ');
    text += "  " + name + std::string(c.meaning) + ", written " + std::string(c.formula) + "\n";
  }
  text +=
      "\n"
      "Options:\n"
      "  --tolerance D    accept a relation r when |r1*x1 + ... + rn*xn| is at most\n"
      "                   10^-D times max |ri| times the length of x (default: two\n"
      "                   digits below the input's precision, 10^-28 for 30 digits,\n"
      "                   and 10^-67 for literals of 68 digits or more).\n"
      "  --norm-bound D   give up on relations of Euclidean norm above 10^D (default " +
      std::to_string(options{}.norm_bound_digits) + ",\n                   at most " +
      std::to_string(max_norm_bound_digits) + ").\n" +
      "  --debug L        the search's reports: 0 none (default), 1 its end, 2 its\n"
      "                   progress, 3 every iteration.\n"
      "  --help           this text.\n"
      "\n"
      "Output: the relation, one integer per line with its label (x  1.. in the\n"
      "linear mode; 1, al^  1, ... for the powers; x, 1 and the constants' names);\n"
      "the polynomial or the formula; the residual |r1*x1 + ... + rn*xn|; and a\n"
      "confidence figure: the input's digits minus the digits the relation uses\n"
      "(n times log10 of its largest coefficient). Below " +
      std::to_string(static_cast<int>(doubtful_below)) +
      " digits the relation is\n"
      "marked \"doubtful\": at that size one can appear by chance, as loose\n"
      "tolerances show. Trust it only after a check with more digits.\n"
      "\n"
      "Exit status: 0 a relation was found; 1 none was; 2 bad usage or input (a line\n"
      "that is not a decimal literal is named by its number, and nothing is\n"
      "searched); 3 the library stopped on a fatal condition during the search\n"
      "(its message is printed on standard error).\n";
  return text;
}

}  // namespace finder
