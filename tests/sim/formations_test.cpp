#include "sim/formations.h"

#include <cmath>
#include <limits>

#include "sim/swarm.h"
#include "sim_fixture.h"

namespace {

// Frame deltas as the millisecond clock produces them.
float DeltaOf(int ms) { return static_cast<float>(ms) * 0.001f; }

const AmplitudeHistory& History() { return CurrentFormationState().amplitudeHistory; }

void SetWriteIndex(int32_t index) {
  FormationState state = CurrentFormationState();
  state.amplitudeHistory.writeIndex = index;
  SetFormationState(state);
}

int SamplesWrittenBy(int ms) {
  ResetSimulation();
  UpdateTargets(2, DeltaOf(ms), 0.0f);
  return (kHistoryLength - 1 - History().writeIndex + kHistoryLength) % kHistoryLength;
}

// Leader table (marked drawn) with rates 0, so every sine sits at its phase.
void SetLeaderPhases(int leader, float xPhase, float yPhase, float zPhase) {
  FormationState state = CurrentFormationState();
  state.leaderTableReady = true;
  float* c = &state.leaderTable[12 * leader];
  const float phases[3] = {xPhase, yPhase, zPhase};
  for (int axis = 0; axis < 3; ++axis) {
    c[4 * axis + 0] = 0.0f;
    c[4 * axis + 1] = phases[axis];
    c[4 * axis + 2] = 0.0f;
    c[4 * axis + 3] = phases[axis];
  }
  SetFormationState(state);
}

}  // namespace

TEST_F(SimTest, HistorySamplesPerFrameDelta) {
  // The count is formed in 32-bit float arithmetic; 1010 ms and 1130 ms are
  // deltas where double arithmetic would give one sample less.
  const int cases[][2] = {{0, 1},   {10, 4},   {16, 5},     {17, 6},     {20, 7},    {33, 10},
                          {34, 11}, {100, 31}, {1000, 301}, {1010, 304}, {1130, 340}};
  for (const auto& c : cases) EXPECT_EQ(SamplesWrittenBy(c[0]), c[1]) << c[0] << " ms";
}

TEST_F(SimTest, HistoryWritesBackwardsAndWraps) {
  UpdateTargets(2, DeltaOf(16), 0.75f);
  EXPECT_EQ(History().writeIndex, 3994);
  for (int slot = 3995; slot <= 3999; ++slot) EXPECT_EQ(History().samples[slot], 0.75f);
  EXPECT_EQ(History().samples[3994], 0.0f);

  SetWriteIndex(2);
  UpdateTargets(2, DeltaOf(10), -1.0f);  // slots 2, 1, 0, then 3999
  EXPECT_EQ(History().writeIndex, 3998);
  EXPECT_EQ(History().samples[0], -1.0f);
  EXPECT_EQ(History().samples[3999], -1.0f);

  SetWriteIndex(0);
  UpdateTargets(2, 0.0f, 2.0f);
  EXPECT_EQ(History().writeIndex, 3999);
}

TEST_F(SimTest, LongPauseFillsTheRingAndLandsWhereSingleWritesWould) {
  // 20 s: 6001 samples, the same value in every slot; 17 - 6001 wraps to 2016.
  SetWriteIndex(17);
  UpdateTargets(2, 20.0f, 3.0f);
  for (float s : History().samples) ASSERT_EQ(s, 3.0f);
  EXPECT_EQ(History().writeIndex, 2016);
}

TEST_F(SimTest, DrawsPerCallByFormation) {
  SeedSwarm();
  uint32_t before = Rng15::State();
  UpdateTargets(1, DeltaOf(16), 0.0f);
  EXPECT_EQ(Rng15::State(), before);
  UpdateTargets(0, DeltaOf(16), 0.0f);
  EXPECT_EQ(DrawsSince(before), 96 + 3 * kAgentCount);
  before = Rng15::State();
  UpdateTargets(0, DeltaOf(16), 0.0f);
  EXPECT_EQ(DrawsSince(before), 3 * kAgentCount);

  // Any other formation leaves the targets and the random source alone.
  const Vec3 kept = swarm.target[77];
  before = Rng15::State();
  UpdateTargets(2, DeltaOf(16), 1.0f);
  EXPECT_EQ(Rng15::State(), before);
  ExpectExactly(swarm.target[77], kept.x, kept.y, kept.z);
  EXPECT_EQ(CurrentFormationState().formationTime,
            DeltaOf(16) + DeltaOf(16) + DeltaOf(16) + DeltaOf(16));
}

