#pragma once

#include <cstdint>

#include "sim/vec3.h"

// 0 leader-following, 1 rings; any other value leaves the targets alone.
using FormationMode = int;

inline constexpr int kHistoryLength = 4000;
inline constexpr float kHistorySamplesPerSecond = 300.0f;
inline constexpr int kLeaderCount = 8;
inline constexpr float kQuarterTurn = 1.5707963f;
inline constexpr float kRingRadius = 2.7f;

// Ring of past swell values; writeIndex moves backwards and names the slot the
// next sample goes to (the oldest one).
struct AmplitudeHistory {
  float samples[kHistoryLength];
  int32_t writeIndex;
};

extern AmplitudeHistory amplitudeHistory;
extern float formationTime;
extern bool leaderTableReady;
extern float leaderTable[kLeaderCount * 12];
extern Vec3 leaderPosition[kLeaderCount];

// Advances the formation clock, records the swell, writes every target.
void UpdateTargets(FormationMode formationMode, float dt, float swell);
