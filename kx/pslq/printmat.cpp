// The debug dumps of the search: a matrix row by row, either as
// mantissa/exponent pairs in double precision or in full precision.
#include <vector>

#include <kx/convert/output.h>
#include <kx/core/format.h>
#include <kx/pslq/matrix.h>
#include <kx/pslq/utilities.h>

namespace {

void write_row_heading(int i) { kx::write_template("('Row',i3)", {i}); }

}  // namespace

void printmat(int m, int k, std::span<const kxreal> a) {
  kx::require_storage("PRINTMAT", a.size(), m, k);
  for (int i = 1; i <= m; ++i) {
    write_row_heading(i);
    std::vector<kx::template_value> pairs;
    pairs.reserve(2 * static_cast<std::size_t>(k > 0 ? k : 0));
    for (int j = 1; j <= k; ++j) {
      double d;
      int e;
      decsplit(kx::element(a, m, i, j), d, e);
      pairs.emplace_back(d);
      pairs.emplace_back(e);
    }
    kx::write_template("(4(f13.8,'e',i5))", pairs);
  }
}

void printmatfull(int m, int k, std::span<const kxreal> a) {
  kx::require_storage("PRINTMATFULL", a.size(), m, k);
  for (int i = 1; i <= m; ++i) {
    write_row_heading(i);
    for (int j = 1; j <= k; ++j) kxwritenum(6, 80, 70, kx::element(a, m, i, j));
  }
}
