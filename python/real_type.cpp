// kx.real: the quad-pair number as a Python number.
//
// Arithmetic is the library's: a Python float operand is the binary128
// value (d, 0) and takes the routines for a binary128 operand (kxmuld,
// kxdivd: 4 and 5 units of 2^-226); every other number is converted first
// (real_from_python) and the pair routines follow (kxadd, kxsub: 4 units of
// |a| + |b|; kxmul, kxdiv: 8 units). A zero divisor gives the library's
// non-finite words, not ZeroDivisionError. Comparisons with an int,
// Fraction, Decimal or mpf are exact (the exact rationals compared);
// hash(x) is the hash of the exact rational hi + lo, so it equals the hash
// of an equal int, float or Fraction.
#include <quadmath.h>

#include <climits>
#include <string>

#include "bindings.h"

namespace py = pybind11;

namespace {

bool is_finite(const kxreal& a) { return finiteq(a.hi) && finiteq(a.lo); }

// a op b for the four operations, with b's Python type choosing the routine.
template <class Op>
py::object arithmetic(const kxreal& a, py::handle b, Op op) {
  if (kx::is_complex_operand(b)) return py::cast(op(kxcomplex(a), kx::complex_from_python(b)));
  if (PyFloat_Check(b.ptr())) return py::cast(op(a, static_cast<__float128>(PyFloat_AsDouble(b.ptr()))));
  if (!kx::is_real_operand(b)) return kx::not_implemented();
  return py::cast(op(a, kx::real_from_python(b)));
}

// b op a: the same with the operands swapped; (q, 0) op a for a float q.
template <class Op>
py::object reflected(const kxreal& a, py::handle b, Op op) {
  if (kx::is_complex_operand(b)) return py::cast(op(kx::complex_from_python(b), kxcomplex(a)));
  if (PyFloat_Check(b.ptr())) return py::cast(op(static_cast<__float128>(PyFloat_AsDouble(b.ptr())), a));
  if (!kx::is_real_operand(b)) return kx::not_implemented();
  return py::cast(op(kx::real_from_python(b), a));
}

// The Python result of a rich comparison from a three-way result of
// compare (unordered for a NaN: only != holds).
bool ordered_result(int c, int op) {
  if (c == kx::unordered) return op == Py_NE;
  switch (op) {
    case Py_LT: return c < 0;
    case Py_LE: return c <= 0;
    case Py_EQ: return c == 0;
    case Py_NE: return c != 0;
    case Py_GT: return c > 0;
    default: return c >= 0;
  }
}

py::object richcompare(const kxreal& a, py::handle b, int op) {
  if (PyComplex_Check(b.ptr()) || py::isinstance<kxcomplex>(b)) {
    if (op != Py_EQ && op != Py_NE) return kx::not_implemented();
    const kxcomplex z = kx::complex_from_python(b);
    const bool equal = kx::compare(a, z.re) == 0 && kx::compare(kxreal{}, z.im) == 0;
    return py::bool_(op == Py_EQ ? equal : !equal);
  }
  if (!kx::is_real_operand(b)) return kx::not_implemented();
  if (!py::isinstance<kxreal>(b) && !PyFloat_Check(b.ptr()) && is_finite(a)) {
    const py::object exact = kx::exact_rational(b);
    if (!exact.is_none()) {
      return py::reinterpret_steal<py::object>(PyObject_RichCompare(kx::exact_fraction(a).ptr(), exact.ptr(), op));
    }
  }
  return py::bool_(ordered_result(kx::compare(a, kx::real_from_python(b)), op));
}

// The integer n >= 2 when the exact value of b is 1/n or -1/n (sign set).
bool root_exponent(py::handle b, int& n, bool& reciprocal) {
  const py::object q = kx::exact_rational(b);
  if (q.is_none() || PyLong_Check(q.ptr())) return false;
  const py::object numerator = q.attr("numerator"), denominator = q.attr("denominator");
  if (!numerator.equal(py::int_(1)) && !numerator.equal(py::int_(-1))) return false;
  if (denominator > py::int_(INT_MAX)) return false;
  n = denominator.cast<int>();
  reciprocal = numerator.equal(py::int_(-1));
  return true;
}

// a^(1/n): kxnrt, with an odd root of a negative a taken as -(-a)^(1/n);
// an even root of a negative a stops in kxnrt with its message.
kxreal real_root(const kxreal& a, int n) {
  if (a.hi < 0 && n % 2 == 1) return -kx::nroot(-a, n);
  return kx::nroot(a, n);
}

}  // namespace

