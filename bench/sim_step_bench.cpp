// One simulation step (targets, steering, motion) at 60 frames per second,
// for the three pairings of formation and field that the script uses.
#include <benchmark/benchmark.h>

#include "sim/simulation_step.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"

namespace {

constexpr float kStep = 1.0f / 60.0f;

void SimulationStep(benchmark::State& state) {
  const FormationMode formation = static_cast<FormationMode>(state.range(0));
  const FieldMode field = static_cast<FieldMode>(state.range(1));
  ResetSimulation();
  SeedSwarm();
  for (int warmUp = 0; warmUp < 120; ++warmUp) StepSimulation(formation, field, kStep, 1.0f);
  for (auto _ : state) {
    StepSimulation(formation, field, kStep, 1.0f);
    benchmark::DoNotOptimize(swarm.position[0]);
  }
}

}  // namespace

BENCHMARK(SimulationStep)
    ->ArgNames({"formation", "field"})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Unit(benchmark::kMicrosecond);
