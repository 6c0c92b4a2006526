// The stream operators format through kxeformat and kxfformat and read
// through kxinpc, after checking the token's syntax themselves: kxinpc stops
// the process on a malformed literal, and a stream operator must only set
// failbit.
#include <quadmath.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/types/limits.h>
#include <kx/types/number.h>
#include <kx/types/streams.h>

namespace kx {

namespace {

constexpr std::streamsize default_precision = 6;
constexpr std::streamsize largest_precision = 5000;

// The most exponent digits kxinpc reads, and the decimal exponent of the
// leading digit beyond which every literal is infinity or zero to it (the
// range of binary128 ends near 10^4932, its subnormals near 10^-4966).
constexpr std::size_t kxinpc_exponent_digits = 3;
constexpr long long farthest_leading_exponent = 5101;

int precision_of(const std::ios_base& s) {
  const std::streamsize p = s.precision();
  return static_cast<int>(p < 0 ? default_precision : std::min(p, largest_precision));
}

// Columns enough for every integer digit of a in fixed notation: a below 1
// has none beyond the 0, and 2^(e+1) has fewer than (e + 1) / 3 + 1 digits.
int integer_columns(const real& a) {
  if (!finiteq(a.hi) || fabsq(a.hi) < 1) return 1;
  return ilogbq(a.hi) / 3 + 2;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// The text of a, unpadded, as the flags and precision ask.
std::string number_text(const real& a, const std::ios_base& s) {
  const std::ios_base::fmtflags flags = s.flags();
  const std::ios_base::fmtflags notation = flags & std::ios_base::floatfield;
  const int precision = precision_of(s);
  std::string text;
  if (notation == std::ios_base::fixed) {
    text = trimmed(kxfformat(a, precision + 8 + integer_columns(a), precision));
  } else {
    const int nd = notation == std::ios_base::scientific ? precision + 1 : std::max(precision, 1);
    text = trimmed(kxeformat(a, nd + 8, nd));
  }
  if (flags & std::ios_base::uppercase) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  }
  const bool nan = isnanq(a.hi) || isnanq(a.lo);
  if ((flags & std::ios_base::showpos) && text.front() != '-' && !nan) text.insert(text.begin(), '+');
  return text;
}

// Writes text padded to the stream's width with its fill: after the text
// for left, after a leading sign or parenthesis for internal, before it
// otherwise. The width is then reset, as for every formatted output.
std::ostream& write_padded(std::ostream& os, std::string text) {
  const std::ostream::sentry ok(os);
  if (!ok) return os;
  const std::streamsize width = os.width(0);
  if (width > static_cast<std::streamsize>(text.size())) {
    const std::string padding(static_cast<std::size_t>(width) - text.size(), os.fill());
    const std::ios_base::fmtflags adjust = os.flags() & std::ios_base::adjustfield;
    std::size_t at = 0;
    if (adjust == std::ios_base::left) {
      at = text.size();
    } else if (adjust == std::ios_base::internal && (text[0] == '-' || text[0] == '+' || text[0] == '(')) {
      at = 1;
    }
    text.insert(at, padding);
  }
  if (os.rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size())) !=
      static_cast<std::streamsize>(text.size())) {
    os.setstate(std::ios_base::badbit);
  }
  return os;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == y;
         });
}

// The pieces of a well-formed decimal token.
struct literal_parts {
  char sign = 0;                  // '+', '-' or 0
  std::string_view integer;       // digits before the point
  std::string_view fraction;      // digits after it
  std::string_view exponent;      // exponent digits, leading zeros dropped
  bool negative_exponent = false;
};

// Splits a token of the form [sign] digits [. digits] [letter [sign] digits]
// with at least one mantissa digit, or gives nothing.
std::optional<literal_parts> split_literal(std::string_view t) {
  literal_parts r;
  std::size_t i = 0;
  const auto digits_from = [&](std::size_t& k) {
    const std::size_t start = k;
    while (k < t.size() && is_digit(t[k])) ++k;
    return t.substr(start, k - start);
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) r.sign = t[i++];
  r.integer = digits_from(i);
  if (i < t.size() && t[i] == '.') r.fraction = digits_from(++i);
  if (r.integer.empty() && r.fraction.empty()) return std::nullopt;
  if (i == t.size()) return r;
  if (std::string_view("eEdD").find(t[i]) == std::string_view::npos) return std::nullopt;
  if (++i < t.size() && (t[i] == '+' || t[i] == '-')) r.negative_exponent = t[i++] == '-';
  std::string_view exponent = digits_from(i);
  if (exponent.empty() || i != t.size()) return std::nullopt;
  r.exponent = exponent.substr(std::min(exponent.find_first_not_of('0'), exponent.size()));
  return r;
}

