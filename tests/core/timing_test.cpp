#include <gtest/gtest.h>

#include <kx/core/timing.h>

namespace {

TEST(Timing, WallWrapUndoesOneWrapOfTheMillisecondCount) {
  EXPECT_EQ(wallwrap(-1.0), 2147483.648 - 1.0);
  EXPECT_EQ(wallwrap(-2147483.0), 2147483.648 - 2147483.0);
  EXPECT_EQ(wallwrap(0.0), 0.0);
  EXPECT_EQ(wallwrap(12.5), 12.5);
}

TEST(Timing, ClocksReadSensibleValues) {
  const double start = cpusecond();
  volatile double sink = 0;
  for (int i = 0; i < 20000000; ++i) sink = sink + 1e-9 * i;
  const double end = cpusecond();
  EXPECT_GE(start, 0.0);
  EXPECT_GT(end, start) << "20 million additions take measurable CPU time";
  const double wall = wallsecond();
  EXPECT_GE(wall, 0.0);
  EXPECT_LT(wall, 2147483.648);
}

}  // namespace
