#include "tools/capture/output_target.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

mode_t CreationMask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// Entries of a folder other than . and ..; -1 when it cannot be read.
int CountEntries(const std::string& path) {
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
  }
  closedir(folder);
  return count;
}

std::string Describe(const std::string& path) {
  return "cannot write '" + path + "': " + std::strerror(errno);
}

}  // namespace

bool PrepareOutput(const CaptureOptions& options, OutputTarget& target, std::string& error) {
  target.kind = options.kind;
  target.finalPath = options.output;
  std::vector<char> pattern(options.output.begin(), options.output.end());
  const char suffix[] = ".partXXXXXX";
  pattern.insert(pattern.end(), suffix, suffix + sizeof suffix);

  struct stat info {};
  const bool exists = stat(options.output.c_str(), &info) == 0;
  if (options.kind == OutputKind::kVideo) {
    if (exists && S_ISDIR(info.st_mode)) {
      error = "'" + options.output + "' is a folder; give a file name ending in .mp4";
      return false;
    }
    const int file = mkstemp(pattern.data());
    if (file < 0) {
      error = Describe(options.output);
      return false;
    }
    fchmod(file, 0666 & ~CreationMask());
    close(file);
  } else {
    if (exists && !S_ISDIR(info.st_mode)) {
      error = "'" + options.output + "' exists and is not a folder";
      return false;
    }
    if (exists && CountEntries(options.output) != 0) {
      error = "'" + options.output + "' is not empty; give a new or empty folder for the frames";
      return false;
    }
    if (mkdtemp(pattern.data()) == nullptr) {
      error = Describe(options.output);
      return false;
    }
    chmod(pattern.data(), 0777 & ~CreationMask());
  }
  target.tempPath = pattern.data();
  return true;
}

std::string FramePath(const OutputTarget& target, long long k) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%06lld.png", k);
  return target.tempPath + name;
}

bool CommitOutput(OutputTarget& target, std::string& error) {
  // rename() replaces a file, or an empty folder, in one step.
  if (rename(target.tempPath.c_str(), target.finalPath.c_str()) != 0) {
    error = "cannot rename '" + target.tempPath + "' to '" + target.finalPath +
            "': " + std::strerror(errno);
    return false;
  }
  target.tempPath.clear();
  return true;
}

void DiscardOutput(OutputTarget& target) {
  if (target.tempPath.empty()) return;
  if (target.kind == OutputKind::kFrames) {
    if (DIR* folder = opendir(target.tempPath.c_str())) {
      while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
          unlink((target.tempPath + "/" + entry->d_name).c_str());
      }
      closedir(folder);
    }
    rmdir(target.tempPath.c_str());
  } else {
    unlink(target.tempPath.c_str());
  }
  target.tempPath.clear();
}
