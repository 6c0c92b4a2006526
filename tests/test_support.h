// Small checks shared by the test programs.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

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

/// Runs `command` through the shell and returns what it writes on standard
/// output; `status` gets its exit status (-1 when it did not exit).
inline std::string run_command(const std::string& command, int& status) {
  std::string output;
  status = -1;
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return output;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  const int raw = pclose(p);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}
