#include "tools/common/atomic_output.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>

#include "tools/common/parse_number.h"

namespace {

constexpr const char* kPartMarker = ".part-";

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Cause() { return std::strerror(errno); }

// The writer's process id when `entry` is a temporary of `name`, else 0.
pid_t WriterOf(const std::string& entry, const std::string& name) {
  const std::string prefix = name + kPartMarker;
  if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) return 0;
  long long pid = 0;
  const std::string_view digits = std::string_view(entry).substr(prefix.size());
  if (!ParseWhole(digits, pid) || pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return 0;
  return static_cast<pid_t>(pid);
}

// A writer that is us can only be a dead run that had our process id.
bool WriterGone(pid_t pid) { return pid == getpid() || (kill(pid, 0) != 0 && errno == ESRCH); }

void RemoveLeftovers(const std::string& finalPath, std::vector<std::string>& removed) {
  const std::string folder = FolderOf(finalPath);
  const std::string name = NameOf(finalPath);
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return;
  std::vector<std::string> gone;
  while (const dirent* entry = readdir(listing)) {
    const pid_t pid = WriterOf(entry->d_name, name);
    if (pid != 0 && WriterGone(pid)) gone.push_back(folder + "/" + entry->d_name);
  }
  closedir(listing);
  for (const std::string& path : gone) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) continue;
    const bool done = S_ISDIR(info.st_mode) ? RemoveFolderOfFiles(path) : unlink(path.c_str()) == 0;
    if (done) removed.push_back(path);
  }
}

}  // namespace

bool RemoveFolderOfFiles(const std::string& path) {
  // Everything is looked at before anything goes, so that a folder holding a
  // link or a device somewhere is left whole.
  std::vector<std::string> files;
  std::vector<std::string> folders = {path};
  for (size_t next = 0; next < folders.size(); ++next) {
    DIR* listing = opendir(folders[next].c_str());
    if (listing == nullptr) return false;
    bool onlyFiles = true;
    while (const dirent* entry = readdir(listing)) {
      if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
      const std::string file = folders[next] + "/" + entry->d_name;
      struct stat info {};
      onlyFiles = onlyFiles && lstat(file.c_str(), &info) == 0 &&
                  (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode));
      (S_ISDIR(info.st_mode) ? folders : files).push_back(file);
    }
    closedir(listing);
    if (!onlyFiles) return false;
  }
  for (const std::string& file : files) unlink(file.c_str());
  bool removed = true;
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
    removed = rmdir(folder->c_str()) == 0 && removed;
  return removed;
}

bool BeginAtomicOutput(const std::string& finalPath, bool folder, AtomicOutput& output,
                       std::vector<std::string>& removed, std::string& error) {
  RemoveLeftovers(finalPath, removed);
  output.finalPath = finalPath;
  output.folder = folder;
  output.tempPath = finalPath + kPartMarker + std::to_string(getpid());
  const mode_t mask = umask(0);
  umask(mask);
  bool created = false;
  if (folder) {
    created = mkdir(output.tempPath.c_str(), 0777 & ~mask) == 0;
  } else {
    const int file =
        open(output.tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666 & ~mask);
    created = file >= 0;
    if (created) close(file);
  }
  if (!created) {
    error = "cannot write '" + finalPath + "': " + Cause();
    output.tempPath.clear();
  }
  return created;
}

bool CommitAtomicOutput(AtomicOutput& output, std::string& error) {
  if (rename(output.tempPath.c_str(), output.finalPath.c_str()) != 0) {
    error = "cannot rename '" + output.tempPath + "' to '" + output.finalPath + "': " + Cause();
    return false;
  }
  output.tempPath.clear();
  return true;
}

void DiscardAtomicOutput(AtomicOutput& output) {
  if (output.tempPath.empty()) return;
  if (output.folder)
    RemoveFolderOfFiles(output.tempPath);
  else
    unlink(output.tempPath.c_str());
  output.tempPath.clear();
}

bool WriteFileAtomically(const std::string& path, const StreamWriter& write, std::string& error) {
  AtomicOutput output;
  std::vector<std::string> removed;
  if (!BeginAtomicOutput(path, false, output, removed, error)) return false;
  std::FILE* stream = std::fopen(output.tempPath.c_str(), "wb");
  if (stream == nullptr) {
    error = "cannot write '" + path + "': " + Cause();
    DiscardAtomicOutput(output);
    return false;
  }
  errno = 0;
  bool written = write(stream, error);
  // What stdio still holds reaches the disk here, so a full disk may show only now.
  if (written && (std::fflush(stream) != 0 || fsync(fileno(stream)) != 0)) {
    error = "cannot write '" + path + "': " + Cause();
    written = false;
  }
  if (std::fclose(stream) != 0 && written) {
    error = "cannot write '" + path + "': " + Cause();
    written = false;
  }
  if (written && CommitAtomicOutput(output, error)) return true;
  DiscardAtomicOutput(output);
  return false;
}
