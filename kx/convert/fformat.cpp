// Fixed notation of a quad pair: its scientific text, asked for two digits
// beyond those shown, has its digits moved around the point by the exponent,
// with no arithmetic on the digits. An exact integer that lies a hair below
// itself comes out exactly through the carry of the scientific text.
#include <quadmath.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

#include <kx/convert/nonfinite.h>
#include <kx/convert/output.h>
#include <kx/convert/scientific_text.h>
#include <kx/support/fatal.h>

namespace {

[[noreturn]] void width_fault() {
  kx::fatal("('*** KXFFORMAT: uninitialized or inadequately sized arrays')");
}

// The width of the scientific text: all integer digits, nd digits after the
// point, two more, and room for the sign, the point and the exponent.
// Evaluated in binary128 as written; a.hi is finite here, so the width is
// below nd + 4955.
long long scientific_width(const kxreal& a, int nd) {
  if (a.hi == 0) return static_cast<long long>(nd) + 11;
  const __float128 t = log10q(fabsq(a.hi));
  return static_cast<long long>(truncq((static_cast<__float128>(nd) + fmaxq(t, 0)) + 11));
}

// Digit k of the scientific text, k = 0 being the leading digit. The text
// was asked for nd + 2 digits beyond the integer digits, more than the
// fixed text takes; the '0' beyond its end is never reached.
char digit_at(const std::string& digits, long long k) {
  return k < static_cast<long long>(digits.size()) ? digits[static_cast<std::size_t>(k)] : '0';
}

// [-] d0 ... dE . d(E+1) ... d(E+nd) for E >= 0; [-] 0 . then min(nd, -E - 1)
// zeros and the leading digits up to nd places for E < 0. A value whose
// scaled form lies a hair below 1 has the text 0.999...eE; for E > 0 its
// integer part starts after that 0, so no integer part begins with a zero.
std::string fixed_text(const kx::scientific_parts& p, int nd, long long e) {
  std::string text = p.negative ? "-" : "";
  if (e >= 0) {
    const long long first = e > 0 && digit_at(p.digits, 0) == '0' ? 1 : 0;
    for (long long k = first; k <= e; ++k) text += digit_at(p.digits, k);
    text += '.';
    for (long long k = e + 1; k <= e + nd; ++k) text += digit_at(p.digits, k);
  } else {
    text += "0.";
    const long long zeros = std::min<long long>(nd, -e - 1);
    text.append(static_cast<std::size_t>(zeros), '0');
    for (long long k = 0; k < nd - zeros; ++k) text += digit_at(p.digits, k);
  }
  return text;
}

// The text right-justified in the field, blanks before it; a text wider than
// the field fills it with asterisks.
void right_justify(std::string_view text, std::span<char> field) {
  if (text.size() > field.size()) {
    std::fill(field.begin(), field.end(), '*');
    return;
  }
  const auto blanks = field.size() - text.size();
  std::fill_n(field.begin(), blanks, ' ');
  std::copy(text.begin(), text.end(), field.begin() + static_cast<std::ptrdiff_t>(blanks));
}

}  // namespace

void kxfformat(const kxreal& a, int nb, int nd, std::span<char> b) {
  if (nd < 0 || static_cast<long long>(nb) <= static_cast<long long>(nd) + 7 ||
      b.size() < static_cast<std::size_t>(nb)) {
    width_fault();
  }
  const std::span<char> field = b.first(static_cast<std::size_t>(nb));
  const kxreal v = kx::printed_value(a);
  const std::string_view special = kx::nonfinite_text(v);
  if (!special.empty()) {
    right_justify(special, field);
    return;
  }
  // The scientific text is as wide as it needs to be (nd + 11 plus the
  // integer digits), which for large numbers is more than nb + 20.
  const long long nb2 = scientific_width(v, nd);
  if (nb2 > INT_MAX) width_fault();
  const int width = static_cast<int>(nb2);
  const kx::scientific_parts p = kx::parse_scientific(kxeformat(v, width, width - 8));
  if (p.exponent_sign == 1 && (static_cast<__float128>(nd) + p.exponent) + 3 > nb) {
    std::fill(field.begin(), field.end(), '*');
    return;
  }
  // Past the test a positive exponent is below nb; a negative one beyond
  // nd + 1 only adds zeros that are cut, so it is clamped there. With
  // these, the text has at most nd + E + 3 characters and fits the field.
  const long long e = p.exponent_sign == 1 ? static_cast<long long>(p.exponent)
                                           : -static_cast<long long>(fminq(p.exponent, nd + 1));
  right_justify(fixed_text(p, nd, e), field);
}

std::string kxfformat(const kxreal& a, int nb, int nd) {
  std::string b(static_cast<std::size_t>(std::max(nb, 0)), ' ');
  kxfformat(a, nb, nd, b);
  return b;
}
