// The pieces of the scientific text that kxeformat writes, read back by
// kxfformat to place the digits around the point.
#pragma once

#include <string>

namespace kx {

/// The pieces of a scientific text [-]d.ddd...e[-]x.
struct scientific_parts {
  bool negative = false;
  std::string digits;  // the leading digit, then the digits after the point
  int exponent_sign = 1;
  __float128 exponent = 0;  // the exponent's magnitude, as kxdigin gives it
};

/// The pieces of s, a text of kxeformat followed by blanks; the exponent
/// keeps its first 16 digits, which binary128 holds exactly. Stops with
/// "*** KXFFORMAT: Syntax error in output of kxeformat" when s is blank or
/// has no e before its last non-blank character.
///   kx::parse_scientific("-1.25e-3  ");   // negative, "125", sign -1, 3
scientific_parts parse_scientific(const std::string& s);

}  // namespace kx
