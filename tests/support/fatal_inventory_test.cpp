// Every fatal message of the library, read from its sources, is printed by
// some death test here with its exact text and exit status 1: a template in
// the code without a row, or a row whose template has left the code, fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <kx/kx.h>
#include <kx/convert/eformat_buffer.h>
#include <kx/convert/input.h>
#include <kx/convert/scientific_text.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>
#include <kx/special/bessel_expansions.h>
#include <kx/elementary/exp_budget.h>
#include <kx/special/loop_budgets.h>
#include <kx/support/format.h>
#include <kx/support/template_parser.h>
#include "../test_support.h"

namespace {

// ---- Reading the templates from the sources --------------------------------

// Code with comments blanked (`code`) and, in `masked`, the insides of string
// and character literals blanked too, so that names are searched in code
// only; offsets and lines stay those of the text.
struct source_text {
  std::string code;
  std::string masked;
};

source_text masked_source(std::string text) {
  source_text t{text, text};
  std::string& c = t.code;
  std::string& m = t.masked;
  for (std::size_t i = 0; i < c.size();) {
    if (c.compare(i, 2, "//") == 0) {
      for (; i < c.size() && c[i] != '\n'; ++i) c[i] = m[i] = ' ';
    } else if (c.compare(i, 2, "/*") == 0) {
      const std::size_t end = c.find("*/", i) + 2;
      for (; i < end; ++i)
        if (c[i] != '\n') c[i] = m[i] = ' ';
    } else if (c[i] == '"' || c[i] == '\'') {
      const char quote = c[i++];
      for (; i < c.size() && c[i] != quote; ++i) {
        if (c[i] == '\\') m[i++] = ' ';
        m[i] = ' ';
      }
      ++i;
    } else {
      ++i;
    }
  }
  return t;
}

bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The offsets of the '(' of each call of `name`; a declaration or
// definition (the name after a type word) is not a call.
std::vector<std::size_t> calls_of(const source_text& t, const std::string& name) {
  std::vector<std::size_t> at;
  for (std::size_t i = t.masked.find(name); i != std::string::npos; i = t.masked.find(name, i + 1)) {
    if ((i > 0 && is_name_char(t.masked[i - 1])) || is_name_char(t.masked[i + name.size()])) continue;
    std::size_t j = i + name.size();
    while (j < t.masked.size() && t.masked[j] == ' ') ++j;
    if (j >= t.masked.size() || t.masked[j] != '(') continue;
    std::size_t k = i;
    while (k > 0 && t.masked[k - 1] == ' ') --k;
    std::size_t w = k;
    while (w > 0 && is_name_char(t.masked[w - 1])) --w;
    const std::string word = t.masked.substr(w, k - w);
    if (word == "void" || word == "int") continue;
    at.push_back(j);
  }
  return at;
}

// The arguments of the call whose '(' is at `open`, split at top-level commas.
std::vector<std::string> call_arguments(const source_text& t, std::size_t open) {
  std::vector<std::string> args;
  int depth = 0;
  std::size_t start = open + 1;
  for (std::size_t i = open; i < t.masked.size(); ++i) {
    const char c = t.masked[i];
    if (c == '(' || c == '{' || c == '[') ++depth;
    if (c == ')' || c == '}' || c == ']') --depth;
    if ((c == ',' && depth == 1) || depth == 0) {
      args.push_back(t.code.substr(start, i - start));
      start = i + 1;
    }
    if (depth == 0) break;
  }
  return args;
}

std::string trimmed(const std::string& s) {
  const std::size_t a = s.find_first_not_of(" \t\n");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\n") - a + 1);
}

// The text of an expression made only of adjacent string literals.
std::optional<std::string> literal_text(const std::string& expression) {
  const std::string e = trimmed(expression);
  if (e.empty() || e[0] != '"') return std::nullopt;
  std::string text;
  for (std::size_t i = 0; i < e.size();) {
    if (e[i] != '"') return std::nullopt;
    for (++i; i < e.size() && e[i] != '"'; ++i) text += e[i] == '\\' ? e[++i] : e[i];
    ++i;
    while (i < e.size() && std::isspace(static_cast<unsigned char>(e[i]))) ++i;
  }
  return text;
}

// The inside of `e` when it is `open`...`close`, else nothing.
std::optional<std::string> enclosed(const std::string& e, const std::string& open, const std::string& close) {
  if (e.size() < open.size() + close.size() || e.compare(0, open.size(), open) != 0 ||
      e.compare(e.size() - close.size(), close.size(), close) != 0)
    return std::nullopt;
  return e.substr(open.size(), e.size() - open.size() - close.size());
}

// A message joined from pieces, by join_pieces({...}) or by +: literals as
// written, a caller's text passed on (`what`) as "{what}", any other value as "{}".
std::string joined_text(const std::string& expression) {
  const std::string e = trimmed(expression);
  const std::optional<std::string> list = enclosed(e, "join_pieces({", "})");
  const bool listed = list.has_value();
  const source_text inner = masked_source(listed ? *list : e);
  std::vector<std::string> pieces;
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i <= inner.masked.size(); ++i) {
    const char c = i < inner.masked.size() ? inner.masked[i] : ',';
    if (c == '(' || c == '{' || c == '[') ++depth;
    if (c == ')' || c == '}' || c == ']') --depth;
    if (depth == 0 && (c == (listed ? ',' : '+') || i == inner.masked.size())) {
      pieces.push_back(inner.code.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string text;
  for (std::string p : pieces) {
    p = trimmed(p);
    if (const auto inside = enclosed(p, "std::string(", ")")) p = trimmed(*inside);
    if (const auto lit = literal_text(p)) text += *lit;
    else if (p == "what") text += "{what}";
    else text += "{}";
  }
  return text;
}

std::string malformed(const std::string& what) {
  return "*** KXFORMAT: malformed template (" + what + " at column {}) in template \"{}\"";
}

// The template of the array check, whose routine name each caller passes.
const std::string storage_template = "('*** ',a,': Array holds',i12,' elements, needs',i12)";

std::string storage_key(const std::string& routine) { return storage_template + " a=" + routine; }

// The fatal message templates under `root`: kx::fatal template literals,
// the array check once per routine name its callers pass, the template
// printer's faults (their literal pieces joined, "{}" for a value), and the
// template parser's reasons, including those its helpers pass on. A call of
// a fatal path whose message cannot be read goes to `unreadable`.
struct inventory {
  std::map<std::string, std::string> where;  // template -> first file:line
  std::vector<std::string> unreadable;
};

inventory scan_sources(const std::filesystem::path& root) {
  inventory inv;
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.path().extension() == ".cpp" || e.path().extension() == ".h") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  bool storage_template_seen = false;
  std::set<std::string> forwarded;
  for (const auto& path : files) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    const source_text t = masked_source(ss.str());
    const std::string file = std::filesystem::relative(path, root).string();
    const auto place = [&](std::size_t at) {
      return file + ":" + std::to_string(std::count(t.code.begin(), t.code.begin() + static_cast<long>(at), '\n') + 1);
    };
    const auto add = [&](const std::string& key, std::size_t at) { inv.where.emplace(key, place(at)); };
    const auto cannot_read = [&](std::size_t at, const std::string& what) {
      inv.unreadable.push_back(place(at) + ": " + what);
    };
    for (const std::size_t at : calls_of(t, "fatal")) {
      const auto text = literal_text(call_arguments(t, at).front());
      if (!text) cannot_read(at, "fatal( without a template literal");
      else if (*text == storage_template) storage_template_seen = true;
      else add(*text, at);
    }
    for (const std::size_t at : calls_of(t, "require_storage")) {
      const auto name = literal_text(call_arguments(t, at).front());
      if (name) add(storage_key(*name), at);
      else cannot_read(at, "require_storage( without a routine name literal");
    }
    for (const std::size_t at : calls_of(t, "fatal_lines"))
      if (file != "support/fatal.h" && file != "support/template_printer.cpp") cannot_read(at, "a new caller of fatal_lines");
    for (const std::size_t at : calls_of(t, "template_fault")) {
      const std::string text = joined_text(call_arguments(t, at).front());
      if (text.find("{what}") != std::string::npos) forwarded.insert("template_fault:" + text);
      else add("*** KXFORMAT: " + text + " in template \"{}\"", at);
    }
    if (file != "support/template_parser.h") continue;
    for (const std::size_t at : calls_of(t, "fail")) {
      const std::string text = joined_text(call_arguments(t, at).front());
      if (text.find("{what}") != std::string::npos) forwarded.insert("fail:" + text);
      else add(malformed(text), at);
    }
    // The parser's helpers pass their caller's text on to fail.
    const std::map<std::string, std::size_t> text_argument = {{"expect", 1}, {"number", 0}, {"positive_number", 0}};
    for (const auto& [helper, k] : text_argument) {
      for (const std::size_t at : calls_of(t, helper)) {
        const std::string arg = trimmed(call_arguments(t, at).at(k));
        const auto text = literal_text(arg);
        if (arg == "what") continue;
        if (!text) {
          cannot_read(at, helper + "( without a literal text");
          continue;
        }
        add(malformed(*text), at);
        if (helper == "positive_number") add(malformed(*text + " is zero"), at);
      }
    }
  }
  if (!storage_template_seen) inv.unreadable.push_back("the array check's template is gone: " + storage_template);
  const std::set<std::string> known_forwarding = {"template_fault:malformed template ({what} at column {})",
                                                  "fail:{what}", "fail:{what} is zero"};
  if (forwarded != known_forwarding) inv.unreadable.push_back("the template parser passes its texts on in a new way");
  return inv;
}

std::string escaped_for_regex(const std::string& s) {
  std::string r;
  for (const char c : s) {
    if (std::strchr(".[]{}()\\*+?^$|", c) != nullptr) r += '\\';
    r += c;
  }
  return r;
}

// ---- What triggers each message ---------------------------------------------

kxreal q(__float128 x) { return kxreal{x, 0}; }
const kxreal nan_value{__builtin_nanq(""), 0};

// Lowers an iteration budget for one call, so that its loop's message is
// reached with an ordinary argument.
class lowered_budget {
 public:
  lowered_budget(int& budget, int value) : budget_(budget), saved_(budget) { budget_ = value; }
  ~lowered_budget() { budget_ = saved_; }
  lowered_budget(const lowered_budget&) = delete;
  lowered_budget& operator=(const lowered_budget&) = delete;

