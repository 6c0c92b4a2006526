// Element (i, j), both from 1, of a matrix stored by columns with `rows` rows,
// and the check that a caller's array holds what its dimensions say.
#pragma once

#include <cstddef>
#include <span>

namespace kx {

template <class T>
T& element(std::span<T> a, int rows, int i, int j) {
  return a[static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(rows)];
}

/// Stops with a message naming `routine` when an array of `have` elements is
/// shorter than the rows x columns its dimensions need (none when either is
/// zero or negative).
void require_storage(const char* routine, std::size_t have, long long rows, long long columns = 1);

}  // namespace kx
