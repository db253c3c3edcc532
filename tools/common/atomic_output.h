#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"

// Outputs are written under a temporary name beside the final one and renamed
// over it only when complete, so that a failed or interrupted write never
// leaves a half-written file under the name asked for. The temporary name,
// "<final>.part-<pid>", says whose it is: a left-over one from a run killed
// outright (SIGKILL, power loss) is recognised by the next run writing the
// same output and removed, once the process that wrote it is gone. The
// folders the output goes into are made when missing, and removed again with
// an output that is discarded.
struct AtomicOutput {
  std::string finalPath;
  std::string tempPath;  // empty once committed or discarded
  bool folder = false;
  std::vector<std::string> madeFolders;  // outermost first
};

// Makes `folder` and those above it that are missing, naming in `made` the
// ones it made, outermost first.
Result MakeFolders(const std::string& folder, std::vector<std::string>& made);

// Creates the temporary file (empty) or folder, after making the folders it
// goes into and removing the left-overs of dead runs; `removed` names them.
Result BeginAtomicOutput(const std::string& finalPath, bool folder, AtomicOutput& output,
                         std::vector<std::string>& removed);
// Renames the temporary over the final name; rename(2) replaces a file or an
// empty folder in one step.
Result CommitAtomicOutput(AtomicOutput& output);
// Removes the temporary, the files a temporary folder holds, and the folders
// made for it that are empty.
void DiscardAtomicOutput(AtomicOutput& output);

// Removes a folder that holds only regular files and folders of them; false
// when it holds anything else (a link, a device) or cannot be removed.
bool RemoveFolderOfFiles(const std::string& path);

// A whole file written through stdio under a temporary name, flushed to disk
// and renamed over `path`: `write` fills the stream, failing with its reason.
// Errors name their cause, e.g. "No space left on device".
using StreamWriter = std::function<Result(std::FILE* stream)>;
Result WriteFileAtomically(const std::string& path, const StreamWriter& write);
