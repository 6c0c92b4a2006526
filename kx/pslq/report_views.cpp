// Double-precision views of a kxreal for the progress reports. They read the
// high word only; its double value sets the view, except where that value
// overflows or underflows, when the exponent comes from the binary128 word
// itself (a double cannot hold it) so no conversion is undefined.
#include <quadmath.h>

#include <cmath>
#include <limits>

#include <kx/pslq/utilities.h>

namespace kx {
namespace {

// log10 |hi| for a high word that is out of the double range or NaN.
double log10_of_word(__float128 hi) { return static_cast<double>(log10q(fabsq(hi))); }

bool representable_as_int(double t) { return t > -2147483647.0 && t < 2147483647.0; }

}  // namespace

double log10hi(const kxreal& v) {
  const double a = static_cast<double>(v.hi);
  if (a == 0) return -999999.0;
  return std::log10(std::fabs(a));
}

void decsplit(const kxreal& v, double& d, int& e) {
  const double a = static_cast<double>(v.hi);
  if (v.hi == 0) {
    d = 0;
    e = 0;
    return;
  }
  const double t = (a == 0 || std::isinf(a)) ? log10_of_word(v.hi) : std::log10(std::fabs(a));
  if (!representable_as_int(t)) {  // NaN
    d = std::numeric_limits<double>::quiet_NaN();
    e = 0;
    return;
  }
  e = static_cast<int>(t);
  if (t < 0) e = e - 1;
  d = std::copysign(std::pow(10.0, t - e), static_cast<double>(v.hi < 0 ? -1 : 1));
}

void append_decsplit(std::vector<template_value>& values, const kxreal& v) {
  double d;
  int e;
  decsplit(v, d, e);
  values.emplace_back(d);
  values.emplace_back(e);
}

}  // namespace kx
