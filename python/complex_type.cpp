// kx.complex: the quad-pair complex number as a Python number.
#include "bindings.h"

namespace py = pybind11;

namespace kx {

void bind_complex(py::module_&) {}

}  // namespace kx
