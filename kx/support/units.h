// Input and output units: the numbers by which the read and write routines
// name their streams. Unit 5 is standard input and unit 6 standard output
// until the caller attaches another stream to them; any other number names
// the stream attached to it. The table is process-wide: attach and detach
// streams before reading or writing from several threads.
#pragma once

#include <iosfwd>

namespace kx {

inline constexpr int standard_input_unit = 5;
inline constexpr int standard_output_unit = 6;

/// Lines read from `unit` come from `in` (which must outlive its use).
///   std::istringstream in("1.5\n");  kx::attach_input_unit(10, in);
void attach_input_unit(int unit, std::istream& in);

/// Lines written on `unit` go to `out` (which must outlive its use).
///   std::ostringstream out;  kx::attach_output_unit(7, out);
void attach_output_unit(int unit, std::ostream& out);

/// Returns `unit` to its initial state: 5 and 6 to the standard streams,
/// any other number to no stream.
///   kx::detach_unit(10);
void detach_unit(int unit);

}  // namespace kx
