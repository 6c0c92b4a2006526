// The stored constants by value: kxpi(), kxlog2() and kxegamma() are the
// words that kxpi(a), kxlog2(a) and kxegamma(a) store, each within one unit
// of 2^-226 relative.
#pragma once

#include <kx/core/core.h>

/// pi, log 2 and Euler's gamma.
///   kxreal area = kxpi() * r * r;
kxreal kxpi();
kxreal kxlog2();
kxreal kxegamma();
