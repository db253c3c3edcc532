// The stills tool's command line on any arguments: it must parse or refuse,
// never throw past the parser, and what it accepts must be pictures of a
// drawable size and moments of the piece, each still named once inside
// OUTDIR.
#include <algorithm>
#include <cmath>

#include "base/piece_facts.h"
#include "host/frame_clock.h"
#include "tests/support/fuzz_arguments.h"
#include "tests/support/fuzz_target.h"
#include "tools/stills/stills_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzArguments arguments = SplitArguments("quorvane-stills", data, size);
  StillsOptions options;
  CLI::App app{"", "quorvane-stills"};
  DefineStillsOptions(app, options);
  bool help = false;
  if (!ParseArguments(app, arguments.argc(), arguments.argv.data(), help) || help) return 0;
  FuzzExpect(
      options.width >= 1 && options.width <= 8192 && options.height >= 1 && options.height <= 8192,
      "a picture size outside 1 to 8192 was accepted");
  FuzzExpect(!options.seconds.empty(), "no moment, yet accepted");
  for (double seconds : options.seconds)
    FuzzExpect(std::isfinite(seconds) && seconds >= 0.0 && seconds <= kSceneEndSeconds,
               "a moment outside the piece was accepted");
  const std::vector<int64_t> frames = StillFrames(options);
  const int64_t lastFrame = static_cast<int64_t>(kSceneEndSeconds) * kPieceFps;
  FuzzExpect(!frames.empty() && frames.front() >= 1 && frames.back() <= lastFrame,
             "a still of a frame outside the piece");
  FuzzExpect(std::adjacent_find(frames.begin(), frames.end(), std::greater_equal<int64_t>()) ==
                 frames.end(),
             "the frames are not in order, each once");
  std::vector<std::string> paths;
  for (int64_t frame : frames) paths.push_back(StillPath(options, frame));
  FuzzExpect(std::adjacent_find(paths.begin(), paths.end()) == paths.end(),
             "two frames would be written to one file");
  return 0;
}
