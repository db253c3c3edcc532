#include <gtest/gtest.h>

#include <cmath>

#include "scene/backdrop.h"
#include "scene/camera.h"

namespace {

// The camera holds back until 150 s, then closes in on the swarm, quickly at
// first, settling near 3 units, its view widening as it comes.
TEST(SceneCamera, HoldsBackThenClosesInAndWidens) {
  EXPECT_EQ(CameraDistanceAt(0.0f), 20.0f);
  EXPECT_EQ(CameraDistanceAt(150.0f), 20.0f);
  EXPECT_NEAR(CameraDistanceAt(std::nextafter(150.0f, 200.0f)), 20.0f, 1e-4f);  // no jump
  EXPECT_NEAR(CameraDistanceAt(155.0f), 7.857f, 1e-3f);
  EXPECT_NEAR(CameraDistanceAt(160.0f), 4.545f, 1e-3f);
  EXPECT_NEAR(CameraDistanceAt(170.0f), 3.415f, 1e-3f);
  EXPECT_NEAR(CameraDistanceAt(230.0f), 3.027f, 1e-3f);
  float previous = CameraDistanceAt(150.0f);
  for (float t = 151.0f; t <= 230.0f; t += 1.0f) {
    const float d = CameraDistanceAt(t);
    EXPECT_LT(d, previous) << t;
    EXPECT_GT(d, 3.0f) << t;
    EXPECT_GT(FieldOfViewFor(d), FieldOfViewFor(previous)) << t;
    previous = d;
  }
  EXPECT_EQ(FieldOfViewFor(CameraDistanceAt(0.0f)), 25.0f);
  EXPECT_NEAR(FieldOfViewFor(CameraDistanceAt(160.0f)), 110.0f, 1e-3f);
  EXPECT_NEAR(FieldOfViewFor(CameraDistanceAt(230.0f)), 165.2f, 0.1f);
  EXPECT_EQ(OrbitAngleAt(0.0f), 0.0f);
  EXPECT_NEAR(OrbitAngleAt(1000.0f), 0.571f, 5e-4f);
}

// The fade to black takes 219 s to 221 s; the cards come up over the black
// in the second after it, and both stay until the end.
TEST(SceneClosingOverlays, FadeThenCards) {
  EXPECT_EQ(FadeAlphaAt(0.0f), 0.0f);
  EXPECT_EQ(FadeAlphaAt(219.0f), 0.0f);
  EXPECT_EQ(FadeAlphaAt(219.5f), 0.25f);
  EXPECT_EQ(FadeAlphaAt(220.0f), 0.5f);
  EXPECT_EQ(FadeAlphaAt(221.0f), 1.0f);
  EXPECT_EQ(FadeAlphaAt(230.0f), 1.0f);
  EXPECT_EQ(CardAlphaAt(220.5f), 0.0f);
  EXPECT_EQ(CardAlphaAt(221.0f), 0.0f);
  EXPECT_EQ(CardAlphaAt(221.5f), 0.5f);
  EXPECT_EQ(CardAlphaAt(222.0f), 1.0f);
  EXPECT_EQ(CardAlphaAt(230.0f), 1.0f);
  for (float t = 219.0f; t < 230.0f; t += 0.125f) {
    EXPECT_LE(FadeAlphaAt(t), FadeAlphaAt(t + 0.125f)) << t;
    EXPECT_LE(CardAlphaAt(t), CardAlphaAt(t + 0.125f)) << t;
    if (CardAlphaAt(t) > 0.0f) {
      EXPECT_EQ(FadeAlphaAt(t), 1.0f) << "cards before the black, " << t;
    }
  }
}

}  // namespace
