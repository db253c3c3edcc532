#include "sim/formations.h"

#include "sim/float_math.h"
#include "sim/rng.h"
#include "sim/state_mix.h"
#include "sim/swarm.h"

namespace {

constinit FormationState formationState{};

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
  AmplitudeHistory& amplitudeHistory = formationState.amplitudeHistory;
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
  if (!formationState.leaderTableReady) {
    formationState.leaderTableReady = true;
    for (float& entry : formationState.leaderTable) entry = Rng15::NextUnit();
  }
  Vec3 leaderPosition[kLeaderCount];
  for (int k = 0; k < kLeaderCount; ++k) {
    leaderPosition[k] = LeaderPositionAt(k, formationState.formationTime);
  }
  const AmplitudeHistory& amplitudeHistory = formationState.amplitudeHistory;
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
  const float t = formationState.formationTime;
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
  formationState.formationTime = formationState.formationTime + dt;
  RecordSwell(dt, swell);
  if (formationMode == 0) {
    FollowLeaders();
  } else if (formationMode == 1) {
    FormRings();
  }
}

Vec3 LeaderPositionAt(int leader, float t) {
  const float* c = &formationState.leaderTable[12 * leader];
  return {LeaderAxis(c, t, 3.04f, 2.71f), LeaderAxis(c + 4, t, 2.53f, 3.22f),
          LeaderAxis(c + 8, t, 2.57f, 2.83f)};
}

const FormationState& CurrentFormationState() { return formationState; }

void SetFormationState(const FormationState& state) { formationState = state; }

void ResetFormationState() { formationState = FormationState{}; }

void MixFormationState(uint64_t& hash) {
  // Binds every member by name: one added to FormationState or
  // AmplitudeHistory stops this compiling until it is hashed too.
  const auto& [formationTime, amplitudeHistory, leaderTableReady, leaderTable] = formationState;
  const auto& [samples, writeIndex] = amplitudeHistory;
  const unsigned char ready = leaderTableReady ? 1 : 0;
  MixStateBytes(hash, &formationTime, sizeof formationTime);
  MixStateBytes(hash, samples, sizeof samples);
  MixStateBytes(hash, &writeIndex, sizeof writeIndex);
  MixStateBytes(hash, &ready, sizeof ready);
  MixStateBytes(hash, leaderTable, sizeof leaderTable);
}
