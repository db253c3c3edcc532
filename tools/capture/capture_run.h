#pragma once

#include "tools/capture/capture_options.h"
#include "tools/capture/frame_schedule.h"

// Renders the frames `drawn` of the piece to the output. A chunk (--chunk)
// is a segment of `range`: video alone, with its manifest beside it. Returns
// the exit status: 0 when the output is complete under its name, 1 on
// failure, 128 + signal when stopped by captureStopSignal; nothing is left
// behind unless it is 0.
int RunCapture(const CaptureOptions& options, FrameSpan range, FrameSpan drawn);
