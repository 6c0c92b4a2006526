// Decimal input: digit strings, decimal literals and lines read from an
// input unit, converted to binary128 and quad-pair values.
#pragma once

#include <string_view>

#include <kx/core/core.h>

/// The binary128 value of the decimal digits s(1..n), accumulated as
/// d = 10 d + k. A character that is not a digit is reported with the line
/// " KXDIGIN: non-digit in character string" and skipped; n <= 0 gives 0.
/// Stops with a message when n exceeds the length of s.
///   kxdigin("12a3", 4);   // 123, after one message line
__float128 kxdigin(std::string_view s, int n);

/// b = the value of the decimal literal s, such as "-1.5e+3" or a 70-digit
/// constant: sign, digits with at most one point, then an optional exponent
/// of at most three digits after D, d, E or e. Blanks may lead, trail, stand
/// before the first counted digit and anywhere in the exponent field. Blank
/// or empty text gives 0. Stops with a message on a syntax error.
/// Any number of digits is accepted: digits past about the 4930th
/// significant one are dropped (before the point they still count in the
/// exponent). Accuracy, for values in the normal range: 8 units of 2^-226
/// per significant digit, plus kxnpwr's bound for the power of ten, plus 8.
/// With three exponent digits it cannot read back what kxeformat writes for
/// |x| >= 10^1000 or |x| < 10^-999: write the digits out, or read a scaled
/// literal and multiply it by a power of ten.
///   kxreal b;  kxinpc("3.14159265358979323846264338327950288419716939937510", b);
void kxinpc(std::string_view s, kxreal& b);

/// b = the value of the literal on the next line of input unit iu (5 is
/// standard input; see units.h for attaching others), converted as by
/// kxinpc whatever its length. A line ends at LF or at CR LF (the CR is
/// dropped; a CR anywhere else is a syntax error). Stops with a message at end of file and
/// when the unit has no stream.
///   kxreal b;  kxinp(5, b);
void kxinp(int iu, kxreal& b);
