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

// Whether the overwriting rule lets `path` be written; false with `error`.
bool MayWriteOutput(OutputKind kind, const std::string& path, bool force, std::string& error);

// Checks the output against the overwriting rule and creates the temporary
// file or folder; `removed` names left-overs of killed runs that were
// cleared away. False with `error` when the output may or cannot be written.
bool PrepareOutput(OutputKind kind, const std::string& path, bool force, OutputTarget& target,
                   std::vector<std::string>& removed, std::string& error);
// PrepareOutput, each left-over it cleared away reported as a note: "left
// over from a `program` that was killed".
bool PrepareOutputNotingLeftovers(OutputKind kind, const std::string& path, bool force,
                                  OutputTarget& target, const char* program, std::string& error);

// "frame_000042.png": frame k's file name in a folder of frames.
std::string FrameFileName(long long k);
// Path of frame k's PNG inside the temporary folder.
std::string FramePath(const OutputTarget& target, long long k);

// Puts the output under its name, replacing what --force allowed.
bool CommitOutput(OutputTarget& target, std::string& error);

// Removes the temporary file or folder and everything in it.
void DiscardOutput(OutputTarget& target);
