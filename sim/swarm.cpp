#include "sim/swarm.h"

#include "sim/rng.h"
#include "sim/state_mix.h"
#include "sim/vector_ops.h"

// Constant-initialised: program-start values before any code runs.
constinit SwarmState swarm{};

namespace {

constexpr float kSeedSpan = 10.0f;
constexpr float kSeedCentre = 0.5f;

float& Axis(Vec3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

}  // namespace

void SeedSwarm() {
  for (int i = 0; i < kAgentCount; ++i) {
    // Draw order per agent: position.x, heading.x, up.x, position.y, ...
    for (int axis = 0; axis < 3; ++axis) {
      Axis(swarm.position[i], axis) = (Rng15::NextUnit() - kSeedCentre) * kSeedSpan;
      Axis(swarm.heading[i], axis) = Rng15::NextUnit() - kSeedCentre;
      Axis(swarm.up[i], axis) = Rng15::NextUnit() - kSeedCentre;
    }
    SafeNormalize(swarm.heading[i]);
    SafeNormalize(swarm.up[i]);
    Orthonormalize(swarm.up[i], swarm.heading[i]);
  }
}

void ResetSwarmState() { swarm = SwarmState{}; }

void MixSwarmState(uint64_t& hash) {
  // Binds every member by name: one added to SwarmState stops this compiling
  // until it is hashed too.
  const auto& [position, heading, up, target] = swarm;
  MixStateBytes(hash, position, sizeof position);
  MixStateBytes(hash, heading, sizeof heading);
  MixStateBytes(hash, up, sizeof up);
  MixStateBytes(hash, target, sizeof target);
}
