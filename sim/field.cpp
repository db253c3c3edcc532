#include "sim/field.h"

#include <cmath>

#include "sim/float_math.h"
#include "sim/rng.h"
#include "sim/state_mix.h"
#include "sim/vector_ops.h"

namespace {

constinit FieldState fieldState{};

float& Coordinate(int j) {
  Vec3& a = fieldState.attractors.point[j / 3];
  return j % 3 == 0 ? a.x : (j % 3 == 1 ? a.y : a.z);
}

// The offset from the attractor is formed in the point itself and the
// attractor added back afterwards; the point may change in its last bits.
void MoveBy(Vec3& point, const Vec3& a, float sign) {
  point.x = point.x + sign * a.x;
  point.y = point.y + sign * a.y;
  point.z = point.z + sign * a.z;
}

float SoftenedSquare(const Vec3& d) { return d.x * d.x + d.y * d.y + d.z * d.z + kBlobSoftening; }

}  // namespace

void AnimateAttractors(float dt) {
  fieldState.attractorTime = fieldState.attractorTime + dt;
  if (!fieldState.attractorTableReady) {
    fieldState.attractorTableReady = true;
    for (float& entry : fieldState.attractorTable) entry = Rng15::NextUnit();
  }
  const float t = fieldState.attractorTime;
  const float* table = fieldState.attractorTable;
  for (int j = 0; j < 3 * kAttractorCount; ++j) {
    const float arg = table[2 * j] * t + table[2 * j + 1] * kAttractorPhaseScale;
    Coordinate(j) = kAttractorAmplitude * Sin32(arg);
  }
}

float FieldValue(Vec3& point, FieldMode fieldMode) {
  if (fieldMode == 2) {
    float sum = 0.0f;
    for (const Vec3& a : fieldState.attractors.point) {
      MoveBy(point, a, -1.0f);
      sum = sum + 1.0f / SoftenedSquare(point);
      MoveBy(point, a, 1.0f);
    }
    const float r = 1.0f / sum;
    const float h = std::sqrt(r);
    return h - kBlobIsoLevel;
  }
  if (fieldMode == 1) {
    const float s = point.x * point.x + point.y * point.y + point.z * point.z;
    const float len = std::sqrt(s);
    return len - kSphereRadius;
  }
  return kNoFieldValue;
}

void FieldGradient(Vec3& point, FieldMode fieldMode, Vec3& out) {
  out = Vec3{0.0f, 0.0f, 0.0f};
  if (fieldMode == 2) {
    for (const Vec3& a : fieldState.attractors.point) {
      MoveBy(point, a, -1.0f);
      const float w = 1.0f / SoftenedSquare(point);
      const float w2 = w * w;
      out.x = out.x + point.x * w2;
      out.y = out.y + point.y * w2;
      out.z = out.z + point.z * w2;
      MoveBy(point, a, 1.0f);
    }
  } else if (fieldMode == 1) {
    out = point;
  }
  SafeNormalize(out);
}

const FieldState& CurrentFieldState() { return fieldState; }

void SetFieldState(const FieldState& state) { fieldState = state; }

void ResetFieldState() { fieldState = FieldState{}; }

void MixFieldState(uint64_t& hash) {
  // Binds every member by name: one added to FieldState stops this compiling
  // until it is hashed too.
  const auto& [attractors, attractorTime, attractorTableReady, attractorTable] = fieldState;
  const auto& [point] = attractors;
  const unsigned char ready = attractorTableReady ? 1 : 0;
  MixStateBytes(hash, point, sizeof point);
  MixStateBytes(hash, &attractorTime, sizeof attractorTime);
  MixStateBytes(hash, &ready, sizeof ready);
  MixStateBytes(hash, attractorTable, sizeof attractorTable);
}
