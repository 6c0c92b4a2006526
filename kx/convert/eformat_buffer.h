// The work buffer in which kxeformat builds its scientific text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include <kx/support/fatal.h>

namespace kx {

/// Characters addressed from 1, blank when made. Every store checks its
/// position and stops with "KXEFORMAT: Insufficient space in B2 array."
/// outside 1..size, so no digit count can write outside the buffer.
///   kx::eformat_buffer b(3); b.put(1, '7');   // b.text() == "7  "
class eformat_buffer {
 public:
  explicit eformat_buffer(long long size) : chars_(static_cast<std::size_t>(size), ' ') {}

  void put(long long pos, char c) {
    if (pos < 1 || pos > static_cast<long long>(chars_.size())) {
      kx::fatal("('KXEFORMAT: Insufficient space in B2 array.')");
    }
    chars_[static_cast<std::size_t>(pos - 1)] = c;
  }

  char at(long long pos) const { return chars_[static_cast<std::size_t>(pos - 1)]; }

  void blank_from(long long pos) { std::fill(chars_.begin() + (pos - 1), chars_.end(), ' '); }

  const std::string& text() const { return chars_; }

 private:
  std::string chars_;
};

}  // namespace kx
