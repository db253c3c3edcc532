#include "tools/stills/stills_options.h"

#include <algorithm>

#include "base/piece_facts.h"
#include "build_info.h"
#include "host/frame_clock.h"
#include "host/headless_run.h"

namespace {

constexpr int kMaxSide = 8192;

}  // namespace

void DefineStillsOptions(CLI::App& app, StillsOptions& options) {
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

std::vector<int64_t> StillFrames(const StillsOptions& options) {
  std::vector<int64_t> frames;
  for (double seconds : options.seconds)
    frames.push_back(FrameShowing(seconds, kPieceFps));
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return frames;
}

std::string StillPath(const StillsOptions& options, int64_t frame) {
  return options.outDir + "/still-" +
         std::to_string(ScheduledElapsedMs(frame, kPieceFps)) + "ms.png";
}
