// Output templates in the notation of Fortran format lists. A template is
// parsed in full before anything is printed, so a malformed one is reported
// even when the values would never reach its faulty part. Every fault of the
// caller ends the process with one "*** KXFORMAT:" line; none is undefined.
#include <kx/core/format.h>

#include <quadmath.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <kx/core/core.h>

namespace kx {
namespace {

[[noreturn]] void template_fault(std::string_view what, std::string_view tmpl) {
  std::string line = "*** KXFORMAT: ";
  line += what;
  line += " in template \"";
  line += tmpl;
  line += "\"\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  kxstop();
}

// ---- The parsed template -------------------------------------------------

enum class item_kind { text, integer, fixed, exponent, characters, blanks, scale, slash, group };

struct item {
  item_kind kind = item_kind::text;
  int repeat = 1;      // data items and groups
  int width = 0;       // field width; blank count; scale factor; 0 for plain a
  int digits = 0;      // D of fW.D and dW.D
  std::string text;    // quoted text
  std::vector<item> items;  // group contents
};

item make_item(item_kind kind, int width = 0, int repeat = 1, int digits = 0) {
  item it;
  it.kind = kind;
  it.width = width;
  it.repeat = repeat;
  it.digits = digits;
  return it;
}

bool needs_value(item_kind k) {
  return k == item_kind::integer || k == item_kind::fixed || k == item_kind::exponent ||
         k == item_kind::characters;
}

bool has_data_item(std::span<const item> items) {
  for (const item& it : items) {
    if (needs_value(it.kind) || (it.kind == item_kind::group && has_data_item(it.items))) return true;
  }
  return false;
}

// Recursive descent over the template; blanks outside quoted text are
// skipped everywhere, as in Fortran.
class template_parser {
 public:
  explicit template_parser(std::string_view tmpl) : t_(tmpl) {}

  std::vector<item> parse() {
    expect('(', "the template must begin with '('");
    std::vector<item> items = parse_list();
    if (peek() != '\0') fail("text after the closing ')'");
    return items;
  }

 private:
  static constexpr int max_number = 100000;  // widths, counts and digits

  [[noreturn]] void fail(const std::string& what) const {
    template_fault("malformed template (" + what + " at column " + std::to_string(pos_ + 1) + ")", t_);
  }

  char peek() {
    while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t')) ++pos_;
    return pos_ < t_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(t_[pos_]))) : '\0';
  }

  void expect(char c, const char* what) {
    if (peek() != c) fail(what);
    ++pos_;
  }

