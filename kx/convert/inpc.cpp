// Decimal literal to quad pair: the significant digits of the mantissa are
// gathered into an integer m, the point position and the exponent give the
// power of ten, and the value is m 10^(p - nd), one kxnpwr and one kxmul.
// Digits that would carry m past the range are dropped (those before the
// point still count in p), and below 10^-4902 the value is m / 10^(nd - p).
#include <string_view>

#include <kx/convert/input.h>
#include <kx/core/digits.h>
#include <kx/core/quad_words.h>
#include <kx/support/fatal.h>

namespace {

constexpr int largest_exponent_digits = 3;

// 10^s for s >= -4902 keeps its low word to within the stated error of a
// conversion; below, that word is subnormal and m / 10^-s is used instead.
constexpr int smallest_full_power_of_ten = -4902;
// 10^4932 is the largest finite power of ten.
constexpr int largest_power_of_ten = 4932;

[[noreturn]] void syntax_fault() {
  kx::fatal("('*** KXINPC: Syntax error in literal string.')");
}

// The digit value of c, or a syntax error.
int digit_value(char c) {
  const std::size_t k = kx::decimal_digits.find(c);
  if (k == std::string_view::npos) syntax_fault();
  return static_cast<int>(k);
}

bool is_exponent_letter(char c) { return c == 'D' || c == 'E' || c == 'd' || c == 'e'; }

struct mantissa {
  kxreal m;             // the integer of the counted digits
  int nd = 0;           // counted digits
  int p = -1;           // counted digits before the point, -1 while none is seen
  int dropped = 0;      // digits before the point dropped once m was full
  bool full = false;    // one more digit would carry m past the range
  int sign = 0;         // 0 (none), +1 or -1
  std::size_t end = 0;  // index after the mantissa: the exponent letter, or the end
};

// m = 10 m + k, or, once that would leave the range, the digit dropped.
void take_digit(mantissa& r, int k) {
  if (!r.full) {
    kxreal next;
    kxmuld(r.m, 10, next);
    kxadd(next, static_cast<__float128>(k), next);
    r.full = !kx::is_finite(next.hi);
    if (!r.full) {
      r.m = next;
      ++r.nd;
      return;
    }
  }
  if (r.p < 0) ++r.dropped;
}

// Scans the mantissa up to an exponent letter. Zeros before the first
// counted digit or point are skipped, zeros after it are counted; a blank is
// skipped only while no digit has been counted.
mantissa scan_mantissa(std::string_view s) {
  mantissa r;
  bool started = false;
  for (r.end = 0; r.end < s.size(); ++r.end) {
    const char c = s[r.end];
    if (c == ' ' && r.nd == 0) continue;
    if (c == '.') {
      if (r.p >= 0) syntax_fault();
      r.p = r.nd;
      started = true;
    } else if (c == '+' || c == '-') {
      if (r.nd != 0 || r.p >= 0 || r.sign != 0) syntax_fault();
      r.sign = c == '+' ? 1 : -1;
    } else if (is_exponent_letter(c)) {
      return r;
    } else {
      const int k = digit_value(c);
      if (k == 0 && !started) continue;
      started = true;
      take_digit(r, k);
    }
  }
  return r;
}

// The signed value of the exponent field: blanks anywhere, one sign before
// the digits, at most three digits. An empty field is 0.
int exponent_value(std::string_view field) {
  char digits[10] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  int ie = 0;
  int sign = 0;
  for (const char c : field) {
    if (c == ' ') continue;
    if (c == '+' || c == '-') {
      if (sign != 0 || ie != 0) syntax_fault();
      sign = c == '+' ? 1 : -1;
      continue;
    }
    digit_value(c);
    if (++ie > largest_exponent_digits) syntax_fault();
    digits[ie - 1] = c;
  }
  const int value = static_cast<int>(kxdigin(std::string_view(digits, sizeof digits), ie));
  return sign == -1 ? -value : value;
}

// m / 10^t, in two divisions when 10^t is beyond the range (t <= 2 * 4932).
kxreal divided_by_power_of_ten(kxreal m, int t) {
  kxreal power;
  if (t > largest_power_of_ten) {
    kxnpwr(kxreal{10, 0}, t - largest_power_of_ten, power);
    kxdiv(m, power, m);
    t = largest_power_of_ten;
  }
  kxnpwr(kxreal{10, 0}, t, power);
  kxdiv(m, power, m);
  return m;
}

// m 10^s.
kxreal scaled_by_power_of_ten(const kxreal& m, int s) {
  if (s < smallest_full_power_of_ten && s >= -2 * largest_power_of_ten) return divided_by_power_of_ten(m, -s);
  kxreal power;
  kxnpwr(kxreal{10, 0}, s, power);
  kxreal b;
  kxmul(m, power, b);
  return b;
}

}  // namespace

void kxinpc(std::string_view s, kxreal& b) {
  const std::size_t n = s.find_last_not_of(' ');
  if (n == std::string_view::npos) {
    b = {0, 0};
    return;
  }
  const std::string_view text = s.substr(0, n + 1);
  mantissa r = scan_mantissa(text);
  if (r.sign == -1) r.m = {-r.m.hi, -r.m.lo};
  if (r.p == -1) r.p = r.nd;
  r.p += r.dropped;
  if (r.end < text.size()) r.p += exponent_value(text.substr(r.end + 1));
  b = scaled_by_power_of_ten(r.m, r.p - r.nd);
}
