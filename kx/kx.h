// The whole public interface of kx: the quad-pair number and its core
// routines, decimal input and output, the elementary functions, the special
// functions (gamma, zeta, Hurwitz zeta, polygamma, Bessel, error functions,
// exponential integral, Struve, polylogarithms, hypergeometric series), the
// value types kxreal and kxcomplex with their operators and functions (exp(x),
// sin(z), kxgammar(t) by value, kxread and kxwrite), and the integer relation
// search zezuv1; the standard-library integration of the value types
// (numeric_limits, std::hash, iostreams); and the caller's choice of what a
// fatal condition does.
//
// Naming rule: the package routines (kx...), zezuv1 and the type names
// kxreal and kxcomplex are global; every other name lives in namespace kx,
// and the generic functions of a value type are found by argument-dependent
// lookup (abs(x), sqrt(x), min(x, y) for a kxreal x).
#pragma once

#include <kx/support/fatal_handler.h>
#include <kx/core/core.h>
#include <kx/core/complex.h>
#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/elementary/agm.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/elementary/hyperbolic.h>
#include <kx/elementary/polyr.h>
#include <kx/special/error_function.h>
#include <kx/special/exponential_integral.h>
#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/polylog.h>
#include <kx/special/struve.h>
#include <kx/special/zeta.h>
#include <kx/special/bessel.h>
#include <kx/support/stop.h>
#include <kx/support/units.h>
#include <kx/types/complex_elementary.h>
#include <kx/types/complex_functions.h>
#include <kx/types/complex_number.h>
#include <kx/types/constants.h>
#include <kx/types/elementary_functions.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>
#include <kx/types/powers.h>
#include <kx/types/read_write.h>
#include <kx/types/special_functions.h>
#include <kx/types/string_conversion.h>
#include <kx/types/limits.h>
#include <kx/types/hash.h>
#include <kx/types/streams.h>
#include <kx/pslq/pslq.h>
