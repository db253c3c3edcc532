#include "host/undrawn_frame.h"

#include "script/script.h"
#include "script/spark_values.h"

void RunSceneFrameUndrawn(const SceneClock& clock) {
  StepSceneSimulation(clock);
  SkipSparkDraws(clock.elapsedMs);
}
