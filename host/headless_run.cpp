#include "host/headless_run.h"

#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"

namespace {

SceneClock headlessClock;

}  // namespace

int32_t ScheduledElapsedMs(int64_t frame, int framesPerSecond) {
  return static_cast<int32_t>(frame * 1000 / framesPerSecond);
}

void StartHeadlessRun(bool withAtlas) {
  ResetSimulation();
  if (withAtlas) LoadTextureAtlas();
  SeedSwarm();
  StartSceneClock(headlessClock, 0);
}

void RunHeadlessFrame(int32_t elapsedMs, bool drawn) {
  TickSceneClock(headlessClock, static_cast<uint32_t>(elapsedMs));
  if (drawn)
    RunSceneFrame(headlessClock);
  else
    RunSceneFrameUndrawn(headlessClock);
}

const SceneClock& HeadlessClock() { return headlessClock; }
