#include <cstdio>

#include <kx/support/fatal.h>

namespace kx {

void fatal_lines(const std::string& lines) {
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  kxstop();
}

}  // namespace kx
