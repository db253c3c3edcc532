// quorvane-stills: renders chosen moments of the piece to PNG files, headless,
// on the 60 frames-per-second schedule: the picture at T seconds is the first
// frame at or after T, the frame the capture tool writes for that moment.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "base/piece_facts.h"
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

// Each moment's still in OUTDIR (made when missing), its path printed once
// written; nothing is drawn when one would replace a still without --force.
Result RenderStills(const StillsOptions& options) {
  const std::vector<int64_t> frames = StillFrames(options);
  for (int64_t frame : frames) {
    const std::string path = StillPath(options, frame);
    if (!options.force && Exists(path))
      return Fail("'" + path + "' exists; give --force to replace it");
  }

  std::string atlas;
  if (Result readable = FindReadableAsset("TEX.tga", atlas); !readable)
    ReportWarning(readable.error + "; textured passes draw untextured");
  if (Result opened = OpenOffscreenSurface(options.width, options.height); !opened)
    return Fail("cannot open an offscreen GL surface: " + opened.error);
  std::vector<unsigned char> pixels(static_cast<size_t>(options.width) * options.height * 4);
  StartHeadlessRun(kPieceFps);
  LoadTextureAtlas(atlas.c_str());
  Result written;
  for (int64_t frame : frames) {
    RunUpToFrame(frame, RunSceneFrame);
    ReadOffscreenPixels(pixels.data());
    const std::string path = StillPath(options, frame);
    written = WritePngFile(path, pixels.data(), options.width, options.height);
    if (!written) break;
    std::printf("%s\n", path.c_str());
  }
  CloseOffscreenSurface();
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  SetToolName("quorvane-stills");
  StillsOptions options;
  CLI::App app{"", "quorvane-stills"};
  DefineStillsOptions(app, options);
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);
  return ExitStatusAfter(RenderStills(options));
}
