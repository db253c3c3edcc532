#include "host/asset_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

Result Unreadable(const char* path) {
  if (errno == ENOENT) return Fail(std::string("'") + path + "' is missing");
  return Fail(std::string("cannot read '") + path + "': " + std::strerror(errno));
}

}  // namespace

Result OpenAssetFile(const char* path, std::FILE*& file) {
#ifdef _WIN32
  // Windows refuses folders itself, and a file in the working directory
  // cannot be a pipe.
  file = std::fopen(path, "rb");
  return file != nullptr ? Result{} : Unreadable(path);
#else
  // Without O_NONBLOCK, opening a FIFO waits for a writer. The type is taken
  // from the open descriptor, so the file cannot change between test and use.
  file = nullptr;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Unreadable(path);
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return Fail(std::string("'") + path + "' is not a regular file");
  }
  file = fdopen(fd, "rb");
  if (file != nullptr) return {};
  Result failed = Unreadable(path);
  close(fd);
  return failed;
#endif
}
