// kx.complex: the quad-pair complex number as a Python number.
//
// Every operand is widened exactly (complex_from_python) and one complex
// routine is called: + kxcadd, - kxcsub, * kxcmul, / kxcdiv (their
// accuracy, core/complex.h: 4, 4, 12 and 84 units of 2^-226). ** is the
// integer power (kxcpwr) for an exactly integral exponent, else the
// principal power e^(w log z). hash(z) follows Python's rule for complex
// numbers, so a kx.complex equal to a complex, float or int hashes alike.
#include <pybind11/complex.h>

#include <climits>
#include <complex>
#include <cstdint>

#include "bindings.h"

namespace py = pybind11;

namespace {

bool is_operand(py::handle b) { return kx::is_complex_operand(b) || kx::is_real_operand(b); }

template <class Op>
py::object arithmetic(const kxcomplex& a, py::handle b, Op op) {
  if (!is_operand(b)) return kx::not_implemented();
  return py::cast(op(a, kx::complex_from_python(b)));
}

template <class Op>
py::object reflected(const kxcomplex& a, py::handle b, Op op) {
  if (!is_operand(b)) return kx::not_implemented();
  return py::cast(op(kx::complex_from_python(b), a));
}

// z ** w: kxcpwr for an exactly integral real w, the real-exponent power for
// another real w, the complex power otherwise.
kxcomplex complex_power(const kxcomplex& z, py::handle w) {
  if (kx::is_real_operand(w)) {
    int n = 0;
    if (kx::exact_int(w, n) && n != INT_MIN) return pow(z, n);
    return pow(z, kx::real_from_python(w));
  }
  return pow(z, kx::complex_from_python(w));
}

}  // namespace

namespace kx {

void bind_complex(py::module_& m) {
  using Z = const kxcomplex&;
  py::class_<kxcomplex> complex(m, "complex", R"(A 68-digit complex number: real and imaginary parts, each a kx.real.

kx.complex(re=0, im=0): re may be a kx.complex, a complex, an mpmath mpc
(each part converted exactly) or any number kx.real accepts; im any number
kx.real accepts, added as the imaginary part.
    >>> kx.complex(0, 1) ** 2 == -1
)");
  def_arithmetic(complex, [](Z a, py::handle b, auto op) { return arithmetic(a, b, op); },
                 [](Z a, py::handle b, auto op) { return reflected(a, b, op); });
  complex
      .def(py::init([](py::handle re, py::handle im) {
             kxcomplex z = complex_from_python(re);
             if (!im.is_none()) z.im = z.im + real_from_python(im);
             return z;
           }),
           py::arg("re") = 0, py::arg("im") = py::none())
      .def_property_readonly("real", [](Z z) { return z.re; })
      .def_property_readonly("imag", [](Z z) { return z.im; })
      .def("conjugate", [](Z z) { return conj(z); })
      .def("__pow__", [](Z z, py::handle w) -> py::object {
        if (!is_operand(w)) return kx::not_implemented();
        return py::cast(complex_power(z, w));
      }, py::is_operator())
      .def("__rpow__", [](Z w, py::handle z) -> py::object {
        if (!is_operand(z)) return kx::not_implemented();
        if (is_real_operand(z)) return py::cast(pow(real_from_python(z), w));
        return py::cast(pow(complex_from_python(z), w));
      }, py::is_operator())
      .def("__neg__", [](Z z) { return -z; })
      .def("__pos__", [](Z z) { return z; })
      .def("__abs__", [](Z z) { return abs(z); }, "The modulus, within 25 units of 2^-226.")
      .def("__bool__", [](Z z) { return static_cast<bool>(z.re) || static_cast<bool>(z.im); })
      .def("__eq__", [](Z a, py::handle b) -> py::object {
        if (!is_operand(b)) return kx::not_implemented();
        return py::bool_(a == complex_from_python(b));
      }, py::is_operator())
      .def("__ne__", [](Z a, py::handle b) -> py::object {
        if (!is_operand(b)) return kx::not_implemented();
        return py::bool_(!(a == complex_from_python(b)));
      }, py::is_operator())
      .def("__hash__", [](Z z) -> py::ssize_t {
        // Python's complex hash: hash(re) + 1000003 hash(im), in unsigned
        // machine arithmetic, -1 replaced by -2.
        const auto re = static_cast<std::uint64_t>(py::hash(py::cast(z.re)));
        const auto im = static_cast<std::uint64_t>(py::hash(py::cast(z.im)));
        const auto h = static_cast<py::ssize_t>(re + 1000003u * im);
        return h == -1 ? -2 : h;
      })
      .def("__complex__", [](Z z) {
        return std::complex<double>(py::float_(py::cast(z.re)).cast<double>(), py::float_(py::cast(z.im)).cast<double>());
      }, "The nearest complex of floats, each part correctly rounded.");
}

}  // namespace kx
