// Small routines shared by the relation search: the norm bound, the range of
// |y|, an index sort with a fixed order for ties, double-precision views of
// a kxreal for the progress reports, and two matrix printers.
//
// Vectors and matrices are indexed from 1; an m-row matrix is stored by
// columns, element (i, j) at (i - 1) + (j - 1) m.
#pragma once

#include <span>
#include <vector>

#include <kx/core/core.h>
#include <kx/support/format.h>

namespace kx {

/// 1 / max |h(i, i)| over i = 1..n-1 of the n-row matrix h: the PSLQ lower
/// bound on the Euclidean norm of any integer relation.
kxreal normbound(int n, std::span<const kxreal> h);

/// The smallest and largest |y(i)|, i = 1..n; for n = 0, 10^300 and 0.
void minmaxabs(int n, std::span<const kxreal> y, kxreal& ymin, kxreal& ymax);

/// ip(1..m) = the indices 1..m ordered so that a(ip(1)) <= ... <= a(ip(m)),
/// by a quicksort whose order for equal keys is fixed (m >= 1).
///   sortindex(3, {3, 1, 2}, ip);   // ip = (2, 3, 1)
void sortindex(int m, std::span<const kxreal> a, std::span<int> ip);

/// log10 |v.hi| as a double, or -999999 when v.hi converts to a double zero.
double log10hi(const kxreal& v);

/// v ~ d 10^e with |d| in [1, 10) for most v, from v.hi: the mantissa and
/// exponent shown in the reports. decsplit(0) is (0, 0).
///   decsplit(kxreal{1234.5}, d, e);   // d = 1.2345, e = 3
void decsplit(const kxreal& v, double& d, int& e);

/// Appends decsplit(v) to a report's values: the mantissa, then the exponent.
void append_decsplit(std::vector<template_value>& values, const kxreal& v);

/// Writes the m x k matrix a (m rows) row by row, four mantissa/exponent
/// pairs a line.
void printmat(int m, int k, std::span<const kxreal> a);

/// Writes the m x k matrix a (m rows) row by row, one element a line with 70
/// significant digits.
void printmatfull(int m, int k, std::span<const kxreal> a);

}  // namespace kx
