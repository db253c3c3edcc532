#include "sim/state_hash.h"

#include <cstring>

#include "sim/field.h"
#include "sim/formations.h"
#include "sim/rng.h"
#include "sim/swarm.h"

namespace {

constexpr uint64_t kFnvOffset = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

void Mix(uint64_t& h, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    h ^= bytes[i];
    h *= kFnvPrime;
  }
}

template <typename T>
void MixValue(uint64_t& h, const T& value) {
  Mix(h, &value, sizeof value);
}

}  // namespace

uint64_t HashSimulationState() {
  uint64_t h = kFnvOffset;
  Mix(h, swarm.position, sizeof swarm.position);
  Mix(h, swarm.heading, sizeof swarm.heading);
  Mix(h, swarm.up, sizeof swarm.up);
  Mix(h, swarm.target, sizeof swarm.target);
  Mix(h, attractors.point, sizeof attractors.point);
  MixValue(h, attractorTime);
  MixValue(h, static_cast<unsigned char>(attractorTableReady));
  Mix(h, attractorTable, sizeof attractorTable);
  MixValue(h, formationTime);
  Mix(h, amplitudeHistory.samples, sizeof amplitudeHistory.samples);
  MixValue(h, amplitudeHistory.writeIndex);
  MixValue(h, static_cast<unsigned char>(leaderTableReady));
  Mix(h, leaderTable, sizeof leaderTable);
  MixValue(h, Rng15::State());
  return h;
}

void ResetSimulation() {
  std::memset(&swarm, 0, sizeof swarm);
  std::memset(&attractors, 0, sizeof attractors);
  attractorTime = 0.0f;
  attractorTableReady = false;
  std::memset(attractorTable, 0, sizeof attractorTable);
  formationTime = 0.0f;
  std::memset(amplitudeHistory.samples, 0, sizeof amplitudeHistory.samples);
  amplitudeHistory.writeIndex = kHistoryLength - 1;
  leaderTableReady = false;
  std::memset(leaderTable, 0, sizeof leaderTable);
  std::memset(leaderPosition, 0, sizeof leaderPosition);
  Rng15::SetState(1);
}
