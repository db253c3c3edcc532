// quorvane-stills: renders chosen moments of the piece to PNG files, headless,
// on the 60 frames-per-second schedule: the picture at T seconds is the first
// frame at or after T, the frame the capture tool writes for that moment.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/common/asset_search.h"
#include "tools/common/png_file.h"
#include "tools/common/tool_report.h"
#include "tools/stills/stills_options.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetToolName("quorvane-stills");
  StillsOptions options;
  CLI::App app{"", "quorvane-stills"};
  DefineStillsOptions(app, options);
  if (const int status = ParseCommandLine(app, argc, argv); status >= 0) return status;

  const std::vector<int64_t> frames = StillFrames(options);
  for (int64_t frame : frames) {
    const std::string path = StillPath(options, frame);
    if (!options.force && Exists(path))
      return ReportFailure("'" + path + "' exists; give --force to replace it");
  }

  const std::string atlas = FindAssetFile("TEX.tga");
  if (!Exists(atlas)) ReportWarning("no TEX.tga here; textured passes draw untextured");
  const char* surfaceError = nullptr;
  if (!OpenOffscreenSurface(options.width, options.height, &surfaceError))
    return ReportFailure(std::string("cannot open an offscreen GL surface: ") + surfaceError);
  std::vector<unsigned char> pixels(static_cast<size_t>(options.width) * options.height * 4);
  StartHeadlessRun(kStillsFramesPerSecond);
  LoadTextureAtlas(atlas.c_str());
  int status = kExitDone;
  for (int64_t frame : frames) {
    RunUpToFrame(frame, RunSceneFrame);
    ReadOffscreenPixels(pixels.data());
    std::string error;
    const std::string path = StillPath(options, frame);
    if (!WritePngFile(path, pixels.data(), options.width, options.height, error)) {
      status = ReportFailure(error);
      break;
    }
    std::printf("%s\n", path.c_str());
  }
  CloseOffscreenSurface();
  return status;
}
