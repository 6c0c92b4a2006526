// The arithmetic-geometric mean of two kxreal values.
#pragma once

#include <kx/core/core.h>

/// c = agm(a, b): a <- (a + b)/2 and b <- sqrt(ab) until (a - b)/a falls
/// below 2^-224, at most 100 steps (quadratic: 1 and 1000 take nine). The
/// caller's a and b are not changed. Accuracy: 26 units relative
/// (measured against MPFR over the whole range). Rounding noise can hold
/// (a - b)/a just above 2^-224 (about one pair in 20000): the routine
/// then stops with its iteration message. Two negative arguments
/// give -agm(-a, -b); where a product could leave the range, a and b are
/// taken by an exact power of two nearer 1 first. agm(1, 1) = 1 exactly.
/// Not converging within 100 steps, as with a zero argument, stops with
/// "*** KXAGMR: Iteration limit exceeded."; arguments of opposite signs make
/// a negative product, whose square root stops with kxsqrt's message.
///   kxagmr(kxreal{1}, kxreal{2}, c);   // c = 1.4567910310469068691...
void kxagmr(const kxreal& a, const kxreal& b, kxreal& c);
