#include "tools/capture/capture_assets.h"

#include "tools/common/asset_search.h"

Result FindCaptureAtlas(std::string& path) {
  Result readable = FindReadableAsset(kAtlasFile, path);
  if (!readable)
    readable.error += ": run quorvane-capture where TEX.tga and RX_muc.mp3 are (build/)";
  return readable;
}
