#include <kx/support/unit_streams.h>

#include <cstdio>
#include <iostream>
#include <map>

namespace kx {
namespace {

std::map<int, std::istream*>& input_units() {
  static std::map<int, std::istream*> units;
  return units;
}

std::map<int, std::ostream*>& output_units() {
  static std::map<int, std::ostream*> units;
  return units;
}

}  // namespace

void attach_input_unit(int unit, std::istream& in) { input_units()[unit] = &in; }

void attach_output_unit(int unit, std::ostream& out) { output_units()[unit] = &out; }

void detach_unit(int unit) {
  input_units().erase(unit);
  output_units().erase(unit);
}

std::istream* input_stream(int unit) {
  const auto it = input_units().find(unit);
  if (it != input_units().end()) return it->second;
  return unit == standard_input_unit ? &std::cin : nullptr;
}

// Standard output is written through stdio, like every message and report,
// so that all output keeps its program order.
bool write_to_output_unit(int unit, std::string_view text) {
  const auto it = output_units().find(unit);
  if (it != output_units().end()) {
    it->second->write(text.data(), static_cast<std::streamsize>(text.size()));
    it->second->flush();
    return true;
  }
  if (unit != standard_output_unit) return false;
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return true;
}

}  // namespace kx
