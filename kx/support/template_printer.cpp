// The printer of output templates: fields in the notation of Fortran format
// lists, applied to values by the walk of the parsed template. A template is
// parsed in full before anything is printed; a template made at run time is
// also checked in full then, so a fault is reported even when the values
// would never reach its faulty part. Every fault of the caller ends the
// process with one "*** KXFORMAT:" line; none is undefined.
#include <quadmath.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <kx/support/format.h>
#include <kx/support/fatal.h>

namespace kx {

void template_fault(std::string_view what, std::string_view tmpl) {
  std::string line = "*** KXFORMAT: ";
  line += what;
  line += " in template \"";
  line += tmpl;
  line += "\"\n";
  fatal_lines(line);
}

namespace {

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
// The scale factor has been checked against the item (check_scale).
std::string exponent_field(int width, int digits, int k, __float128 x) {
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

// The walk's sink: the text of the lines, each field from its value.
class printing_sink {
 public:
  printing_sink(std::string_view tmpl, std::span<const template_value> values) : tmpl_(tmpl), values_(values) {}

  void layout(const template_item& it) {
    switch (it.kind) {
      case item_kind::text: out_ += it.text; break;
      case item_kind::slash: out_ += '\n'; break;
      case item_kind::blanks: out_.append(static_cast<size_t>(it.width), ' '); break;
      default: scale_ = it.width; break;  // item_kind::scale
    }
  }

  void data(const template_item& it, std::size_t k) {
    const template_value& v = values_[k];
    check_value_kind(it, v.kind(), k, tmpl_);
    check_scale(it, scale_, tmpl_);
    switch (it.kind) {
      case item_kind::integer: out_ += integer_field(it.width, std::get<long long>(v.get())); break;
      case item_kind::fixed: out_ += fixed_field(it.width, it.digits, real_value(v)); break;
      case item_kind::exponent: out_ += exponent_field(it.width, it.digits, scale_, real_value(v)); break;
      default: out_ += character_field(it.width, std::get<std::string>(v.get())); break;
    }
  }

  void next_record() { out_ += '\n'; }

  std::string lines() const { return out_ + '\n'; }

 private:
  // Every long long is exact in binary128.
  static __float128 real_value(const template_value& v) {
    if (const auto* q = std::get_if<__float128>(&v.get())) return *q;
    if (const auto* d = std::get_if<double>(&v.get())) return *d;
    return static_cast<__float128>(std::get<long long>(v.get()));
  }

  std::string_view tmpl_;
  std::span<const template_value> values_;
  int scale_ = 0;
  std::string out_;
};

void write_stdout(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

std::string format_template(basic_template<> tmpl, std::span<const template_value> values) {
  if (!tmpl.checked()) check_template(tmpl.text());
  const std::vector<template_item> items = parse_template(tmpl.text());
  printing_sink sink(tmpl.text(), values);
  template_walk(tmpl.text(), items, values.size(), sink).run_all();
  return sink.lines();
}

void write_template(basic_template<> tmpl, std::span<const template_value> values) {
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
