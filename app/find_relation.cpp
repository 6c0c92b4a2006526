// kx-find-relation: an integer relation among numbers the user brings, as
// given, among the powers of one number, or between one number and named
// constants. --help describes the command; finder_options.cpp holds the text.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <kx/kx.h>
#include <kx/support/format.h>
#include <kx/support/unit_streams.h>

#include "finder_input.h"
#include "finder_options.h"
#include "named_constants.h"
#include "relation_report.h"
#include "relation_text.h"
#include "test_run.h"

namespace {

using namespace finder;

constexpr int status_found = 0;
constexpr int status_none = 1;
constexpr int status_bad_input = 2;
constexpr int status_stopped = 3;

// The vector the search runs on, with a label for each entry.
struct search_input {
  std::vector<kxreal> x;
  std::vector<std::string> labels;
};

void say(const std::string& text) { kx::write_to_output_unit(kx::standard_output_unit, text); }

int complain(const std::string& reason, bool with_usage) {
  std::cerr << "kx-find-relation: " << reason << "\n";
  if (with_usage) std::cerr << usage_text();
  return status_bad_input;
}

search_input linear_input(const std::vector<literal>& literals) {
  search_input in;
  for (std::size_t i = 0; i < literals.size(); ++i) {
    in.x.push_back(literals[i].value);
    std::string label = kx::format_template("('x',i3)", static_cast<int>(i) + 1);
    label.pop_back();
    in.labels.push_back(label);
  }
  return in;
}

// 1, x, ..., x^degree, as the test program makes the powers of its number.
search_input algebraic_input(const kxreal& x, int degree) {
  search_input in{test_run::powers_of(x, degree + 1), {}};
  for (int k = 1; k <= degree + 1; ++k) in.labels.push_back(relation_report::power_label(k));
  return in;
}

// x, 1, then the constants in the order named.
search_input constants_input(const kxreal& x, const std::vector<std::string>& names) {
  search_input in{{x, kxreal{1}}, {"x", "1"}};
  for (const std::string& name : names) {
    const named_constant* c = find_constant(name);
    in.x.push_back(c->value());
    in.labels.emplace_back(c->formula);
  }
  return in;
}

std::string short_e(const kxreal& v) {
  std::string text = kxeformat(v, 20, 2);
  text.erase(text.find_last_not_of(' ') + 1);
  return text.substr(text.find_first_not_of(' '));
}

void describe(const options& o, const search_input& in, std::span<const kxreal> r, int digits) {
  const std::vector<__int128> c = integers_of(r);
  if (o.mode == search_mode::algebraic) say("Polynomial: " + polynomial_text(c) + "\n");
  if (o.mode == search_mode::constants) {
    const std::string formula = formula_text(c, in.labels);
    say(formula.empty() ? "Formula: none: x is not in the relation, the constants alone satisfy it\n"
                        : "Formula: " + formula + "\n");
  }
  say("Residual: " + short_e(residual(r, in.x)) + "\n");
  const double confidence = confidence_digits(digits, r);
  char line[160];
  std::snprintf(line, sizeof line, "Confidence: %.1f digits (%d digits of input, %.1f used by the relation)%s\n",
                confidence, digits, digits - confidence,
                confidence < doubtful_below ? ": doubtful, a relation this large can appear by chance" : "");
  say(line);
}

int search(const options& o, const std::vector<literal>& literals) {
  const std::size_t count = literals.size();
  if (o.mode == search_mode::linear && count < 2) return complain("the linear mode needs two numbers or more", false);
  if (o.mode != search_mode::linear && count != 1) {
    return complain("this mode needs exactly one number, not " + std::to_string(count), false);
  }
  const search_input in = o.mode == search_mode::linear      ? linear_input(literals)
                          : o.mode == search_mode::algebraic ? algebraic_input(literals[0].value, o.degree)
                                                             : constants_input(literals[0].value, o.constants);
  const std::size_t n = in.x.size();
  const int digits = input_digits(literals);
  const int tolerance = o.tolerance_digits.value_or(default_tolerance_digits(literals));

  char line[160];
  std::snprintf(line, sizeof line, "Relation search: n = %zu, tolerance 1e-%d, norm bound 1e%d, %d digits of input\n",
                n, tolerance, o.norm_bound_digits, digits);
  say(line);
  std::vector<kxreal> r(n);
  int found = 0;
  zezuv1(o.debug, static_cast<int>(n), o.norm_bound_digits, pow(kxreal{10}, -tolerance), in.x, found, r);
  if (found != 1) {
    std::snprintf(line, sizeof line, "No relation found of norm up to 1e%d at tolerance 1e-%d\n",
                  o.norm_bound_digits, tolerance);
    say(line);
    return status_none;
  }
  relation_report::write_relation(r, in.labels);
  describe(o, in, r, digits);
  return status_found;
}

std::vector<literal> read_input(const std::string& path) {
  if (path == "-") return read_literals(std::cin);
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  return read_literals(file);
}

}  // namespace

int main(int argc, char** argv) {
  options o;
  try {
    o = parse_options(argc, argv);
  } catch (const std::invalid_argument& e) {
    return complain(e.what(), true);
  }
  if (o.help) {
    std::cout << help_text();
    return status_found;
  }
  // Every fatal condition of the library becomes a kx::fatal_error here,
  // so that a bad literal or a stop inside the search is reported as such.
  kx::set_fatal_handler(kx::throw_fatal_error);
  std::vector<literal> literals;
  try {
    literals = read_input(o.input);
  } catch (const input_error& e) {
    return complain("line " + std::to_string(e.line()) + ": " + e.what(), false);
  } catch (const std::runtime_error& e) {
    return complain(e.what(), false);
  }
  try {
    return search(o, literals);
  } catch (const kx::fatal_error& e) {
    std::cerr << "kx-find-relation: the library stopped the search:\n" << e.what();
    return status_stopped;
  }
}
