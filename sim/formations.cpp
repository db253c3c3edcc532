#include "sim/formations.h"

#include "sim/float_math.h"
#include "sim/rng.h"
#include "sim/swarm.h"

AmplitudeHistory amplitudeHistory = {{}, kHistoryLength - 1};
float formationTime = 0.0f;
bool leaderTableReady = false;
float leaderTable[kLeaderCount * 12];
Vec3 leaderPosition[kLeaderCount];

namespace {

constexpr float kFarAway = 1e20f;
constexpr float kTargetCentre = 0.5f;
constexpr float kRingHeightFactor = 0.05f;
constexpr float kRingTimeRate = 0.3f;
constexpr float kRingSwingScale = 10.0f;
constexpr float kRingSwingFactor = 0.15f;
constexpr float kRingBobRate = 0.4f;
constexpr float kRingHeightKeep = 0.1f;

// Sample count in 32-bit float arithmetic, as the frame deltas come from a
// millisecond clock: 10 ms gives 4 samples and 20 ms gives 7.
int64_t HistorySamplesFor(float dt) {
  const float n = dt * kHistorySamplesPerSecond + 1.0f;
  // Truncation toward zero; also keeps the conversion defined for any delta.
  return n >= 1.0f && n < 9.0e18f ? static_cast<int64_t>(n) : 0;
}

void RecordSwell(float dt, float swell) {
  const int64_t n = HistorySamplesFor(dt);
  int32_t& index = amplitudeHistory.writeIndex;
  if (n >= kHistoryLength) {
    // Every slot gets the same value; only where the index ends matters, and
    // a long pause (a suspended machine) must not stall the frame.
    for (float& s : amplitudeHistory.samples) s = swell;
    index = static_cast<int32_t>(((index - n) % kHistoryLength + kHistoryLength) % kHistoryLength);
    return;
  }
  for (int64_t k = 0; k < n; ++k) {
    amplitudeHistory.samples[index] = swell;
    index = index - 1;
    if (index < 0) index = kHistoryLength - 1;
  }
}

float LeaderAxis(const float* c, float t, float amplitude0, float amplitude1) {
  return amplitude0 * Sin32(c[0] * t + c[1]) + amplitude1 * Sin32(c[2] * t + c[3]);
}

void FollowLeaders() {
  if (!leaderTableReady) {
    leaderTableReady = true;
    for (float& entry : leaderTable) entry = Rng15::NextUnit();
  }
  const float t = formationTime;
  for (int k = 0; k < kLeaderCount; ++k) {
    const float* c = &leaderTable[12 * k];
    leaderPosition[k].x = LeaderAxis(c, t, 3.04f, 2.71f);
    leaderPosition[k].y = LeaderAxis(c + 4, t, 2.53f, 3.22f);
    leaderPosition[k].z = LeaderAxis(c + 8, t, 2.57f, 2.83f);
  }
  for (int i = 0; i < kAgentCount; ++i) {
    const Vec3& p = swarm.position[i];
    float best = kFarAway;
    int choice = 0;
    for (int k = 0; k < kLeaderCount; ++k) {
      const float dx = p.x - leaderPosition[k].x;
      const float dy = p.y - leaderPosition[k].y;
      const float dz = p.z - leaderPosition[k].z;
      const float d = dx * dx + dy * dy + dz * dz;
      if (d < best) {  // strict: the lowest of equally near leaders wins
        best = d;
        choice = k;
      }
    }
    const float a = amplitudeHistory.samples[(amplitudeHistory.writeIndex + i) % kHistoryLength];
    const Vec3& leader = leaderPosition[choice];
    Vec3& target = swarm.target[i];
    target.x = Rng15::NextUnit() + leader.x * a - kTargetCentre;
    target.y = Rng15::NextUnit() + leader.y * a - kTargetCentre;
    target.z = Rng15::NextUnit() + leader.z * a - kTargetCentre;
  }
}

void FormRings() {
  const float t = formationTime;
  const float r = kRingTimeRate * t;
  const float h0 = Sin32(kRingBobRate * t);
  for (int i = 0; i < kAgentCount; ++i) {
    const Vec3& p = swarm.position[i];
    const float a0 = Sin32(p.z * kRingHeightFactor + r) * kRingSwingScale * kRingSwingFactor;
    float best = kFarAway;
    int choice = 0;
    float chosenAngle = 0.0f;
    float angle = a0;
    for (int k = 0; k < 4; ++k) {
      if (k > 0) angle = angle + kQuarterTurn;
      const float dx = p.x - Sin32(angle);
      const float dy = p.y - Cos32(angle);
      const float d = dx * dx + dy * dy;
      if (d < best) {
        best = d;
        choice = k;
        chosenAngle = angle;
      }
    }
    Vec3& target = swarm.target[i];
    target.x = kRingRadius * Sin32(chosenAngle);
    target.y = kRingRadius * Cos32(chosenAngle);
    const float h = choice % 2 == 0 ? h0 : -h0;
    target.z = (p.z + h) - kRingHeightKeep * p.z;
  }
}

}  // namespace

void UpdateTargets(FormationMode formationMode, float dt, float swell) {
  formationTime = formationTime + dt;
  RecordSwell(dt, swell);
  if (formationMode == 0) {
    FollowLeaders();
  } else if (formationMode == 1) {
    FormRings();
  }
}
