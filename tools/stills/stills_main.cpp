// quorvane-stills: renders chosen moments of the piece to PNG files, headless,
// on the 60 frames-per-second schedule: the picture at T seconds is the first
// frame at or after T, the frame the capture tool writes for that moment.

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/piece_facts.h"
#include "build_info.h"
#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/common/asset_search.h"
#include "tools/common/options.h"
#include "tools/common/png_file.h"
#include "tools/common/tool_report.h"

namespace {

constexpr int kMaxSide = 8192;

struct StillsOptions {
  int width = 0;
  int height = 0;
  std::string outDir;
  std::vector<double> seconds;
  bool force = false;
};

void DefineOptions(CLI::App& app, StillsOptions& options) {
  app.description(
      "Renders moments of quorvane to OUTDIR/still-<ms>ms.png, headless. The picture at T\n"
      "seconds is the first frame at or after T of the 60 fps schedule, the frame that\n"
      "quorvane-capture writes for that moment. Reads TEX.tga from the working directory\n"
      "or, where it is not there, from the installed data folder " +
      std::string(kInstalledDataDir) + ".");
  app.add_option("WIDTH", options.width, "picture width in pixels")
      ->required()
      ->check(WholeNumberFrom(1, kMaxSide));
  app.add_option("HEIGHT", options.height, "picture height in pixels")
      ->required()
      ->check(WholeNumberFrom(1, kMaxSide));
  app.add_option("OUTDIR", options.outDir, "folder for the PNG files")->required();
  app.add_option("SECONDS", options.seconds, "moments of the piece, 0 to 230")
      ->required()
      ->check(SecondsFrom(0.0, kSceneEndSeconds));
  app.add_flag("-y,--force", options.force, "replace stills that already exist");
  app.footer("Exit status: 0 done, 1 failed, 2 bad arguments.");
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Each moment's still in OUTDIR (made when missing), its path printed once
// written; nothing is drawn when one would replace a still without --force.
Result RenderStills(const StillsOptions& options) {
  std::vector<int64_t> frames;
  for (double seconds : options.seconds) frames.push_back(FrameShowing(seconds, kPieceFps));
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  auto StillPath = [&](int64_t frame) {
    return options.outDir + "/still-" +
           std::to_string(ScheduledElapsedMs(frame, kPieceFps)) + "ms.png";
  };
  for (int64_t frame : frames) {
    if (!options.force && Exists(StillPath(frame)))
      return Fail("'" + StillPath(frame) + "' exists; give --force to replace it");
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
    written = WritePngFile(StillPath(frame), pixels.data(), options.width, options.height);
    if (!written) break;
    std::printf("%s\n", StillPath(frame).c_str());
  }
  CloseOffscreenSurface();
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  SetToolName("quorvane-stills");
  StillsOptions options;
  CLI::App app{"", "quorvane-stills"};
  DefineOptions(app, options);
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);
  return ExitStatusAfter(RenderStills(options));
}
