#pragma once

#include <cstdint>
#include <functional>

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/frame_schedule.h"
#include "tools/capture/output_target.h"

// What the caller of a render adds to it: how the finished output goes under
// its name (a chunk's segment with its manifest), and who else hears how
// many frames have been handed over.
struct RenderSteps {
  // Given the complete output and the simulation's state hash once the first
  // frame has run; empty: CommitOutput.
  std::function<Result(OutputTarget& target, uint64_t simulationHash)> commit;
  void (*framesHandedOver)(int64_t frames) = nullptr;
};

// Renders the frames `drawn` of the piece to the output: a video, with the
// music unless it is a chunk's segment, or PNG frames. Fails, saying why, when
// it cannot, and when a stop signal (captureStopSignal) ended it ("stopped;
// nothing was written"); nothing is left behind unless it succeeded.
Result RunCapture(const CaptureOptions& options, FrameSpan drawn, const RenderSteps& steps = {});
