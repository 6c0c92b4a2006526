// The pieces of the Python module kx._kx that its binding sources share.
#pragma once

#include <mutex>
#include <string>
#include <utility>

#include <pybind11/pybind11.h>

#include <kx/kx.h>

namespace kx {

/// A Python number as a kxreal: kx.real, int (exact where it fits, else rounded), float, str (the package's decimal input), fractions.Fraction, decimal.Decimal, mpmath.mpf. Raises TypeError for other types, ValueError for a malformed string.
kxreal real_from_python(pybind11::handle value);

/// The lock that serialises the library's calls made without the GIL: the
/// library's global state (output units, fatal handler) is not for
/// concurrent use.
std::mutex& library_lock();

/// Runs f() with the GIL released and the library's lock held (the library's global state, e.g. output units and fatal handler, is not for concurrent use), re-acquiring the GIL before returning or propagating an exception.
///   kxreal z = run_released([&] { return kxzetar(s); });
template <class F>
auto run_released(F&& f) -> decltype(f()) {
  pybind11::gil_scoped_release released;
  std::lock_guard<std::mutex> held(library_lock());
  return std::forward<F>(f)();
}

/// The library's message lines without the newline that ends the last one:
/// the text of kx.Error and of the ValueError of a malformed literal.
std::string message_text(const fatal_error& e);

/// Python's NotImplemented, the answer of an operator to an operand it does
/// not take, so that Python tries the other operand's.
inline pybind11::object not_implemented() { return pybind11::reinterpret_borrow<pybind11::object>(Py_NotImplemented); }

/// Registers + - * / and their reflected forms on cls: forward(a, b, op)
/// is a op b and reflected(a, b, op) is b op a for a Python operand b (or
/// NotImplemented for an operand the type does not take).
template <class T, class Forward, class Reflected>
void def_arithmetic(pybind11::class_<T>& cls, Forward forward, Reflected reflected) {
  const auto add = [](const auto& x, const auto& y) { return x + y; };
  const auto subtract = [](const auto& x, const auto& y) { return x - y; };
  const auto multiply = [](const auto& x, const auto& y) { return x * y; };
  const auto divide = [](const auto& x, const auto& y) { return x / y; };
  const auto both = [&](const char* name, const char* reflected_name, auto op) {
    cls.def(name, [forward, op](const T& a, pybind11::handle b) { return forward(a, b, op); }, pybind11::is_operator());
    cls.def(reflected_name, [reflected, op](const T& a, pybind11::handle b) { return reflected(a, b, op); },
            pybind11::is_operator());
  };
  both("__add__", "__radd__", add);
  both("__sub__", "__rsub__", subtract);
  both("__mul__", "__rmul__", multiply);
  both("__truediv__", "__rtruediv__", divide);
}

/// Registers kx.findrelation, kx.findpoly, kx.identify (python/finder.cpp).
void bind_finder(pybind11::module_& m);

/// Registers kx.real and its operators (real_type.cpp).
void bind_real(pybind11::module_& m);

/// Registers kx.complex and its operators (complex_type.cpp).
void bind_complex(pybind11::module_& m);

/// Registers the elementary and special functions and the constants
/// (functions.cpp).
void bind_functions(pybind11::module_& m);

/// True for the Python numbers real_from_python converts (kx.real, int,
/// float, str excluded, Fraction, Decimal, mpf): the operands that arithmetic
/// with a kx.real accepts.
bool is_real_operand(pybind11::handle value);

/// The exact value of a Python int, Fraction, finite Decimal or finite mpf
/// as a fractions.Fraction (an int as itself); None for any other value.
pybind11::object exact_rational(pybind11::handle value);

/// True, with n set, when the exact value of a Python number is an integer
/// that fits an int.
bool exact_int(pybind11::handle value, int& n);

/// A Python number as a kxcomplex: kx.complex, complex (each part exact),
/// mpmath.mpc (exact words at 226 bits or fewer), or any real operand with a
/// zero imaginary part. Raises TypeError for other types.
kxcomplex complex_from_python(pybind11::handle value);

/// True for the values complex_from_python converts that are not real
/// operands: kx.complex, complex, mpc.
bool is_complex_operand(pybind11::handle value);

/// a ** b for a Python exponent b: the integer power (kxnpwr) when b is
/// exactly an integer, the root (kxnrt) when b is exactly 1/n or -1/n,
/// otherwise e^(b log a) (pow).
kxreal real_power(const kxreal& a, pybind11::handle b);

/// The exact value hi + lo of a finite a as a Python fractions.Fraction.
pybind11::object exact_fraction(const kxreal& a);

/// The pair nearest to the exact rational n / d (d > 0): hi is n / d rounded
/// to binary128, lo the rest rounded to binary128. Exact when n / d is the
/// value of a normalised pair.
kxreal real_from_ratio(pybind11::handle n, pybind11::handle d);

}  // namespace kx
