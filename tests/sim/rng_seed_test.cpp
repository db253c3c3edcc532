#include <cmath>

#include "sim/swarm.h"
#include "sim/vector_ops.h"
#include "sim_fixture.h"

TEST_F(SimTest, Rng15FirstValuesOfTheRun) {
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
  for (int value : expected) EXPECT_EQ(Rng15::Next(), value);
}

TEST_F(SimTest, Rng15UnitDrawsReachBothEnds) {
  // Dividing by 32767 (not 32768) lets 1.0 itself be drawn.
  float lowest = 1.0f, highest = 0.0f;
  for (int i = 0; i < 200000; ++i) {
    const float u = Rng15::NextUnit();
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
    lowest = std::fmin(lowest, u);
    highest = std::fmax(highest, u);
  }
  EXPECT_EQ(lowest, 0.0f);
  EXPECT_EQ(highest, 1.0f);
}

TEST_F(SimTest, SeedSwarmGivesTheKnownFirstAgents) {
  SeedSwarm();
  ExpectNear(swarm.position[0], -4.98749f, 3.08740f, -1.49709f);
  ExpectNear(swarm.heading[0], 0.15511f, 0.20737f, 0.96589f);
  ExpectNear(swarm.up[0], -0.95864f, -0.20458f, 0.19786f);
  ExpectNear(swarm.position[1], 2.46605f, 2.10501f, -4.85015f);
  ExpectNear(swarm.heading[1], -0.62334f, 0.02589f, -0.78153f);
  ExpectNear(swarm.up[1], 0.68372f, -0.46694f, -0.56080f);
}

TEST_F(SimTest, SeedSwarmDrawsExactly36000AndLeavesTargetsZero) {
  SeedSwarm();
  EXPECT_EQ(DrawsSince(1), 36000);
  for (int i = 0; i < kAgentCount; ++i) {
    ExpectExactly(swarm.target[i], 0.0f, 0.0f, 0.0f);
    const Vec3& p = swarm.position[i];
    ASSERT_TRUE(std::fabs(p.x) <= 5.0f && std::fabs(p.y) <= 5.0f && std::fabs(p.z) <= 5.0f) << i;
    const Vec3& h = swarm.heading[i];
    const Vec3& u = swarm.up[i];
    ASSERT_NEAR(h.x * h.x + h.y * h.y + h.z * h.z, 1.0f, 1e-5f) << i;
    ASSERT_NEAR(u.x * u.x + u.y * u.y + u.z * u.z, 1.0f, 1e-5f) << i;
    ASSERT_NEAR(h.x * u.x + h.y * u.y + h.z * u.z, 0.0f, 1e-5f) << i;
  }
}
