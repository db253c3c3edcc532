#include "sim/field.h"

#include <cmath>

#include "sim_fixture.h"

TEST_F(SimTest, FieldModesOtherThanSphereAndBlobsAreEmpty) {
  for (FieldMode mode : {0, 3, -1}) {
    for (Vec3 p : {Vec3{0, 0, 0}, Vec3{2, 0, 0}, Vec3{-7, 3, 1}}) {
      EXPECT_EQ(FieldValue(p, mode), kNoFieldValue);
      Vec3 g{};
      FieldGradient(p, mode, g);
      ExpectExactly(g, 1, 0, 0);
    }
  }
}

TEST_F(SimTest, SphereFieldValuesAndGradients) {
  Vec3 origin{0, 0, 0}, onSurface{2, 0, 0}, outside{0, 3, 0}, below{0, -5, 0};
  EXPECT_EQ(FieldValue(origin, 1), -2.0f);
  EXPECT_EQ(FieldValue(onSurface, 1), 0.0f);
  EXPECT_EQ(FieldValue(outside, 1), 1.0f);
  Vec3 g{};
  FieldGradient(origin, 1, g);
  ExpectExactly(g, 1, 0, 0);
  FieldGradient(below, 1, g);
  ExpectExactly(g, 0, -1, 0);
}

TEST_F(SimTest, BlobFieldAroundAttractorsAtTheOrigin) {
  // Attractors start at the origin, before any animation.
  Vec3 origin{0, 0, 0}, unitX{1, 0, 0};
  EXPECT_NEAR(FieldValue(origin, 2), std::sqrt(1.0f / 300.0f) - 1.3f, 1e-6f);
  EXPECT_NEAR(FieldValue(unitX, 2), std::sqrt(1.01f / 3.0f) - 1.3f, 1e-6f);
  Vec3 g{};
  FieldGradient(unitX, 2, g);
  ExpectExactly(g, 1, 0, 0);
  FieldGradient(origin, 2, g);  // zero sum
  ExpectExactly(g, 1, 0, 0);
}

TEST_F(SimTest, BlobFieldNearOneLoneAttractor) {
  attractors.point[0] = Vec3{1, 2, 3};
  attractors.point[1] = Vec3{200, 0, 0};
  attractors.point[2] = Vec3{0, -300, 0};
  Vec3 p{1, 2, 3};
  EXPECT_NEAR(FieldValue(p, 2), -1.2f, 1e-3f);
  Vec3 q{1, 2, 3.5f};
  Vec3 g{};
  FieldGradient(q, 2, g);
  ExpectNear(g, 0, 0, 1, 1e-4f);  // outward from the nearest attractor
}

TEST_F(SimTest, AnimateAttractorsDrawsItsTableOnce) {
  AnimateAttractors(0.0f);
  EXPECT_EQ(DrawsSince(1), 18);
  const uint32_t after = Rng15::State();
  AnimateAttractors(0.5f);
  EXPECT_EQ(Rng15::State(), after);
  EXPECT_EQ(attractorTime, 0.5f);
}

TEST_F(SimTest, AnimateAttractorsWithoutTimeSitsAtThePhases) {
  for (int call = 0; call < 3; ++call) AnimateAttractors(0.0f);
  EXPECT_EQ(attractorTime, 0.0f);
  const float* coordinates = &attractors.point[0].x;
  for (int j = 0; j < 9; ++j) {
    EXPECT_NEAR(coordinates[j], 2.5f * std::sin(3.0f * attractorTable[2 * j + 1]), 1e-6f) << j;
  }
}
