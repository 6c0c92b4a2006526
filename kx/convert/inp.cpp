// A decimal literal read as one line of an input unit. The whole line is
// converted, whatever its length, so a long constant or a long mantissa
// with its exponent after column 120 keeps all of its digits.
#include <istream>
#include <string>

#include <kx/convert/input.h>
#include <kx/support/unit_streams.h>
#include <kx/support/fatal.h>

void kxinp(int iu, kxreal& b) {
  std::istream* in = kx::input_stream(iu);
  if (in == nullptr) {
    kx::fatal("('*** KXINP: Input unit is not attached',i10)", iu);
  }
  std::string line;
  if (!std::getline(*in, line)) {
    kx::fatal("('*** KXINP: End-of-file encountered.')");
  }
  // A record ends at LF or at CR LF: one CR before the LF is not part of it.
  if (!in->eof() && !line.empty() && line.back() == '\r') line.pop_back();
  kxinpc(line, b);
}
