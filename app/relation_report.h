// The relation report that the test program and the relation finder print:
// a heading, then one line per non-zero coefficient with its label.
#pragma once

#include <span>
#include <string>
#include <vector>

#include <kx/core/core.h>

namespace relation_report {

/// The label of element k (1-based) of a vector of powers: "1" for the
/// constant term, then "al^" and the power k - 1 in three columns.
std::string power_label(int k);

/// The relation report line of a coefficient: its fixed-notation text in 64
/// columns with '+' before a positive value (64 '*' when it has no room),
/// then " * " and the label.
std::string relation_line(const kxreal& coefficient, const std::string& label);

/// Prints "Recovered relation: 0 =" after an empty line, then the line of
/// each non-zero r[i] with labels[i].
void write_relation(std::span<const kxreal> r, std::span<const std::string> labels);

}  // namespace relation_report
