// One quad pair in scientific notation as a line of output, 120 characters
// a line, trailing blanks included.
#include <string>
#include <vector>

#include <kx/convert/output.h>
#include <kx/support/unit_streams.h>
#include <kx/support/fatal.h>

void kxwritenum(int iu, int ln, int ld, const kxreal& a) {
  // At least one character, so that a bad width reaches the message of
  // kxeformat rather than an empty buffer.
  std::string field(static_cast<std::size_t>(ln > 0 ? ln : 1), ' ');
  kxeformat(a, ln, ld, field);
  const std::vector<kx::template_value> characters(field.begin(), field.end());
  if (!kx::write_to_output_unit(iu, kx::format_template("(120a1)", characters))) {
    kx::fatal("('*** KXWRITENUM: Output unit is not attached',i10)", iu);
  }
}
