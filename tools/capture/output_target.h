#pragma once

#include <string>
#include <vector>

#include "tools/capture/capture_options.h"
#include "tools/common/atomic_output.h"

// The capture's output, written atomically (tools/common/atomic_output.h).
// An existing output is replaced only with --force, and then only once the
// new one is complete: a video file, or a folder holding nothing but frames.
// What is not committed goes with the target.
struct OutputTarget {
  OutputTarget() = default;
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;
  ~OutputTarget();

  OutputKind kind = OutputKind::kVideo;
  AtomicOutput output;
  bool replacesFrames = false;  // an existing folder of frames goes at the commit
};

// Whether the overwriting rule lets `path` be written.
Result MayWriteOutput(OutputKind kind, const std::string& path, bool force);

// Checks the output against the overwriting rule and creates the temporary
// file or folder (and the folders it goes into, when missing); `removed`
// names left-overs of killed runs that were cleared away. Fails when the
// output may not or cannot be written.
Result PrepareOutput(OutputKind kind, const std::string& path, bool force, OutputTarget& target,
                     std::vector<std::string>& removed);
// PrepareOutput, each left-over it cleared away reported as a note: "left
// over from a `program` that was killed".
Result PrepareOutputNotingLeftovers(OutputKind kind, const std::string& path, bool force,
                                    OutputTarget& target, const char* program);
// The same notes for left-overs cleared by any other writer.
void NoteLeftovers(const std::vector<std::string>& removed, const char* program);

// "frame_000042.png": frame k's file name in a folder of frames.
std::string FrameFileName(long long k);
// Path of frame k's PNG inside the temporary folder.
std::string FramePath(const OutputTarget& target, long long k);

// Puts the output under its name, replacing what --force allowed.
Result CommitOutput(OutputTarget& target);

// Removes the temporary file or folder and everything in it.
void DiscardOutput(OutputTarget& target);
