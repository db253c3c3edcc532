#include "tools/capture/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/common/child_process.h"

namespace {

// Room for a few frames in flight, so the encoder and the drawing rarely wait on
// each other for a single write; the kernel may grant less, which only costs speed.
constexpr int kPipeBytes = 1 << 20;

}  // namespace

Result StartEncoder(const std::vector<std::string>& arguments, EncoderProcess& encoder) {
  ChildSetup setup;
  setup.ownGroup = true;
  Result started =
      StartChildWithPipe(arguments, setup, ChildPipe::kInput, encoder.pid, encoder.input);
  if (!started) return WithFfmpegHint(started);
  fcntl(encoder.input, F_SETPIPE_SZ, kPipeBytes);
  return {};
}

bool WriteToEncoder(const EncoderProcess& encoder, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t written = write(encoder.input, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

Result FinishEncoder(EncoderProcess& encoder) {
  if (encoder.input >= 0) close(encoder.input);
  encoder.input = -1;
  if (encoder.pid < 0) return Fail("ffmpeg was not running");
  const int status = WaitForChild(encoder.pid);
  encoder.pid = -1;
  return FfmpegEnded(status);
}

void KillEncoder(const EncoderProcess& encoder) {
  if (encoder.pid > 0) kill(encoder.pid, SIGKILL);
}

Result FfmpegEnded(int waitStatus) {
  if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) return {};
  if (WIFEXITED(waitStatus))
    return Fail("ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(waitStatus)));
  return Fail(std::string("ffmpeg was stopped by signal ") + strsignal(WTERMSIG(waitStatus)));
}

Result WithFfmpegHint(Result started) {
  if (started.error.find("not found on PATH") != std::string::npos)
    started.error += " (Debian: apt-get install ffmpeg)";
  return started;
}
