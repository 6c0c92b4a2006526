// Decimal output of arbitrary pairs (NaN, infinities, subnormals and
// non-normalised pairs included) with arbitrary widths and digit counts,
// into buffers sized exactly, so that a write past the field is caught.
// The text must be exactly the field's width, in printable characters.
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_bytes.h"

namespace {

constexpr int fuzz_unit = 42;

bool printable(const std::string& s) {
  for (char c : s)
    if (c < ' ' || c > '~') return false;
  return true;
}

void check_field(const std::string& s, int nb) {
  if (static_cast<int>(s.size()) != nb || !printable(s)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kx::fuzz_bytes in(data, size);
  const kxreal a = in.argument();
  const int nd = in.integer(-4, 160);
  const int nb = in.integer(-4, 240);
  // Usually room for the field, sometimes less (a message, not a write).
  const int room = in.byte() % 8 == 0 ? in.integer(0, 240) : nb;
  const int which = in.byte() % 3;

  kx::run_or_stop([&] {
    std::vector<char> b(static_cast<std::size_t>(room > 0 ? room : 0));
    if (which == 0) {
      kxeformat(a, nb, nd, b);
      check_field(kxeformat(a, nb, nd), nb);
    } else if (which == 1) {
      kxfformat(a, nb, nd, b);
      check_field(kxfformat(a, nb, nd), nb);
    } else {
      std::ostringstream out;
      kx::attach_output_unit(fuzz_unit, out);
      kxwritenum(fuzz_unit, nb, nd, a);
      kx::detach_unit(fuzz_unit);
      std::string text = out.str();
      for (char& c : text)
        if (c == '\n') c = ' ';
      if (text.empty() || !printable(text)) __builtin_trap();
    }
  });
  kx::detach_unit(fuzz_unit);
  return 0;
}
