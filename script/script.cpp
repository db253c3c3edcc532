#include "script/script.h"

#include "sim/float_math.h"
#include "sim/simulation_step.h"

SceneModes SceneModesAt(float t) {
  SceneModes modes = kModeSchedule[0].modes;
  for (const ModeRow& row : kModeSchedule) {
    if (t > row.startSeconds) modes = row.modes;
  }
  return modes;
}

float SwellAt(float t) {
  if (t <= kSwellStartSeconds) return 0.0f;
  const float u = t - kSwellStartSeconds;
  float s = 2.0f * Sin32(0.17f * u) * (1.0f - Cos32(0.75f * u));
  if (t > kSwellDecaySeconds) {
    const float late = t - kSwellDecaySeconds;
    s = s / (late * late + 1.0f);
  }
  return s;
}

void StepSceneSimulation(const SceneClock& clock) {
  const SceneModes modes = SceneModesAt(clock.sceneSeconds);
  const float swell = SwellAt(clock.sceneSeconds);
  StepSimulation(modes.formationMode, modes.fieldMode, clock.frameDeltaSeconds, swell);
}
