#pragma once

#include "sim/field.h"

inline constexpr float kTurnRate = 1.8f;
inline constexpr float kCruiseSpeed = 3.0f;
inline constexpr float kWrapRadiusSquared = 16384.0f;

// Turns every heading toward its target and tilts every up vector toward the
// field's normal; animates the attractors first.
void SteerSwarm(FieldMode fieldMode, float dt, float alignGain);
// Flies every agent forward; one that leaves radius 128 is negated.
void AdvanceSwarm(float dt);
