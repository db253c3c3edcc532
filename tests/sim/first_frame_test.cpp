// The first frame driven as the script drives it (leader formation over the
// sphere), which fixes where the one-off tables land in the random stream.
#include "sim/field.h"
#include "sim/formations.h"
#include "sim/simulation_step.h"
#include "sim/swarm.h"
#include "sim_fixture.h"

namespace {

void RunFirstFrame(float dt) {
  SeedSwarm();
  StepSimulation(0, 1, dt, 0.0f);
}

}  // namespace

TEST_F(SimTest, FirstFrameTablesComeAfterSeedingAndTheFirstJitter) {
  RunFirstFrame(1.0f);
  EXPECT_EQ(DrawsSince(1), 36000 + 96 + 12000 + 18);
  const float attractorExpected[18] = {0.221198f, 0.287667f, 0.728782f, 0.501206f, 0.345531f,
                                       0.481368f, 0.105960f, 0.520218f, 0.760399f, 0.049684f,
                                       0.276742f, 0.437269f, 0.551134f, 0.561296f, 0.561083f,
                                       0.714743f, 0.563738f, 0.279550f};
  const float* attractorTable = CurrentFieldState().attractorTable;
  for (int j = 0; j < 18; ++j) EXPECT_NEAR(attractorTable[j], attractorExpected[j], 1e-6f) << j;
  const float leader0[12] = {0.939817f, 0.239631f, 0.393323f, 0.414808f, 0.476516f, 0.691763f,
                             0.008393f, 0.180700f, 0.769372f, 0.770196f, 0.716788f, 0.781304f};
  const float* leaderTable = CurrentFormationState().leaderTable;
  for (int j = 0; j < 12; ++j) EXPECT_NEAR(leaderTable[j], leader0[j], 1e-6f) << j;
}

TEST_F(SimTest, LeadersAndAttractorsAfterOneSecond) {
  RunFirstFrame(1.0f);
  const float time = CurrentFormationState().formationTime;
  ExpectNear(LeaderPositionAt(0, time), 4.76948f, 2.93305f, 5.39127f);
  ExpectNear(LeaderPositionAt(1, time), 3.42151f, 4.60409f, 3.03837f);
  const AttractorSet& attractors = CurrentFieldState().attractors;
  ExpectNear(attractors.point[0], 2.20982f, 1.97252f, 2.44038f);
  ExpectNear(attractors.point[1], 2.48853f, 1.97292f, 2.49961f);
  ExpectNear(attractors.point[2], 1.96848f, 1.05643f, 2.46463f);
}

TEST_F(SimTest, LeadersAndAttractorsAfterTenSeconds) {
  RunFirstFrame(10.0f);
  ExpectNear(LeaderPositionAt(0, CurrentFormationState().formationTime), -3.17482f, -1.01839f,
             4.92378f);
  const AttractorSet& attractors = CurrentFieldState().attractors;
  ExpectNear(attractors.point[0], 0.16640f, 1.47960f, -2.45641f);
  ExpectNear(attractors.point[1], 1.24509f, 2.48728f, -2.01540f);
  ExpectNear(attractors.point[2], 1.97689f, 2.48778f, 0.47912f);
}
