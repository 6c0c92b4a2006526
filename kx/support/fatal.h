// The one path by which the library reports a fatal condition: the message
// lines of a template, then kxstop.
#pragma once

#include <string>

#include <kx/support/format.h>
#include <kx/support/stop.h>

namespace kx {

/// Hands the message lines to the caller's fatal handler, if one is
/// installed; when it returns (or none is), writes them on standard output
/// and ends the process through kxstop.
[[noreturn]] void fatal_lines(const std::string& lines);

/// Forms the template's lines for the values (checked at compile time) and
/// hands them to fatal_lines.
///   kx::fatal("('*** KXNRT: Improper value of N',i10)", n);
template <template_argument... Args>
[[noreturn]] void fatal(checked_template<Args...> tmpl, const Args&... values) {
  fatal_lines(format_template(tmpl, values...));
}

}  // namespace kx
