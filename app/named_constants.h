// The constants that the relation finder offers for "is x a rational
// combination of these?": each computed by kx itself to full precision.
#pragma once

#include <span>
#include <string_view>

#include <kx/core/core.h>

namespace finder {

struct named_constant {
  std::string_view name;     // as given on the command line: "log2"
  std::string_view formula;  // as written in a formula: "log(2)"
  std::string_view meaning;  // for --help
  kxreal (*value)();
};

/// Every constant the finder knows, in the order --help lists them.
std::span<const named_constant> named_constants();

/// The constant called `name`, or nullptr.
const named_constant* find_constant(std::string_view name);

}  // namespace finder
