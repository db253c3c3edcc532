#include "host/headless_run.h"

#include <cmath>

#include "host/frame_clock.h"
#include "host/undrawn_frame.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"

namespace {

SceneClock headlessClock;
int headlessFps = 60;
int64_t headlessFrame = 0;

void RunFrame(int32_t elapsedMs, FrameDrawer draw) {
  TickSceneClock(headlessClock, static_cast<uint32_t>(elapsedMs));
  if (draw != kUndrawn)
    draw(headlessClock);
  else
    RunSceneFrameUndrawn(headlessClock);
}

}  // namespace

int32_t ScheduledElapsedMs(int64_t frame, int framesPerSecond) {
  return static_cast<int32_t>(frame * 1000 / framesPerSecond);
}

int64_t FrameShowing(double seconds, int framesPerSecond) {
  const double k = std::ceil(seconds * framesPerSecond - kFrameBoundarySlack);
  return k < 1.0 ? 1 : static_cast<int64_t>(k);
}

void StartHeadlessRun(int framesPerSecond) {
  ResetSimulation();
  SeedSwarm();
  StartSceneClock(headlessClock, 0);
  headlessFps = framesPerSecond;
  headlessFrame = 0;
}

void RunFrameAt(int32_t elapsedMs, FrameDrawer draw) {
  RunFrame(elapsedMs, draw);
  // The last frame of the schedule at or before this reading, k * 1000 / fps
  // < elapsedMs + 1, so that the schedule goes on after it.
  headlessFrame = ((static_cast<int64_t>(elapsedMs) + 1) * headlessFps - 1) / 1000;
}

void RunNextFrame(FrameDrawer draw) {
  ++headlessFrame;
  RunFrame(ScheduledElapsedMs(headlessFrame, headlessFps), draw);
}

void RunUpToFrame(int64_t k, FrameDrawer draw) {
  while (headlessFrame < k) {
    const int64_t next = headlessFrame + 1;
    RunNextFrame(next >= k - 1 ? draw : kUndrawn);
  }
}

int64_t HeadlessFrame() { return headlessFrame; }

const SceneClock& HeadlessClock() { return headlessClock; }
