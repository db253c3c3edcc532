#include "script/spark_values.h"

#include <cmath>

#include "script/script.h"
#include "sim/float_math.h"
#include "sim/rng.h"
#include "sim/swarm.h"

namespace {

constexpr float kLateSchemeStart = 100.0f;

// 64-bit so that any elapsed time, also a wrapped negative one, is safe.
int AgentCount(int32_t elapsedMs, int64_t startMs, int64_t msPerAgent) {
  const int64_t count = (static_cast<int64_t>(elapsedMs) - startMs) / msPerAgent;
  if (count > kAgentCount) return kAgentCount;
  if (count < 0) return 0;
  return static_cast<int>(count);
}

float Clamp01(float v) {
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

}  // namespace

int SolidCountAt(int32_t elapsedMs) {
  return AgentCount(elapsedMs, kSolidStartMs, kSolidMsPerAgent);
}

int SparkCountAt(int32_t elapsedMs) {
  return AgentCount(elapsedMs, kSparkStartMs, kSparkMsPerAgent);
}

float SparkAlphaAt(float t) {
  float sparkBrightness = t / 30.0f + 0.2f;
  if (sparkBrightness > 1.0f) sparkBrightness = 1.0f;
  const float sparkPulse = 1.0f - 0.25f * std::fabs(Sin32(t * 4.652f));
  return sparkPulse * 0.6f * sparkBrightness;
}

void SparkColour(int i, float t, float rgb[3]) {
  float r, g, b;
  if (t > kLateSchemeStart) {
    const int delaySteps = (17 * i * i) % 63;
    const float redShift =
        Clamp01((t - kLateSchemeStart) * 0.1f - static_cast<float>(delaySteps) * 0.1f);
    r = redShift + redShift + (1.0f - redShift);
    g = 0.8f * (1.0f - redShift) + 0.4f * redShift;
    b = 0.1f * redShift + 0.3f * (1.0f - redShift);
  } else {
    float colourShift = 0.01f * t;
    if (colourShift > 1.0f) colourShift = 1.0f;
    r = 0.3f * (1.0f - colourShift) + colourShift;
    g = 0.8f * colourShift + 0.5f * (1.0f - colourShift);
    b = (1.0f - colourShift) + 0.3f * colourShift;
  }
  const int c = i * i + 13;
  const int j1 = (7 * c + i) % 100 - 50;
  const int j2 = (8 * c + 2 * i) % 100 - 50;
  const int j3 = (11 * c + 3 * i) % 100 - 50;
  rgb[0] = r + 0.0025f * static_cast<float>(j1);
  rgb[1] = g + 0.0025f * static_cast<float>(j2);
  rgb[2] = b + 0.0025f * static_cast<float>(j3);
}

void NextSparkTexCoords(float st[6]) {
  // Per corner: (offset_s, offset_t); t is drawn before s.
  constexpr float kOffsets[3][2] = {{0.6f, 0.4f}, {0.6f, 0.8f}, {0.0f, 0.4f}};
  for (int corner = 0; corner < 3; ++corner) {
    const int tValue = Rng15::Next() & 0x3FF;
    const int sValue = Rng15::Next() & 0x3FF;
    st[2 * corner] = kOffsets[corner][0] + static_cast<float>(sValue) / 2500.0f;
    st[2 * corner + 1] = kOffsets[corner][1] + static_cast<float>(tValue) / 5000.0f;
  }
}

void SkipSparkDraws(int32_t elapsedMs) {
  float st[6];
  const int count = SparkCountAt(elapsedMs);
  for (int i = 0; i < count; ++i) NextSparkTexCoords(st);
}
