#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Outputs are written under a temporary name beside the final one and renamed
// over it only when complete, so that a failed or interrupted write never
// leaves a half-written file under the name asked for. The temporary name,
// "<final>.part-<pid>", says whose it is: a left-over one from a run killed
// outright (SIGKILL, power loss) is recognised by the next run writing the
// same output and removed, once the process that wrote it is gone.
struct AtomicOutput {
  std::string finalPath;
  std::string tempPath;  // empty once committed or discarded
  bool folder = false;
};

// Creates the temporary file (empty) or folder, after removing the left-overs
// of dead runs; `removed` names them. False with `error` when it cannot.
bool BeginAtomicOutput(const std::string& finalPath, bool folder, AtomicOutput& output,
                       std::vector<std::string>& removed, std::string& error);
// Renames the temporary over the final name; rename(2) replaces a file or an
// empty folder in one step.
bool CommitAtomicOutput(AtomicOutput& output, std::string& error);
// Removes the temporary, and the files a temporary folder holds.
void DiscardAtomicOutput(AtomicOutput& output);

// Removes a folder that holds only regular files and folders of them; false
// when it holds anything else (a link, a device) or cannot be removed.
bool RemoveFolderOfFiles(const std::string& path);

// A whole file written through stdio under a temporary name, flushed to disk
// and renamed over `path`: `write` fills the stream and returns false (with
// `error`) when it fails. Errors name their cause, e.g. "No space left on device".
using StreamWriter = std::function<bool(std::FILE* stream, std::string& error)>;
bool WriteFileAtomically(const std::string& path, const StreamWriter& write, std::string& error);
