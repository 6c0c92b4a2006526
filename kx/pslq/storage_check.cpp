// Arrays passed to the search are the caller's; their lengths are checked
// against the dimensions before any element is touched.
#include <kx/core/core.h>
#include <kx/support/fatal.h>
#include <kx/pslq/matrix.h>

namespace kx {

void require_storage(const char* routine, std::size_t have, long long rows, long long columns) {
  if (rows <= 0 || columns <= 0) return;
  const long long need = rows * columns;
  if (static_cast<unsigned long long>(need) <= have) return;
  kx::fatal("('*** ',a,': Array holds',i12,' elements, needs',i12)", routine, static_cast<long long>(have), need);
}

}  // namespace kx
