// Integer relation detection by the one-level multi-pair PSLQ algorithm.
//
// Vectors and matrices are indexed from 1; an m-row matrix is stored by
// columns, element (i, j) at (i - 1) + (j - 1) m. The caller owns every array
// it passes; working storage is allocated per call and released on return.
#pragma once

#include <span>

#include <kx/core/core.h>

/// Searches for integers r(1..n), not all zero, with r(1) x(1) + ... +
/// r(n) x(n) = 0 to within eps. found = 1 when a relation of Euclidean norm at
/// most 10^rb is returned in r; otherwise found = 0 (r then holds a candidate
/// that was too large, or is left as passed). debug 0 prints nothing, 1 the
/// end-of-search messages, 2 also progress reports and CPU times, 3 also a
/// line per iteration and dumps of y, b and h. A zero x(n) gives r = (0, ...,
/// 0, 1) at once, without iterations.
/// Stops with a message when n < 2, when x or r hold fewer than n values, or
/// when x is all zero or has a value that is not finite.
///   zezuv1(0, 4, 20.0, eps, x, found, r);   // x = (log 2, log 3, log 6, log 10)
void zezuv1(int debug, int n, double rb, const kxreal& eps, std::span<const kxreal> x, int& found,
            std::span<kxreal> r);
