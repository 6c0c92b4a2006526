// The norm bound and the range of |y| that the search checks every 100
// iterations.
#include <kx/pslq/matrix.h>
#include <kx/pslq/utilities.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>

namespace kx {

kxreal normbound(int n, std::span<const kxreal> h) {
  require_storage("NORMBOUND", h.size(), n, n - 1);
  kxreal t;
  for (int i = 1; i <= n - 1; ++i) t = max(t, abs(element(h, n, i, i)));
  return 1.0Q / t;
}

void minmaxabs(int n, std::span<const kxreal> y, kxreal& ymin, kxreal& ymax) {
  require_storage("MINMAXABS", y.size(), n);
  kxreal smallest = 1e300Q;
  kxreal largest;
  for (int i = 1; i <= n; ++i) {
    const kxreal a = abs(y[static_cast<std::size_t>(i - 1)]);
    smallest = min(smallest, a);
    largest = max(largest, a);
  }
  ymin = smallest;
  ymax = largest;
}

}  // namespace kx
