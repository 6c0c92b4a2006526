// Element (i, j), both from 1, of a matrix stored by columns with `rows` rows.
#pragma once

#include <cstddef>
#include <span>

namespace kx {

template <class T>
T& element(std::span<T> a, int rows, int i, int j) {
  return a[static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(rows)];
}

}  // namespace kx
