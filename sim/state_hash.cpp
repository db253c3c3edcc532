#include "sim/state_hash.h"

#include "sim/field.h"
#include "sim/formations.h"
#include "sim/rng.h"
#include "sim/state_mix.h"
#include "sim/swarm.h"

uint64_t HashSimulationState() {
  uint64_t hash = kFnvOffset;
  MixSwarmState(hash);
  MixFieldState(hash);
  MixFormationState(hash);
  MixRng15State(hash);
  return hash;
}

void ResetSimulation() {
  ResetSwarmState();
  ResetFieldState();
  ResetFormationState();
  ResetRng15State();
}
