#pragma once

#include <csignal>
#include <cstdint>

// Ctrl-C, SIGTERM, a closed terminal or ssh session (SIGHUP) and SIGQUIT end
// a capture or a join cleanly: the signal is noted here and the work stops at
// its next check, removing what it had begun to write.
extern volatile std::sig_atomic_t captureStopSignal;

// What a run that a stop signal ended says.
inline constexpr const char* kStoppedMessage = "stopped; nothing was written";

// Catches the four stop signals into captureStopSignal, and ignores SIGPIPE,
// so that a dead ffmpeg shows up as a failed write. System calls interrupted
// by a stop signal are restarted; waits that must end at once poll instead.
void CatchStopSignals();

// Runs the headless run on to frame `last` undrawn, a few seconds of the
// piece at a time so that a stop signal is heard soon; false when one came.
bool RunUndrawnUnlessStopped(int64_t last);
