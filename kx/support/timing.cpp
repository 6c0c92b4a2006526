#include <cstdint>
#include <ctime>

#include <kx/support/timing.h>

namespace kx {

double cpusecond() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  const float seconds = static_cast<float>(static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec));
  return seconds;
}

double wallsecond() {
  constexpr std::int64_t wrap = std::int64_t{1} << 31;
  constexpr std::int32_t rate = 1000;
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  const std::int64_t ms = static_cast<std::int64_t>(ts.tv_sec) * rate + ts.tv_nsec / 1000000;
  const auto count = static_cast<std::int32_t>(ms % wrap);
  return static_cast<double>(count) / static_cast<double>(rate);
}

double wallwrap(double t) { return t >= 0 ? t : t + 2147483.648; }

}  // namespace kx
