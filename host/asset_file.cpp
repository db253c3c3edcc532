#include "host/asset_file.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::FILE* OpenAssetFile(const char* path) {
#ifdef _WIN32
  // Windows refuses folders itself, and a file in the working directory
  // cannot be a pipe.
  return std::fopen(path, "rb");
#else
  // Without O_NONBLOCK, opening a FIFO waits for a writer. The type is taken
  // from the open descriptor, so the file cannot change between test and use.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) close(fd);
  return file;
#endif
}
