#include "sim/state_hash.h"

#include "sim/field.h"
#include "sim/formations.h"
#include "sim/simulation_step.h"
#include "sim/swarm.h"
#include "sim_fixture.h"

namespace {

// Taken before any test runs: the state of a fresh process.
const uint64_t hashAtProgramStart = HashSimulationState();

// FNV-1a of the program-start state, worked out apart from this code: every
// byte zero but writeIndex (3999) and the generator (1), in the hash's order.
constexpr uint64_t kProgramStartHash = 12619684251299043356ull;

}  // namespace

TEST_F(SimTest, ResetPutsEveryModuleBackToProgramStart) {
  EXPECT_EQ(hashAtProgramStart, kProgramStartHash);
  SeedSwarm();
  // Both formations and both fields: every table drawn, every clock moved.
  StepSimulation(0, 2, 0.016f, 1.5f);
  StepSimulation(1, 1, 0.017f, -2.0f);
  ASSERT_NE(HashSimulationState(), kProgramStartHash);
  ResetSimulation();
  EXPECT_EQ(HashSimulationState(), kProgramStartHash);
}

TEST_F(SimTest, EveryPieceOfStateReachesTheHash) {
  const uint64_t start = HashSimulationState();
  // The last element of each array, so that a hash of too few bytes shows.
  const auto expectSeen = [start](const char* what) {
    EXPECT_NE(HashSimulationState(), start) << what;
    ResetSimulation();
  };
  swarm.position[kAgentCount - 1].z = 1.0f;
  expectSeen("position");
  swarm.heading[kAgentCount - 1].z = 1.0f;
  expectSeen("heading");
  swarm.up[kAgentCount - 1].z = 1.0f;
  expectSeen("up");
  swarm.target[kAgentCount - 1].z = 1.0f;
  expectSeen("target");

  FieldState field{};
  field.attractors.point[kAttractorCount - 1].z = 1.0f;
  SetFieldState(field);
  expectSeen("attractors");
  field = FieldState{};
  field.attractorTime = 1.0f;
  SetFieldState(field);
  expectSeen("attractorTime");
  field = FieldState{};
  field.attractorTableReady = true;
  SetFieldState(field);
  expectSeen("attractorTableReady");
  field = FieldState{};
  field.attractorTable[kAttractorTableSize - 1] = 1.0f;
  SetFieldState(field);
  expectSeen("attractorTable");

  FormationState formations{};
  formations.formationTime = 1.0f;
  SetFormationState(formations);
  expectSeen("formationTime");
  formations = FormationState{};
  formations.amplitudeHistory.samples[kHistoryLength - 1] = 1.0f;
  SetFormationState(formations);
  expectSeen("samples");
  formations = FormationState{};
  formations.amplitudeHistory.writeIndex = 0;
  SetFormationState(formations);
  expectSeen("writeIndex");
  formations = FormationState{};
  formations.leaderTableReady = true;
  SetFormationState(formations);
  expectSeen("leaderTableReady");
  formations = FormationState{};
  formations.leaderTable[kLeaderTableSize - 1] = 1.0f;
  SetFormationState(formations);
  expectSeen("leaderTable");

  Rng15::SetState(2);
  expectSeen("random state");
}
