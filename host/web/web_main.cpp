// Entry points that the page calls (page.js, through ccall): the real-time
// piece, and a scripted run on the capture tool's frame schedule for tests.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "host/frame_loop.h"
#include "host/headless_run.h"
#include "host/web/canvas_context.h"
#include "host/web/web_clock.h"
#include "sim/rng.h"
#include "sim/state_hash.h"

namespace {

constexpr int kFramesPerSecond = 60;
// Undrawn frames between which the scripted run lets the page breathe.
constexpr int64_t kFramesBetweenYields = 600;

EM_JS(void, ReportCheckpoint, (int frame, int elapsedMs, const char* stateHash, uint32_t random),
      { Module.reportCheckpoint(frame, elapsedMs, UTF8ToString(stateHash), random >>> 0); });

void ReportState(int64_t frame) {
  // 64 bits do not fit a JavaScript number; decimal text keeps every bit.
  char stateHash[24];
  std::snprintf(stateHash, sizeof stateHash, "%" PRIu64, HashSimulationState());
  ReportCheckpoint(static_cast<int>(frame), HeadlessClock().elapsedMs, stateHash, Rng15::State());
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

// Frames 1 to lastFrame of the 60 fps schedule, of which only those from
// firstDrawn on are drawn, as the capture tool draws a still; the last stays
// on the canvas. After each frame named in `checkpoints` the simulation hash
// and the random source's state go to the page. False without WebGL.
EMSCRIPTEN_KEEPALIVE bool QuorvaneScheduledRun(int lastFrame, int firstDrawn,
                                               const int32_t* checkpoints, int checkpointCount) {
  const char* error = nullptr;
  if (!OpenCanvasContext(PixelFormatRequest{}, true, &error)) {
    std::fprintf(stderr, "quorvane: %s\n", error);
    return false;
  }
  StartHeadlessRun(true);
  int next = 0;
  for (int64_t frame = 1; frame <= lastFrame; ++frame) {
    const bool drawn = frame >= firstDrawn;
    if (drawn) MakeCanvasContextCurrent();
    RunHeadlessFrame(ScheduledElapsedMs(frame, kFramesPerSecond), drawn);
    while (next < checkpointCount && checkpoints[next] <= frame) {
      if (checkpoints[next] == frame) ReportState(frame);
      ++next;
    }
    if (frame % kFramesBetweenYields == 0) emscripten_sleep(0);
  }
  return true;
}

}  // extern "C"
