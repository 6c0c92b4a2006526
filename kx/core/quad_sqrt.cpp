#include <math.h>

#include <kx/core/quad_sqrt.h>

namespace kx {

__float128 quad_sqrt(__float128 x) { return sqrtf128(x); }

}  // namespace kx
