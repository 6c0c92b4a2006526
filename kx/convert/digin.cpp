#include <kx/convert/input.h>
#include <kx/core/digits.h>
#include <kx/support/fatal.h>

__float128 kxdigin(std::string_view s, int n) {
  if (n > 0 && static_cast<std::size_t>(n) > s.size()) {
    kx::fatal("('*** KXDIGIN: Digit count exceeds the string length',2i10)", n, static_cast<long long>(s.size()));
  }
  __float128 d = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t k = kx::decimal_digits.find(s[static_cast<std::size_t>(i)]);
    if (k == std::string_view::npos) {
      kx::write_list("KXDIGIN: non-digit in character string");
      continue;
    }
    d = d * 10 + static_cast<int>(k);
  }
  return d;
}
