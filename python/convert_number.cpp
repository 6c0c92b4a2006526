// Python numbers to and from kxreal, exactly where the value allows it.
//
// Every conversion into a pair goes through one rounding of an exact
// rational n / d: hi is n / d rounded to nearest binary128 (ties to even),
// lo the exact rest rounded the same way. The result is within half a unit
// of lo's last place of n / d (about 2^-227 relative), and exact whenever
// n / d is the value of a normalised pair, so words read back unchanged.
#include <quadmath.h>

#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bindings.h"

namespace py = pybind11;

namespace {

// Binary128: 113 significant bits; subnormals are multiples of 2^-16494;
// 2^16384 overflows.
constexpr long quad_digits = 113;
constexpr long least_exponent = -16494;
constexpr long overflow_exponent = 16384;

long bit_length(const py::object& n) { return n.attr("bit_length")().cast<long>(); }

py::object power_of_two(long k) { return py::int_(1) << py::int_(k); }

// A non-negative integer below 2^114 as binary128, exactly.
__float128 small_integer_to_quad(const py::object& m) {
  const auto high = (m >> py::int_(64)).cast<std::uint64_t>();
  const auto low = (m & py::int_(UINT64_MAX)).cast<std::uint64_t>();
  return static_cast<__float128>(high) * 0x1p64Q + static_cast<__float128>(low);
}

// n / d (d > 0) rounded to nearest binary128, ties to even; the exact rest
// n / d - q is left in n / d.
__float128 round_ratio(py::object& n, py::object& d) {
  const py::int_ zero(0);
  if (n.equal(zero)) return 0;
  const bool negative = n < zero;
  const py::object a = negative ? -n : n;
  // a / (d 2^e) lies in [2^112, 2^113) for this e, or below 2^112 when the
  // quotient is subnormal.
  long e = bit_length(a) - bit_length(d) - quad_digits;
  auto quotient_at = [&](long k, py::object& num, py::object& den) {
    num = k >= 0 ? a : a << py::int_(-k);
    den = k >= 0 ? d << py::int_(k) : d;
  };
  py::object num, den;
  quotient_at(e, num, den);
  if (num >= den * power_of_two(quad_digits)) quotient_at(++e, num, den);
  if (e < least_exponent) quotient_at(e = least_exponent, num, den);
  if (e + quad_digits > overflow_exponent) {
    n = py::int_(0);
    return negative ? -HUGE_VALQ : HUGE_VALQ;
  }
  py::tuple qr = py::reinterpret_steal<py::tuple>(PyNumber_Divmod(num.ptr(), den.ptr()));
  if (!qr) throw py::error_already_set();
  py::object m = qr[0];
  const py::object twice_rest = py::object(qr[1]) * py::int_(2);
  if (twice_rest > den || (twice_rest.equal(den) && (m & py::int_(1)).equal(py::int_(1)))) m = m + py::int_(1);
  const __float128 q = scalbnq(small_integer_to_quad(m), static_cast<int>(e));
  if (isinfq(q)) {
    n = py::int_(0);
    return negative ? -q : q;
  }
  // The rest: (a - m 2^e d) / d, over the common denominator d 2^-e when e < 0.
  py::object rest = e >= 0 ? a - ((m * d) << py::int_(e)) : (a << py::int_(-e)) - m * d;
  if (e < 0) d = d << py::int_(-e);
  n = negative ? -rest : rest;
  return negative ? -q : q;
}

const kxreal not_a_number{nanq(""), nanq("")};

// The integer of a digit string of any length, 18 digits at a time (Python
// refuses to convert longer texts than 4300 digits in one step).
py::object decimal_integer(const std::string& digits) {
  py::object m = py::int_(0);
  if (digits.empty()) return m;
  for (std::size_t i = 0; i < digits.size(); i += 18) {
    const std::string chunk = digits.substr(i, 18);
    const py::object scale = py::int_(10).attr("__pow__")(py::int_(chunk.size()));
    m = m * scale + py::int_(std::stoll(chunk));
  }
  return m;
}

// The value of a decimal literal in the package's syntax, as kxinpc reads
// it: trailing blanks dropped; in the mantissa a sign and blanks only before
// the first counted digit (zeros before the first other digit or the point
// are not counted), digits with at most one point; after D, d, E or e an
// exponent with blanks anywhere and one sign before its digits. The
// exponent may have any number of digits (kxinpc takes three), and every
// digit counts. The value is an exact rational n / d; false when the text
// is not such a literal.
bool parse_literal(std::string_view s, py::object& n, py::object& d, bool& negative) {
  s = s.substr(0, s.find_last_not_of(' ') + 1);
  std::string digits;
  long point = -1, exponent = 0;
  int sign = 0, exponent_sign = 0;
  bool started = false, in_exponent = false, exponent_digits = false;
  for (const char c : s) {
    if (in_exponent) {
      if (c == ' ') continue;
      if (c == '+' || c == '-') {
        if (exponent_sign != 0 || exponent_digits) return false;
        exponent_sign = c == '+' ? 1 : -1;
      } else if (c >= '0' && c <= '9') {
        if (exponent > 100000000) return false;
        exponent = 10 * exponent + (c - '0');
        exponent_digits = true;
      } else {
        return false;
      }
    } else if (c == ' ') {
      if (!digits.empty()) return false;
    } else if (c == 'D' || c == 'd' || c == 'E' || c == 'e') {
      in_exponent = true;
    } else if (c == '+' || c == '-') {
      if (!digits.empty() || point >= 0 || sign != 0) return false;
      sign = c == '+' ? 1 : -1;
    } else if (c == '.') {
      if (point >= 0) return false;
      point = static_cast<long>(digits.size());
      started = true;
    } else if (c >= '0' && c <= '9') {
      if (c == '0' && !started) continue;
      started = true;
      digits += c;
    } else {
      return false;
    }
  }
  if (point < 0) point = static_cast<long>(digits.size());
  const long scale = (exponent_sign < 0 ? -exponent : exponent) - (static_cast<long>(digits.size()) - point);
  py::object m = decimal_integer(digits);
  if (sign < 0) m = -m;
  negative = sign < 0;
  const py::object ten_power = py::int_(10).attr("__pow__")(py::int_(scale < 0 ? -scale : scale));
  n = scale >= 0 ? m * ten_power : m;
  d = scale >= 0 ? py::int_(1) : ten_power;
  return true;
}

// An integer of another type (numpy's, for one) as a Python int.
py::object as_int(py::handle value) { return py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr())); }

