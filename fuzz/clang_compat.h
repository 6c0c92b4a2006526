// Included first in every translation unit of the fuzz build, which clang 14
// compiles against g++ 12's libquadmath and libstdc++ and glibc's headers.
#pragma once

// <quadmath.h>'s HUGE_VALQ names a g++ builtin; clang has the _Float128 one.
#define __builtin_huge_valq() __builtin_huge_valf128()
#define __builtin_nanq(s) __builtin_nanf128(s)
#define __builtin_nansq(s) __builtin_nansf128(s)

// glibc declares its binary128 functions only for g++ (clang claims
// __GNUC__ 4); the library takes its correctly rounded square root there.
#ifdef __cplusplus
extern "C" __float128 sqrtf128(__float128 x) noexcept;
#endif

// clang 14's C++ knows binary128 only as __float128 (MPFR's interface
// names it _Float128).
#define _Float128 __float128

// clang 14 cannot evaluate libstdc++ 12's std::string in a constant
// expression, so here the output templates are checked when first used
// rather than at compile time (the g++ build checks them there).
#define consteval constexpr
