// quorvane-join: puts the segments that quorvane-capture --chunk drew (on one
// machine or on many) together into the video or folder of frames one run
// of their range would have written.
#include <string>
#include <vector>

#include "tools/capture/stop_signal.h"
#include "tools/chunks/join_options.h"
#include "tools/common/tool_report.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-join");
  JoinRequest request;
  std::string output;
  CLI::App app{"", "quorvane-join"};
  DefineJoinOptions(app, request, output);
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);
  if (Result named = ClassifyOutput(output, request.kind, request.output); !named) {
    ReportBadArguments(named.error);
    return kExitBadArguments;
  }
  CatchStopSignals();
  const Result joined = JoinSegments(request);
  return ExitStatusAfter(joined, captureStopSignal);
}
