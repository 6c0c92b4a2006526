// The library's elementary and special functions and its constants, under
// their mathematical names. Each takes any Python number (real_from_python)
// and returns a kx.real; those with a complex routine in the library take a
// complex argument too and return a kx.complex. The series (gamma, zeta,
// Bessel, hypergeometric, polylogarithm and the rest of the special
// functions) run with the GIL released. Accuracy figures are the library's
// measured ones, in units of 2^-226 (absolute where the function has zeros
// in the range, else relative).
#include <climits>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "bindings.h"

namespace py = pybind11;

namespace {

// The even-Bernoulli table of the routines ending in be, built on first use
// (120 entries: more than every such routine needs, within the 46 units
// measured for kxberner up to 120) and shared by every later call.
std::span<const kxreal> bernoulli_table() {
  static std::vector<kxreal> table(120);
  static std::once_flag built;
  std::call_once(built, [] { kxberner(table); });
  return table;
}

int int_argument(py::handle x, const char* what) {
  int n = 0;
  if (!kx::exact_int(x, n)) throw py::type_error(std::string(what) + " must be an integer");
  return n;
}

// f(x) of one real argument, with the GIL held (the elementary functions).
template <class F>
void def_real(py::module_& m, const char* name, F f, const char* doc) {
  m.def(name, [f](py::handle x) { return f(kx::real_from_python(x)); }, py::arg("x"), doc);
}

// f(x), or g(z) for a complex argument.
template <class F, class G>
void def_real_complex(py::module_& m, const char* name, F f, G g, const char* doc) {
  m.def(name, [f, g](py::handle x) -> py::object {
    if (kx::is_complex_operand(x)) return py::cast(g(kx::complex_from_python(x)));
    return py::cast(f(kx::real_from_python(x)));
  }, py::arg("x"), doc);
}

// f(x) of one real argument, run with the GIL released (the series).
template <class F>
void def_series(py::module_& m, const char* name, F f, const char* doc) {
  m.def(name, [f](py::handle x) {
    const kxreal a = kx::real_from_python(x);
    return kx::run_released([&] { return f(a); });
  }, py::arg("x"), doc);
}

// A Bessel function: the integer-order routine for an integral order that
// fits an int, the real-order routine otherwise.
template <class N, class R>
void def_bessel(py::module_& m, const char* name, N integer_order, R real_order, const char* doc) {
  m.def(name, [integer_order, real_order](py::handle nu, py::handle x) {
    const kxreal a = kx::real_from_python(x);
    int n = 0;
    if (kx::exact_int(nu, n)) return kx::run_released([&] { return integer_order(n, a); });
    const kxreal order = kx::real_from_python(nu);
    return kx::run_released([&] { return real_order(order, a); });
  }, py::arg("nu"), py::arg("x"), doc);
}

kxreal polylog(int n, const kxreal& x) {
  if (n >= 0) return kxpolylogpos(n, x);
  std::vector<kxreal> table(static_cast<std::size_t>(-static_cast<long>(n)));
  kx::polylog_ini(n, table);
  return kx::polylog_neg(n, table, x);
}

std::vector<kxreal> reals(const py::iterable& values) {
  std::vector<kxreal> out;
  for (const py::handle v : values) out.push_back(kx::real_from_python(v));
  return out;
}

void bind_elementary(py::module_& m) {
  using R = const kxreal&;
  using Z = const kxcomplex&;
  def_real_complex(m, "sqrt", [](R a) { return kx::sqrt(a); }, [](Z z) { return kx::sqrt(z); },
                   "The square root: kxsqrt for x >= 0 (19 units), the principal root kxcsqrt for a complex x (42).");
  m.def("root", [](py::handle x, py::handle n) {
    return kx::real_power(kx::real_from_python(x), py::module_::import("fractions").attr("Fraction")(1, int_argument(n, "n")));
  }, py::arg("x"), py::arg("n"), "x^(1/n) for an integer n >= 1 by kxnrt (30 units); an odd root of a negative x is -(-x)^(1/n).");
  m.def("cbrt", [](py::handle x) {
    return kx::real_power(kx::real_from_python(x), py::module_::import("fractions").attr("Fraction")(1, 3));
  }, py::arg("x"), "The real cube root, root(x, 3) (30 units).");
  def_real_complex(m, "exp", [](R a) { return kx::exp(a); }, [](Z z) { return kx::exp(z); },
                   "e^x: kxexp (360 units for |x| < 100); for a complex x e^re (cos im + i sin im) (46000 per part).");
  def_real_complex(m, "log", [](R a) { return kx::log(a); }, [](Z z) { return kx::log(z); },
                   "The natural logarithm: kxlog for x > 0 (330 units absolute on [1/2, 2]); the principal branch for a complex x.");
  def_real(m, "log10", [](R a) { return kx::log10(a); }, "log x / log 10 (80 units relative away from 1, 144 absolute on [1/2, 2]).");
  def_real_complex(m, "sin", [](R a) { return kx::sin(a); }, [](Z z) { return kx::sin(z); },
                   "The sine (kxcssnr; 180 units absolute for |x| <= 10); for a complex x sin re cosh im + i cos re sinh im.");
  def_real_complex(m, "cos", [](R a) { return kx::cos(a); }, [](Z z) { return kx::cos(z); },
                   "The cosine (kxcssnr; 180 units absolute for |x| <= 10); for a complex x cos re cosh im - i sin re sinh im.");
  def_real(m, "tan", [](R a) { return kx::tan(a); }, "sin x / cos x (514 units relative for 0.5 <= |x| <= 1.4).");
  def_real(m, "asin", [](R a) { return kx::asin(a); }, "The arc sine in [-pi/2, pi/2] (432 units for 0.5 <= |x| <= 1; about 2^-167 absolute near 0).");
  def_real(m, "acos", [](R a) { return kx::acos(a); }, "The arc cosine in [0, pi] (2140 units absolute).");
  def_real(m, "atan", [](R a) { return kx::atan(a); }, "The arc tangent in (-pi/2, pi/2) (2600 units absolute on [-10, 10]).");
  m.def("atan2", [](py::handle y, py::handle x) { return kx::atan2(kx::real_from_python(y), kx::real_from_python(x)); },
        py::arg("y"), py::arg("x"), "The angle of the point (x, y) in (-pi, pi], y first as in math.atan2 (kxang).");
  def_real(m, "sinh", [](R a) { return kx::sinh(a); }, "The hyperbolic sine (kxcoshsinh).");
  def_real(m, "cosh", [](R a) { return kx::cosh(a); }, "The hyperbolic cosine (kxcoshsinh; 330 units for |x| <= 100).");
  def_real(m, "tanh", [](R a) { return kx::tanh(a); }, "sinh x / cosh x (91 units for |x| in [1, 100], 302 absolute on [-1, 1]).");
  def_real(m, "asinh", [](R a) { return kx::asinh(a); }, "The inverse hyperbolic sine (kxasinh; 104 units).");
  def_real(m, "acosh", [](R a) { return kx::acosh(a); }, "The inverse hyperbolic cosine for x >= 1 (kxacosh; 13 units for x >= 2).");
  def_real(m, "atanh", [](R a) { return kx::atanh(a); }, "The inverse hyperbolic tangent for |x| < 1 (kxatanh; 175 units).");
  m.def("agm", [](py::handle a, py::handle b) { return kx::agm(kx::real_from_python(a), kx::real_from_python(b)); },
        py::arg("a"), py::arg("b"), "The arithmetic-geometric mean of a and b (kxagmr; 26 units).");
  m.def("hypot", [](py::handle a, py::handle b) { return kx::hypot(kx::real_from_python(a), kx::real_from_python(b)); },
        py::arg("a"), py::arg("b"), "sqrt(a^2 + b^2) without overflow (6.5 units).");
}

void bind_special(py::module_& m) {
  using R = const kxreal&;
  def_series(m, "gamma", [](R t) { return kxgammar(t); }, "The gamma function (kxgammar; 4000 units on (-60, 60), 500 on (600, 1700)).");
  m.def("gammainc", [](py::handle s, py::handle z) {
    const kxreal a = kx::real_from_python(s), b = kx::real_from_python(z);
    return kx::run_released([&] { return kxincgammar(a, b); });
  }, py::arg("s"), py::arg("z"), R"(The upper incomplete gamma function Gamma(s, z), the integral of
u^(s-1) e^-u over u > z (kxincgammar; 2100 units for 1 <= z < 100 above s, |s| < 5;
below z = 1 the lower series loses log2(Gamma(s) / Gamma(s, z)) bits).)");
  def_series(m, "digamma", [](R x) { return kxdigammabe(bernoulli_table(), x); },
             "The digamma function psi(x) for x > 0 (kxdigammabe; 1100 units for x in [2^-20, 2^20]).");
  m.def("polygamma", [](py::handle n, py::handle x) {
    const int order = int_argument(n, "n");
    const kxreal a = kx::real_from_python(x);
    return kx::run_released([&] { return kxpolygammabe(bernoulli_table(), order, a); });
  }, py::arg("n"), py::arg("x"), "The polygamma function psi^(n)(x) for n >= 1, x > 0 (kxpolygammabe; 210 units).");
  m.def("zeta", [](py::handle s, py::handle a) {
    if (!a.is_none()) {
      const int order = int_argument(s, "s (with a)");
      const kxreal b = kx::real_from_python(a);
      return kx::run_released([&] { return kxhurwitzzetanbe(bernoulli_table(), order, b); });
    }
    int n = 0;
    if (kx::exact_int(s, n)) return kx::run_released([&] { return kxzetaintr(n); });
    const kxreal b = kx::real_from_python(s);
    return kx::run_released([&] { return kxzetar(b); });
  }, py::arg("s"), py::arg("a") = py::none(), R"(The Riemann zeta function zeta(s), s != 1: kxzetaintr for an integer s
(3926 units for -300 <= s <= 100), else kxzetar (6600 units on (0, 31.2),
5400 on (-60, 0)). zeta(s, a) is the Hurwitz zeta function for an integer
s >= 2 and a > 0 (kxhurwitzzetanbe; 140 units for s <= 30, 230 above).)");
  def_series(m, "erf", [](R x) { return kxerfr(x); }, "The error function (kxerfr; 440 units).");
  def_series(m, "erfc", [](R x) { return kxerfcr(x); }, "The complementary error function 1 - erf x (kxerfcr; 1700 units on (-13, 1], 330 on (1, 10)).");
  def_series(m, "ei", [](R x) { return kxexpint(x); }, R"(The exponential integral Ei(x), the principal value of the integral of
e^t/t over t < x, for x != 0 (kxexpint; 760 units for 0.5 < x < 188.258).
E1(x) is gammainc(0, x).)");
  m.def("struve", [](py::handle n, py::handle x) {
    const int order = int_argument(n, "n");
    const kxreal a = kx::real_from_python(x);
    return kx::run_released([&] { return kxstruvehn(order, a); });
  }, py::arg("n"), py::arg("x"), "The Struve function H_n(x) of integer order n >= 0 for |x| <= 12 (kxstruvehn; 22000 units, 290 from n = 4 on).");
  m.def("polylog", [](py::handle n, py::handle x) {
    const int order = int_argument(n, "n");
    const kxreal a = kx::real_from_python(x);
    return kx::run_released([&] { return polylog(order, a); });
  }, py::arg("n"), py::arg("x"), R"(The polylogarithm Li_n(x) of integer order: the series for n >= 0 and
|x| < 1 (kxpolylogpos; 25 units for n = 2, 170 near |x| = 1), the rational
function of the Eulerian numbers for n < 0, x != 1 (kxpolylogneg; 29 units).)");
  m.def("hyper", [](const py::iterable& a, const py::iterable& b, py::handle x) {
    const std::vector<kxreal> as = reals(a), bs = reals(b);
    const kxreal z = kx::real_from_python(x);
    return kx::run_released([&] {
      return kxhypergeompfq(static_cast<int>(as.size()), static_cast<int>(bs.size()), as, bs, z);
    });
  }, py::arg("a"), py::arg("b"), py::arg("x"), R"(The generalised hypergeometric series pFq(a; b; x), 1 <= p, q <= 10
(kxhypergeompfq; 12 units for 1F1, 25 for 2F1 and 3F2 with |x| <= 0.9).)");
  def_bessel(m, "besselj", [](int n, R x) { return kxbesseljnr(n, x); }, [](R nu, R x) { return kxbesseljr(nu, x); },
             "J_nu(x): integer orders by kxbesseljnr (8 units absolute for |x| < 5), others by kxbesseljr (900 units absolute for 0.5 < x < 10).");
  def_bessel(m, "bessely", [](int n, R x) { return kxbesselynr(n, x); }, [](R nu, R x) { return kxbesselyr(nu, x); },
             "Y_nu(x): integer orders by kxbesselynr (250 units absolute for 3 < x < 5), others by kxbesselyr (1800 units absolute for x < 10).");
  def_bessel(m, "besseli", [](int n, R x) { return kxbesselinr(n, x); }, [](R nu, R x) { return kxbesselir(nu, x); },
             "I_nu(x): integer orders by kxbesselinr (70 units below 102), others by kxbesselir (3400 units below 102).");
  def_bessel(m, "besselk", [](int n, R x) { return kxbesselknr(n, x); }, [](R nu, R x) { return kxbesselkr(nu, x); },
             "K_nu(x): integer orders by kxbesselknr (100 units for |x| <= 2), others by kxbesselkr (320 units on (2, 78.5)).");
}

}  // namespace

namespace kx {

void bind_functions(py::module_& m) {
  bind_elementary(m);
  bind_special(m);
  m.attr("pi") = kxpi();
  m.attr("e") = kx::exp(kxreal{1});
  m.attr("euler") = kxegamma();
  m.attr("log2") = kxlog2();
}

}  // namespace kx
