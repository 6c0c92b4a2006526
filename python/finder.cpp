// kx.findrelation, kx.findpoly and kx.identify: the relation search zezuv1
// on Python numbers, with the command-line finder's default tolerance,
// confidence figure, constants and texts (app/), the search itself run with
// the GIL released. The results are the list-like classes of kx/finder.py.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "bindings.h"
#include "finder_input.h"
#include "named_constants.h"
#include "relation_text.h"
#include "test_run.h"

namespace py = pybind11;

namespace kx {
namespace {

// Relations are integers below 2^126 (what relation_text reads), so the norm
// bound stops at 10^36, as the command-line finder's --norm-bound does.
constexpr double largest_maxnorm = 1e36;

// A value with the decimal digits it carries, which set the default
// tolerance and the confidence: a str or Decimal its significant digits, a
// float 15 (what a double surely holds), an mpf its bits or its context's
// precision, the larger (the precision it was computed at, or works at);
// kx.real, int and Fraction, like every integer below 10^30, are exact.
finder::literal literal_of(py::handle value, int position) {
  const kxreal v = real_from_python(value);
  const bool integer = finder::exact_integer(v);
  if (py::isinstance<kxreal>(value)) return {v, 0, true, position};  // it has an _mpf_ view too
  if (PyUnicode_Check(value.ptr()) || py::isinstance(value, py::module_::import("decimal").attr("Decimal"))) {
    return {v, finder::significant_digits(py::str(value).cast<std::string>()), integer, position};
  }
  if (PyFloat_Check(value.ptr())) return {v, std::numeric_limits<double>::digits10, integer, position};
  if (py::hasattr(value, "_mpf_")) {
    const int mantissa_bits = value.attr("_mpf_")[py::int_(3)].cast<int>();
    const int bits = std::max(mantissa_bits, value.attr("context").attr("prec").cast<int>());
    return {v, static_cast<int>(bits * std::log10(2.0)), integer, position};
  }
  return {v, 0, true, position};
}

std::vector<finder::literal> literals_of(py::handle values) {
  if (PyUnicode_Check(values.ptr())) throw py::type_error("a sequence of numbers is needed, not a str");
  std::vector<finder::literal> literals;
  for (const py::handle value : py::iter(values)) {
    literals.push_back(literal_of(value, static_cast<int>(literals.size()) + 1));
  }
  return literals;
}

std::vector<kxreal> values_of(const std::vector<finder::literal>& literals) {
  std::vector<kxreal> x;
  for (const finder::literal& l : literals) x.push_back(l.value);
  return x;
}

// The search's two limits from Python's words: tol (None for the default
// of the input's digits) and maxnorm.
struct limits {
  kxreal eps;
  double rb;
};

limits limits_of(const py::object& tol, double maxnorm, const std::vector<finder::literal>& literals) {
  if (!(maxnorm >= 1 && maxnorm <= largest_maxnorm)) throw py::value_error("maxnorm must be from 1 to 1e36");
  limits l{{}, std::log10(maxnorm)};
  if (tol.is_none()) {
    // Two digits below a literal of 2 digits or fewer is a tolerance of 1 or
    // more, which any vector meets: such input needs its tol named.
    const int digits = finder::default_tolerance_digits(literals);
    if (digits < 1) throw py::value_error("the values carry too few digits for a default tolerance: give tol");
    l.eps = pow(kxreal{10}, -digits);
  } else {
    l.eps = real_from_python(tol);
    if (!(l.eps > 0.0Q && l.eps < 1.0Q)) throw py::value_error("tol must be between 0 and 1");
  }
  return l;
}

// One search, with the GIL released: the relation, or nothing when none of
// norm up to 10^rb is found.
std::optional<std::vector<kxreal>> search(const std::vector<kxreal>& x, const limits& l) {
  return run_released([&]() -> std::optional<std::vector<kxreal>> {
    std::vector<kxreal> r(x.size());
    int found = 0;
    zezuv1(0, static_cast<int>(x.size()), l.rb, l.eps, x, found, r);
    if (found != 1) return std::nullopt;
    return r;
  });
}

py::int_ python_int(__int128 v) {
  return py::reinterpret_steal<py::int_>(PyLong_FromString(finder::integer_text(v).c_str(), nullptr, 10));
}

py::list python_ints(const std::vector<__int128>& c) {
  py::list list;
  for (const __int128 v : c) list.append(python_int(v));
  return list;
}

// An instance of the result class `name` of kx.finder: the integers, then
// the figures of trust, then the text, if any.
py::object result(const char* name, const py::list& integers, std::span<const kxreal> r, std::span<const kxreal> x,
                  int digits, const py::object& text = py::none()) {
  const double confidence = finder::confidence_digits(digits, r);
  const py::object type = py::module_::import("kx.finder").attr(name);
  const py::object residual = py::cast(finder::residual(r, x));
  if (text.is_none()) return type(integers, confidence, residual, confidence < finder::doubtful_below);
  return type(integers, confidence, residual, confidence < finder::doubtful_below, text);
}

py::object find_relation(const py::object& values, const py::object& tol, double maxnorm) {
  const std::vector<finder::literal> literals = literals_of(values);
  if (literals.size() < 2) throw py::value_error("findrelation needs two values or more");
  const limits l = limits_of(tol, maxnorm, literals);
  const std::vector<kxreal> x = values_of(literals);
  const std::optional<std::vector<kxreal>> r = search(x, l);
  if (!r) return py::none();
  return result("Relation", python_ints(finder::integers_of(*r)), *r, x, finder::input_digits(literals));
}

// The polynomial of a relation among 1, x, ..., x^d: c[k] the coefficient
// of x^k, without the factors x^k that a non-zero x cannot satisfy.
std::vector<__int128> polynomial_of(std::span<const kxreal> r, bool x_is_zero) {
  std::vector<__int128> c = finder::integers_of(r);
  while (c.size() > 1 && c.back() == 0) c.pop_back();
  if (!x_is_zero) {
    std::size_t low = 0;
    while (low + 1 < c.size() && c[low] == 0) ++low;
    c.erase(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(low));
  }
  return c;
}

// A polynomial of degree d found among 1, x, ..., x^d may be a multiple of
// x's minimal polynomial; a search among 1, ..., x^(d-1), which holds every
// lower degree, decides: its relation, unless doubtful, replaces it.
py::object find_poly(const py::object& value, int degree, const py::object& tol, double maxnorm) {
  if (degree < 1) throw py::value_error("findpoly needs a degree of 1 or more");
  const std::vector<finder::literal> literals{literal_of(value, 1)};
  const limits l = limits_of(tol, maxnorm, literals);
  const int digits = finder::input_digits(literals);
  const kxreal x = literals[0].value;
  std::optional<std::vector<kxreal>> best;
  std::vector<kxreal> best_powers;
  for (int d = degree; d >= 1;) {
    const std::vector<kxreal> powers = run_released([&] { return test_run::powers_of(x, d + 1); });
    const std::optional<std::vector<kxreal>> r = search(powers, l);
    if (!r || (best && finder::confidence_digits(digits, *r) < finder::doubtful_below)) break;
    best = r;
    best_powers = powers;
    d = static_cast<int>(polynomial_of(*r, x == 0.0Q).size()) - 2;
  }
  if (!best) return py::none();
  std::vector<__int128> c = polynomial_of(*best, x == 0.0Q);
  const std::string text = finder::polynomial_text(c);
  if (c.back() < 0) {
    for (__int128& v : c) v = -v;
  }
  py::list highest_first;
  for (auto it = c.rbegin(); it != c.rend(); ++it) highest_first.append(python_int(*it));
  return result("Polynomial", highest_first, *best, best_powers, digits, py::str(text));
}

// The constants of identify: named ones of the finder's table, computed by
// kx, or the caller's own values under the caller's names.
struct constants_input {
  std::vector<finder::literal> literals;  // the caller's values only
  std::vector<std::string> names;
  std::vector<const finder::named_constant*> named;  // nullptr for the caller's
};

std::string known_names() {
  std::string text;
  for (const finder::named_constant& c : finder::named_constants()) {
    text += (text.empty() ? "" : ", ") + std::string(c.name);
  }
  return text;
}

constants_input constants_of(const py::object& constants) {
  constants_input in;
  if (constants.is_none()) return in;
  if (py::isinstance<py::dict>(constants)) {
    for (const auto& [name, value] : py::reinterpret_borrow<py::dict>(constants)) {
      in.names.push_back(py::str(name).cast<std::string>());
      in.literals.push_back(literal_of(value, static_cast<int>(in.names.size()) + 1));
      in.named.push_back(nullptr);
    }
    return in;
  }
  if (PyUnicode_Check(constants.ptr())) throw py::type_error("constants must be a list of names or a dict, not a str");
  for (const py::handle item : py::iter(constants)) {
    const std::string name = py::str(item).cast<std::string>();
    const finder::named_constant* c = finder::find_constant(name);
    if (c == nullptr) throw py::value_error("unknown constant \"" + name + "\"; the known ones: " + known_names());
    in.names.emplace_back(c->formula);
    in.named.push_back(c);
  }
  return in;
}

py::object identify(const py::object& value, const py::object& constants, const py::object& tol, double maxnorm) {
  const constants_input in = constants_of(constants);
  std::vector<finder::literal> literals{literal_of(value, 1)};
  literals.insert(literals.end(), in.literals.begin(), in.literals.end());
  const limits l = limits_of(tol, maxnorm, literals);
  std::vector<std::string> labels{"x", "1"};
  labels.insert(labels.end(), in.names.begin(), in.names.end());
  const std::vector<kxreal> x = run_released([&] {
    std::vector<kxreal> v{literals[0].value, kxreal{1}};
    auto own = in.literals.begin();
    for (const finder::named_constant* c : in.named) v.push_back(c != nullptr ? c->value() : (own++)->value);
    return v;
  });
  const std::optional<std::vector<kxreal>> r = search(x, l);
  if (!r) return py::none();
  const std::vector<__int128> c = finder::integers_of(*r);
  const std::string formula = finder::formula_text(c, labels);
  if (formula.empty()) {
    throw py::value_error("the constants alone satisfy a relation (x is not in it): " +
                          py::str(python_ints(c)).cast<std::string>());
  }
  return result("Identification", python_ints(c), *r, x, finder::input_digits(literals), py::str(formula));
}

}  // namespace

void bind_finder(py::module_& m) {
  using namespace pybind11::literals;
  m.def("findrelation", &find_relation, "values"_a, "tol"_a = py::none(), "maxnorm"_a = 1e20,
        R"(Integers r, not all zero, with r[0]*values[0] + r[1]*values[1] + ... = 0.

A kx.finder.Relation (a list of ints in the order of the values, with
.confidence, .residual and .doubtful), or None when no relation of Euclidean
norm up to maxnorm (at most 1e36) is found. The values are kx.real, str, int,
float, Fraction, Decimal or mpmath mpf numbers, two or more.

tol=None takes the tolerance from the digits the values carry, as the
command-line finder kx-find-relation does: 10^-67 for kx.real, int and
Fraction values (held to the pair's 68 digits) and for literals of 68
digits or more, else two digits below the fewest significant digits of a
str or Decimal (10^-28 for 30 digits), of a float (15) or of an mpf (the
larger of its mantissa's bits and its context's precision). The search needs its tolerance near the noise of its
input: a looser one takes a small entry for the end of precision. A relation
is accepted when |sum r[i]*values[i]| is about tol times the largest |r[i]|.

.confidence is the input's digits minus the digits the relation uses (n
times log10 of its largest coefficient); below 5 the relation is doubtful:
one of that size appears among such numbers by chance.

The search runs with the GIL released.

    >>> kx.findrelation([kx.log(2), kx.log(3), kx.log(12)])
    Relation([-2, -1, 1], confidence=67.1))");
  m.def("findpoly", &find_poly, "x"_a, "degree"_a, "tol"_a = py::none(), "maxnorm"_a = 1e20,
        R"(The integer polynomial of lowest degree, at most `degree`, with root x.

A kx.finder.Polynomial: its coefficients as ints, highest degree first, the
leading one positive (mpmath's convention), with .confidence, .residual and
.doubtful; str() gives the polynomial as kx-find-relation prints it. None
when no polynomial of coefficient norm up to maxnorm is found.

The relation search runs among 1, x, ..., x^degree; a polynomial found there
is checked against a search one degree lower, whose result (unless doubtful)
replaces it, so that a multiple of the minimal polynomial is not returned.

tol=None: as findrelation, 10^-67 for a kx.real. The search needs a
tolerance near the noise of its input; at 10^-67 the degree-16 polynomial of
3^(1/4) - 2^(1/4) is found when that number is off by up to about 10000
units of 2^-226 (measured), while kx.real(3)**0.25 - kx.real(2)**0.25 is off
by far fewer; looser tolerances from 10^-66 to 10^-58 find nothing, or a
false relation, for this number.

    >>> print(kx.findpoly(kx.real(3)**0.25 - kx.real(2)**0.25, 16))
    x^16 - 20*x^12 - 666*x^8 - 3860*x^4 + 1)");
  m.def("identify", &identify, "x"_a, "constants"_a = py::none(), "tol"_a = py::none(), "maxnorm"_a = 1e20,
        R"(x as a rational combination of 1 and the given constants.

constants: names of kx-find-relation's table (pi, pi2, e, log2, log3, log5,
gamma, zeta3, zeta5, catalan, sqrt2, sqrt3, sqrt5), each computed by kx to
full precision, or a dict of name -> value (any number findrelation takes);
None for x as a rational number. A kx.finder.Identification: the integers
of the relation among x, 1 and the constants in that order, with .formula
(also its str()), .confidence, .residual and .doubtful; None when no
relation is found. ValueError when the constants satisfy a relation without
x. tol and maxnorm as in findrelation.

    >>> print(kx.identify(kx.real(3) / 4 * kx.pi - kx.log2 / 2, ["pi", "log2"]))
    x = 3/4*pi - 1/2*log(2))");
}

}  // namespace kx
