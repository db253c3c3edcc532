#include "tools/atlas_gen/noise.h"

#include <cmath>

#include "base/hash.h"

static float LatticeDot(int ix, int iy, uint32_t seed, float dx, float dy) {
  uint32_t h =
      HashU32(static_cast<uint32_t>(ix) * 0x9e3779b1u ^ HashU32(static_cast<uint32_t>(iy) + seed));
  // Eight evenly spread directions are enough and avoid a trigonometric call per corner.
  static const float kDirections[8][2] = {
      {1.0f, 0.0f},  {0.70710678f, 0.70710678f},   {0.0f, 1.0f},  {-0.70710678f, 0.70710678f},
      {-1.0f, 0.0f}, {-0.70710678f, -0.70710678f}, {0.0f, -1.0f}, {0.70710678f, -0.70710678f},
  };
  const float* g = kDirections[h & 7u];
  return g[0] * dx + g[1] * dy;
}

static float Quintic(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float GradientNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x);
  float fy = std::floor(y);
  int ix = static_cast<int>(fx);
  int iy = static_cast<int>(fy);
  float dx = x - fx;
  float dy = y - fy;
  float n00 = LatticeDot(ix, iy, seed, dx, dy);
  float n10 = LatticeDot(ix + 1, iy, seed, dx - 1.0f, dy);
  float n01 = LatticeDot(ix, iy + 1, seed, dx, dy - 1.0f);
  float n11 = LatticeDot(ix + 1, iy + 1, seed, dx - 1.0f, dy - 1.0f);
  float u = Quintic(dx);
  float v = Quintic(dy);
  float bottom = n00 + (n10 - n00) * u;
  float top = n01 + (n11 - n01) * u;
  return 1.4142135f * (bottom + (top - bottom) * v);
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f;
  float weight = 1.0f;
  float total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * GradientNoise(x, y, seed + static_cast<uint32_t>(i) * 1013u);
    total += weight;
    weight *= 0.5f;
    // A small rotation per octave keeps the lattice axes from lining up.
    float rx = 1.6f * x + 1.2f * y;
    float ry = -1.2f * x + 1.6f * y;
    x = rx + 17.3f;
    y = ry - 9.1f;
  }
  return sum / total;
}

float RidgedFbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f;
  float weight = 1.0f;
  float total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    float ridge = 1.0f - std::fabs(GradientNoise(x, y, seed + static_cast<uint32_t>(i) * 7919u));
    sum += weight * ridge * ridge;
    total += weight;
    weight *= 0.55f;
    float rx = 1.6f * x + 1.2f * y;
    float ry = -1.2f * x + 1.6f * y;
    x = rx + 5.7f;
    y = ry + 3.3f;
  }
  return sum / total;
}
