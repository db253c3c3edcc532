#pragma once

#include "tools/capture/capture_options.h"
#include "tools/capture/frame_schedule.h"

// --jobs N: the range drawn as N chunks by N worker processes of this program
// at once, the cores shared out among them (rasteriser and encoder threads),
// and their segments joined into the output, the music muxed once. One
// progress display for all; a stop signal or a failed worker stops every
// worker and leaves nothing behind. Returns the exit status as RunCapture.
int RunJobs(const CaptureOptions& options, FrameSpan range);
