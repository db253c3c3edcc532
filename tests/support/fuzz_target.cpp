#include "tests/support/fuzz_target.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/support/fuzz_arguments.h"

void FuzzExpect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::abort();
}

const std::string& FuzzInputFile(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("quorvane-fuzz-input", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  FuzzExpect(fd >= 0, "cannot make a file in memory for the input");
  FuzzExpect(ftruncate(fd, 0) == 0, "cannot empty the input file");
  for (size_t done = 0; done < size;) {
    const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    FuzzExpect(wrote > 0, "cannot write the input file");
    done += static_cast<size_t>(wrote);
  }
  return path;
}

FuzzArguments SplitArguments(const char* program, const uint8_t* data, size_t size,
                             size_t maxWords) {
  FuzzArguments arguments;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t at = 0; at <= text.size() && arguments.words.size() < maxWords;) {
    const size_t end = std::min(text.find('\0', at), text.size());
    arguments.words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  if (size == 0) arguments.words.clear();
  arguments.argv.push_back(program);
  for (const std::string& word : arguments.words) arguments.argv.push_back(word.c_str());
  return arguments;
}
