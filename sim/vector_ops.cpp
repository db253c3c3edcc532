#include "sim/vector_ops.h"

#include <cmath>

void SafeNormalize(Vec3& v) {
  float s = 0.0f + v.x * v.x;
  s = s + v.y * v.y;
  s = s + v.z * v.z;
  const float len = std::sqrt(s);
  // The test is on the length, so a not-a-number length also falls back.
  if (len > kNormEpsilon) {
    v.x = v.x / len;
    v.y = v.y / len;
    v.z = v.z / len;
  } else {
    v = Vec3{1.0f, 0.0f, 0.0f};
  }
}

void Orthonormalize(Vec3& v, const Vec3& ref) {
  float dot = 0.0f + v.x * ref.x;
  dot = dot + v.y * ref.y;
  dot = dot + v.z * ref.z;
  v.x = v.x - dot * ref.x;
  v.y = v.y - dot * ref.y;
  v.z = v.z - dot * ref.z;
  SafeNormalize(v);
}

void BlendNormalize(const Vec3& a, const Vec3& b, Vec3& out, float w) {
  // Component by component, so out may be a or b itself.
  const float rest = 1.0f - w;
  out.x = w * a.x + rest * b.x;
  out.y = w * a.y + rest * b.y;
  out.z = w * a.z + rest * b.z;
  SafeNormalize(out);
}
