// The streams behind the input and output units, for the routines that read
// and write them.
#pragma once

#include <iosfwd>
#include <string_view>

#include <kx/support/units.h>

namespace kx {

/// The stream that input unit `unit` reads, or nullptr when it has none.
std::istream* input_stream(int unit);

/// Writes `text` on output unit `unit` and flushes it; false when the unit
/// has no stream.
bool write_to_output_unit(int unit, std::string_view text);

}  // namespace kx
