// The relation finder's bindings: kx.findrelation, kx.findpoly, kx.identify.
#include "bindings.h"

namespace kx {

void bind_finder(pybind11::module_&) {}

}  // namespace kx
