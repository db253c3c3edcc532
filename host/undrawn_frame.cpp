#include "host/undrawn_frame.h"

#include "scene/swarm_draw.h"
#include "scene/timeline.h"

void RunSceneFrameUndrawn(const SceneClock& clock) {
  StepSceneSimulation(clock);
  SkipSparkDraws(clock.elapsedMs);
}
