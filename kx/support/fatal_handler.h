// What the library does with a fatal condition, chosen by its caller.
#pragma once

#include <stdexcept>
#include <string>

namespace kx {

/// Receives the lines of a fatal message (each ending in a newline). A
/// handler may throw; if it returns, the default action follows: the lines
/// are written on standard output and the process ends through kxstop with
/// status 1. A routine interrupted by a throwing handler releases its
/// working storage as the exception passes.
using fatal_handler = void (*)(const std::string& lines);

/// Installs `handler` for every later fatal condition and returns the one it
/// replaces; nullptr restores the default. Safe to call from any thread.
///   kx::set_fatal_handler(kx::throw_fatal_error);
///   try { kxreal r; kxnrt(x, 0, r); } catch (const kx::fatal_error& e) { ... }
fatal_handler set_fatal_handler(fatal_handler handler) noexcept;

/// The handler in use (nullptr while the default is).
fatal_handler current_fatal_handler() noexcept;

/// The exception that throw_fatal_error throws: what() is the message
/// lines exactly as the default action would have printed them.
class fatal_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A ready-made handler: throws fatal_error carrying the message lines.
[[noreturn]] void throw_fatal_error(const std::string& lines);

}  // namespace kx
