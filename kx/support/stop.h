// The end of the process after a fatal message.
#pragma once

/// Ends the process after a fatal message: flushes standard output and
/// exits with status 1, so that a script that ran the program sees a failure.
///   kxstop();
[[noreturn]] void kxstop();
