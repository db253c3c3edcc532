#include "script/script.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectModes(float t, int field, int formation) {
  const SceneModes modes = SceneModesAt(t);
  EXPECT_EQ(modes.fieldMode, field) << "at " << t << " s";
  EXPECT_EQ(modes.formationMode, formation) << "at " << t << " s";
}

// What the swarm does in the middle of each stretch of the piece.
TEST(ScriptModes, EachStretchOfThePieceHasItsModes) {
  ExpectModes(-5.0f, 1, 0);  // a clock read before its start
  ExpectModes(30.0f, 1, 0);
  ExpectModes(70.0f, 2, 0);
  ExpectModes(100.0f, 0, 1);
  ExpectModes(160.0f, 2, 0);
  ExpectModes(200.0f, 0, 1);
  ExpectModes(213.0f, 2, 1);
  ExpectModes(225.0f, 1, 0);  // the close returns to the opening's modes
  ExpectModes(230.0f, 1, 0);
}

// A change of modes happens just after its second, never at it: the frame
// at the boundary still shows the stretch before.
TEST(ScriptModes, EachBoundaryBelongsToTheStretchBefore) {
  for (int row = 1; row < kModeRowCount; ++row) {
    const float boundary = kModeSchedule[row].startSeconds;
    const SceneModes before = SceneModesAt(std::nextafter(boundary, 0.0f));
    const SceneModes after = kModeSchedule[row].modes;
    ExpectModes(boundary, before.fieldMode, before.formationMode);
    ExpectModes(std::nextafter(boundary, 1000.0f), after.fieldMode, after.formationMode);
    EXPECT_TRUE(before.fieldMode != after.fieldMode || before.formationMode != after.formationMode)
        << "no change at " << boundary << " s";
  }
}

TEST(ScriptSwell, RisesAfter19AndDiesAwayAfter200) {
  EXPECT_EQ(SwellAt(0.0f), 0.0f);
  EXPECT_EQ(SwellAt(19.0f), 0.0f);
  EXPECT_NEAR(SwellAt(20.0f), 0.0907870f, 1e-6f);
  // 2 sin(0.17 u) (1 - cos(0.75 u)) with u = t - 19 is -2.1538093 at 200 s,
  // undivided, and -1.0616595 at 201 s, halved there.
  EXPECT_NEAR(SwellAt(200.0f), -2.1538093f, 2e-6f);
  EXPECT_NEAR(SwellAt(201.0f), -0.5308297f, 1e-6f);
  float largest = 0.0f;
  for (int ms = 0; ms <= 230000; ms += 7)
    largest = std::fmax(largest, std::fabs(SwellAt(ms * 0.001f)));
  EXPECT_LE(largest, 4.0f);
  EXPECT_GT(largest, 3.5f);
}

}  // namespace
