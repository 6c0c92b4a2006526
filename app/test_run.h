// The test run: the 17 powers of 3^(1/4) - 2^(1/4), the relation search, the
// relation report and the verdict.
#pragma once

#include <vector>

#include <kx/core/core.h>

namespace test_run {

/// x(k) = a^(k-1) for k = 1..n, each power one product from the one
/// before, so that they accumulate rounding in this order.
std::vector<kxreal> powers_of(const kxreal& a, int n);

/// The input of the search: x(k) = a^(k-1), k = 1..17, a = 3^(1/4) - 2^(1/4).
std::vector<kxreal> test_vector();

/// Runs the test after the header; returns true when the search returned a
/// relation ("TEST PASSED" printed), false otherwise ("TEST FAILED").
bool run();

}  // namespace test_run