 private:
  int& budget_;
  int saved_;
};

// `call`, run with `budget` lowered to `value` and restored after.
template <class F>
std::function<void()> under_budget(int& budget, int value, F call) {
  return [&budget, value, call] {
    lowered_budget guard(budget, value);
    call();
  };
}

std::vector<kxreal> bernoulli(int nb) {
  std::vector<kxreal> b(static_cast<std::size_t>(nb));
  kxberner(b);
  return b;
}

void format_runtime(const char* tmpl, std::initializer_list<kx::template_value> values) {
  kx::format_template(kx::runtime_template(tmpl), std::span<const kx::template_value>(values.begin(), values.size()));
}

std::string format_fault(const std::string& what, const std::string& tmpl) {
  return "*** KXFORMAT: " + what + " in template \"" + tmpl + "\"\n";
}

struct fatal_row {
  std::string key;
  std::function<void()> trigger;
  std::string expected;
};

// A malformed run-time template: the row's key and its fault.
fatal_row malformed_row(const std::string& reason, const char* tmpl, const std::string& shown, int column) {
  return {malformed(reason), [tmpl] { format_runtime(tmpl, {}); },
          format_fault("malformed template (" + shown + " at column " + std::to_string(column) + ")", tmpl)};
}

std::vector<fatal_row> fatal_rows() {
  static const std::vector<kxreal> b = bernoulli(300);
  const std::span<const kxreal> bs(b);
  std::vector<fatal_row> rows;
  const auto row = [&rows](const std::string& key, std::function<void()> trigger, const std::string& expected) {
    rows.push_back({key, std::move(trigger), expected});
  };
  const auto storage = [&row](const std::string& routine, std::function<void()> trigger, long have, long need) {
    char line[128];
    std::snprintf(line, sizeof line, "*** %s: Array holds%12ld elements, needs%12ld\n", routine.c_str(), have, need);
    row(storage_key(routine), std::move(trigger), line);
  };
  // A message of no values: the template is its text in quotes.
  const auto plain = [&row](const std::string& message, std::function<void()> trigger) {
    row("('" + message + "')", std::move(trigger), message + "\n");
  };
  kxreal eps;
  kxnpwr(q(10), -60, eps);

  // The relation search and its utilities.
  storage("ZEZUV1", [eps] { std::vector<kxreal> x(3, q(1)), r(4); int f; zezuv1(0, 4, 20.0, eps, x, f, r); }, 3, 4);
  storage("INITMP", [] { std::vector<kxreal> b(6), h(6), s(24), x(3, q(1)), y(3); initmp(0, 3, 8, b, h, s, x, y); }, 6, 9);
  storage("ITERMP", [eps] { std::vector<kxreal> b(9), h(4), s(24), y(3); int d, o; itermp(0, 1, 3, 8, eps, b, h, s, y, d, o); }, 4, 6);
  storage("NORMBOUND", [] { std::vector<kxreal> h(5); normbound(3, h); }, 5, 6);
  storage("MINMAXABS", [] { std::vector<kxreal> y(2); kxreal a, c; minmaxabs(3, y, a, c); }, 2, 3);
  storage("PRINTMAT", [] { std::vector<kxreal> a(3); printmat(2, 2, a); }, 3, 4);
  storage("PRINTMATFULL", [] { std::vector<kxreal> a(5); printmatfull(2, 3, a); }, 5, 6);
  storage("SORTINDEX", [] { std::vector<kxreal> a(3); std::vector<int> ip(2); sortindex(3, a, ip); }, 2, 3);
  row("('*** ITERMP: Improper value of NSAVE',i10)",
      [eps] { std::vector<kxreal> b(9), h(9), s(24), y(3); int d, o; itermp(0, 1, 3, 0, eps, b, h, s, y, d, o); },
      "*** ITERMP: Improper value of NSAVE         0\n");
  row("('*** ZEZUV1: Improper value of N',i10)", [eps] { std::vector<kxreal> x(1, q(1)), r(1); int f; zezuv1(0, 1, 20.0, eps, x, f, r); },
      "*** ZEZUV1: Improper value of N         1\n");
  row("('*** ZEZUV1: Input value is not finite, index',i6)",
      [eps] { std::vector<kxreal> x = {q(1), q(2), nan_value}, r(3); int f; zezuv1(0, 3, 20.0, eps, x, f, r); },
      "*** ZEZUV1: Input value is not finite, index     3\n");
  plain("*** ZEZUV1: Input vector is zero.", [eps] { std::vector<kxreal> x(3), r(3); int f; zezuv1(0, 3, 20.0, eps, x, f, r); });

  // The core.
  plain("*** KXSQRT: Argument is negative.", [] { kxreal r; kxsqrt(q(-1), r); });
  plain("*** KXNRT: Argument is negative.", [] { kxreal r; kxnrt(q(-1), 3, r); });
  row("('*** KXNRT: Improper value of N',i10)", [] { kxreal r; kxnrt(q(2), -12345, r); }, "*** KXNRT: Improper value of N    -12345\n");
  plain("*** KXNPWR: Argument is zero and N is negative or zero.", [] { kxreal r; kxnpwr(q(0), -1, r); });
  row("('*** KXNPWR: Improper value of N',i12)", [] { kxreal r; kxnpwr(q(2), INT_MIN, r); },
      "*** KXNPWR: Improper value of N -2147483648\n");
  plain("*** KXCDIV: Divisor is zero.", [] { kxcomplex c; kxcdiv(kxcomplex{q(1), q(0)}, kxcomplex{}, c); });
  plain("*** KXCPWR: Argument is zero and N is negative or zero.", [] { kxcomplex c; kxcpwr(kxcomplex{}, 0, c); });
  row("('*** KXCPWR: Improper value of N',i12)", [] { kxcomplex c; kxcpwr(kxcomplex{q(1), q(1)}, INT_MIN, c); },
      "*** KXCPWR: Improper value of N -2147483648\n");
  plain("*** KXNINT: Argument is too large.", [] { kxreal r; kxnint(q(0x1p225Q), r); });
  plain("*** KXINFR: Argument is too large.", [] { kxreal r, f; kxinfr(q(0x1p225Q), r, f); });
  row("('*** KXDIGSTR: Improper value of N',i10)", [] { kxdigstr(1, 33); }, "*** KXDIGSTR: Improper value of N        33\n");

  // Decimal conversion.
  row("('*** KXDIGIN: Digit count exceeds the string length',2i10)", [] { kxdigin("123", 5); },
      "*** KXDIGIN: Digit count exceeds the string length         5         3\n");
  plain("*** KXINPC: Syntax error in literal string.", [] { kxreal r; kxinpc("1.5x", r); });
  row("('*** KXINP: Input unit is not attached',i10)", [] { kxreal r; kxinp(77, r); }, "*** KXINP: Input unit is not attached        77\n");
  plain("*** KXINP: End-of-file encountered.", [] { static std::istringstream empty(""); kx::attach_input_unit(78, empty); kxreal r; kxinp(78, r); });
  row("('*** KXWRITENUM: Output unit is not attached',i10)", [] { kxwritenum(79, 80, 70, q(1)); },
      "*** KXWRITENUM: Output unit is not attached        79\n");
  plain("*** KXEFORMAT: uninitialized or inadequately sized arrays", [] { kxeformat(q(1), 20, -1); });
  plain("*** KXFFORMAT: uninitialized or inadequately sized arrays", [] { kxfformat(q(1), 10, -1); });
  // Guards of internal pieces that the public routines never trip, called
  // directly: a scientific text without its exponent, a store past the work
  // buffer's capacity.
  plain("*** KXFFORMAT: Syntax error in output of kxeformat", [] { kx::parse_scientific("1.25    "); });
  plain("KXEFORMAT: Insufficient space in B2 array.", [] { kx::eformat_buffer b(8); b.put(9, '0'); });

  // The elementary functions.
  row("('*** KXEXP: Argument is too large',f12.6)", [] { kxreal r; kxexp(q(11000), r); }, "*** KXEXP: Argument is too large11000.000000\n");
  plain("*** KXEXP: Iteration limit exceeded.", under_budget(kx::exp_term_limit, 2, [] { kxreal r; kxexp(q(1), r); }));
  plain("*** KXLOG: Argument is less than or equal to zero.", [] { kxreal r; kxlog(q(0), r); });
  plain("KXPOWER: A <= 0", [] { kxreal r; kxpower(q(-2), q(2), r); });
  plain("*** KXCSSNR: argument is too large to compute cos or sin.", [] { kxreal c, s; kxcssnr(q(1e60Q), c, s); });
  plain("*** KXCSSNR: Iteration limit exceeded.", [] { kxreal c, s; kxcssnr(nan_value, c, s); });
  plain("*** KXANG: Both arguments are zero.", [] { kxreal a; kxang(q(0), q(0), a); });
  row("('*** KXCOSHSINH: Argument is too large',f13.6)", [] { kxreal c, s; kxcoshsinh(q(-11000), c, s); },
      "*** KXCOSHSINH: Argument is too large-11000.000000\n");
  plain("KXACOSH: Argument is < 1.", [] { kxreal r; kxacosh(q(0.5Q), r); });
  plain("KXATANH: Argument is <= -1 or >= 1.", [] { kxreal r; kxatanh(q(1), r); });
  plain("*** KXAGMR: Iteration limit exceeded.", [] { kxreal r; kxagmr(q(1), q(0), r); });
  row("('*** KXPOLYR: Improper value of N',i10)", [] { std::vector<kxreal> a(3, q(1)); kxreal r; kxpolyr(3, a, q(0.5Q), r); },
      "*** KXPOLYR: Improper value of N         3\n");
  plain("KXPOLYR: failed to converge.", [] { std::vector<kxreal> a = {q(1), q(0), q(1)}; kxreal r; kxpolyr(2, a, q(0.5Q), r); });

  // The special functions: arguments out of range, short arrays.
  const auto bern = [](const char* routine, int n, const char* tail) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "*** %s: Array of even Bernoulli coefficients must be initialized\nwith at least%8d entries%s\n", routine, n,
                  tail);
    return std::string(line);
  };
  const std::span<const kxreal> b94 = bs.first(94);
  row("('*** KXGAMMAR: input argument must have absolute value <=',f10.0,','/ 'must not be zero, and if negative must "
      "not be an integer.')",
      [] { kxreal r; kxgammar(q(-3), r); },
      "*** KXGAMMAR: input argument must have absolute value <=100000000.,\nmust not be zero, and if negative must not be "
      "an integer.\n");
  row("('*** KXINCGAMMAR: The second argument must not be zero,'/ 'and must not be negative unless the first is zero.')",
      [] { kxreal r; kxincgammar(q(1), q(0), r); },
      "*** KXINCGAMMAR: The second argument must not be zero,\nand must not be negative unless the first is zero.\n");
  plain("*** KXDIGAMMABE: Argument is less than or equal to 0", [bs] { kxreal r; kxdigammabe(bs, q(0), r); });
  row("('*** KXDIGAMMABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' entries using "
      "KXBERNE or KXBERNER.')",
      [b94] { kxreal r; kxdigammabe(b94, q(1), r); }, bern("KXDIGAMMABE", 95, " using KXBERNE or KXBERNER."));
  plain("*** KXZETAINTR: argument is 1", [] { kxreal r; kxzetaintr(1, r); });
  plain("*** KXZETAR: argument is 1", [] { kxreal r; kxzetar(q(1), r); });
  plain("*** KXZETABE: argument is 1", [bs] { kxreal r; kxzetabe(bs, q(1), r); });
  row("('*** KXZETABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' entries.')",
      [bs] { kxreal r; kxzetabe(bs.first(101), q(2), r); }, bern("KXZETABE", 102, "."));
  plain("*** KXHURWITZZETAN: IS less than or equal to 0:", [] { kxreal r; kxhurwitzzetan(0, q(0.5Q), r); });
  plain("*** KXHURWITZZETAN: S = 1 is the pole.", [] { kxreal r; kxhurwitzzetan(1, q(0.5Q), r); });
  plain("*** KXHURWITZZETAN: AA must be in the range (0, 1)", [] { kxreal r; kxhurwitzzetan(2, q(1), r); });
  row("('*** KXHURWITZZETANBE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' entries by "
      "calling KXBERNE or KXBERNER.')",
      [b94] { kxreal r; kxhurwitzzetanbe(b94, 2, q(1), r); }, bern("KXHURWITZZETANBE", 95, " by calling KXBERNE or KXBERNER."));
  plain("*** KXHURWITZZETANBE: ISS <= 0", [bs] { kxreal r; kxhurwitzzetanbe(bs, 0, q(1), r); });
  plain("*** KXHURWITZZETANBE: AA < 0", [bs] { kxreal r; kxhurwitzzetanbe(bs, 2, q(-1), r); });
  plain("*** KXHURWITZZETANBE: S = 1 is the pole.", [bs] { kxreal r; kxhurwitzzetanbe(bs, 1, q(1), r); });
  plain("*** KXHURWITZZETANBE: AA = 0 is a pole.", [bs] { kxreal r; kxhurwitzzetanbe(bs, 2, q(0), r); });
  plain("*** KXHURWITZZETANBE: End loop error 2; call KXBERNE with larger NB.",
        [bs] { kxreal r; kxhurwitzzetanbe(bs.first(95), 30, q(0.1Q), r); });
  plain("*** KXPOLYGAMMA: NN <= 0", [] { kxreal r; kxpolygamma(0, q(0.5Q), r); });
  plain("*** KXPOLYGAMMA: X must be in the range (0, 1)", [] { kxreal r; kxpolygamma(1, q(1), r); });
  row("('*** KXPOLYGAMMABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' entries by "
      "calling KXBERNE or KXBERER.')",
      [b94] { kxreal r; kxpolygammabe(b94, 1, q(1), r); }, bern("KXPOLYGAMMABE", 95, " by calling KXBERNE or KXBERER."));
  plain("*** KXPOLYGAMMABE: NN <= 0", [bs] { kxreal r; kxpolygammabe(bs, 0, q(1), r); });
  plain("*** KXPOLYGAMMABE: X < 0", [bs] { kxreal r; kxpolygammabe(bs, 1, q(-1), r); });
  plain("*** KXPOLYGAMMABE: X = 0 is a pole.", [bs] { kxreal r; kxpolygammabe(bs, 1, q(0), r); });
  plain("*** KXBESSELJNR: Second argument is zero", [] { kxreal r; kxbesseljnr(2, q(0), r); });
  plain("*** KXBESSELYNR: argument is negative or too large", [] { kxreal r; kxbesselynr(2, q(0), r); });
  plain("*** KXBESSELINR: Second argument is zero", [] { kxreal r; kxbesselinr(2, q(0), r); });
  plain("*** KXBESSELKNR: Second argument is zero", [] { kxreal r; kxbesselknr(2, q(0), r); });
  plain("*** KXBESSELJR: Second argument <= 0", [] { kxreal r; kxbesseljr(q(0.5Q), q(0), r); });
  using integer_order = void (*)(int, const kxreal&, kxreal&);
  const std::pair<const char*, integer_order> integer_orders[] = {
      {"KXBESSELJNR", kxbesseljnr}, {"KXBESSELYNR", kxbesselynr}, {"KXBESSELINR", kxbesselinr}, {"KXBESSELKNR", kxbesselknr}};
  for (const auto& [name, call] : integer_orders) {
    row(std::string("('*** ") + name + ": Order',i12,' is too large in magnitude')", [call] { kxreal r; call(INT_MIN, q(1), r); },
        std::string("*** ") + name + ": Order -2147483648 is too large in magnitude\n");
  }
  using real_order = void (*)(const kxreal&, const kxreal&, kxreal&);
  const std::pair<const char*, real_order> large_orders[] = {
      {"KXBESSELJR", kxbesseljr}, {"KXBESSELYR", kxbesselyr}, {"KXBESSELIR", kxbesselir}, {"KXBESSELKR", kxbesselkr}};
  for (const auto& [name, call] : large_orders) {
    row(std::string("('*** ") + name + ": Order is too large in magnitude',1p,d15.6)", [call] { kxreal r; call(q(-2.5e10Q), q(1), r); },
        std::string("*** ") + name + ": Order is too large in magnitude  -2.500000D+10\n");
  }
  const std::pair<const char*, real_order> negative_orders[] = {
      {"KXBESSELYR", kxbesselyr}, {"KXBESSELIR", kxbesselir}, {"KXBESSELKR", kxbesselkr}};
  for (const auto& [name, call] : negative_orders) {
    const std::string message = std::string("*** ") + name + ": First argument < 0 and second argument <= 0";
    row("('" + message + "')", [call] { kxreal r; call(q(-0.5Q), q(0), r); }, message + "\n");
  }
  plain("*** KXEXPINT: argument is zero", [] { kxreal r; kxexpint(q(0), r); });
  plain("*** KXSTRUVEHN: NU < 0", [] { kxreal r; kxstruvehn(-1, q(1), r); });
  row("('*** KXSTRUVEHN: ABS(SS) >',f8.2)", [] { kxreal r; kxstruvehn(0, q(13), r); }, "*** KXSTRUVEHN: ABS(SS) >   12.00\n");
  plain("*** KXSTRUVEHN: Loop end error", under_budget(kx::struve_term_limit, 2, [] { kxreal r; kxstruvehn(0, q(1), r); }));
  const std::vector<kxreal> t3(3);
  const std::vector<kxreal> one{q(1)}, two{q(1), q(1)};
  row("('*** KXPOLYLOGPOS: N is less than zero.'/ 'For negative n, call kxpolylogneg or polylog_neg. See documentation.')",
      [] { kxreal r; kxpolylogpos(-1, q(0.5Q), r); },
      "*** KXPOLYLOGPOS: N is less than zero.\nFor negative n, call kxpolylogneg or polylog_neg. See documentation.\n");
  plain("*** KXPOLYLOGPOS: |X| must be less than one.", [] { kxreal r; kxpolylogpos(2, q(1), r); });
  plain("*** KXPOLYLOGPOS: Loop end error", under_budget(kx::polylog_term_limit, 2, [] { kxreal r; kxpolylogpos(3, q(0.5Q), r); }));
  row("('*** KXPOLYLOGINI: Array must have at least',i10,' entries for order N.')",
      [] { std::vector<kxreal> t(3); kxpolylogini(-4, t); },
      "*** KXPOLYLOGINI: Array must have at least         4 entries for order N.\n");
  plain("*** KXPOLYLOGNEG: N = 0 is not a negative order; call kxpolylogpos.", [t3] { kxreal r; kxpolylogneg(0, t3, q(0.5Q), r); });
  row("('*** KXPOLYLOGNEG: Uninitialized or inadequately sized arrays'/ 'Call kxpolylogini or polylog_ini to initialize "
      "array. See documentation.')",
      [t3] { kxreal r; kxpolylogneg(4, t3, q(0.5Q), r); },
      "*** KXPOLYLOGNEG: Uninitialized or inadequately sized arrays\nCall kxpolylogini or polylog_ini to initialize array. "
      "See documentation.\n");
  plain("*** KXPOLYLOGNEG: X = 1 is a pole.", [] { std::vector<kxreal> t(3); kxpolylogini(-3, t); kxreal r; kxpolylogneg(-3, t, q(1), r); });
  row("('*** KXHYPERGEOMPFQ: NP and NQ must be between 1 and',i4)", [one] { kxreal r; kxhypergeompfq(1, 0, one, one, q(0.5Q), r); },
      "*** KXHYPERGEOMPFQ: NP and NQ must be between 1 and  10\n");
  row("('*** KXHYPERGEOMPFQ: A and B must hold at least NP and NQ entries:',2i4)",
      [one] { kxreal r; kxhypergeompfq(2, 1, one, one, q(0.5Q), r); },
      "*** KXHYPERGEOMPFQ: A and B must hold at least NP and NQ entries:   2   1\n");
  row("('*** KXHYPERGEOMPFQ: B(J) is zero or a negative integer for J =',i4)",
      [one] { kxreal r; kxhypergeompfq(1, 2, one, std::vector<kxreal>{q(2), q(0)}, q(0.5Q), r); },
      "*** KXHYPERGEOMPFQ: B(J) is zero or a negative integer for J =   2\n");
  plain("*** KXHYPERGEOMPFQ: The series diverges at this X (NP = NQ + 1).", [two] { kxreal r; kxhypergeompfq(2, 1, two, std::vector<kxreal>{q(2)}, q(1.5Q), r); });
  row("('*** KXHYPERGEOMPFQ: Term is not finite at I =',i10)",
      [one] { kxreal r; kxhypergeompfq(1, 1, one, one, nan_value, r); }, "*** KXHYPERGEOMPFQ: Term is not finite at I =         1\n");
  row("('*** KXHYPERGEOMPFQ: Loop end error',i10)",
      under_budget(kx::hypergeometric_term_limit, 2,
                   [two] { kxreal r; kxhypergeompfq(2, 1, two, std::vector<kxreal>{q(2)}, q(0.5Q), r); }),
      "*** KXHYPERGEOMPFQ: Loop end error         2\n");

  // Iteration budgets: each loop, lowered to a few steps, with an argument
  // that needs more.
  const auto limit = [](int which, int budget) {
    char tail[32];
    std::snprintf(tail, sizeof tail, "%10d%10d\n", which, budget);
    return std::string(tail);
  };
  const auto real_call = [](void (*f)(const kxreal&, kxreal&), __float128 x) { return [f, x] { kxreal r; f(q(x), r); }; };
  const auto order_call = [](void (*f)(int, const kxreal&, kxreal&), int n, __float128 x) {
    return [f, n, x] { kxreal r; f(n, q(x), r); };
  };
  const auto pair_call = [](void (*f)(const kxreal&, const kxreal&, kxreal&), __float128 a, __float128 x) {
    return [f, a, x] { kxreal r; f(q(a), q(x), r); };
  };
  plain("*** KXBERNER: Loop end error", under_budget(kx::bernoulli_pass_budget, 2, [] { bernoulli(20); }));
  row("('*** KXGAMMAR: iteration limit exceeded',2i10)", under_budget(kx::gamma_series_term_limit, 2, real_call(kxgammar, 0.5Q)),
      "*** KXGAMMAR: iteration limit exceeded" + limit(1, 2));
  plain("*** KXINCGAMMAR: Loop end error 1", under_budget(kx::incgamma_term_limit, 2, pair_call(kxincgammar, 0, 0.5Q)));
  plain("*** KXINCGAMMAR: Loop end error 2", under_budget(kx::incgamma_term_limit, 2, pair_call(kxincgammar, 0.5Q, 5)));
  plain("*** KXINCGAMMAR: Loop end error 3", under_budget(kx::incgamma_term_limit, 2, pair_call(kxincgammar, 0.5Q, 200)));
  plain("*** KXDIGAMMABE: Loop end error: Increase NB2", [bs] { kxreal r; kxdigammabe(bs, nan_value, r); });
  row("('*** KXZETAR: iteration limit exceeded',2i10)", under_budget(kx::zeta_direct_limit, 2, real_call(kxzetar, 50.5Q)),
      "*** KXZETAR: iteration limit exceeded" + limit(1, 2));
  row("('*** KXZETAINTR: iteration limit exceeded',2i10)", under_budget(kx::zeta_direct_limit, 2, [] { kxreal r; kxzetaintr(50, r); }),
      "*** KXZETAINTR: iteration limit exceeded" + limit(1, 2));
  row("('*** KXZETABE: iteration limit exceeded',2i10)",
      under_budget(kx::zeta_direct_limit, 2, [bs] { kxreal r; kxzetabe(bs, q(3.5Q), r); }),
      "*** KXZETABE: iteration limit exceeded" + limit(2, 2));
  plain("*** KXHURWITZZETAN: Loop end error", under_budget(kx::hurwitz_term_limit, 2, order_call(kxhurwitzzetan, 3, 0.5Q)));
  plain("*** KXHURWITZZETANBE: Loop end error 1", under_budget(kx::hurwitz_term_limit, 2, [bs] { kxreal r; kxpolygammabe(bs, 30, q(40), r); }));
  row("('*** KXERFR: iteration limit exceeded',2i10)", under_budget(kx::erf_term_limit, 2, real_call(kxerfr, 0.5Q)),
      "*** KXERFR: iteration limit exceeded" + limit(1, 2));
  row("('*** KXERFCR: iteration limit exceeded',2i10)", under_budget(kx::erf_term_limit, 2, real_call(kxerfcr, 5)),
      "*** KXERFCR: iteration limit exceeded" + limit(2, 2));
  plain("*** KXPOLYGAMMABE: Loop end error 1", under_budget(kx::hurwitz_term_limit, 10, [bs] { kxreal r; kxpolygammabe(bs, 2000, q(1000), r); }));
  struct bessel_case {
    const char* message;
    std::function<void()> call;
  };
  const bessel_case bessel_cases[] = {
      {"KXBESSELJNR: Loop end error 1", order_call(kxbesseljnr, 3, 0.5Q)},
      {"KXBESSELJNR: Loop end error 2", order_call(kxbesseljnr, 3, 1000)},
      {"KXBESSELYNR: Loop end error 1", order_call(kxbesselynr, 30, 20)},
      {"KXBESSELYNR: Loop end error 2", order_call(kxbesselynr, 3, 1000)},
      {"KXBESSELINR: Loop end error 1", order_call(kxbesselinr, 3, 0.5Q)},
      {"KXBESSELINR: Loop end error 2", order_call(kxbesselinr, 3, 1000)},
      {"KXBESSELKNR: Loop end error 1", order_call(kxbesselknr, 3, 5)},
      {"KXBESSELKNR: Loop end error 2", order_call(kxbesselknr, 3, 100)},
      {"KXBESSELJR: Loop end error 1", pair_call(kxbesseljr, 2.5Q, 0.5Q)},
      {"KXBESSELJR: Loop end error 2", pair_call(kxbesseljr, 10.5Q, 1000)},
      {"KXBESSELIR: Loop end error 1", pair_call(kxbesselir, 2.5Q, 0.5Q)},
      {"KXBESSELIR: Loop end error 2", pair_call(kxbesselir, 2.5Q, 1000)},
      {"KXBESSELKR: Loop end error 1", pair_call(kxbesselkr, 10.5Q, 20)},
      {"KXBESSELKR: Loop end error 2", pair_call(kxbesselkr, 2.5Q, 100)},
  };
  for (const bessel_case& c : bessel_cases)
    row(std::string("('*** ") + c.message + "')", under_budget(kx::bessel_term_limit, 1, c.call), std::string("*** ") + c.message + "\n");

  // The template printer: a template made at run time, or values of the wrong kind.
  rows.push_back(malformed_row("the template must begin with '('", "i5)", "the template must begin with '('", 1));
  rows.push_back(malformed_row("text after the closing ')'", "(i5) x", "text after the closing ')'", 6));
  rows.push_back(malformed_row("number too large", "(i100001)", "number too large", 9));
  rows.push_back(malformed_row("missing ')'", "(i5", "missing ')'", 4));
  rows.push_back(malformed_row("missing item before ')'", "(i5,)", "missing item before ')'", 5));
  rows.push_back(malformed_row("misplaced comma", "(,i5)", "misplaced comma", 2));
  rows.push_back(malformed_row("missing comma between items", "(i5 i5)", "missing comma between items", 5));
  rows.push_back(malformed_row("digits expected after the sign", "(-p)", "digits expected after the sign", 3));
  rows.push_back(malformed_row("'p' expected after a signed scale factor", "(-1x)", "'p' expected after a signed scale factor", 4));
  rows.push_back(malformed_row("item expected", "(3", "item expected", 3));
  rows.push_back(malformed_row("'p' needs a scale factor before it", "(p)", "'p' needs a scale factor before it", 3));
  rows.push_back(malformed_row("zero blank count", "(0x)", "zero blank count", 4));
  rows.push_back(malformed_row("width of i", "(i)", "width of i", 3));
  rows.push_back(malformed_row("width of i is zero", "(i0)", "width of i is zero", 4));
  rows.push_back(malformed_row("field width", "(f.2)", "field width", 3));
  rows.push_back(malformed_row("field width is zero", "(f0.2)", "field width is zero", 4));
  rows.push_back(malformed_row("'.' expected after the field width", "(f8)", "'.' expected after the field width", 4));
  rows.push_back(malformed_row("digit count expected after '.'", "(f8.)", "digit count expected after '.'", 5));
  rows.push_back(malformed_row("width of a is zero", "(a0)", "width of a is zero", 4));
  rows.push_back(malformed_row("repeat count before quoted text", "(2'x')", "repeat count before quoted text", 4));
  rows.push_back(malformed_row("unknown item '{}'", "(q7)", "unknown item 'q'", 2));
  rows.push_back(malformed_row("zero repeat count", "(0i5)", "zero repeat count", 4));
  rows.push_back(malformed_row("unterminated quoted text", "('abc)", "unterminated quoted text", 7));
  // The number readers that the parser calls only at a digit, here at the '('.
  rows.push_back({malformed(""), [] { kx::template_parser("(a)").leading_count(); },
                  format_fault("malformed template ( at column 1)", "(a)")});
  rows.push_back({malformed("width of a"), [] { kx::template_parser("(a)").character_width(); },
                  format_fault("malformed template (width of a at column 1)", "(a)")});
  row("*** KXFORMAT: {} value(s) left but no data item to take them in template \"{}\"", [] { format_runtime("('x')", {1, 2}); },
      format_fault("2 value(s) left but no data item to take them", "('x')"));
  row("*** KXFORMAT: {} value (number {}) for the item {} in template \"{}\"", [] { format_runtime("(i5,f8.2)", {1, "x"}); },
      format_fault("a text value (number 2) for the item f8.2", "(i5,f8.2)"));
  row("*** KXFORMAT: scale factor {}p is out of range for {} in template \"{}\"", [] { format_runtime("(5p,d12.2)", {1.0}); },
      format_fault("scale factor 5p is out of range for d12.2", "(5p,d12.2)"));
  return rows;
}

