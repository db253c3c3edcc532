#include "host/frame.h"

#include "gl/gl_subset.h"
#include "scene/backdrop.h"
#include "scene/swarm_draw.h"
#include "scene/timeline.h"

void RunSceneFrame(const SceneClock& clock) {
  BeginSceneFrame(clock);
  DrawSwarm(clock.elapsedMs, clock.sceneSeconds);
  DrawClosingOverlays(clock);
  // The next frame's backdrop relies on these two.
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
}
