// Synthesises the soundtrack and writes it as an MP3.
#include <string>
#include <vector>

#include "tools/common/options.h"
#include "tools/common/tool_report.h"
#include "tools/music_gen/mixdown.h"
#include "tools/music_gen/mp3_writer.h"
#include "tools/music_gen/score.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-music-gen");
  std::string output;
  CLI::App app{"Synthesises the soundtrack of quorvane, in step with its script.",
               "quorvane-music-gen"};
  app.add_option("OUTPUT", output, "the soundtrack, an MP3")->required();
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);

  MixBuses main, outro;
  ResizeBuses(main, kPieceFrames);
  ResizeBuses(outro, kPieceFrames);
  RenderScore(main, outro);
  std::vector<float> left, right;
  // -1.5 dBFS leaves room for the encoder's small overshoots.
  MixDown(main, outro, 0.84f, left, right);
  return ExitStatusAfter(WriteMp3(output, left, right));
}
