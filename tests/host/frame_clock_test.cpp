#include "host/frame_clock.h"

#include <gtest/gtest.h>

namespace {

// What the scene reads from the clock on a timer that starts at 5 s.
TEST(HostFrameClock, SecondsAndDeltasFollowTheTimer) {
  SceneClock clock{};
  StartSceneClock(clock, 5000);
  // The first delta runs from the clock start, start-up time included.
  TickSceneClock(clock, 5300);
  EXPECT_EQ(clock.elapsedMs, 300);
  EXPECT_FLOAT_EQ(clock.sceneSeconds, 0.3f);
  EXPECT_FLOAT_EQ(clock.frameDeltaSeconds, 0.3f);

  // A frame at 60 fps, then one at the same reading.
  TickSceneClock(clock, 5317);
  EXPECT_FLOAT_EQ(clock.sceneSeconds, 0.317f);
  EXPECT_FLOAT_EQ(clock.frameDeltaSeconds, 0.017f);
  TickSceneClock(clock, 5317);
  EXPECT_EQ(clock.frameDeltaSeconds, 0.0f);

  // The last millisecond is still in the piece; the next one is its end.
  TickSceneClock(clock, 5000 + 229999);
  EXPECT_LT(clock.sceneSeconds, kSceneEndSeconds);
  EXPECT_NEAR(clock.frameDeltaSeconds, 229.682f, 1e-3f);
  TickSceneClock(clock, 5000 + 230000);
  EXPECT_FALSE(clock.sceneSeconds < kSceneEndSeconds);

  // Starting again forgets the old run.
  StartSceneClock(clock, 9000);
  TickSceneClock(clock, 9016);
  EXPECT_FLOAT_EQ(clock.sceneSeconds, 0.016f);
  EXPECT_FLOAT_EQ(clock.frameDeltaSeconds, 0.016f);
}

TEST(HostFrameClock, TimerWrapAroundStillGivesElapsedTime) {
  SceneClock clock{};
  StartSceneClock(clock, 0xFFFFFF00u);
  TickSceneClock(clock, 0xFFFFFFFFu);
  EXPECT_EQ(clock.elapsedMs, 255);
  TickSceneClock(clock, 0x00000100u);
  EXPECT_EQ(clock.elapsedMs, 512);
  EXPECT_FLOAT_EQ(clock.sceneSeconds, 0.512f);
  EXPECT_FLOAT_EQ(clock.frameDeltaSeconds, 0.257f);
  // A reading more than half the range away reads as negative, without overflow.
  TickSceneClock(clock, 0xFFFFFF00u + 0x80000000u);
  EXPECT_EQ(clock.elapsedMs, INT32_MIN);
}

}  // namespace
