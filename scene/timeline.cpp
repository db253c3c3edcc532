#include "scene/timeline.h"

#include "gl/gl_subset.h"
#include "scene/backdrop.h"
#include "scene/camera.h"
#include "script/script.h"
#include "sim/float_math.h"

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
