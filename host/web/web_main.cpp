// Entry points that the page calls (page.js, through ccall): the real-time
// piece, and a scripted run on the capture tool's frame schedule for tests.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "base/exit_status.h"
#include "host/atlas.h"
#include "host/checkpoints.h"
#include "host/frame.h"
#include "host/frame_loop.h"
#include "host/platform.h"
#include "host/headless_run.h"
#include "host/web/canvas_context.h"
#include "host/web/page_hooks.h"
#include "host/web/web_clock.h"
#include "sim/rng.h"
#include "sim/state_hash.h"

namespace {

// Undrawn frames between which the scripted run lets the page breathe.
constexpr int64_t kFramesBetweenYields = 600;
// How long a scripted run waits for a lost context to come back.
constexpr int kRestoreWaitMs = 10000;
constexpr int kRestoreWaitStepMs = 50;

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

// A context lost while earlier frames ran undrawn is waited for and rebuilt
// before the frames that are drawn. False when it does not come back.
bool AwaitDrawableContext() {
  for (int waited = 0; !CanvasContextDrawable(); waited += kRestoreWaitStepMs) {
    if (waited >= kRestoreWaitMs) return false;
    emscripten_sleep(kRestoreWaitStepMs);
    FollowCanvasContext();
  }
  return true;
}

}  // namespace

extern "C" {

// The piece, as the native program runs it, with the clock running `clockRate`
// times real time. Each call starts from the program-start state, so the page
// can offer to play again. Resolves to the exit status.
EMSCRIPTEN_KEEPALIVE int QuorvaneRunPiece(double clockRate) {
  ResetSimulation();
  SetWebClockRate(clockRate);
  return RunPieceToExitStatus();
}

// Frame `lastFrame` of the 60 fps schedule, drawn as the capture tool draws a
// still (frames before lastFrame - 1 undrawn) and left on the canvas. At each
// checkpoint frame up to it the simulation hash and the random source's state
// go to the page, as quorvane-sim-hashes prints them. False without WebGL, or
// when a lost context does not come back.
EMSCRIPTEN_KEEPALIVE bool QuorvaneScheduledRun(int lastFrame) {
  if (Result opened = OpenCanvasContext(PixelFormatRequest{}, true); !opened) {
    std::fprintf(stderr, "quorvane: %s\n", opened.error.c_str());
    return false;
  }
  StartHeadlessRun(kCheckpointFps);
  LoadTextureAtlas();
  const int64_t frame = lastFrame;
  while (HeadlessFrame() < frame) {
    const int64_t at = HeadlessFrame();
    if (at + 1 >= frame - 1) {
      if (!AwaitDrawableContext()) {
        std::fprintf(stderr, "quorvane: the WebGL context was lost and did not come back\n");
        return false;
      }
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