TEST_F(SimTest, LeaderTargetsUseDelayedSwellAndDrawInAgentOrder) {
  SeedSwarm();
  const float quarter = 1.5707964f;  // sin rounds to 1: every leader at (5.75, 5.75, 5.4)
  for (int k = 0; k < kLeaderCount; ++k) SetLeaderPhases(k, quarter, quarter, quarter);
  // A distinct swell value in every slot: one sample per zero-delta call,
  // n * 0.001 into slot 3999 - n.
  for (int n = 0; n < kHistoryLength; ++n) UpdateTargets(2, 0.0f, static_cast<float>(n) * 0.001f);

  UpdateTargets(0, 0.0f, 5.0f);
  EXPECT_EQ(DrawsSince(1), 36000 + 3 * kAgentCount);
  // Agent 0 reads the oldest sample (0.001), agent 1 the newest (5.0), agent 2
  // the one before it (3.999), agent 3999 the second oldest (0.002). Each adds
  // its own three draws (from draw 36000 + 3i on) less 0.5 to the scaled leader.
  ExpectNear(swarm.target[0], 0.445567f, -0.254619f, -0.101277f);
  ExpectNear(swarm.target[1], 28.664808f, 28.726517f, 27.191761f);
  ExpectNear(swarm.target[2], 22.502644f, 22.674952f, 21.863970f);
  ExpectNear(swarm.target[3999], 0.176590f, 0.420585f, -0.445070f);
}

TEST_F(SimTest, EquallyNearLeadersGoToTheLowestIndex) {
  SeedSwarm();
  const float quarter = 1.5707964f;
  SetLeaderPhases(0, quarter, 0.0f, 0.0f);   // (5.75, 0, 0)
  SetLeaderPhases(1, -quarter, 0.0f, 0.0f);  // (-5.75, 0, 0)
  for (int k = 2; k < kLeaderCount; ++k) SetLeaderPhases(k, quarter, quarter, quarter);
  UpdateTargets(2, 20.0f, 1.0f);  // swell 1 everywhere in the ring
  swarm.position[0] = Vec3{0, 0, 0};
  UpdateTargets(0, 0.0f, 1.0f);
  EXPECT_GT(swarm.target[0].x, 4.0f);
  // Not-a-number distances never win: the agent falls back to leader 0.
  swarm.position[1] = Vec3{std::numeric_limits<float>::quiet_NaN(), 0, 0};
  UpdateTargets(0, 0.0f, 1.0f);
  EXPECT_GT(swarm.target[1].x, 4.0f);
}

TEST_F(SimTest, RingCandidatesAtTimeZero) {
  swarm.position[0] = Vec3{0, 3, 0};
  swarm.position[1] = Vec3{0, -3, 0};
  swarm.position[2] = Vec3{1, 0.2f, 3};
  swarm.position[3] = Vec3{0, 0, 0};  // all four candidates tie: the first wins
  swarm.position[4] = Vec3{std::numeric_limits<float>::quiet_NaN(), 1, 0};
  UpdateTargets(1, 0.0f, 0.0f);
  ExpectNear(swarm.target[0], 0, 2.7f, 0);
  ExpectNear(swarm.target[1], 0, -2.7f, 0);
  ExpectNear(swarm.target[2], 2.63245f, -0.60017f, 2.7f);
  ExpectNear(swarm.target[3], 0, 2.7f, 0);
  EXPECT_EQ(swarm.target[4].x, 0.0f);
  EXPECT_EQ(swarm.target[4].y, 2.7f);
}

TEST_F(SimTest, RingCandidatesBobWithTime) {
  swarm.position[0] = Vec3{-2, -1, 0};
  swarm.position[1] = Vec3{2, -1, 1};
  UpdateTargets(1, 2.0f, 0.0f);
  ExpectNear(swarm.target[0], -2.02304f, -1.78811f, 0.71736f);
  ExpectNear(swarm.target[1], 1.66184f, -2.12798f, 0.18264f);
}
