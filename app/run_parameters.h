// The fixed parameters of the test run; the program reads no input.
#pragma once

namespace run_parameters {

inline constexpr int n = 17;        // length of the input vector
inline constexpr int kq = 0;        // shown in the header only
inline constexpr int kr = 4;        // order of the root of 3 in the test number
inline constexpr int ks = 4;        // order of the root of 2 in the test number
inline constexpr double rb = 20.0;  // log10 of the largest relation norm accepted
inline constexpr int ndp = 70;      // full precision level in digits, shown only
inline constexpr int nep = -67;     // decimal exponent of the search tolerance
inline constexpr int debug = 2;     // debug level of the search

}  // namespace run_parameters
