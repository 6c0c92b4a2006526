// Reads kxeformat's text back into its sign, digits and exponent.
#include <kx/convert/scientific_text.h>

#include <algorithm>
#include <string_view>

#include <kx/convert/input.h>
#include <kx/support/fatal.h>

namespace kx {
namespace {

// The exponent digits kept: 16 decimal digits are exact in binary128.
constexpr std::size_t kept_exponent_digits = 16;

[[noreturn]] void syntax_fault() {
  kx::fatal("('*** KXFFORMAT: Syntax error in output of kxeformat')");
}

}  // namespace

scientific_parts parse_scientific(const std::string& s) {
  const std::size_t last = s.find_last_not_of(' ');
  if (last == std::string::npos) syntax_fault();
  const std::size_t e = s.find('e');
  if (e == std::string::npos || e > last) syntax_fault();
  scientific_parts p;
  p.negative = s[0] == '-';
  const std::size_t lead = p.negative ? 1 : 0;
  p.digits = s.substr(lead, e - lead);
  if (p.digits.size() > 1 && p.digits[1] == '.') p.digits.erase(1, 1);
  std::size_t first = e + 1;
  if (first <= last && s[first] == '-') {
    p.exponent_sign = -1;
    ++first;
  }
  const std::string_view exponent_digits(s.data() + first, last + 1 - first);
  const std::size_t kept = std::min(exponent_digits.size(), kept_exponent_digits);
  p.exponent = kxdigin(exponent_digits, static_cast<int>(kept));
  return p;
}

}  // namespace kx