// The literal for kxinpc: the token itself with its exponent written without
// leading zeros when that has at most three digits (the same digits, point
// and exponent, so the same words); otherwise the digits with the point moved
// by the exponent, which kxinpc reads at any length.
std::string kxinpc_literal(const literal_parts& r) {
  std::string text(r.sign != 0 ? 1 : 0, r.sign);
  if (r.exponent.size() <= kxinpc_exponent_digits) {
    text.append(r.integer).append(".").append(r.fraction);
    if (!r.exponent.empty()) text.append(r.negative_exponent ? "e-" : "e").append(r.exponent);
    return text;
  }
  std::string digits = std::string(r.integer) + std::string(r.fraction);
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return text.append("0");
  // Past 5101 every value is infinity or zero: the shift is cut there, as it
  // changes nothing, and the text stays short.
  const long long exponent_cap = 2 * farthest_leading_exponent + static_cast<long long>(digits.size());
  const long long exponent =
      r.exponent.size() > 6 ? exponent_cap : std::min(std::stoll(std::string(r.exponent)), exponent_cap);
  const long long leading = static_cast<long long>(r.integer.size()) - static_cast<long long>(first) - 1 +
                            (r.negative_exponent ? -exponent : exponent);
  const long long excess = std::max(0LL, std::abs(leading) - farthest_leading_exponent);
  const long long shift = (r.negative_exponent ? -exponent : exponent) + (leading > 0 ? -excess : excess);
  const long long point = static_cast<long long>(r.integer.size()) + shift;
  if (point <= 0) return text.append(".").append(static_cast<std::size_t>(-point), '0').append(digits);
  if (point >= static_cast<long long>(digits.size())) {
    return text.append(digits).append(static_cast<std::size_t>(point) - digits.size(), '0');
  }
  digits.insert(digits.begin() + point, '.');
  return text.append(digits);
}

// The value of a real token, or nothing when it is not one.
std::optional<real> real_from_token(std::string_view t) {
  using limits = std::numeric_limits<real>;
  const std::string_view unsigned_part = !t.empty() && (t[0] == '+' || t[0] == '-') ? t.substr(1) : t;
  if (equals_ignoring_case(unsigned_part, "inf")) {
    return t[0] == '-' ? -limits::infinity() : limits::infinity();
  }
  if (equals_ignoring_case(unsigned_part, "nan")) return limits::quiet_NaN();
  const std::optional<literal_parts> parts = split_literal(t);
  if (!parts) return std::nullopt;
  real a;
  kxinpc(kxinpc_literal(*parts), a);
  return a;
}


// The value of a complex token: "(re,im)", "(re)" or a real token.
std::optional<complex> complex_from_token(std::string_view t) {
  if (t.empty() || t.front() != '(') {
    const std::optional<real> re = real_from_token(t);
    if (!re) return std::nullopt;
    return complex(*re);
  }
  if (t.back() != ')') return std::nullopt;
  const std::string_view inside = t.substr(1, t.size() - 2);
  const std::size_t comma = inside.find(',');
  const std::optional<real> re = real_from_token(inside.substr(0, comma));
  if (comma == std::string_view::npos) return re ? std::optional<complex>(complex(*re)) : std::nullopt;
  const std::optional<real> im = real_from_token(inside.substr(comma + 1));
  if (!re || !im) return std::nullopt;
  return complex(*re, *im);
}

// Reads the next whitespace-delimited token, as operator>> of a string does,
// and stores its value, or sets failbit and leaves the value alone.
template <class T>
std::istream& read_token(std::istream& is, T& value, std::optional<T> (*from_token)(std::string_view)) {
  std::string token;
  if (!(is >> token)) return is;
  if (const std::optional<T> read = from_token(token)) {
    value = *read;
  } else {
    is.setstate(std::ios_base::failbit);
  }
  return is;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const real& a) { return write_padded(os, number_text(a, os)); }

std::ostream& operator<<(std::ostream& os, const complex& z) {
  std::string text = "(";
  text.append(number_text(z.re, os)).append(",").append(number_text(z.im, os)).append(")");
  return write_padded(os, text);
}

std::istream& operator>>(std::istream& is, real& a) { return read_token(is, a, real_from_token); }

std::istream& operator>>(std::istream& is, complex& z) { return read_token(is, z, complex_from_token); }

}  // namespace kx
