// kx.real: the quad-pair number as a Python number.
#include <pybind11/operators.h>

#include "bindings.h"

namespace py = pybind11;

namespace kx {

void bind_real(py::module_& m) {
  py::class_<kxreal>(m, "real", "A 68-digit real number: the unevaluated sum hi + lo of two binary128 values.")
      .def(py::init([](py::handle value) { return real_from_python(value); }), py::arg("value") = 0)
      .def("__str__", [](const kxreal& a) { return to_string(a); });
  m.attr("real").attr("as_integer_ratio") = py::cpp_function(
      [](const kxreal& a) {
        const py::object q = exact_fraction(a);
        return py::make_tuple(q.attr("numerator"), q.attr("denominator"));
      },
      py::is_method(m.attr("real")), "The exact value hi + lo as a pair of integers (n, d), d > 0 a power of two.");
}

}  // namespace kx
