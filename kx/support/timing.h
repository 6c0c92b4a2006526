// The program's clock routines. They sit below the arithmetic because the
// relation search reports its CPU times with cpusecond.
#pragma once

namespace kx {

/// CPU time used by the process, in seconds (read in single precision).
///   const double start = kx::cpusecond();
double cpusecond();

/// The system clock as a signed 32-bit millisecond count over its rate of
/// 1000 ticks per second; the count wraps every 2^31 ms.
double wallsecond();

/// t when t >= 0, else t + 2147483.648: undoes one wrap of the 32-bit
/// millisecond count in a difference of two wallsecond() readings.
///   const double elapsed = kx::wallwrap(kx::wallsecond() - start);
double wallwrap(double t);

}  // namespace kx
