#include "tools/capture/capture_assets.h"

#include <unistd.h>

#include "tools/capture/output_target.h"

std::string MissingAtlas() {
  if (access(kAtlasFile, R_OK) == 0) return {};
  return std::string(kAtlasFile) +
         " is not in this folder: run quorvane-capture where TEX.tga and RX_muc.mp3 are "
         "(build/)";
}

bool ReadyToHandOut(const CaptureOptions& options, std::string& error) {
  error = MissingAtlas();
  return error.empty() && MayWriteOutput(options.kind, options.output, options.force, error);
}
