#include <gtest/gtest.h>

#include <kx/support/timing.h>

namespace {

TEST(Timing, WallWrapUndoesOneWrapOfTheMillisecondCount) {
  EXPECT_EQ(kx::wallwrap(-1.0), 2147483.648 - 1.0);
  EXPECT_EQ(kx::wallwrap(-2147483.0), 2147483.648 - 2147483.0);
  EXPECT_EQ(kx::wallwrap(0.0), 0.0);
  EXPECT_EQ(kx::wallwrap(12.5), 12.5);
}

TEST(Timing, ClocksReadSensibleValues) {
  const double start = kx::cpusecond();
  volatile double sink = 0;
  for (int i = 0; i < 20000000; ++i) sink = sink + 1e-9 * i;
  const double end = kx::cpusecond();
  EXPECT_GE(start, 0.0);
  EXPECT_GT(end, start) << "20 million additions take measurable CPU time";
  const double wall = kx::wallsecond();
  EXPECT_GE(wall, 0.0);
  EXPECT_LT(wall, 2147483.648);
}

}  // namespace
