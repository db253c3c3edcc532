#include "host/frame_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(HostFrameClock, ElapsedTimeAndDeltaFollowTheTimer) {
  SceneClock clock{};
  StartSceneClock(clock, 5000);
  // The first delta runs from the clock start, start-up time included.
  TickSceneClock(clock, 5300);
  EXPECT_EQ(clock.elapsedMs, 300);
  EXPECT_EQ(clock.previousElapsedMs, 300);
  EXPECT_EQ(clock.sceneSeconds, 300.0f * 0.001f);
  EXPECT_EQ(clock.frameDeltaSeconds, 300.0f * 0.001f);

  TickSceneClock(clock, 5300);
  EXPECT_EQ(clock.frameDeltaSeconds, 0.0f);

  TickSceneClock(clock, 5000 + 229999);
  EXPECT_EQ(clock.sceneSeconds, 229999.0f * 0.001f);
  EXPECT_LT(clock.sceneSeconds, kSceneEndSeconds);
  EXPECT_EQ(clock.frameDeltaSeconds, 229699.0f * 0.001f);
  TickSceneClock(clock, 5000 + 230000);
  EXPECT_FALSE(clock.sceneSeconds < kSceneEndSeconds);
}

TEST(HostFrameClock, TimerWrapAroundStillGivesElapsedTime) {
  SceneClock clock{};
  StartSceneClock(clock, 0xFFFFFF00u);
  TickSceneClock(clock, 0xFFFFFFFFu);
  EXPECT_EQ(clock.elapsedMs, 255);
  TickSceneClock(clock, 0x00000100u);
  EXPECT_EQ(clock.elapsedMs, 512);
  EXPECT_EQ(clock.frameDeltaSeconds, 257.0f * 0.001f);
  // A reading more than half the range away reads as negative, without overflow.
  TickSceneClock(clock, 0xFFFFFF00u + 0x80000000u);
  EXPECT_EQ(clock.elapsedMs, INT32_MIN);
}

}  // namespace