// "inf", "-inf", "nan" and their variants, as float() reads them.
bool parse_nonfinite(std::string_view s, kxreal& a) {
  std::string t;
  for (const char c : s) {
    if (c != ' ') t += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.erase(0, 1);
  if (t == "inf" || t == "infinity") {
    a = {negative ? -HUGE_VALQ : HUGE_VALQ, 0};
    return true;
  }
  if (t == "nan") {
    a = not_a_number;
    return true;
  }
  return false;
}

kxreal real_from_text(const std::string& s) {
  kxreal a;
  if (parse_nonfinite(s, a)) return a;
  py::object n, d;
  bool negative = false;
  if (parse_literal(s, n, d, negative)) {
    if (negative && n.equal(py::int_(0))) return {-0.0Q, 0};
    return kx::real_from_ratio(n, d);
  }
  // Not a literal: the package's input reports it with its own message.
  try {
    kxinpc(s, a);
  } catch (const kx::fatal_error& e) {
    throw py::value_error(kx::message_text(e));
  }
  throw py::value_error("*** KXINPC: Syntax error in literal string.");
}

// mpmath's mpf as the tuple (sign, man, exp, bc): (-1)^sign man 2^exp, or a
// special value when man is 0 and bc is not.
kxreal real_from_mpf(const py::tuple& t) {
  const int sign = t[0].cast<int>();
  const py::object man = py::int_(t[1]);
  const long exp = py::int_(t[2]).cast<long>();
  const long bc = py::int_(t[3]).cast<long>();
  if (man.equal(py::int_(0))) {
    if (bc == 0) return {sign ? -0.0Q : 0.0Q, 0};
    if (exp == -123) return not_a_number;
    return {exp == -789 ? -HUGE_VALQ : HUGE_VALQ, 0};
  }
  py::object n = sign ? -man : man;
  if (exp >= 0) return kx::real_from_ratio(n << py::int_(exp), py::int_(1));
  return kx::real_from_ratio(n, power_of_two(-exp));
}

bool is_instance_of(py::handle value, const char* module, const char* name) {
  const py::object modules = py::module_::import("sys").attr("modules");
  if (!modules.contains(module)) return false;
  return py::isinstance(value, modules[module].attr(name));
}

// A binary128 word as the exact integer m and exponent e of m 2^e.
void word_integer(__float128 w, py::object& m, long& e) {
  int k;
  const __float128 f = frexpq(fabsq(w), &k);
  const __float128 scaled = scalbnq(f, quad_digits);
  const __float128 high = truncq(scaled * 0x1p-64Q);
  const auto high_bits = static_cast<std::uint64_t>(high);
  const auto low_bits = static_cast<std::uint64_t>(scaled - high * 0x1p64Q);
  m = (py::int_(high_bits) << py::int_(64)) | py::int_(low_bits);
  if (signbitq(w)) m = -m;
  e = k - quad_digits;
}

}  // namespace