namespace kx {

kxreal real_power(const kxreal& a, py::handle b) {
  int n = 0;
  bool reciprocal = false;
  if (exact_int(b, n) && n != INT_MIN) return pow(a, n);
  if (root_exponent(b, n, reciprocal)) {
    const kxreal r = real_root(a, n);
    return reciprocal ? kxreal{1} / r : r;
  }
  return pow(a, real_from_python(b));
}

void bind_real(py::module_& m) {
  using R = const kxreal&;
  py::class_<kxreal> real(m, "real", R"(A 68-digit real number: the unevaluated sum hi + lo of two binary128 values.

kx.real(x) converts an int (exact where its bits fit in the pair, else the
nearest pair), a float (exact), a str (a decimal literal of the package's
syntax, or inf/nan; the exact decimal value rounded to the nearest pair), a
fractions.Fraction or decimal.Decimal (the exact rational rounded to the
nearest pair: within 2^-227 relative), an mpmath mpf (exact when its
mantissa fits the pair, as at 226 bits or fewer), or a kx.real.
    >>> kx.real('0.1') * 3 == kx.real('0.3')
)");
  def_arithmetic(real, [](R a, py::handle b, auto op) { return arithmetic(a, b, op); },
                 [](R a, py::handle b, auto op) { return reflected(a, b, op); });
  real.def(py::init([](py::handle value) { return real_from_python(value); }), py::arg("value") = 0)
      .def("as_integer_ratio", [](R a) {
        const py::object q = exact_fraction(a);
        return py::make_tuple(q.attr("numerator"), q.attr("denominator"));
      }, "The exact value hi + lo as a pair of integers (n, d), d > 0 a power of two.")
      .def_property_readonly("hi", [](R a) { return kxreal{a.hi, 0}; }, "The high word, as a kx.real.")
      .def_property_readonly("lo", [](R a) { return kxreal{a.lo, 0}; }, "The low word, as a kx.real.")
      .def("is_finite", [](R a) { return is_finite(a); }, "True unless a word is infinite or NaN.")
      .def("__pow__", [](R a, py::handle b) -> py::object {
        if (is_complex_operand(b)) return py::cast(pow(a, complex_from_python(b)));
        if (!is_real_operand(b)) return kx::not_implemented();
        return py::cast(real_power(a, b));
      }, py::is_operator(), R"(a ** b: the integer power (kxnpwr) when b is exactly an integer;
the root kxnrt when b is exactly 1/n or -1/n (n >= 2; an odd root of a
negative a is -(-a)^(1/n)); otherwise e^(b log a) (pow, a > 0). A complex
b gives the complex power.)")
      .def("__rpow__", [](R a, py::handle b) -> py::object {
        if (is_complex_operand(b)) return py::cast(pow(complex_from_python(b), a));
        if (!is_real_operand(b)) return kx::not_implemented();
        return py::cast(real_power(real_from_python(b), py::cast(a)));
      }, py::is_operator())
      .def("__neg__", [](R a) { return -a; })
      .def("__pos__", [](R a) { return a; })
      .def("__abs__", [](R a) { return abs(a); })
      .def("__bool__", [](R a) { return static_cast<bool>(a); })
      .def("__lt__", [](R a, py::handle b) { return richcompare(a, b, Py_LT); }, py::is_operator())
      .def("__le__", [](R a, py::handle b) { return richcompare(a, b, Py_LE); }, py::is_operator())
      .def("__eq__", [](R a, py::handle b) { return richcompare(a, b, Py_EQ); }, py::is_operator())
      .def("__ne__", [](R a, py::handle b) { return richcompare(a, b, Py_NE); }, py::is_operator())
      .def("__gt__", [](R a, py::handle b) { return richcompare(a, b, Py_GT); }, py::is_operator())
      .def("__ge__", [](R a, py::handle b) { return richcompare(a, b, Py_GE); }, py::is_operator())
      .def("__hash__", [](R a) -> py::ssize_t {
        if (is_finite(a)) return py::hash(exact_fraction(a));
        return py::hash(py::float_(static_cast<double>(isnanq(a.lo) ? a.lo : a.hi)));
      })
      .def("__float__", [](R a) -> double {
        if (!is_finite(a)) return static_cast<double>(isnanq(a.lo) ? a.lo : a.hi);
        if (!a) return static_cast<double>(a.hi);  // a zero keeps its sign
        return exact_fraction(a).cast<double>();
      }, "The nearest float to hi + lo (correctly rounded).")
      .def("__int__", [](R a) { return py::int_(exact_fraction(a)); }, "hi + lo truncated toward zero, exactly.")
      .def("__trunc__", [](R a) { return py::int_(exact_fraction(a)); })
      .def("__floor__", [](R a) { return py::module_::import("math").attr("floor")(exact_fraction(a)); })
      .def("__ceil__", [](R a) { return py::module_::import("math").attr("ceil")(exact_fraction(a)); })
      .def("__round__", [](R a, py::object ndigits) -> py::object {
        const py::object rounded = py::module_::import("builtins").attr("round");
        if (ndigits.is_none()) return rounded(exact_fraction(a));
        if (!is_finite(a)) return py::cast(a);
        return py::cast(real_from_python(rounded(exact_fraction(a), ndigits)));
      }, py::arg("ndigits") = py::none(), R"(round(x): the nearest int to hi + lo, halfway cases to even (exact).
round(x, n): the nearest pair to hi + lo rounded exactly to n decimals,
halfway cases to even.)");
}

}  // namespace kx
