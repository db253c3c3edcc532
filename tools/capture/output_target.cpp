#include "tools/capture/output_target.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/common/tool_report.h"

namespace {

constexpr const char* kFramePattern = "frame_%06lld.png";

// True when every entry is a regular file named as the capture names frames;
// `empty` tells whether there was any.
bool HoldsOnlyFrames(const std::string& path, bool& empty) {
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) return false;
  bool onlyFrames = true;
  empty = true;
  while (const dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    empty = false;
    long long k = 0;
    char tail = 0;
    struct stat info {};
    const bool frame = std::sscanf(entry->d_name, "frame_%6lld.pn%c", &k, &tail) == 2 &&
                       tail == 'g' && std::strlen(entry->d_name) == 16 &&
                       lstat((path + "/" + entry->d_name).c_str(), &info) == 0 &&
                       S_ISREG(info.st_mode);
    onlyFrames = onlyFrames && frame;
  }
  closedir(folder);
  return onlyFrames;
}

bool MayWriteVideo(const std::string& path, bool force, std::string& error) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return true;
  if (S_ISDIR(info.st_mode)) {
    error = "'" + path + "' is a folder; give a file name ending in .mp4";
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = "'" + path + "' exists and is not a regular file";
    return false;
  }
  if (!force) error = "'" + path + "' exists; give --force (-y) to replace it";
  return force;
}

bool MayWriteFrames(const std::string& path, bool force, bool& replaces, std::string& error) {
  replaces = false;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return true;
  if (!S_ISDIR(info.st_mode)) {
    error = "'" + path + "' exists and is not a folder";
    return false;
  }
  bool empty = true;
  const bool onlyFrames = HoldsOnlyFrames(path, empty);
  if (empty) return true;
  if (!onlyFrames) {
    error = "'" + path + "' is not empty and holds more than frames; give a new or empty folder";
    return false;
  }
  if (!force) {
    error = "'" + path + "' is not empty; give --force (-y) to replace the frames in it";
    return false;
  }
  replaces = true;
  return true;
}

}  // namespace

OutputTarget::~OutputTarget() { DiscardOutput(*this); }

bool MayWriteOutput(OutputKind kind, const std::string& path, bool force, std::string& error) {
  bool replaces = false;
  return kind == OutputKind::kVideo ? MayWriteVideo(path, force, error)
                                    : MayWriteFrames(path, force, replaces, error);
}

bool PrepareOutput(OutputKind kind, const std::string& path, bool force, OutputTarget& target,
                   std::vector<std::string>& removed, std::string& error) {
  DiscardOutput(target);
  target.kind = kind;
  const bool video = kind == OutputKind::kVideo;
  const bool allowed = video ? MayWriteVideo(path, force, error)
                             : MayWriteFrames(path, force, target.replacesFrames, error);
  return allowed && BeginAtomicOutput(path, !video, target.output, removed, error);
}

bool PrepareOutputNotingLeftovers(OutputKind kind, const std::string& path, bool force,
                                  OutputTarget& target, const char* program, std::string& error) {
  std::vector<std::string> removed;
  const bool prepared = PrepareOutput(kind, path, force, target, removed, error);
  for (const std::string& leftover : removed)
    ReportNote("removed '" + leftover + "', left over from a " + program + " that was killed");
  return prepared;
}

std::string FrameFileName(long long k) {
  char name[32];
  std::snprintf(name, sizeof name, kFramePattern, k);
  return name;
}

std::string FramePath(const OutputTarget& target, long long k) {
  return target.output.tempPath + "/" + FrameFileName(k);
}

bool CommitOutput(OutputTarget& target, std::string& error) {
  // rename() replaces a file or an empty folder, so old frames go first, and
  // only if nothing else has come into their folder since the start.
  bool empty = true;
  if (target.replacesFrames && (!HoldsOnlyFrames(target.output.finalPath, empty) ||
                                !RemoveFolderOfFiles(target.output.finalPath))) {
    error =
        "cannot replace the frames in '" + target.output.finalPath + "': " + std::strerror(errno);
    return false;
  }
  return CommitAtomicOutput(target.output, error);
}

void DiscardOutput(OutputTarget& target) { DiscardAtomicOutput(target.output); }
