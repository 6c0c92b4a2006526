// The parser of output templates and the walk that applies a parsed template
// to a number of values. Both are constexpr, so that a template literal is
// parsed and checked while the program compiles: a fault found during
// constant evaluation calls template_fault, which is not constexpr, and so
// becomes a compile-time error that names the fault. At run time (templates
// built by the program) the same call prints one "*** KXFORMAT:" line and
// stops.
//
// Grammar: '(' list ')', a list being items separated by commas; a slash
// separates by itself and a scale factor may run straight into the next item
// ("1pd12.4"). Items: quoted text, [r]iW, [r]fW.D, [r]dW.D, [r]a[W], Nx, kp,
// [r](list). Blanks outside quoted text are skipped; letters in either case.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

/// Reports a fault of a template: at compile time it is the error itself, at
/// run time it prints "*** KXFORMAT: <what> in template "<template>"" and
/// stops the program.
[[noreturn]] void template_fault(std::string_view what, std::string_view tmpl);

enum class item_kind { text, integer, fixed, exponent, characters, blanks, scale, slash, group };

/// The kinds of value a data item takes.
enum class value_kind { integer, real, text };

struct template_item {
  item_kind kind = item_kind::text;
  int repeat = 1;                      // data items and groups
  int width = 0;                       // field width; blank count; scale factor; 0 for plain a
  int digits = 0;                      // D of fW.D and dW.D
  std::string text;                    // quoted text
  std::vector<template_item> items;    // group contents
};

constexpr bool needs_value(item_kind k) {
  return k == item_kind::integer || k == item_kind::fixed || k == item_kind::exponent ||
         k == item_kind::characters;
}

constexpr template_item make_template_item(item_kind kind, int width = 0, int repeat = 1, int digits = 0) {
  template_item it;
  it.kind = kind;
  it.width = width;
  it.repeat = repeat;
  it.digits = digits;
  return it;
}

constexpr char upper_ascii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }

// The pieces of a message, joined (appending avoids a false -Wrestrict
// warning of g++ 12 on a literal plus a string).
constexpr std::string join_pieces(std::initializer_list<std::string_view> pieces) {
  std::string s;
  for (std::string_view p : pieces) s.append(p);
  return s;
}

// n in decimal, for messages (|n| is far below the long long range).
constexpr std::string decimal_text(long long n) {
  const bool negative = n < 0;
  unsigned long long m = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + m % 10));
    m /= 10;
  } while (m != 0);
  if (negative) s.insert(s.begin(), '-');
  return s;
}

// Recursive descent over the template.
class template_parser {
 public:
  constexpr explicit template_parser(std::string_view tmpl) : t_(tmpl) {}

  constexpr std::vector<template_item> parse() {
    expect('(', "the template must begin with '('");
    std::vector<template_item> items = parse_list();
    if (peek() != '\0') fail("text after the closing ')'");
    return items;
  }

  // The two number readers that parse_item calls only where a digit stands;
  // each faults, with its own reason, at any other character. They read
  // from the parser's place, on a new parser the template's first character.

  /// The count before an item's letter: a repeat count, a blank count or a
  /// scale factor.
  constexpr int leading_count() { return number(""); }

  /// The width after the letter a, which must not be zero.
  constexpr int character_width() { return positive_number("width of a"); }

 private:
  static constexpr int max_number = 100000;  // widths, counts and digits

  // A template, so that a constexpr function that only reports is allowed.
  template <class = void>
  [[noreturn]] constexpr void fail(const std::string& what) const {
    const std::string column = decimal_text(static_cast<long long>(pos_) + 1);
    template_fault(join_pieces({"malformed template (", what, " at column ", column, ")"}), t_);
  }

  constexpr char peek() {
    while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t')) ++pos_;
    return pos_ < t_.size() ? upper_ascii(t_[pos_]) : '\0';
  }

  constexpr void expect(char c, const char* what) {
    if (peek() != c) fail(what);
    ++pos_;
  }

  constexpr bool at_digit() { return is_ascii_digit(peek()); }

  constexpr int number(const char* what) {
    if (!at_digit()) fail(what);
    int n = 0;
    while (at_digit()) {
      n = 10 * n + (t_[pos_++] - '0');
      if (n > max_number) fail("number too large");
    }
    return n;
  }

  constexpr int positive_number(const char* what) {
    const int n = number(what);
    if (n == 0) fail(std::string(what) + " is zero");
    return n;
  }

