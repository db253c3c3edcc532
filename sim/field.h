#pragma once

#include <cstdint>

#include "sim/vec3.h"

// 0 none, 1 sphere of radius 2, 2 soft union of three attractor blobs; any
// other value behaves as 0.
using FieldMode = int;

inline constexpr int kAttractorCount = 3;
// A rate and a phase for each coordinate of each attractor.
inline constexpr int kAttractorTableSize = 2 * 3 * kAttractorCount;
inline constexpr float kAttractorAmplitude = 2.5f;
inline constexpr float kAttractorPhaseScale = 3.0f;
inline constexpr float kBlobSoftening = 0.01f;
inline constexpr float kBlobIsoLevel = 1.3f;
inline constexpr float kSphereRadius = 2.0f;
inline constexpr float kNoFieldValue = 1000.0f;

struct AttractorSet {
  Vec3 point[kAttractorCount];
};

// The attractors and their animation state, static for the whole run; a
// value-initialised FieldState is the program-start state.
struct FieldState {
  AttractorSet attractors;
  float attractorTime;
  bool attractorTableReady;
  float attractorTable[kAttractorTableSize];
};

// Advances attractorTime by dt and moves the attractors; draws the 18-value
// table from the random source on the first call only.
void AnimateAttractors(float dt);

// Signed distance-like value: negative inside, zero on the surface.
// In mode 2 the offsets are formed in point itself and the attractor added
// back, so point may come back changed in its last bits.
float FieldValue(Vec3& point, FieldMode fieldMode);
// Unit direction in which FieldValue grows; out must not be point.
void FieldGradient(Vec3& point, FieldMode fieldMode, Vec3& out);

// The field's state as it stands, and a replacement for it (tests place
// attractors and tables with these).
const FieldState& CurrentFieldState();
void SetFieldState(const FieldState& state);

// Back to the program-start state; mixes the state into a state hash.
void ResetFieldState();
void MixFieldState(uint64_t& hash);
