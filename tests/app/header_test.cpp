// The test program as a user runs it: its five header lines and its status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

struct run_result {
  std::string output;
  int status;
};

run_result run_program(const char* path) {
  run_result r{"", -1};
  r.output = run_command(path, r.status);
  return r;
}

TEST(Program, PrintsItsParametersAndSucceeds) {
  const run_result r = run_program(ZEZUV1_TEST_PROGRAM);
  // n = 17 in i4, kq = 0 in i2; kr = ks = 4 in i2, rb = 20 as 2.0000D+01 in
  // d12.4; ndp = 70 in i6; nep = -67 in i6.
  const std::string header =
      "ZEZUV1 Test Program\n"
      "n =  17   kq = 0\n"
      "kr = 4   ks = 4   rb =  2.0000D+01\n"
      "Full precision level ndp =    70 digits\n"
      "Full precision epsilon level nep =    -67\n";
  EXPECT_EQ(r.output.substr(0, header.size()), header);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
