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

Result MayWriteVideo(const std::string& path, bool force) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return {};
  if (S_ISDIR(info.st_mode))
    return Fail("'" + path + "' is a folder; give a file name ending in .mp4");
  if (!S_ISREG(info.st_mode)) return Fail("'" + path + "' exists and is not a regular file");
  if (!force) return Fail("'" + path + "' exists; give --force (-y) to replace it");
  return {};
}

Result MayWriteFrames(const std::string& path, bool force, bool& replaces) {
  replaces = false;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  if (!S_ISDIR(info.st_mode)) return Fail("'" + path + "' exists and is not a folder");
  bool empty = true;
  const bool onlyFrames = HoldsOnlyFrames(path, empty);
  if (empty) return {};
  if (!onlyFrames)
    return Fail("'" + path +
                "' is not empty and holds more than frames; give a new or empty folder");
  if (!force)
    return Fail("'" + path + "' is not empty; give --force (-y) to replace the frames in it");
  replaces = true;
  return {};
}

}  // namespace

OutputTarget::~OutputTarget() { DiscardOutput(*this); }

Result MayWriteOutput(OutputKind kind, const std::string& path, bool force) {
  bool replaces = false;
  return kind == OutputKind::kVideo ? MayWriteVideo(path, force)
                                    : MayWriteFrames(path, force, replaces);
}

Result PrepareOutput(OutputKind kind, const std::string& path, bool force, OutputTarget& target,
                     std::vector<std::string>& removed) {
  DiscardOutput(target);
  target.kind = kind;
  const bool video = kind == OutputKind::kVideo;
  Result allowed =
      video ? MayWriteVideo(path, force) : MayWriteFrames(path, force, target.replacesFrames);
  if (!allowed) return allowed;
  return BeginAtomicOutput(path, !video, target.output, removed);
}

void NoteLeftovers(const std::vector<std::string>& removed, const char* program) {
  for (const std::string& leftover : removed)
    ReportNote("removed '" + leftover + "', left over from a " + program + " that was killed");
}

Result PrepareOutputNotingLeftovers(OutputKind kind, const std::string& path, bool force,
                                    OutputTarget& target, const char* program) {
  std::vector<std::string> removed;
  Result prepared = PrepareOutput(kind, path, force, target, removed);
  NoteLeftovers(removed, program);
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

Result CommitOutput(OutputTarget& target) {
  // rename() replaces a file or an empty folder, so old frames go first, and
  // only if nothing else has come into their folder since the start.
  bool empty = true;
  if (target.replacesFrames && (!HoldsOnlyFrames(target.output.finalPath, empty) ||
                                !RemoveFolderOfFiles(target.output.finalPath)))
    return Fail("cannot replace the frames in '" + target.output.finalPath +
                "': " + std::strerror(errno));
  return CommitAtomicOutput(target.output);
}

void DiscardOutput(OutputTarget& target) { DiscardAtomicOutput(target.output); }
