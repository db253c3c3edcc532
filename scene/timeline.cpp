#include "scene/timeline.h"

#include <GL/gl.h>

#include "scene/backdrop.h"
#include "scene/camera.h"
#include "sim/float_math.h"
#include "sim/steering.h"

SceneModes SceneModesAt(float t) {
  if (t <= 61.0f) return {1, 0};
  if (t <= 80.0f) return {2, 0};
  if (t <= 130.0f) return {0, 1};
  if (t <= 190.0f) return {2, 0};
  if (t <= 210.0f) return {0, 1};
  if (t <= 217.0f) return {2, 1};
  return {1, 0};
}

float SwellAt(float t) {
  if (t <= 19.0f) return 0.0f;
  const float u = t - 19.0f;
  float s = 2.0f * Sin32(0.17f * u) * (1.0f - Cos32(0.75f * u));
  if (t > 200.0f) {
    const float late = t - 200.0f;
    s = s / (late * late + 1.0f);
  }
  return s;
}

void StepSceneSimulation(const SceneClock& clock) {
  const SceneModes modes = SceneModesAt(clock.sceneSeconds);
  const float swell = SwellAt(clock.sceneSeconds);
  const float dt = clock.frameDeltaSeconds;
  UpdateTargets(modes.formationMode, dt, swell);
  SteerSwarm(modes.fieldMode, dt, 1.0f);
  AdvanceSwarm(dt);
}

void BeginSceneFrame(const SceneClock& clock) {
  const float m = static_cast<float>(clock.elapsedMs);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // Lighting and blending are already off here (the previous frame's spark
  // pass and end of frame, or GL's defaults), so the backdrop is unlit and opaque.
  glDisable(GL_DEPTH_TEST);
  const float texBottom = 0.4f + 0.0004f * Sin32(0.0053f * m);
  const float texTop = 1.0f - 0.0004f * Sin32(0.0063f * m);
  DrawBackdropQuad(-1.0f, 1.0f, -1.0f, 1.0f, texBottom, texTop, 1.0f, m);
  glEnable(GL_DEPTH_TEST);

  SetCameraAndLights(clock);
  StepSceneSimulation(clock);
}
