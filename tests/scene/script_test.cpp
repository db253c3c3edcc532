#include "scene/timeline.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scene/backdrop.h"
#include "scene/camera.h"

namespace {

void ExpectModes(float t, int field, int formation) {
  const SceneModes modes = SceneModesAt(t);
  EXPECT_EQ(modes.fieldMode, field) << "at " << t << " s";
  EXPECT_EQ(modes.formationMode, formation) << "at " << t << " s";
}

TEST(SceneModes, EachBoundaryBelongsToTheRowAbove) {
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

TEST(Swell, RisesAfter19AndDiesAwayAfter200) {
  EXPECT_EQ(SwellAt(0.0f), 0.0f);
  EXPECT_EQ(SwellAt(19.0f), 0.0f);
  EXPECT_NEAR(SwellAt(20.0f), 0.0908f, 5e-5f);
  const float u200 = 181.0f;
  const float undamped200 = 2.0f * std::sin(0.17f * u200) * (1.0f - std::cos(0.75f * u200));
  EXPECT_NEAR(SwellAt(200.0f), undamped200, 1e-5f);
  const float undamped201 = 2.0f * std::sin(0.17f * 182.0f) * (1.0f - std::cos(0.75f * 182.0f));
  EXPECT_NEAR(SwellAt(201.0f), undamped201 / 2.0f, 1e-5f);
  float largest = 0.0f;
  for (int ms = 0; ms <= 230000; ms += 7)
    largest = std::fmax(largest, std::fabs(SwellAt(ms * 0.001f)));
  EXPECT_LE(largest, 4.0f);
  EXPECT_GT(largest, 3.5f);
}

TEST(Camera, DistanceFieldOfViewAndOrbit) {
  EXPECT_EQ(CameraDistanceAt(0.0f), 20.0f);
  EXPECT_EQ(CameraDistanceAt(150.0f), 20.0f);
  EXPECT_NEAR(CameraDistanceAt(160.0f), 3.0f + 17.0f / 11.0f, 1e-5f);
  EXPECT_NEAR(CameraDistanceAt(170.0f), 3.41f, 5e-3f);
  EXPECT_NEAR(CameraDistanceAt(std::nextafter(150.0f, 200.0f)), 20.0f, 1e-4f);
  EXPECT_EQ(FieldOfViewFor(CameraDistanceAt(0.0f)), 25.0f);
  EXPECT_NEAR(FieldOfViewFor(CameraDistanceAt(160.0f)), 110.0f, 1e-3f);
  EXPECT_NEAR(FieldOfViewFor(CameraDistanceAt(230.0f)), 165.0f, 0.5f);
  EXPECT_EQ(OrbitAngleAt(0.0f), 0.0f);
  EXPECT_NEAR(OrbitAngleAt(1000.0f), 0.571f, 5e-4f);
}

TEST(ClosingOverlays, FadeAndCardRamps) {
  EXPECT_EQ(FadeAlphaAt(219.0f), 0.0f);
  EXPECT_EQ(FadeAlphaAt(220.0f), 0.5f);
  EXPECT_EQ(FadeAlphaAt(221.0f), 1.0f);
  EXPECT_EQ(FadeAlphaAt(229.0f), 1.0f);
  EXPECT_EQ(CardAlphaAt(221.0f), 0.0f);
  EXPECT_EQ(CardAlphaAt(221.5f), 0.5f);
  EXPECT_EQ(CardAlphaAt(222.0f), 1.0f);
  EXPECT_EQ(CardAlphaAt(230.0f), 1.0f);
}

}  // namespace
