// A decimal literal read as one line of an input unit. The whole line is
// converted, whatever its length, so a long constant or a long mantissa
// with its exponent after column 120 keeps all of its digits.
#include <istream>
#include <string>

#include <kx/convert/input.h>
#include <kx/convert/units.h>
#include <kx/core/format.h>

void kxinp(int iu, kxreal& b) {
  std::istream* in = kx::input_stream(iu);
  if (in == nullptr) {
    kx::write_template("('*** KXINP: Input unit is not attached',i10)", {iu});
    kxstop();
  }
  std::string line;
  if (!std::getline(*in, line)) {
    kx::write_template("('*** KXINP: End-of-file encountered.')");
    kxstop();
  }
  // A record ends at LF or at CR LF: one CR before the LF is not part of it.
  if (!in->eof() && !line.empty() && line.back() == '\r') line.pop_back();
  kxinpc(line, b);
}
