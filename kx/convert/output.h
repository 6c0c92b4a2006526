// Decimal output: scientific and fixed notation of quad-pair values, and
// printing them as lines.
#pragma once

#include <span>
#include <string>

#include <kx/core/core.h>

/// Writes a in scientific notation with nd significant digits, left-justified
/// in b(1..nb) and padded with blanks: 12.5 with nd = 5 is "1.2500e1",
/// -0.25 with nd = 3 is "-2.50e-1". Exactly nb characters of b are written.
/// The digits are cut, except that a value a hair below a short decimal
/// (1.1999...9 to all digits generated) shows that decimal; the text lies
/// within one unit of its last digit for nd <= 66 (1.01 measured at 66); at
/// nd = 67 or 68 the last digit is below the error of the decimal scaling
/// (4.1 units measured at 68 over 20000 values, 5.6 seen once). Non-finite values give "inf", "-inf" or
/// "nan". Stops with a message when nb <= nd + 7, nd < 0 or b holds fewer
/// than nb characters.
///   char b[20];  kxeformat(kxreal{12.5Q, 0}, 20, 5, b);
void kxeformat(const kxreal& a, int nb, int nd, std::span<char> b);

/// The nb characters that kxeformat(a, nb, nd, b) writes, as a string.
///   kxeformat(kxreal{100}, 12, 4);   // "1.000e2     "
std::string kxeformat(const kxreal& a, int nb, int nd);

/// Writes a in fixed notation with nd digits after the point, right-justified
/// in b(1..nb): twelve with nd = 0 ends the field with "12.". The digits are
/// those of kxeformat with two more, cut; an integer a hair below itself
/// prints exactly; a value a hair below 10^E, whose scientific text may be
/// 0.999...eE, shows 99.99... with no leading zero. A number too wide for the
/// field (nd + E + 3 > nb, with E its decimal exponent) fills it with
/// asterisks; a non-finite one shows "inf", "-inf" or "nan". Stops with a
/// message when nb <= nd + 7, nd < 0 or b holds fewer than nb characters.
void kxfformat(const kxreal& a, int nb, int nd, std::span<char> b);

/// The nb characters that kxfformat(a, nb, nd, b) writes, as a string.
///   kxfformat(kxreal{-7}, 10, 2);   // "     -7.00"
std::string kxfformat(const kxreal& a, int nb, int nd);

/// Writes a with ld significant digits in a field of ln characters (trailing
/// blanks included) as one line on output unit iu, 120 characters a line.
/// Unit 6 is standard output; see units.h for attaching others. Stops with
/// the message of kxeformat when ln < ld + 8, and with its own when the unit
/// has no stream.
///   kxwritenum(6, 80, 70, x);
void kxwritenum(int iu, int ln, int ld, const kxreal& a);
