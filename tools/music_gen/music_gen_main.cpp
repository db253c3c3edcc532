// Synthesises the soundtrack and writes it as an MP3.
#include <string>
#include <thread>
#include <vector>

#include "tools/common/options.h"
#include "tools/common/tool_report.h"
#include "tools/music_gen/automation.h"
#include "tools/music_gen/mixdown.h"
#include "tools/music_gen/mp3_writer.h"
#include "tools/music_gen/performance.h"
#include "tools/music_gen/swarm_drive.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-music-gen");
  std::string output;
  CLI::App app{"Synthesises the soundtrack of quorvane, in step with its script and its swarm.",
               "quorvane-music-gen"};
  app.add_option("OUTPUT", output, "the soundtrack, an MP3")->required();
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);

  // The swarm runs on the second core while the score is played.
  std::vector<float> spread;
  std::thread swarm([&spread] { spread = SwarmSpreadByFrame(kFadeStartSeconds); });
  const TempoMap& map = PieceTempoMap();
  const Score score = ComposeScore(map);
  const Automation automation = BuildAutomation(map, score, kPieceFrames);
  MixBuses main, cards;
  // What plays before the picture is black, and what plays under the title cards.
  ResizeBuses(main, 0, FrameOf(kCardsStartSeconds));
  ResizeBuses(cards, FrameOf(kFadeStartSeconds), kPieceFrames - FrameOf(kFadeStartSeconds));
  RenderScore(score, map, automation, main, cards);
  swarm.join();
  std::vector<float> left, right;
  const MixCurves curves = {WidthFromSpread(spread, kPieceFrames),
                            LevelRideDb(map, automation, kPieceFrames), TiltDb(automation)};
  MixDown(main, cards, curves, kPieceFrames, left, right);
  return ExitStatusAfter(WriteMp3(output, left, right));
}