  constexpr std::vector<template_item> parse_list() {
    enum class last_token { open, item, scale, slash, comma } last = last_token::open;
    std::vector<template_item> items;
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
        items.push_back(make_template_item(item_kind::slash));
        last = last_token::slash;
        continue;
      }
      if (last == last_token::item) fail("missing comma between items");
      items.push_back(parse_item());
      last = items.back().kind == item_kind::scale ? last_token::scale : last_token::item;
    }
  }

  constexpr template_item parse_item() {
    const char c = peek();
    if (c == '\'' || c == '"') return quoted_text(c);
    if (c == '-' || c == '+') {
      ++pos_;
      const int k = number("digits expected after the sign");
      expect('P', "'p' expected after a signed scale factor");
      return make_template_item(item_kind::scale, c == '-' ? -k : k);
    }
    const bool counted = at_digit();
    const int count = counted ? leading_count() : 1;
    const char letter = peek();
    if (letter == '\0') fail("item expected");
    ++pos_;
    switch (letter) {
      case 'P':
        if (!counted) fail("'p' needs a scale factor before it");
        return make_template_item(item_kind::scale, count);
      case 'X':
        if (count == 0) fail("zero blank count");
        return make_template_item(item_kind::blanks, count);
      case '(': {
        template_item group = make_template_item(item_kind::group, 0, checked_repeat(count));
        group.items = parse_list();
        return group;
      }
      case 'I':
        return make_template_item(item_kind::integer, positive_number("width of i"), checked_repeat(count));
      case 'F':
      case 'D':
        return real_item(letter == 'F' ? item_kind::fixed : item_kind::exponent, checked_repeat(count));
      case 'A': {
        const int width = at_digit() ? character_width() : 0;
        return make_template_item(item_kind::characters, width, checked_repeat(count));
      }
      case '\'':
      case '"':
        fail("repeat count before quoted text");
      default:
        --pos_;
        fail(std::string("unknown item '") + t_[pos_] + "'");
    }
  }

  constexpr int checked_repeat(int count) {
    if (count == 0) fail("zero repeat count");
    return count;
  }

  constexpr template_item real_item(item_kind kind, int repeat) {
    const int width = positive_number("field width");
    expect('.', "'.' expected after the field width");
    const int digits = number("digit count expected after '.'");
    return make_template_item(kind, width, repeat, digits);
  }

  // A doubled delimiter inside the text stands for one delimiter.
  constexpr template_item quoted_text(char quote) {
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
        template_item it = make_template_item(item_kind::text);
        it.text = std::move(text);
        return it;
      }
    }
  }

  std::string_view t_;
  std::size_t pos_ = 0;
};

constexpr bool has_data_item(std::span<const template_item> items) {
  for (const template_item& it : items) {
    if (needs_value(it.kind) || (it.kind == item_kind::group && has_data_item(it.items))) return true;
  }
  return false;
}

// The values that one pass over the items takes.
constexpr std::size_t values_per_pass(std::span<const template_item> items) {
  std::size_t n = 0;
  for (const template_item& it : items) {
    if (needs_value(it.kind)) n += static_cast<std::size_t>(it.repeat);
    if (it.kind == item_kind::group) n += static_cast<std::size_t>(it.repeat) * values_per_pass(it.items);
  }
  return n;
}

/// The items of a template; a malformed template is a template_fault.
constexpr std::vector<template_item> parse_template(std::string_view tmpl) {
  return template_parser(tmpl).parse();
}

/// Applies parsed items to `count` values, left to right, calling
/// sink.layout(item) for text, slash, blanks and scale items,
/// sink.data(item, k) for value k of a data item and sink.next_record() when
/// the values outlast the items. Values outlasting the items go on from the
/// last top-level group (with its repeat count), or from the beginning when
/// there is none; the walk ends before the first data item that finds no
/// value left.
template <class Sink>
class template_walk {
 public:
  constexpr template_walk(std::string_view tmpl, const std::vector<template_item>& items, std::size_t count,
                          Sink& sink)
      : tmpl_(tmpl), items_(items), count_(count), sink_(sink) {}

