// The test run: the 17 powers of 3^(1/4) - 2^(1/4), the relation search, the
// relation report and the verdict.
#pragma once

#include <span>
#include <string>
#include <vector>

#include <kx/core/core.h>

namespace test_run {

/// The relation report line of a coefficient: its fixed-notation text in 64
/// columns with '+' before a positive value (64 '*' when it has no room),
/// then " * " and the label.
std::string relation_line(const kxreal& coefficient, const std::string& label);

/// Prints the recovered relation, one line per non-zero coefficient.
void write_relation(std::span<const kxreal> r);

/// The input of the search: x(k) = a^(k-1), k = 1..17, a = 3^(1/4) - 2^(1/4).
std::vector<kxreal> test_vector();

/// Runs the test after the header; returns true when the search returned a
/// relation ("TEST PASSED" printed), false otherwise ("TEST FAILED").
bool run();

}  // namespace test_run
