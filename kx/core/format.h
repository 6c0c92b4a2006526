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
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kx {

/// One value for an output template: an integer (for iW), a real (fW.D,
/// dW.D) or a text (a, aW; a single char for one a1 item).
///   kx::format_template("('n =',i4)", {17});   // "n =  17\n"
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

 private:
  std::variant<long long, double, __float128, std::string> v_;
};

/// The lines that the template prints for the values, each ended by '\n'.
///   kx::format_template("('rb =',1p,d12.4)", {20.0});   // "rb =  2.0000D+01\n"
std::string format_template(std::string_view tmpl, std::span<const template_value> values);
std::string format_template(std::string_view tmpl, std::initializer_list<template_value> values = {});

/// Writes format_template(tmpl, values) to standard output and flushes it.
void write_template(std::string_view tmpl, std::span<const template_value> values);
void write_template(std::string_view tmpl, std::initializer_list<template_value> values = {});

/// A plain (list-directed) line: one blank, the text, a line end.
///   kx::format_list("KXDIGIN: non-digit in character string");
std::string format_list(std::string_view text);

/// Writes format_list(text) to standard output and flushes it.
void write_list(std::string_view text);

}  // namespace kx
