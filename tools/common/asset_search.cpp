#include "tools/common/asset_search.h"

#include <sys/stat.h>

#include "build_info.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string FindAssetFile(const std::string& name, const std::string& installedDir) {
  if (Exists(name) || installedDir.empty()) return name;
  const std::string installed = installedDir + "/" + name;
  return Exists(installed) ? installed : name;
}

std::string FindAssetFile(const std::string& name) {
  return FindAssetFile(name, kInstalledDataDir);
}
