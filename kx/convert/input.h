// Decimal input: digit strings, decimal literals and lines read from an
// input unit, converted to binary128 and quad-pair values.
#pragma once

#include <iosfwd>
#include <string_view>

#include <kx/core/core.h>

/// The binary128 value of the decimal digits s(1..n), accumulated as
/// d = 10 d + k. A character that is not a digit is reported with the line
/// " KXDIGIN: non-digit in character string" and skipped; n <= 0 gives 0.
/// Stops with a message when n exceeds the length of s.
///   kxdigin("12a3", 4);   // 123, after one message line
__float128 kxdigin(std::string_view s, int n);
