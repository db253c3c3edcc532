#include <gtest/gtest.h>

#include <cmath>

#include "scene/backdrop.h"
#include "scene/camera.h"

namespace {

TEST(SceneCamera, DistanceFieldOfViewAndOrbit) {
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

TEST(SceneClosingOverlays, FadeAndCardRamps) {
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
