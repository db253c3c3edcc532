#include "tools/common/asset_search.h"

#include <sys/stat.h>

#include "build_info.h"
#include "host/asset_file.h"

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

Result FindReadableAsset(const std::string& name, std::string& path) {
  path = FindAssetFile(name);
  if (!Exists(path))
    return Fail(name + " is not in this folder nor in " + kInstalledDataDir);
  std::FILE* file = nullptr;
  Result opened = OpenAssetFile(path.c_str(), file);
  if (file != nullptr) std::fclose(file);
  return opened;
}
