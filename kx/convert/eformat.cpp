// Scientific notation of a quad pair: the value is scaled by a power of ten
// into [1, 10), its digits are drawn 32 at a time as integer parts of the
// fraction times 10^32, a tail of nines is carried into the next decimal, and
// the shown digits are followed by e and the decimal exponent.
#include <quadmath.h>

#include <algorithm>
#include <string>

#include <kx/convert/eformat_buffer.h>
#include <kx/convert/nonfinite.h>
#include <kx/convert/output.h>
#include <kx/core/eft.h>
#include <kx/support/fatal.h>

namespace {

constexpr int digits_per_block = 32;
// 10^32 = 2^32 5^32 with 5^32 < 2^75: exact in binary128.
constexpr __float128 block_scale = 1e32Q;
const kxreal ten = {10, 0};

// The largest power of ten used in one scaling step. kxdiv and kxmul split
// the power's high word, multiplying it by 2^57 + 1; 10^4900 (2^57 + 1) is
// about 1.4e4917, below the binary128 maximum 1.19e4932, while 10^4915 and
// up would overflow. Values nearer the range ends are scaled in two steps.
constexpr int largest_scaling_power = 4900;

// The exponent is formed as ten decimal digits, shown from the first that
// is not zero; a binary128 value needs at most four.
constexpr int exponent_digits = 10;

[[noreturn]] void width_fault() {
  kx::fatal("('*** KXEFORMAT: uninitialized or inadequately sized arrays')");
}

// s = |a| / 10^n for n > 0 and |a| 10^-n for n < 0, each power formed by
// kxnpwr of (10, 0): one division or one product, as long as |n| stays
// within the largest scaling power.
kxreal scaled_once(const kxreal& abs_a, int n) {
  kxreal power;
  kxreal s;
  if (n > 0) {
    kxnpwr(ten, n, power);
    kxdiv(abs_a, power, s);
  } else {
    kxnpwr(ten, -n, power);
    kxmul(abs_a, power, s);
  }
  return s;
}

// |a| / 10^nexp. Beyond the largest scaling power it takes two steps; a
// value near the binary128 maximum is halved first (and doubled after),
// since the division re-forms a product of the size of |a| that could round
// past the maximum. Halving and doubling commute with every rounding of the
// division.
kxreal scaled_to_exponent(const kxreal& abs_a, int nexp) {
  if (nexp == 0) return abs_a;
  if (nexp > largest_scaling_power) {
    const kxreal half = kx::scaled_by_power_of_two(abs_a, -1);
    const kxreal s = scaled_once(scaled_once(half, largest_scaling_power), nexp - largest_scaling_power);
    return kx::scaled_by_power_of_two(s, 1);
  }
  if (nexp < -largest_scaling_power) {
    return scaled_once(scaled_once(abs_a, -largest_scaling_power), nexp + largest_scaling_power);
  }
  return scaled_once(abs_a, nexp);
}

// The decimal exponent from the binary128 logarithm of the high word,
// truncated toward zero after one is taken from a negative logarithm.
int exponent_estimate(__float128 abs_hi) {
  __float128 t = log10q(abs_hi);
  if (t < 0) t = t - 1;
  return static_cast<int>(truncq(t));
}

// Brings hi(s) into [1, 10), counting the steps in nexp. s is finite and
// positive with hi(s) within a factor of about 10 of the interval, so
// each loop ends after a step or two.
void normalise(kxreal& s, int& nexp) {
  while (s.hi < 1) {
    kxmuld(s, 10, s);
    --nexp;
  }
  while (s.hi >= 10) {
    kxdivd(s, 10, s);
    ++nexp;
  }
}

// The digits of the scaled value from position `first` on: the leading
// digit, the point, then `blocks` blocks of 32 digits. Returns the position
// of the last digit written.
long long write_digits(const kxreal& s, int blocks, long long first, kx::eformat_buffer& b2) {
  kxreal ip;
  kxreal f;
  kxinfr(s, ip, f);
  // ip is 0..9 (0 when s sits just below a power of ten); kxdigstr gives
  // its digit without converting a binary128 value to an integer.
  b2.put(first, kxdigstr(ip.hi, 1)[0]);
  b2.put(first + 1, '.');
  kxreal t;
  kxsub(s, ip, t);
  kxmuld(t, block_scale, t);
  long long pos = first + 1;
  for (int block = 0; block < blocks; ++block) {
    kxreal g;
    if (t.hi != 0) kxinfr(t, g, f);
    const auto digits = kxdigstr(g.hi, digits_per_block);
    for (char c : digits) b2.put(++pos, c);
    kxsub(t, g, t);
    kxmuld(t, block_scale, t);
  }
  return pos;
}

// The carry. The unit is added to the last generated digit when the buffer
// character at position nd + 1 is a digit 5 or more and every generated
// digit after the shown ones is a nine. It then runs through that tail and
// turns the shown digits into the next decimal up: a value a hair below a
// short decimal or an integer (1.2 computed as 1.1999...9) prints as that
// decimal, and since the tail is at least one nine, the rounded-up text is
// also the nearer one. Any other tail leaves the shown digits as they are
// (cut, not rounded), always within one unit of the last shown digit.
// A digit that is not a nine never passes a carry on, so adding the unit on
// other tails would change only unshown digits; the rule leaves them alone.
bool carry_wanted(const kx::eformat_buffer& b2, long long nd, long long first_tail, long long last) {
  const char c = b2.at(nd + 1);
  if (c < '5' || c > '9') return false;
  for (long long pos = first_tail; pos <= last; ++pos) {
    if (b2.at(pos) != '9') return false;
  }
  return true;
}

// Adds one unit at position `last` and runs the carry leftwards over the
// point. A leading 9 becomes 1 (all others are 0 by then) and raises nexp.
void carry(kx::eformat_buffer& b2, long long leading, long long last, int& nexp) {
  for (long long pos = last; pos > leading; --pos) {
    const char c = b2.at(pos);
    if (c == '.') continue;
    if (c != '9') {
      b2.put(pos, static_cast<char>(c + 1));
      return;
    }
    b2.put(pos, '0');
  }
  if (b2.at(leading) == '9') {
    b2.put(leading, '1');
    ++nexp;
  } else {
    b2.put(leading, static_cast<char>(b2.at(leading) + 1));
  }
}

// e, a minus for a negative exponent, and |nexp| without leading zeros
// (a single 0 for zero). Returns the position after the last character.
long long write_exponent(int nexp, long long pos, kx::eformat_buffer& b2) {
  b2.put(pos++, 'e');
  if (nexp < 0) b2.put(pos++, '-');
  const auto digits = kxdigstr(static_cast<__float128>(nexp), exponent_digits);
  const std::string_view all(digits.data(), exponent_digits);
  const auto first_nonzero = all.find_first_not_of('0');
  const std::string_view shown = first_nonzero == std::string_view::npos ? all.substr(exponent_digits - 1)
                                                                         : all.substr(first_nonzero);
  for (char c : shown) b2.put(pos++, c);
  return pos;
}

// The scientific text of a finite a in b2(1..), followed by blanks.
void format_finite(const kxreal& a, int nd, kx::eformat_buffer& b2) {
  const int ia = static_cast<int>(copysignq(1, a.hi));
  int nexp = 0;
  kxreal s;
  if (a.hi != 0) {
    const kxreal abs_a = ia == -1 ? kxreal{-a.hi, -a.lo} : a;
    nexp = exponent_estimate(abs_a.hi);
    s = scaled_to_exponent(abs_a, nexp);
    normalise(s, nexp);
  }
  const bool negative = a.hi != 0 && ia == -1;
  if (negative) b2.put(1, '-');
  const long long leading = negative ? 2 : 1;
  const int blocks = nd / digits_per_block + 1;
  const long long last = write_digits(s, blocks, leading, b2);
  const long long first_tail = std::max<long long>(leading + nd + 1, leading + 2);
  if (carry_wanted(b2, nd, first_tail, last)) carry(b2, leading, last, nexp);
  const long long end = write_exponent(nexp, leading + nd + 1, b2);
  b2.blank_from(end);
}

}  // namespace

void kxeformat(const kxreal& a, int nb, int nd, std::span<char> b) {
  // A negative digit count would put the exponent before the first digit,
  // outside the field: it breaks the width rule as a short field does.
  if (nd < 0 || static_cast<long long>(nb) <= static_cast<long long>(nd) + 7 ||
      b.size() < static_cast<std::size_t>(nb)) {
    width_fault();
  }
  kx::eformat_buffer b2(static_cast<long long>(nb) + 50);
  const kxreal v = kx::printed_value(a);
  const std::string_view special = kx::nonfinite_text(v);
  if (special.empty()) {
    format_finite(v, nd, b2);
  } else {
    for (std::size_t i = 0; i < special.size(); ++i) b2.put(static_cast<long long>(i) + 1, special[i]);
  }
  std::copy_n(b2.text().begin(), nb, b.begin());
}

std::string kxeformat(const kxreal& a, int nb, int nd) {
  std::string b(static_cast<std::size_t>(std::max(nb, 0)), ' ');
  kxeformat(a, nb, nd, b);
  return b;
}
