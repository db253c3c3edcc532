// Frames per second of drawing alone (no read-back, no output) over a range
// of the piece, the baseline that the capture's overhead is measured against.
#include <chrono>
#include <cstdio>

#include "base/piece_facts.h"
#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/capture/frame_schedule.h"
#include "tools/common/options.h"
#include "tools/common/tool_report.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-draw-speed");
  int width = 1280;
  int height = 720;
  double from = 0.0;
  double to = 0.0;
  CLI::App app{
      "Frames per second of drawing alone over [FROM, TO] of the piece, in the folder\n"
      "of TEX.tga.",
      "quorvane-draw-speed"};
  app.add_option("WIDTH", width)->required()->check(WholeNumberFrom(1, kLargestPictureSide));
  app.add_option("HEIGHT", height)->required()->check(WholeNumberFrom(1, kLargestPictureSide));
  app.add_option("FROM", from)->required()->check(SecondsFrom(0.0, kPieceSeconds));
  app.add_option("TO", to)->required()->check(SecondsFrom(0.0, kPieceSeconds));
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);
  int64_t first = 0;
  int64_t last = 0;
  if (!RecordedFrames(from, to, kPieceFps, first, last)) {
    ReportBadArguments("the range holds no frame");
    return kExitBadArguments;
  }
  if (Result opened = OpenOffscreenSurface(width, height); !opened)
    return ExitStatusAfter(opened);
  StartHeadlessRun(kPieceFps);
  LoadTextureAtlas();
  RunUpToFrame(first - 1, RunSceneFrame);
  FinishOffscreenFrame();
  const auto start = std::chrono::steady_clock::now();
  for (int64_t k = first; k <= last; ++k) {
    RunNextFrame(RunSceneFrame);
    FinishOffscreenFrame();  // as a present would, so each frame is really drawn
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int64_t frames = last - first + 1;
  std::printf("drawing alone: %lld frames of %dx%d in %.2f s: %.2f fps\n",
              static_cast<long long>(frames), width, height, seconds,
              static_cast<double>(frames) / seconds);
  CloseOffscreenSurface();
  return kExitDone;
}
