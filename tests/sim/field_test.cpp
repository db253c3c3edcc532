#include "sim/field.h"

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
  // Attractors start at the origin, before any animation: the sum of the
  // three blobs is 3 / 0.01 at the origin and 3 / 1.01 at distance 1.
  Vec3 origin{0, 0, 0}, unitX{1, 0, 0};
  EXPECT_NEAR(FieldValue(origin, 2), -1.2422650f, 1e-6f);
  EXPECT_NEAR(FieldValue(unitX, 2), -0.7197701f, 1e-6f);
  Vec3 g{};
  FieldGradient(unitX, 2, g);
  ExpectExactly(g, 1, 0, 0);
  FieldGradient(origin, 2, g);  // zero sum
  ExpectExactly(g, 1, 0, 0);
}

TEST_F(SimTest, BlobFieldNearOneLoneAttractor) {
  FieldState field = CurrentFieldState();
  field.attractors = AttractorSet{{{1, 2, 3}, {200, 0, 0}, {0, -300, 0}}};
  SetFieldState(field);
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
  EXPECT_EQ(CurrentFieldState().attractorTime, 0.5f);
}

TEST_F(SimTest, AnimateAttractorsWithoutTimeSitsAtThePhases) {
  for (int call = 0; call < 3; ++call) AnimateAttractors(0.0f);
  EXPECT_EQ(CurrentFieldState().attractorTime, 0.0f);
  // 2.5 sin(3 phase) for the odd entries of the table drawn from the seed:
  // phase 18467 / 32767 gives 2.4820337, and so on.
  const float expected[9] = {2.4820337f, 1.6397443f, 2.4785213f, 1.0957478f, 1.9610777f,
                             1.3380375f, 2.4988606f, 0.1123466f, 2.2204351f};
  const AttractorSet& attractors = CurrentFieldState().attractors;
  for (int j = 0; j < 9; ++j) {
    const Vec3& point = attractors.point[j / 3];
    const float coordinate = j % 3 == 0 ? point.x : (j % 3 == 1 ? point.y : point.z);
    EXPECT_NEAR(coordinate, expected[j], 1e-6f) << j;
  }
}
