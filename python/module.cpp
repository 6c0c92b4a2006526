// The extension kx._kx: the library's numbers, functions and relation
// finder for Python. Every fatal condition of the library becomes the
// exception kx.Error instead of ending the interpreter.
#include <string>

#include "bindings.h"

namespace py = pybind11;

namespace kx {

std::string message_text(const fatal_error& e) {
  std::string text = e.what();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::mutex& library_lock() {
  static std::mutex lock;
  return lock;
}

}  // namespace kx

PYBIND11_MODULE(_kx, m) {
  m.doc() = "68-digit arithmetic on pairs of binary128 numbers (the C++ library kx).";
  kx::set_fatal_handler(kx::throw_fatal_error);

  // Kept for the life of the process: the translator may run until its end.
  static const py::handle error = py::exception<kx::fatal_error>(m, "Error", PyExc_ArithmeticError).release();
  error.attr("__doc__") = "A fatal condition of the library; the message is the library's own text.";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const kx::fatal_error& e) {
      PyErr_SetString(error.ptr(), kx::message_text(e).c_str());
    }
  });

  kx::bind_real(m);
  kx::bind_complex(m);
  kx::bind_functions(m);
  kx::bind_finder(m);
}
