#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/types/limits.h>
#include <kx/types/string_conversion.h>

namespace kx {

kxreal to_real(std::string_view s) {
  kxreal b;
  kxinpc(s, b);
  return b;
}

std::string to_string(const kxreal& a) {
  constexpr int nd = std::numeric_limits<kxreal>::digits10;
  std::string text = kxeformat(a, nd + 8, nd);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string to_string(const kxcomplex& z) {
  return std::string("(").append(to_string(z.re)).append(",").append(to_string(z.im)).append(")");
}

}  // namespace kx
