#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "sim/rng.h"
#include "sim/state_hash.h"
#include "sim/vec3.h"

// Every simulation test starts from program-start state.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSimulation(); }
};

// Draws made from Rng15 since `before`, found by stepping a copy of the
// generator forward; bounded so that a wrong count fails instead of hanging.
inline int DrawsSince(uint32_t before) {
  const uint32_t now = Rng15::State();
  const uint32_t saved = now;
  Rng15::SetState(before);
  int count = 0;
  while (Rng15::State() != now && count < 1000000) {
    Rng15::Next();
    ++count;
  }
  Rng15::SetState(saved);
  return count;
}

inline void ExpectNear(const Vec3& v, float x, float y, float z, float tolerance = 2e-5f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

inline void ExpectExactly(const Vec3& v, float x, float y, float z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}
