// A real root of a polynomial with kxreal coefficients.
#pragma once

#include <span>

#include <kx/core/core.h>

/// x = a root of a(0) + a(1) x + ... + a(n) x^n near the start x1, by
/// Newton's method (powers of x formed one by one), ending when a correction
/// is at most 1e-65 in magnitude. A simple root of moderate size comes out
/// within a few units of 2^-226 relative (x^2 - 2 from 1.4 gives sqrt 2 to
/// 2 units). The test is absolute: near a large root the rounding noise of
/// the correction can stay above it. No convergence within 20 steps (no
/// real root near x1, a zero derivative) stops with
/// "KXPOLYR: failed to converge."; n < 0 or fewer than n + 1 coefficients
/// stop with "*** KXPOLYR: Improper value of N" and n.
///   const kxreal a[] = {kxreal{-2}, kxreal{0}, kxreal{1}};
///   kxpolyr(2, a, kxreal{1.4}, x);   // x = sqrt 2
void kxpolyr(int n, std::span<const kxreal> a, const kxreal& x1, kxreal& x);
