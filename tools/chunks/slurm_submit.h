#pragma once

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/frame_schedule.h"
#include "tools/chunks/chunk_options.h"

// --slurm N: the range as N chunks on a Slurm cluster. Writes two job scripts
// into the segments folder and submits a job array, one task per chunk whose
// segment is not there whole and drawn as asked, and a join job that runs
// once every task has succeeded (and is cancelled when one has not). Run from
// the folder that holds the assets, with this program, quorvane-join and the
// output in folders every node sees. Prints "chunks ID" (when any chunk is to
// be drawn) and "join ID" on standard output.
Result SubmitToSlurm(const CaptureOptions& options, const ChunkOptions& chunks, FrameSpan range);
