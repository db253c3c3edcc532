// quorvane-join: puts the segments that quorvane-capture --chunk drew (on one
// machine or on many) together into the video or folder of frames one run
// of their range would have written.
#include <string>
#include <vector>

#include "tools/capture/join_options.h"
#include "tools/capture/stop_signal.h"
#include "tools/common/tool_report.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-join");
  JoinRequest request;
  std::string output;
  CLI::App app{"", "quorvane-join"};
  DefineJoinOptions(app, request, output);
  if (const int status = ParseCommandLine(app, argc, argv); status >= 0) return status;
  std::string error;
  if (!ClassifyOutput(output, request.kind, request.output, error))
    return ReportBadArguments(error);
  CatchStopSignals();
  return JoinSegments(request);
}
