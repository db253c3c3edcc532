#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "base/result.h"

// ffmpeg in a process of its own, reading raw frames on its standard input.
// It gets a process group of its own, so that Ctrl-C on the terminal reaches
// only the capture, which then decides what becomes of the half-written file.
struct EncoderProcess {
  pid_t pid = -1;
  int input = -1;  // write end of the pipe to ffmpeg's standard input
};

// Starts `arguments[0]` (searched on PATH) with the rest as its arguments.
Result StartEncoder(const std::vector<std::string>& arguments, EncoderProcess& encoder);

// Writes all of `data`, retrying interrupted and partial writes. False when the
// reader has gone (ffmpeg stopped) or the pipe failed.
bool WriteToEncoder(const EncoderProcess& encoder, const void* data, size_t size);

// Closes the pipe, so ffmpeg finishes the file, and waits for it. Success when
// it exited with status 0; otherwise the failure says how it ended.
Result FinishEncoder(EncoderProcess& encoder);

// Stops ffmpeg at once, without finishing the file; a write blocked on the
// pipe then fails. FinishEncoder still reaps it.
void KillEncoder(const EncoderProcess& encoder);

// How an ffmpeg with `waitStatus` ended: success for exit status 0, or
// "ffmpeg failed with exit status N" / "ffmpeg was stopped by signal NAME".
Result FfmpegEnded(int waitStatus);

// A failure to start ffmpeg, with where to get it when it is not installed.
Result WithFfmpegHint(Result started);