namespace kx {

kxreal real_from_ratio(py::handle n, py::handle d) {
  py::object num = py::reinterpret_borrow<py::object>(n);
  py::object den = py::reinterpret_borrow<py::object>(d);
  if (num.equal(py::int_(0))) return {};
  const __float128 hi = round_ratio(num, den);
  const __float128 lo = round_ratio(num, den);
  return {hi, lo};
}

py::object exact_fraction(const kxreal& a) {
  if (isnanq(a.hi) || isnanq(a.lo)) throw py::value_error("kx.real: nan has no exact rational value");
  if (isinfq(a.hi) || isinfq(a.lo)) throw std::overflow_error("kx.real: " + to_string(a) + " has no exact rational value");
  py::object n = py::int_(0);
  long e_min = 0;
  py::object m[2];
  long e[2] = {0, 0};
  const __float128 words[2] = {a.hi, a.lo};
  bool any = false;
  for (int k = 0; k < 2; ++k) {
    if (words[k] == 0) continue;
    word_integer(words[k], m[k], e[k]);
    e_min = any ? std::min(e_min, e[k]) : e[k];
    any = true;
  }
  for (int k = 0; k < 2; ++k) {
    if (words[k] != 0) n = n + (m[k] << py::int_(e[k] - e_min));
  }
  const py::object fraction = py::module_::import("fractions").attr("Fraction");
  if (e_min >= 0) return fraction(n << py::int_(e_min));
  return fraction(n, power_of_two(-e_min));
}

bool is_real_operand(py::handle value) {
  return py::isinstance<kxreal>(value) || PyLong_Check(value.ptr()) || PyIndex_Check(value.ptr()) ||
         PyFloat_Check(value.ptr()) ||
         is_instance_of(value, "fractions", "Fraction") || is_instance_of(value, "decimal", "Decimal") ||
         py::hasattr(value, "_mpf_");
}

py::object exact_rational(py::handle value) {
  if (PyLong_Check(value.ptr())) return py::reinterpret_borrow<py::object>(value);
  if (PyIndex_Check(value.ptr()) && !py::isinstance<kxreal>(value)) return as_int(value);
  const py::object fraction = py::module_::import("fractions").attr("Fraction");
  if (is_instance_of(value, "fractions", "Fraction")) return py::reinterpret_borrow<py::object>(value);
  if (is_instance_of(value, "decimal", "Decimal")) {
    return value.attr("is_finite")().cast<bool>() ? fraction(value) : py::none();
  }
  if (py::isinstance<kxreal>(value) || PyFloat_Check(value.ptr())) {
    const kxreal a = real_from_python(value);
    return finiteq(a.hi) && finiteq(a.lo) ? exact_fraction(a) : py::none();
  }
  if (py::hasattr(value, "_mpf_")) {
    const py::tuple t = value.attr("_mpf_");
    const py::object man = py::int_(t[1]);
    const long exp = py::int_(t[2]).cast<long>();
    if (man.equal(py::int_(0))) return py::int_(t[3]).cast<long>() == 0 ? py::object(py::int_(0)) : py::none();
    const py::object n = t[0].cast<int>() ? -man : man;
    return exp >= 0 ? fraction(n << py::int_(exp)) : fraction(n, power_of_two(-exp));
  }
  return py::none();
}

bool exact_int(py::handle value, int& n) {
  py::object q = exact_rational(value);
  if (q.is_none()) return false;
  if (!PyLong_Check(q.ptr())) {
    if (!py::object(q.attr("denominator")).equal(py::int_(1))) return false;
    q = q.attr("numerator");
  }
  if (q < py::int_(INT_MIN) || q > py::int_(INT_MAX)) return false;
  n = q.cast<int>();
  return true;
}

bool is_complex_operand(py::handle value) {
  return py::isinstance<kxcomplex>(value) || PyComplex_Check(value.ptr()) || py::hasattr(value, "_mpc_");
}

kxcomplex complex_from_python(py::handle value) {
  if (py::isinstance<kxcomplex>(value)) return value.cast<kxcomplex>();
  if (PyComplex_Check(value.ptr())) {
    return {kxreal(PyComplex_RealAsDouble(value.ptr())), kxreal(PyComplex_ImagAsDouble(value.ptr()))};
  }
  if (py::hasattr(value, "_mpc_")) {
    const py::tuple parts = value.attr("_mpc_");
    return {real_from_mpf(parts[0]), real_from_mpf(parts[1])};
  }
  if (is_real_operand(value) || PyUnicode_Check(value.ptr())) return {real_from_python(value)};
  throw py::type_error("kx.complex: cannot convert " + py::str(py::type::of(value).attr("__name__")).cast<std::string>() +
                       " to kx.complex");
}

kxreal real_from_python(py::handle value) {
  if (py::isinstance<kxreal>(value)) return value.cast<kxreal>();
  if (PyFloat_Check(value.ptr())) return kxreal(PyFloat_AsDouble(value.ptr()));
  if (PyLong_Check(value.ptr())) {
    int overflow = 0;
    const long long i = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0) return kxreal(i);
    return real_from_ratio(value, py::int_(1));
  }
  if (PyUnicode_Check(value.ptr())) return real_from_text(value.cast<std::string>());
  if (is_instance_of(value, "fractions", "Fraction")) return real_from_ratio(value.attr("numerator"), value.attr("denominator"));
  if (is_instance_of(value, "decimal", "Decimal")) {
    if (!value.attr("is_finite")().cast<bool>()) return real_from_text(py::str(value).cast<std::string>());
    const py::tuple ratio = value.attr("as_integer_ratio")();
    return real_from_ratio(ratio[0], ratio[1]);
  }
  if (py::hasattr(value, "_mpf_")) return real_from_mpf(value.attr("_mpf_"));
  if (PyIndex_Check(value.ptr())) return real_from_python(as_int(value));
  throw py::type_error("kx.real: cannot convert " + py::str(py::type::of(value).attr("__name__")).cast<std::string>() +
                       " to kx.real");
}

}  // namespace kx
