#include <csignal>
#include <cstdio>
#include <string>

#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"
#include "tools/capture/frame_schedule.h"
#include "tools/common/tool_report.h"

namespace {

void OnStopSignal(int signal) { captureStopSignal = signal; }

}  // namespace

int main(int argc, char** argv) {
  SetToolName("quorvane-capture");
  CaptureOptions options;
  CLI::App app{"", "quorvane-capture"};
  DefineCaptureOptions(app, options);
  if (const int status = ParseCommandLine(app, argc, argv); status >= 0) return status;
  std::string error;
  if (!CheckCaptureOptions(options, error)) return ReportBadArguments(error);
  int64_t first = 0;
  int64_t last = 0;
  if (!RecordedFrames(options.fromSeconds, options.toSeconds, options.fps, first, last)) {
    char range[160];
    std::snprintf(range, sizeof range, "--from %g --to %g holds no frame at %d fps",
                  options.fromSeconds, options.toSeconds, options.fps);
    return ReportBadArguments(range);
  }

  // A closed terminal or ssh session (SIGHUP) and SIGQUIT end the capture as
  // cleanly as Ctrl-C and SIGTERM: nothing half-written is left behind.
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(stop, &action, nullptr);
  // A dead ffmpeg shows up as a failed write, reported with its exit status.
  std::signal(SIGPIPE, SIG_IGN);
  return RunCapture(options, first, last);
}