  bool at_digit() { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  int number(const char* what) {
    if (!at_digit()) fail(what);
    int n = 0;
    while (at_digit()) {
      n = 10 * n + (t_[pos_++] - '0');
      if (n > max_number) fail("number too large");
    }
    return n;
  }

  int positive_number(const char* what) {
    const int n = number(what);
    if (n == 0) fail(std::string(what) + " is zero");
    return n;
  }

  // Items separated by commas; a slash separates by itself, and a scale
  // factor may run straight into the next item ("1pd12.4").
  std::vector<item> parse_list() {
    enum class last_token { open, item, scale, slash, comma } last = last_token::open;
    std::vector<item> items;
    for (;;) {
      const char c = peek();
      if (c == '\0') fail("missing ')'");
      if (c == ')') {
        if (last == last_token::comma) fail("missing item before ')'");
        ++pos_;
        return items;
      }
      if (c == ',') {
        if (last == last_token::open || last == last_token::comma) fail("misplaced comma");
        ++pos_;
        last = last_token::comma;
        continue;
      }
      if (c == '/') {
        ++pos_;
        items.push_back(make_item(item_kind::slash));
        last = last_token::slash;
        continue;
      }
      if (last == last_token::item) fail("missing comma between items");
      items.push_back(parse_item());
      last = items.back().kind == item_kind::scale ? last_token::scale : last_token::item;
    }
  }

  item parse_item() {
    const char c = peek();
    if (c == '\'' || c == '"') return quoted_text(c);
    if (c == '-' || c == '+') {
      ++pos_;
      const int k = number("digits expected after the sign");
      expect('P', "'p' expected after a signed scale factor");
      return make_item(item_kind::scale, c == '-' ? -k : k);
    }
    const bool counted = at_digit();
    const int count = counted ? number("") : 1;
    const char letter = peek();
    if (letter == '\0') fail("item expected");
    ++pos_;
    switch (letter) {
      case 'P':
        if (!counted) fail("'p' needs a scale factor before it");
        return make_item(item_kind::scale, count);
      case 'X':
        if (count == 0) fail("zero blank count");
        return make_item(item_kind::blanks, count);
      case '(': {
        item group = make_item(item_kind::group, 0, checked_repeat(count));
        group.items = parse_list();
        return group;
      }
      case 'I':
        return make_item(item_kind::integer, positive_number("width of i"), checked_repeat(count));
      case 'F':
      case 'D':
        return real_item(letter == 'F' ? item_kind::fixed : item_kind::exponent, checked_repeat(count));
      case 'A': {
        const int width = at_digit() ? positive_number("width of a") : 0;
        return make_item(item_kind::characters, width, checked_repeat(count));
      }
      case '\'':
      case '"':
        fail("repeat count before quoted text");
      default:
        --pos_;
        fail(std::string("unknown item '") + t_[pos_] + "'");
    }
  }

  int checked_repeat(int count) {
    if (count == 0) fail("zero repeat count");
    return count;
  }

  item real_item(item_kind kind, int repeat) {
    const int width = positive_number("field width");
    expect('.', "'.' expected after the field width");
    const int digits = number("digit count expected after '.'");
    return make_item(kind, width, repeat, digits);
  }

  // A doubled delimiter inside the text stands for one delimiter.
  item quoted_text(char quote) {
    ++pos_;
    std::string text;
    for (;;) {
      if (pos_ >= t_.size()) fail("unterminated quoted text");
      const char c = t_[pos_++];
      if (c != quote) {
        text += c;
      } else if (pos_ < t_.size() && t_[pos_] == quote) {
        text += quote;
        ++pos_;
      } else {
        item it = make_item(item_kind::text);
        it.text = std::move(text);
        return it;
      }
    }
  }

  std::string_view t_;
  size_t pos_ = 0;
};

// ---- Fields ----------------------------------------------------------------

std::string asterisks(int width) { return std::string(width, '*'); }

// Right-aligns a number in its field. One column short, the optional zero of
// "0.ddd" gives way (".ddd"); otherwise a number that does not fit is starred.
std::string fit_number(std::string s, int width) {
  const size_t w = static_cast<size_t>(width);
  if (s.size() == w + 1) {
    const size_t z = s[0] == '-' ? 1 : 0;
    if (s.size() > z + 2 && s[z] == '0' && s[z + 1] == '.' && std::isdigit(static_cast<unsigned char>(s[z + 2])))
      s.erase(z, 1);
  }
  if (s.size() > w) return asterisks(width);
  return std::string(w - s.size(), ' ') + s;
}

// quadmath_snprintf works from the exact binary value and rounds to nearest,
// so every double (exactly representable in binary128) is correctly rounded.
std::string c_format(const char* conversion, int precision, __float128 x) {
  const int n = quadmath_snprintf(nullptr, 0, conversion, precision, x);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  quadmath_snprintf(s.data(), s.size(), conversion, precision, x);
  s.resize(static_cast<size_t>(n));
  return s;
}

// "NaN", "Infinity" or the short "Inf", whichever fits; else asterisks.
std::string non_finite_field(int width, __float128 x) {
  if (isnanq(x)) return fit_number("NaN", width);
  const std::string sign = signbitq(x) ? "-" : "";
  const std::string long_form = sign + "Infinity";
  if (long_form.size() <= static_cast<size_t>(width)) return fit_number(long_form, width);
  return fit_number(sign + "Inf", width);
}

std::string integer_field(int width, long long v) { return fit_number(std::to_string(v), width); }

std::string fixed_field(int width, int digits, __float128 x) {
  if (!finiteq(x)) return non_finite_field(width, x);
  return fit_number(c_format("%#.*Qf", digits, x), width);
}

// "D+ee" for two exponent digits, "+eee" for three, empty when it needs more.
std::string exponent_suffix(int e) {
  const int magnitude = e < 0 ? -e : e;
  if (magnitude > 999) return "";
  char buf[8];
  std::snprintf(buf, sizeof buf, magnitude > 99 ? "%c%03d" : "D%c%02d", e < 0 ? '-' : '+', magnitude);
  return buf;
}

// x rounded to n significant decimal digits: x ~ d1.d2...dn * 10^exponent,
// with exponent 0 for a zero x.
struct decimal_digits {
  bool negative;
  std::string digits;
  int exponent;
};

decimal_digits rounded_digits(__float128 x, int n) {
  const std::string sci = c_format("%.*Qe", n - 1, x);  // [-]d.ddde±x
  decimal_digits r{sci[0] == '-', "", 0};
  const size_t e_pos = sci.find('e');
  for (size_t i = r.negative ? 1 : 0; i < e_pos; ++i)
    if (sci[i] != '.') r.digits += sci[i];
  if (x != 0) r.exponent = std::atoi(sci.c_str() + e_pos + 1);
  return r;
}

// Under scale factor k the significand shows k digits before the point
// (k > 0), or -k zeros after it followed by D+k digits (k <= 0); the
// exponent is chosen so that the shown number times 10^e is the value,
// and is 0 for a zero value.
std::string exponent_field(int width, int digits, int k, __float128 x, std::string_view tmpl) {
  if ((k > 0 && k >= digits + 2) || (k <= 0 && k <= -digits))
    template_fault("scale factor " + std::to_string(k) + "p is out of range for d" + std::to_string(width) +
                       "." + std::to_string(digits),
                   tmpl);
  if (!finiteq(x)) return non_finite_field(width, x);
  const decimal_digits r = rounded_digits(x, k > 0 ? digits + 1 : digits + k);
  const std::string suffix = exponent_suffix(x == 0 ? 0 : r.exponent + 1 - k);
  if (suffix.empty()) return asterisks(width);
  const std::string significand = k > 0 ? r.digits.substr(0, k) + "." + r.digits.substr(k)
                                        : "0." + std::string(-k, '0') + r.digits;
  return fit_number((r.negative ? "-" : "") + significand + suffix, width);
}

// Plain a takes the whole text; aW its leftmost W characters, right-aligned.
std::string character_field(int width, const std::string& s) {
  if (width == 0) return s;
  const size_t w = static_cast<size_t>(width);
  if (s.size() >= w) return s.substr(0, w);
  return std::string(w - s.size(), ' ') + s;
}

// ---- Applying a template to the values -----------------------------------

class template_printer {
 public:
  template_printer(std::string_view tmpl, std::span<const template_value> values)
      : tmpl_(tmpl), values_(values) {}

