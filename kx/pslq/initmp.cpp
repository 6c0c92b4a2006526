// The starting state of a search: b the identity, y the input scaled to unit
// norm, h the n x (n-1) lower trapezoidal matrix whose columns are
// orthonormal and orthogonal to y: h(j, j) = s(j+1)/s(j) and
// h(i, j) = -y(i) y(j) / (s(j) s(j+1)) below it, s(j) the norm of y(j..n).
#include <vector>

#include <kx/support/format.h>
#include <kx/pslq/matrix.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>

namespace kx {
namespace {

void set_identity(int n, std::span<kxreal> b) {
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) element(b, n, i, j) = kxreal{};
    element(b, n, j, j) = 1.0Q;
  }
}

}  // namespace

void initmp(int debug, int n, int nsave, std::span<kxreal> b, std::span<kxreal> h, std::span<kxreal> ysave,
            std::span<const kxreal> x, std::span<kxreal> y) {
  require_storage("INITMP", b.size(), n, n);
  require_storage("INITMP", h.size(), n, n - 1);
  require_storage("INITMP", ysave.size(), n, nsave);
  require_storage("INITMP", x.size(), n);
  require_storage("INITMP", y.size(), n);
  if (debug >= 3) {
    write_template("('initmp: Input x vector:')");
    printmat(1, n, x);
  }
  set_identity(n, b);

  // s(i) = the Euclidean norm of x(i..n), summed from the end.
  std::vector<kxreal> s(static_cast<std::size_t>(n) + 1);
  kxreal t;
  for (int i = n; i >= 1; --i) {
    t = t + pow(x[i - 1], 2);
    s[i] = sqrt(t);
  }
  t = 1.0Q / s[1];
  for (int i = 1; i <= n; ++i) {
    y[i - 1] = t * x[i - 1];
    s[i] = t * s[i];
  }

  for (int j = 1; j <= n - 1; ++j) {
    for (int i = 1; i <= j - 1; ++i) element(h, n, i, j) = kxreal{};
    element(h, n, j, j) = s[j + 1] / s[j];
    t = y[j - 1] / (s[j] * s[j + 1]);
    for (int i = j + 1; i <= n; ++i) element(h, n, i, j) = -(y[i - 1] * t);
  }

  for (int k = 1; k <= nsave; ++k) {
    for (int i = 1; i <= n; ++i) element(ysave, n, i, k) = kxreal{};
  }

  if (debug >= 3) {
    write_template("('initmp: Initial y vector:')");
    printmat(1, n, y);
    write_template("('initmp: Initial h matrix:')");
    printmat(n, n - 1, h);
  }
}

}  // namespace kx
