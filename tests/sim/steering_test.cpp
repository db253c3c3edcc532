#include "sim/steering.h"

#include "sim/swarm.h"
#include "sim_fixture.h"

namespace {

// Parks every agent far from the sphere with a unit frame, target on itself.
void ParkSwarm() {
  for (int i = 0; i < kAgentCount; ++i) {
    swarm.position[i] = Vec3{10, 10, 10};
    swarm.target[i] = swarm.position[i];
    swarm.heading[i] = Vec3{0, 1, 0};
    swarm.up[i] = Vec3{0, 0, 1};
  }
}

}  // namespace

TEST_F(SimTest, AgentOnItsTargetTurnsTowardPlusX) {
  ParkSwarm();
  SteerSwarm(0, 0.1f, 1.0f);
  ExpectNear(swarm.heading[0], 0.21441f, 0.97674f, 0.0f);
  ExpectExactly(swarm.up[0], 0, 0, 1);
}

TEST_F(SimTest, UpVectorOnTheSphereTakesTheNormalExactly) {
  ParkSwarm();
  swarm.position[0] = Vec3{2, 0, 0};
  swarm.heading[0] = Vec3{0.6f, 0.8f, 0};
  swarm.up[0] = Vec3{0, 0, 1};
  swarm.target[0] = Vec3{2, 5, 0};
  SteerSwarm(1, 0.016f, 1.0f);
  ExpectExactly(swarm.up[0], 1, 0, 0);
  const Vec3& h = swarm.heading[0];
  EXPECT_NEAR(h.x, 0.0f, 1e-6f);
  EXPECT_NEAR(h.x * h.x + h.y * h.y + h.z * h.z, 1.0f, 1e-6f);
}

TEST_F(SimTest, ZeroDeltaStillAlignsButNothingMoves) {
  SeedSwarm();
  AnimateAttractors(0.25f);
  const Vec3 attractor = CurrentFieldState().attractors.point[1];
  swarm.position[5] = Vec3{0, 2.5f, 0};  // half a unit outside the sphere: k = 0.5
  const Vec3 upBefore = swarm.up[5];
  const Vec3 position = swarm.position[5];
  SteerSwarm(1, 0.0f, 1.0f);
  AdvanceSwarm(0.0f);
  ExpectExactly(swarm.position[5], position.x, position.y, position.z);
  ExpectExactly(CurrentFieldState().attractors.point[1], attractor.x, attractor.y, attractor.z);
  EXPECT_GT(swarm.up[5].y, upBefore.y);  // pulled toward the normal (0, 1, 0)
  const Vec3& h = swarm.heading[5];
  const Vec3& u = swarm.up[5];
  EXPECT_NEAR(h.x * u.x + h.y * u.y + h.z * u.z, 0.0f, 1e-6f);
}

TEST_F(SimTest, AdvanceFliesAtCruiseSpeedAndWrapsBeyondRadius128) {
  SeedSwarm();
  swarm.position[0] = Vec3{128, 0, 0};
  swarm.position[1] = Vec3{129.5f, 0, 0};
  swarm.heading[1] = Vec3{1, 0, 0};
  swarm.position[2] = Vec3{200, 0, 0};
  swarm.position[3] = Vec3{1, 2, 3};
  swarm.heading[3] = Vec3{0.6f, 0, -0.8f};
  AdvanceSwarm(0.5f);
  EXPECT_EQ(swarm.position[1].x, -131.0f);
  ExpectExactly(swarm.heading[1], 1, 0, 0);
  // Half a second at 3 units a second along the heading: 1.5 units.
  ExpectNear(swarm.position[3], 1.9f, 2.0f, 1.8f, 1e-6f);

  // With no time passing only the wrap acts: exactly 128 stays, beyond flips
  // on every call.
  swarm.position[0] = Vec3{128, 0, 0};
  swarm.position[2] = Vec3{200, 0, 0};
  AdvanceSwarm(0.0f);
  ExpectExactly(swarm.position[0], 128, 0, 0);
  ExpectExactly(swarm.position[2], -200, -0.0f, -0.0f);
  AdvanceSwarm(0.0f);
  ExpectExactly(swarm.position[2], 200, 0, 0);
}
