#include "sim/state_hash.h"

#include "sim/field.h"
#include "sim/formations.h"
#include "sim/rng.h"
#include "sim/swarm.h"

namespace {

constexpr uint64_t kFnvOffset = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

}  // namespace

void MixStateBytes(uint64_t& hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= kFnvPrime;
  }
}

uint64_t HashSimulationState() {
  uint64_t hash = kFnvOffset;
  MixSwarmState(hash);
  MixFieldState(hash);
  MixFormationState(hash);
  Rng15::MixState(hash);
  return hash;
}

void ResetSimulation() {
  ResetSwarm();
  ResetField();
  ResetFormations();
  Rng15::Reset();
}
