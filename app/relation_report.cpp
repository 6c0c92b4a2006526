#include "relation_report.h"

#include <algorithm>
#include <array>
#include <string_view>

#include <kx/kx.h>
#include <kx/support/format.h>
#include <kx/support/unit_streams.h>

namespace relation_report {
namespace {

constexpr int field_width = 64;

// The template of a relation line, made from its stored head "(64a1" by
// writing the rest from the sixth character on: (64a1," * ",a).
// It is built while the program compiles, and so checked then.
constexpr std::array<char, field_width> relation_template_text() {
  std::array<char, field_width> tmpl{};
  tmpl.fill(' ');
  constexpr std::string_view head = "(64a1";
  constexpr std::string_view tail = ",\" * \",a)";
  std::copy(head.begin(), head.end(), tmpl.begin());
  std::copy(tail.begin(), tail.end(), tmpl.begin() + 5);
  return tmpl;
}

constexpr std::array<char, field_width> relation_template_chars = relation_template_text();
constexpr std::string_view relation_template{relation_template_chars.data(), relation_template_chars.size()};

// The field gets '+' before a positive number, or all '*' without room for it.
void mark_sign(std::string& field) {
  const std::size_t j = field.find_first_not_of(' ');
  if (j == std::string::npos || field[j] == '-') return;
  if (j > 0) {
    field[j - 1] = '+';
  } else {
    field.assign(field.size(), '*');
  }
}

}  // namespace

std::string power_label(int k) {
  if (k == 1) return "1";
  std::string text = kx::format_template("('al^',i3)", k - 1);
  text.pop_back();  // the line end
  return text;
}

std::string relation_line(const kxreal& coefficient, const std::string& label) {
  std::string field = kxfformat(coefficient, field_width, 0);
  mark_sign(field);
  std::vector<kx::template_value> values(field.begin(), field.end());
  values.emplace_back(label);
  return kx::format_template(relation_template, values);
}

void write_relation(std::span<const kxreal> r, std::span<const std::string> labels) {
  kx::write_template("(/'Recovered relation: 0 =')");
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i] == kxreal{}) continue;
    kx::write_to_output_unit(kx::standard_output_unit, relation_line(r[i], labels[i]));
  }
}

}  // namespace relation_report
