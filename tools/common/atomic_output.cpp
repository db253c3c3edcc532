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

#include "base/parse_number.h"

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

Result MakeFolders(const std::string& folder, std::vector<std::string>& made) {
  for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string above = folder.substr(0, end);
    struct stat info {};
    if (stat(above.c_str(), &info) != 0) {
      if (errno != ENOENT || mkdir(above.c_str(), 0777) != 0)
        return Fail("cannot make the folder '" + above + "': " + Cause());
      made.push_back(above);
    }
    if (end == std::string::npos) return {};
  }
}

Result BeginAtomicOutput(const std::string& finalPath, bool folder, AtomicOutput& output,
                         std::vector<std::string>& removed) {
  output.finalPath = finalPath;
  output.folder = folder;
  output.madeFolders.clear();
  if (Result made = MakeFolders(FolderOf(finalPath), output.madeFolders); !made) {
    DiscardAtomicOutput(output);
    return made;
  }
  RemoveLeftovers(finalPath, removed);
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
    Result failed = Fail("cannot write '" + finalPath + "': " + Cause());
    output.tempPath.clear();
    DiscardAtomicOutput(output);
    return failed;
  }
  return {};
}

Result CommitAtomicOutput(AtomicOutput& output) {
  if (rename(output.tempPath.c_str(), output.finalPath.c_str()) != 0)
    return Fail("cannot rename '" + output.tempPath + "' to '" + output.finalPath +
                "': " + Cause());
  output.tempPath.clear();
  output.madeFolders.clear();
  return {};
}

void DiscardAtomicOutput(AtomicOutput& output) {
  if (!output.tempPath.empty()) {
    if (output.folder)
      RemoveFolderOfFiles(output.tempPath);
    else
      unlink(output.tempPath.c_str());
    output.tempPath.clear();
  }
  // Only while empty: something else may have come into them meanwhile.
  for (auto made = output.madeFolders.rbegin(); made != output.madeFolders.rend(); ++made)
    rmdir(made->c_str());
  output.madeFolders.clear();
}

Result WriteFileAtomically(const std::string& path, const StreamWriter& write) {
  AtomicOutput output;
  std::vector<std::string> removed;
  if (Result begun = BeginAtomicOutput(path, false, output, removed); !begun) return begun;
  std::FILE* stream = std::fopen(output.tempPath.c_str(), "wb");
  if (stream == nullptr) {
    Result failed = Fail("cannot write '" + path + "': " + Cause());
    DiscardAtomicOutput(output);
    return failed;
  }
  errno = 0;
  Result written = write(stream);
  // What stdio still holds reaches the disk here, so a full disk may show only now.
  if (written && (std::fflush(stream) != 0 || fsync(fileno(stream)) != 0))
    written = Fail("cannot write '" + path + "': " + Cause());
  if (std::fclose(stream) != 0 && written) written = Fail("cannot write '" + path + "': " + Cause());
  if (written) written = CommitAtomicOutput(output);
  if (!written) DiscardAtomicOutput(output);
  return written;
}
