// Measures a soundtrack as a mastering engineer would, and prints the figures
// by which the piece's music is judged.
#include <string>
#include <vector>

#include "tools/common/options.h"
#include "tools/common/tool_report.h"
#include "tools/music_gen/mp3_reader.h"
#include "tools/music_gen/report_figures.h"
#include "tools/music_gen/swarm_drive.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-music-report");
  std::string input;
  CLI::App app{
      "Measures the soundtrack: loudness (EBU R128, libebur128), true peak, bands, "
      "sections, how it follows the swell and the swarm, where the picture's "
      "changes are heard.",
      "quorvane-music-report"};
  app.add_option("MP3", input, "the soundtrack, RX_muc.mp3")->required();
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);

  std::vector<float> left, right;
  if (Result read = ReadMp3(input, left, right); !read) return ExitStatusAfter(read);
  if (left.empty()) return ExitStatusAfter(Fail(input + " holds no sound"));
  const std::vector<float> spread = SwarmSpreadByFrame(kFadeStartSeconds);
  PrintFigures(MeasureSoundtrack(left, right, spread), stdout);
  return kExitDone;
}
