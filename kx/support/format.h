// Output templates: every line the library prints goes through here.
//
// A template is written exactly as a Fortran format list, for example
//   "('*** KXNRT: Improper value of N',i10)"
// and is applied left to right to a list of values: quoted text, iW, fW.D,
// dW.D with the kp scale factor, Nx, a, aW, /, repeat counts and
// parenthesised groups. When values outlast the items, output goes on in a
// new line from the last top-level group (or the start); when values run out,
// the line ends before the next item that needs one. A number too wide for
// its field fills the field with asterisks.
//
// A template literal is checked while the program compiles, against the
// kinds of the values passed with it: a malformed template, a scale factor
// that leaves a d item no digit, a value of the wrong kind or values that no
// item takes are compile-time errors. Only a template built at run time
// (runtime_template) or values known only at run time (a span) can meet such
// a fault while printing; it prints one "*** KXFORMAT:" line and stops.
#pragma once

#include <array>
#include <concepts>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include <kx/support/template_parser.h>

namespace kx {

/// The value kind that a C++ type brings to a template: integers for iW,
/// reals (and integers) for fW.D and dW.D, texts and single chars for a.
template <class T>
consteval value_kind template_kind_of() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::same_as<U, char> || std::convertible_to<U, std::string_view>) {
    return value_kind::text;
  } else if constexpr (std::integral<U>) {
    return value_kind::integer;
  } else {
    return value_kind::real;
  }
}

/// The types a template value can be built from.
template <class T>
concept template_argument =
    (std::integral<std::remove_cvref_t<T>> && !std::same_as<std::remove_cvref_t<T>, bool>) ||
    std::floating_point<std::remove_cvref_t<T>> || std::same_as<std::remove_cvref_t<T>, __float128> ||
    std::convertible_to<T, std::string_view>;

/// One value for an output template: an integer (for iW), a real (fW.D,
/// dW.D) or a text (a, aW; a single char for one a1 item).
class template_value {
 public:
  template_value(int v) : v_(static_cast<long long>(v)) {}
  template_value(long v) : v_(static_cast<long long>(v)) {}
  template_value(long long v) : v_(v) {}
  template_value(double v) : v_(v) {}
  template_value(__float128 v) : v_(v) {}
  template_value(char c) : v_(std::string(1, c)) {}
  template_value(const char* s) : v_(std::string(s)) {}
  template_value(std::string_view s) : v_(std::string(s)) {}
  template_value(const std::string& s) : v_(s) {}

  const std::variant<long long, double, __float128, std::string>& get() const { return v_; }

  value_kind kind() const {
    constexpr value_kind kinds[] = {value_kind::integer, value_kind::real, value_kind::real, value_kind::text};
    return kinds[v_.index()];
  }

 private:
  std::variant<long long, double, __float128, std::string> v_;
};

/// A template made while the program runs; it is checked when applied.
///   kx::format_template(kx::runtime_template(text), values);
struct runtime_template {
  explicit runtime_template(std::string_view t) : text(t) {}
  std::string_view text;
};

/// A template checked at compile time for values of the types Args (none:
/// the values come later as a span, and only the syntax and scale factors
/// are checked).
template <class... Args>
class basic_template {
 public:
  template <class S>
    requires std::convertible_to<const S&, std::string_view>
  consteval basic_template(const S& s) : text_(s) {
    if constexpr (sizeof...(Args) == 0) {
      check_template(text_);
    } else {
      constexpr std::array<value_kind, sizeof...(Args)> kinds = {template_kind_of<Args>()...};
      check_template(text_, kinds);
    }
  }
  basic_template(runtime_template t) : text_(t.text), checked_(false) {}

  /// The same template, for a routine that takes its values as a span.
  template <class... Other>
    requires(sizeof...(Other) > 0)
  constexpr basic_template(const basic_template<Other...>& t) : text_(t.text()), checked_(t.checked()) {}

  constexpr std::string_view text() const { return text_; }
  constexpr bool checked() const { return checked_; }

 private:
  std::string_view text_;
  bool checked_ = true;
};

/// The template parameter of a routine that takes values of types Args.
template <class... Args>
using checked_template = basic_template<std::type_identity_t<Args>...>;

/// The lines that the template prints for the values, each ended by '\n'.
///   kx::format_template("('rb =',1p,d12.4)", 20.0);   // "rb =  2.0000D+01\n"
std::string format_template(basic_template<> tmpl, std::span<const template_value> values);

template <template_argument... Args>
std::string format_template(checked_template<Args...> tmpl, const Args&... values) {
  const std::array<template_value, sizeof...(Args)> list = {template_value(values)...};
  return format_template(basic_template<>(tmpl), list);
}

/// Writes format_template(tmpl, values) to standard output and flushes it.
///   kx::write_template("('n =',i4)", 17);
void write_template(basic_template<> tmpl, std::span<const template_value> values);

template <template_argument... Args>
void write_template(checked_template<Args...> tmpl, const Args&... values) {
  const std::array<template_value, sizeof...(Args)> list = {template_value(values)...};
  write_template(basic_template<>(tmpl), list);
}

/// A plain (list-directed) line: one blank, the text, a line end.
///   kx::format_list("KXDIGIN: non-digit in character string");
std::string format_list(std::string_view text);

/// Writes format_list(text) to standard output and flushes it.
void write_list(std::string_view text);

}  // namespace kx
