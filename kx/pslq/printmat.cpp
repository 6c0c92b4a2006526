// The debug dumps of the search: a matrix row by row, either as
// mantissa/exponent pairs in double precision or in full precision.
#include <vector>

#include <kx/convert/output.h>
#include <kx/support/format.h>
#include <kx/pslq/matrix.h>
#include <kx/pslq/utilities.h>

namespace kx {

namespace {

void write_row_heading(int i) { write_template("('Row',i3)", i); }

}  // namespace

void printmat(int m, int k, std::span<const kxreal> a) {
  require_storage("PRINTMAT", a.size(), m, k);
  for (int i = 1; i <= m; ++i) {
    write_row_heading(i);
    std::vector<template_value> pairs;
    pairs.reserve(2 * static_cast<std::size_t>(k > 0 ? k : 0));
    for (int j = 1; j <= k; ++j) append_decsplit(pairs, element(a, m, i, j));
    write_template("(4(f13.8,'e',i5))", pairs);
  }
}

void printmatfull(int m, int k, std::span<const kxreal> a) {
  require_storage("PRINTMATFULL", a.size(), m, k);
  for (int i = 1; i <= m; ++i) {
    write_row_heading(i);
    for (int j = 1; j <= k; ++j) kxwritenum(6, 80, 70, element(a, m, i, j));
  }
}

}  // namespace kx
