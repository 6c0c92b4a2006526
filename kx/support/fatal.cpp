#include <atomic>
#include <cstdio>

#include <kx/support/fatal.h>
#include <kx/support/fatal_handler.h>

namespace kx {

namespace {
std::atomic<fatal_handler> installed_handler{nullptr};
}  // namespace

fatal_handler set_fatal_handler(fatal_handler handler) noexcept { return installed_handler.exchange(handler); }

fatal_handler current_fatal_handler() noexcept { return installed_handler.load(); }

void throw_fatal_error(const std::string& lines) { throw fatal_error(lines); }

void fatal_lines(const std::string& lines) {
  if (fatal_handler handler = installed_handler.load()) handler(lines);
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  kxstop();
}

}  // namespace kx
