#pragma once

#include <cstdint>

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/frame_schedule.h"
#include "tools/chunks/chunk_options.h"

// --jobs N: the range drawn as N chunks by N worker processes of this program
// at once, the cores shared out among them (rasteriser and encoder threads),
// and their segments joined into the output, the music muxed once. One
// progress display for all; a stop signal or a failed worker stops every
// worker and leaves nothing behind. Fails as RunCapture does.
Result RunJobs(const CaptureOptions& options, const ChunkOptions& chunks, FrameSpan range);

// A worker's side: tells the run it works for how many frames it has handed
// over, one number a line on standard output.
void TellParent(int64_t frames);
