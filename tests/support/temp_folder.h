#pragma once

#include <string>
#include <vector>

// The whole of `bytes` as the file at `path`; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// A fresh temporary folder made the working directory for the test's
// lifetime; the previous working directory and the folder's removal follow.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory();
  ~TempWorkingDirectory();
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string previous_;
  std::string path_;
};
