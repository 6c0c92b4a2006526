// The two steps of the relation search that zezuv1 drives: the starting
// state and one iteration. Vectors and matrices are indexed from 1; an m-row
// matrix is stored by columns, element (i, j) at (i - 1) + (j - 1) m.
#pragma once

#include <span>

#include <kx/core/core.h>

namespace kx {

/// Builds the search state from x(1..n): b = identity (n x n), y = x / |x|,
/// h (n x n storage, columns 1..n-1 set) the PSLQ matrix of the partial
/// norms, ysave (n x nsave) zero. Dumps x, y and h when debug >= 3.
void initmp(int debug, int n, int nsave, std::span<kxreal> b, std::span<kxreal> h, std::span<kxreal> ysave,
            std::span<const kxreal> x, std::span<kxreal> y);

/// One PSLQ iteration (number it) on the state of initmp: exchanges up to
/// nint(0.4 n) disjoint pairs (one after a duplicate y), removes the corners,
/// reduces h, updates y and b. outcome = 1 when row jm of b is a relation
/// (|y(jm)| <= eps max |b(jm, i)|), 2 when the precision is exhausted, else 0.
/// dupflag is set when the new y repeats one of the last nsave.
void itermp(int debug, int it, int n, int nsave, const kxreal& eps, std::span<kxreal> b, std::span<kxreal> h,
            std::span<kxreal> ysave, std::span<kxreal> y, int& dupflag, int& outcome);

}  // namespace kx
