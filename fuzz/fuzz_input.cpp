// Decimal input on arbitrary bytes: kxinpc reads the whole input as one
// literal, kxinp reads it line by line from an attached unit until the end
// of the input stops it. Each must give a value or one of its messages.
#include <sstream>
#include <string>

#include "fuzz_bytes.h"

namespace {
constexpr int fuzz_unit = 41;
constexpr int max_lines = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kx::fuzz_bytes in(data, size);
  const std::string text(in.rest());
  kx::run_or_stop([&] {
    kxreal b;
    kxinpc(text, b);
  });

  std::istringstream lines(text);
  kx::attach_input_unit(fuzz_unit, lines);
  bool at_end = false;
  for (int i = 0; i < max_lines && !at_end; ++i) {
    at_end = true;
    kx::run_or_stop([&] {
      kxreal b;
      kxinp(fuzz_unit, b);
      at_end = lines.eof();
    });
  }
  kx::detach_unit(fuzz_unit);
  return 0;
}
