#pragma once

#include "sim/vec3.h"

// Length at or below which SafeNormalize gives (1, 0, 0).
inline constexpr float kNormEpsilon = 0.0001f;

// The only normalisation of the system: degenerate vectors (too short, or not
// a number) become (1, 0, 0).
void SafeNormalize(Vec3& v);
// Removes from v its component along the unit vector ref, then normalises.
// v and ref must be different vectors.
void Orthonormalize(Vec3& v, const Vec3& ref);
// out = normalised w*a + (1-w)*b, per component; out may alias a or b.
void BlendNormalize(const Vec3& a, const Vec3& b, Vec3& out, float w);
