#include "tools/capture/stop_signal.h"

#include <initializer_list>

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
