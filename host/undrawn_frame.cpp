#include "host/undrawn_frame.h"

#include "scene/script.h"
#include "scene/spark_values.h"

void RunSceneFrameUndrawn(const SceneClock& clock) {
  StepSceneSimulation(clock);
  SkipSparkDraws(clock.elapsedMs);
}