  constexpr void run_all() {
    std::size_t reversion = 0;
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i].kind == item_kind::group) reversion = i;
    const std::span<const template_item> reused = std::span<const template_item>(items_).subspan(reversion);
    if (!run(items_)) return;
    if (next_ < count_ && !has_data_item(reused))
      template_fault(join_pieces({decimal_text(static_cast<long long>(count_ - next_)),
                                  " value(s) left but no data item to take them"}),
                     tmpl_);
    while (next_ < count_) {
      sink_.next_record();
      if (!run(reused)) break;
    }
  }

 private:
  // False once a data item finds no value left.
  constexpr bool run(std::span<const template_item> items) {
    for (const template_item& it : items)
      if (!run_item(it)) return false;
    return true;
  }

  constexpr bool run_item(const template_item& it) {
    if (it.kind == item_kind::group) {
      for (int r = 0; r < it.repeat; ++r)
        if (!run(it.items)) return false;
      return true;
    }
    if (!needs_value(it.kind)) {
      sink_.layout(it);
      return true;
    }
    for (int r = 0; r < it.repeat; ++r) {
      if (next_ == count_) return false;
      sink_.data(it, next_++);
    }
    return true;
  }

  std::string_view tmpl_;
  const std::vector<template_item>& items_;
  std::size_t count_;
  std::size_t next_ = 0;
  Sink& sink_;
};

/// The name of a data item as written, for messages: i5, f8.2, d12.4, a, a3.
constexpr std::string item_name(const template_item& it) {
  switch (it.kind) {
    case item_kind::integer: return join_pieces({"i", decimal_text(it.width)});
    case item_kind::fixed: return join_pieces({"f", decimal_text(it.width), ".", decimal_text(it.digits)});
    case item_kind::exponent: return join_pieces({"d", decimal_text(it.width), ".", decimal_text(it.digits)});
    default: return it.width ? join_pieces({"a", decimal_text(it.width)}) : "a";
  }
}

/// Faults a value of kind `v` (number k, from 0) given to the data item.
/// Integers serve real items too; every other kind must match.
constexpr void check_value_kind(const template_item& it, value_kind v, std::size_t k, std::string_view tmpl) {
  const bool fits = it.kind == item_kind::integer   ? v == value_kind::integer
                    : it.kind == item_kind::characters ? v == value_kind::text
                                                       : v != value_kind::text;
  if (fits) return;
  constexpr const char* names[] = {"an integer", "a real", "a text"};
  const std::string number = decimal_text(static_cast<long long>(k) + 1);
  template_fault(join_pieces({names[static_cast<int>(v)], " value (number ", number, ") for the item ", item_name(it)}),
                 tmpl);
}

/// Faults a d item whose scale factor k leaves no digit to show:
/// k must satisfy -D < k < D + 2.
constexpr void check_scale(const template_item& it, int k, std::string_view tmpl) {
  if (it.kind != item_kind::exponent) return;
  if ((k > 0 && k >= it.digits + 2) || (k <= 0 && k <= -it.digits)) {
    template_fault(join_pieces({"scale factor ", decimal_text(k), "p is out of range for ", item_name(it)}),
                   tmpl);
  }
}

// Follows the scale factor through a walk and checks each d item against
// it, and each value against its item when the kinds are known.
struct template_checking_sink {
  std::string_view tmpl;
  std::span<const value_kind> kinds;  // empty: kinds unknown
  int scale = 0;

  constexpr void layout(const template_item& it) {
    if (it.kind == item_kind::scale) scale = it.width;
  }
  constexpr void data(const template_item& it, std::size_t k) {
    check_scale(it, scale, tmpl);
    if (!kinds.empty()) check_value_kind(it, kinds[k], k, tmpl);
  }
  constexpr void next_record() {}
};

/// Parses the template and checks what can be known before any value is
/// seen: its syntax, and that every d item has a scale factor that leaves it
/// a digit, however many values come (a first pass and one pass of the
/// reused part see every scale factor an item can meet). With the kinds of
/// the values known, also checks each value against its item and that the
/// values find items to take them.
constexpr void check_template(std::string_view tmpl, std::span<const value_kind> kinds = {}) {
  const std::vector<template_item> items = parse_template(tmpl);
  template_checking_sink sink{tmpl, kinds};
  if (!kinds.empty()) {
    template_walk(tmpl, items, kinds.size(), sink).run_all();
    return;
  }
  std::size_t reversion = 0;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].kind == item_kind::group) reversion = i;
  const std::size_t reach = values_per_pass(items) +
                            values_per_pass(std::span<const template_item>(items).subspan(reversion));
  template_walk(tmpl, items, reach, sink).run_all();
}

}  // namespace kx
