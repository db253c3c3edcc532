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

bool StartEncoder(const std::vector<std::string>& arguments, EncoderProcess& encoder,
                  std::string& error) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
  ChildSetup setup;
  setup.input = ends[0];
  setup.ownGroup = true;
  const bool started = StartChild(arguments, setup, encoder.pid, error);
  close(ends[0]);
  if (!started) {
    close(ends[1]);
    if (error.find("not found on PATH") != std::string::npos)
      error += " (Debian: apt-get install ffmpeg)";
    return false;
  }
  encoder.input = ends[1];
  return true;
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

bool FinishEncoder(EncoderProcess& encoder, std::string& error) {
  if (encoder.input >= 0) close(encoder.input);
  encoder.input = -1;
  if (encoder.pid < 0) return false;
  const int status = WaitForChild(encoder.pid);
  encoder.pid = -1;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  if (WIFEXITED(status))
    error = "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status));
  else
    error = std::string("ffmpeg was stopped by signal ") + strsignal(WTERMSIG(status));
  return false;
}

void KillEncoder(const EncoderProcess& encoder) {
  if (encoder.pid > 0) kill(encoder.pid, SIGKILL);
}
