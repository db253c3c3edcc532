#pragma once

#include <string>

#include "tools/capture/capture_options.h"

// The capture is written under a temporary name beside the output and renamed
// to it only when complete, so an interrupted or failed run never leaves a
// half-written file under the name the user asked for.
struct OutputTarget {
  OutputKind kind = OutputKind::kVideo;
  std::string finalPath;
  std::string tempPath;  // the temporary file, or the temporary folder of frames
};

// Creates the temporary file or folder; false with `error` when the output
// cannot be written there.
bool PrepareOutput(const CaptureOptions& options, OutputTarget& target, std::string& error);

// Path of frame k's PNG inside the temporary folder.
std::string FramePath(const OutputTarget& target, long long k);

// Renames the temporary file or folder to the output name.
bool CommitOutput(OutputTarget& target, std::string& error);

// Removes the temporary file or folder and everything in it.
void DiscardOutput(OutputTarget& target);
