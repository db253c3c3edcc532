#pragma once

#include <string>
#include <vector>

#include "tools/capture/capture_options.h"
#include "tools/common/atomic_output.h"

// The capture's output, written atomically (tools/common/atomic_output.h).
// An existing output is replaced only with --force, and then only once the
// new one is complete: a video file, or a folder holding nothing but frames.
struct OutputTarget {
  OutputKind kind = OutputKind::kVideo;
  AtomicOutput output;
  bool replacesFrames = false;  // an existing folder of frames goes at the commit
};

// Checks the output against the overwriting rule and creates the temporary
// file or folder; `removed` names left-overs of killed runs that were
// cleared away. False with `error` when the output may or cannot be written.
bool PrepareOutput(const CaptureOptions& options, OutputTarget& target,
                   std::vector<std::string>& removed, std::string& error);

// Path of frame k's PNG inside the temporary folder.
std::string FramePath(const OutputTarget& target, long long k);

// Puts the output under its name, replacing what --force allowed.
bool CommitOutput(OutputTarget& target, std::string& error);

// Removes the temporary file or folder and everything in it.
void DiscardOutput(OutputTarget& target);