// Failures recorded so far in the running test.
int failures_so_far() { return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count(); }

TEST(FatalInventory, EveryMessageInTheCodeIsTriggered) {
  const inventory inv = scan_sources(KX_SOURCE_DIR);
  for (const std::string& u : inv.unreadable) ADD_FAILURE() << "cannot read a fatal message at " << u;
  EXPECT_GT(inv.where.size(), 100u) << "the scan found too few templates";
  const std::vector<fatal_row> rows = fatal_rows();
  std::set<std::string> in_table;
  for (const fatal_row& r : rows) {
    EXPECT_TRUE(in_table.insert(r.key).second) << "two rows for " << r.key;
    EXPECT_EQ(inv.where.count(r.key), 1u) << "a row whose template is not in the code: " << r.key;
  }
  for (const auto& [key, where] : inv.where)
    EXPECT_EQ(in_table.count(key), 1u) << "no row triggers " << key << " (" << where << ")";

  int triggered = 0;
  for (const fatal_row& r : rows) {
    const int before = failures_so_far();
    EXPECT_FATAL_STOP(r.trigger(), "^" + escaped_for_regex(r.expected) + "$") << r.key;
    if (failures_so_far() == before && inv.where.count(r.key) == 1) ++triggered;
  }
  std::printf("fatal messages triggered: %d / %zu in the code\n", triggered, inv.where.size());
}

}  // namespace
