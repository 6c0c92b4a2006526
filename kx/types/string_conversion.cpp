#include <kx/convert/input.h>
#include <kx/types/string_conversion.h>

namespace kx {

kxreal to_real(std::string_view s) {
  kxreal b;
  kxinpc(s, b);
  return b;
}

}  // namespace kx
