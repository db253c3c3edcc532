#include "tools/capture/capture_assets.h"

#include <unistd.h>

#include "build_info.h"
#include "tools/capture/output_target.h"
#include "tools/common/asset_search.h"

std::string MissingAtlas() {
  if (access(FindAssetFile(kAtlasFile).c_str(), R_OK) == 0) return {};
  return std::string(kAtlasFile) + " is not in this folder nor in " + kInstalledDataDir +
         ": run quorvane-capture where TEX.tga and RX_muc.mp3 are (build/)";
}

bool ReadyToHandOut(const CaptureOptions& options, std::string& error) {
  error = MissingAtlas();
  return error.empty() && MayWriteOutput(options.kind, options.output, options.force, error);
}
