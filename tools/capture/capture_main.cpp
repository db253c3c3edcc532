#include <csignal>
#include <cstdio>
#include <string>

#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"
#include "tools/capture/frame_schedule.h"

namespace {

void OnStopSignal(int signal) { captureStopSignal = signal; }

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "quorvane-capture: %s\nTry 'quorvane-capture --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(CaptureUsage(), stdout);
    return 0;
  }
  int64_t first = 0;
  int64_t last = 0;
  if (!RecordedFrames(options.fromSeconds, options.toSeconds, options.fps, first, last)) {
    std::fprintf(stderr, "quorvane-capture: --from %g --to %g holds no frame at %d fps\n",
                 options.fromSeconds, options.toSeconds, options.fps);
    return 2;
  }

  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A dead ffmpeg shows up as a failed write, reported with its exit status.
  std::signal(SIGPIPE, SIG_IGN);
  return RunCapture(options, first, last);
}
