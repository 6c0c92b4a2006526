// Small checks shared by the test programs.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <kx/core/core.h>

/// Expects `statement` to print a fatal message matching `regex` and end
/// the process with status 1. The message goes to standard output, which is
/// sent to standard error, where the death test reads it.
#define EXPECT_FATAL_STOP(statement, regex) \
  EXPECT_EXIT(                              \
      {                                     \
        std::fflush(stdout);                \
        dup2(2, 1);                         \
        statement;                          \
      },                                    \
      ::testing::ExitedWithCode(1), regex)

/// Both words identical, bit for bit (so -0 differs from 0).
inline bool same_words(const kxreal& a, const kxreal& b) {
  return std::memcmp(&a.hi, &b.hi, sizeof a.hi) == 0 && std::memcmp(&a.lo, &b.lo, sizeof a.lo) == 0;
}
