#include "script/script.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectModes(float t, int field, int formation) {
  const SceneModes modes = SceneModesAt(t);
  EXPECT_EQ(modes.fieldMode, field) << "at " << t << " s";
  EXPECT_EQ(modes.formationMode, formation) << "at " << t << " s";
}

TEST(ScriptModes, EachBoundaryBelongsToTheRowAbove) {
  ExpectModes(-5.0f, 1, 0);  // a clock read before its start
  ExpectModes(0.0f, 1, 0);
  const struct {
    float boundary;
    int field, formation;          // up to and at the boundary
    int nextField, nextFormation;  // just above it
  } rows[] = {{61, 1, 0, 2, 0},  {80, 2, 0, 0, 1},  {130, 0, 1, 2, 0},
              {190, 2, 0, 0, 1}, {210, 0, 1, 2, 1}, {217, 2, 1, 1, 0}};
  for (const auto& row : rows) {
    ExpectModes(row.boundary, row.field, row.formation);
    ExpectModes(std::nextafter(row.boundary, 1000.0f), row.nextField, row.nextFormation);
  }
  ExpectModes(230.0f, 1, 0);
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
