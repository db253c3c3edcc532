// Entry points that the page calls (page.js, through ccall): the real-time
// piece, and a scripted run on the capture tool's frame schedule for tests.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "host/atlas.h"
#include "host/checkpoints.h"
#include "host/frame.h"
#include "host/frame_loop.h"
#include "host/headless_run.h"
#include "host/web/canvas_context.h"
#include "host/web/page_hooks.h"
#include "host/web/web_clock.h"
#include "sim/rng.h"
#include "sim/state_hash.h"

namespace {

// Undrawn frames between which the scripted run lets the page breathe.
constexpr int64_t kFramesBetweenYields = 600;

void ReportState() {
  // 64 bits do not fit a JavaScript number; decimal text keeps every bit.
  char stateHash[24];
  std::snprintf(stateHash, sizeof stateHash, "%" PRIu64, HashSimulationState());
  PageReportCheckpoint(static_cast<int>(HeadlessFrame()), HeadlessClock().elapsedMs, stateHash,
                       Rng15::State());
}

// The first checkpoint frame after `frame`, or none.
int64_t NextCheckpoint(int64_t frame) {
  for (int64_t checkpoint : kCheckpointFrames)
    if (checkpoint > frame) return checkpoint;
  return INT64_MAX;
}

}  // namespace

extern "C" {

// The piece, as the native program runs it, with the clock running `clockRate`
// times real time. Each call starts from the program-start state, so the page
// can offer to play again. Resolves to the exit status.
EMSCRIPTEN_KEEPALIVE int QuorvaneRunPiece(double clockRate) {
  ResetSimulation();
  SetWebClockRate(clockRate);
  return RunPiece();
}

// Frame `lastFrame` of the 60 fps schedule, drawn as the capture tool draws a
// still (frames before lastFrame - 1 undrawn) and left on the canvas. At each
// checkpoint frame up to it the simulation hash and the random source's state
// go to the page, as quorvane-sim-hashes prints them. False without WebGL.
EMSCRIPTEN_KEEPALIVE bool QuorvaneScheduledRun(int lastFrame) {
  const char* error = nullptr;
  if (!OpenCanvasContext(PixelFormatRequest{}, true, &error)) {
    std::fprintf(stderr, "quorvane: %s\n", error);
    return false;
  }
  StartHeadlessRun(kCheckpointFps);
  LoadTextureAtlas();
  const int64_t frame = lastFrame;
  while (HeadlessFrame() < frame) {
    const int64_t at = HeadlessFrame();
    if (at + 1 >= frame - 1) {
      RunNextFrame(RunSceneFrame);
    } else {
      RunUpToFrame(std::min({frame - 2, at + kFramesBetweenYields, NextCheckpoint(at)}), kUndrawn);
      emscripten_sleep(0);
    }
    if (HeadlessFrame() == NextCheckpoint(at)) ReportState();
  }
  return true;
}

}  // extern "C"
