#pragma once

#include <csignal>
#include <cstdint>

#include "tools/capture/capture_options.h"

// Set by the SIGINT/SIGTERM handler; the capture stops at the next frame.
extern volatile std::sig_atomic_t captureStopSignal;

// Renders frames first..last of the piece to the output. Returns the exit
// status: 0 when the output is complete under its name, 1 on failure,
// 128 + signal when stopped by captureStopSignal; nothing is left behind
// unless it is 0.
int RunCapture(const CaptureOptions& options, int64_t first, int64_t last);