  // On reaching the end with values left, the line ends and the template is
  // applied again from its last top-level group (with that group's repeat
  // count) to its end, or from its beginning when it has no group.
  std::string print(const std::vector<item>& items) {
    size_t reversion = 0;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].kind == item_kind::group) reversion = i;
    const std::span<const item> reused = std::span<const item>(items).subspan(reversion);
    if (!run(items)) return out_ + '\n';
    if (next_ < values_.size() && !has_data_item(reused))
      template_fault(std::to_string(values_.size() - next_) + " value(s) left but no data item to take them",
                     tmpl_);
    while (next_ < values_.size()) {
      out_ += '\n';
      if (!run(reused)) break;
    }
    return out_ + '\n';
  }

 private:
  // False once a data item finds no value left: the output stops there.
  bool run(std::span<const item> items) {
    for (const item& it : items)
      if (!run_item(it)) return false;
    return true;
  }

  bool run_item(const item& it) {
    switch (it.kind) {
      case item_kind::text: out_ += it.text; return true;
      case item_kind::slash: out_ += '\n'; return true;
      case item_kind::blanks: out_.append(static_cast<size_t>(it.width), ' '); return true;
      case item_kind::scale: scale_ = it.width; return true;
      case item_kind::group:
        for (int r = 0; r < it.repeat; ++r)
          if (!run(it.items)) return false;
        return true;
      default:
        for (int r = 0; r < it.repeat; ++r) {
          if (next_ == values_.size()) return false;
          out_ += field(it, values_[next_++]);
        }
        return true;
    }
  }

  std::string field(const item& it, const template_value& v) {
    switch (it.kind) {
      case item_kind::integer: return integer_field(it.width, integer_value(it, v));
      case item_kind::fixed: return fixed_field(it.width, it.digits, real_value(it, v));
      case item_kind::exponent: return exponent_field(it.width, it.digits, scale_, real_value(it, v), tmpl_);
      default: return character_field(it.width, text_value(it, v));
    }
  }

  long long integer_value(const item& it, const template_value& v) const {
    if (const auto* n = std::get_if<long long>(&v.get())) return *n;
    wrong_kind(it, v);
  }

  // Integers are accepted for real items; every long long is exact in binary128.
  __float128 real_value(const item& it, const template_value& v) const {
    if (const auto* q = std::get_if<__float128>(&v.get())) return *q;
    if (const auto* d = std::get_if<double>(&v.get())) return *d;
    if (const auto* n = std::get_if<long long>(&v.get())) return static_cast<__float128>(*n);
    wrong_kind(it, v);
  }

  const std::string& text_value(const item& it, const template_value& v) const {
    if (const auto* s = std::get_if<std::string>(&v.get())) return *s;
    wrong_kind(it, v);
  }

  [[noreturn]] void wrong_kind(const item& it, const template_value& v) const {
    static constexpr const char* kinds[] = {"an integer", "a real", "a real", "a text"};
    std::string name;
    switch (it.kind) {
      case item_kind::integer: name = "i" + std::to_string(it.width); break;
      case item_kind::fixed: name = "f" + std::to_string(it.width) + "." + std::to_string(it.digits); break;
      case item_kind::exponent: name = "d" + std::to_string(it.width) + "." + std::to_string(it.digits); break;
      default: name = it.width ? "a" + std::to_string(it.width) : "a";
    }
    template_fault(std::string(kinds[v.get().index()]) + " value (number " + std::to_string(next_) +
                       ") for the item " + name,
                   tmpl_);
  }

  std::string_view tmpl_;
  std::span<const template_value> values_;
  size_t next_ = 0;
  int scale_ = 0;
  std::string out_;
};

void write_stdout(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

std::string format_template(std::string_view tmpl, std::span<const template_value> values) {
  const std::vector<item> items = template_parser(tmpl).parse();
  return template_printer(tmpl, values).print(items);
}

std::string format_template(std::string_view tmpl, std::initializer_list<template_value> values) {
  return format_template(tmpl, std::span<const template_value>(values.begin(), values.size()));
}

void write_template(std::string_view tmpl, std::span<const template_value> values) {
  write_stdout(format_template(tmpl, values));
}

void write_template(std::string_view tmpl, std::initializer_list<template_value> values) {
  write_stdout(format_template(tmpl, values));
}

std::string format_list(std::string_view text) {
  std::string s = " ";
  s += text;
  s += '\n';
  return s;
}

void write_list(std::string_view text) { write_stdout(format_list(text)); }

}  // namespace kx
