#include "tools/capture/stop_signal.h"

#include <algorithm>
#include <initializer_list>

#include "host/headless_run.h"

volatile std::sig_atomic_t captureStopSignal = 0;

namespace {

void OnStopSignal(int signal) { captureStopSignal = signal; }

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(stop, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

bool RunUndrawnUnlessStopped(int64_t last) {
  constexpr int64_t kFramesBetweenChecks = 600;
  while (HeadlessFrame() < last) {
    if (captureStopSignal != 0) return false;
    RunUpToFrame(std::min(last, HeadlessFrame() + kFramesBetweenChecks), kUndrawn);
  }
  return true;
}
