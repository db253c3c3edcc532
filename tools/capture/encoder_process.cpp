#include "tools/capture/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// Room for a few frames in flight, so the encoder and the drawing rarely wait on
// each other for a single write; the kernel may grant less, which only costs speed.
constexpr int kPipeBytes = 1 << 20;

int Reap(EncoderProcess& encoder) {
  int status = 0;
  while (waitpid(encoder.pid, &status, 0) < 0 && errno == EINTR) {
  }
  encoder.pid = -1;
  return status;
}

}  // namespace

bool StartEncoder(const std::vector<std::string>& arguments, EncoderProcess& encoder,
                  std::string& error) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGHUP);
  sigaddset(&defaults, SIGQUIT);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const int result =
      posix_spawnp(&encoder.pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(ends[0]);
  if (result != 0) {
    close(ends[1]);
    encoder.pid = -1;
    if (result == ENOENT)
      error = arguments[0] + " was not found on PATH (Debian: apt-get install ffmpeg)";
    else
      error = "cannot start " + arguments[0] + ": " + std::strerror(result);
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
  const int status = Reap(encoder);
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
