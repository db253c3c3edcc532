#pragma once

#include <cstdint>

#include "sim/vec3.h"

// 0 leader-following, 1 rings; any other value leaves the targets alone.
using FormationMode = int;

inline constexpr int kHistoryLength = 4000;
inline constexpr float kHistorySamplesPerSecond = 300.0f;
inline constexpr int kLeaderCount = 8;
// Two sines of a rate and a phase for each axis of each leader.
inline constexpr int kLeaderTableSize = kLeaderCount * 12;
inline constexpr float kQuarterTurn = 1.5707963f;
inline constexpr float kRingRadius = 2.7f;

// Ring of past swell values; writeIndex moves backwards and names the slot the
// next sample goes to (the oldest one).
struct AmplitudeHistory {
  float samples[kHistoryLength];
  int32_t writeIndex = kHistoryLength - 1;
};

// The formations' state, static for the whole run; a value-initialised
// FormationState is the program-start state.
struct FormationState {
  float formationTime;
  AmplitudeHistory amplitudeHistory;
  bool leaderTableReady;
  float leaderTable[kLeaderTableSize];
};

// Advances the formation clock, records the swell, writes every target.
void UpdateTargets(FormationMode formationMode, float dt, float swell);

// Where leader k stands at formationTime, from the leader table as it is.
Vec3 LeaderPositionAt(int leader, float formationTime);

// The formations' state as it stands, and a replacement for it (tests set
// the history and the leader table with these).
const FormationState& CurrentFormationState();
void SetFormationState(const FormationState& state);

// Back to the program-start state; mixes the state into a state hash.
void ResetFormationState();
void MixFormationState(uint64_t& hash);
