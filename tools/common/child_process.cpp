#include "tools/common/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

extern char** environ;

namespace {

// Ours, with each of `extra` added or put in place of the variable of its name.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    bool replaced = false;
    for (const std::string& added : extra) {
      const size_t nameEnd = added.find('=') + 1;
      replaced = replaced || entry.compare(0, nameEnd, added, 0, nameEnd) == 0;
    }
    if (!replaced) variables.push_back(entry);
  }
  variables.insert(variables.end(), extra.begin(), extra.end());
  return variables;
}

void PutStream(posix_spawn_file_actions_t& actions, int given, int target) {
  if (given == kNullDevice)
    posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_RDWR, 0);
  else if (given >= 0)
    posix_spawn_file_actions_adddup2(&actions, given, target);
}

}  // namespace

Result StartChild(const std::vector<std::string>& arguments, const ChildSetup& setup, pid_t& pid) {
  pid = -1;
  if (arguments.empty()) return Fail("no program to start");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!setup.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, setup.folder.c_str());
  PutStream(actions, setup.input, STDIN_FILENO);
  PutStream(actions, setup.output, STDOUT_FILENO);
  PutStream(actions, setup.errors, STDERR_FILENO);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&defaults, signal);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (setup.ownGroup) {
    posix_spawnattr_setpgroup(&attributes, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&attributes, flags);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> variables;
  std::vector<char*> envp;
  if (!setup.environment.empty()) {
    variables = MergedEnvironment(setup.environment);
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
  }
  const int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(),
                                  envp.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result == 0) return {};
  pid = -1;
  if (result == ENOENT && arguments[0].find('/') == std::string::npos)
    return Fail(arguments[0] + " was not found on PATH");
  return Fail("cannot start " + arguments[0] + ": " + std::strerror(result));
}

Result StartChildWithPipe(const std::vector<std::string>& arguments, ChildSetup setup,
                          ChildPipe pipe, pid_t& pid, int& ours) {
  pid = -1;
  ours = -1;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0)
    return Fail(std::string("cannot create a pipe: ") + std::strerror(errno));
  const bool input = pipe == ChildPipe::kInput;
  const int theirs = input ? ends[0] : ends[1];
  (input ? setup.input : setup.output) = theirs;
  Result started = StartChild(arguments, setup, pid);
  close(theirs);
  ours = input ? ends[1] : ends[0];
  if (!started) {
    close(ours);
    ours = -1;
  }
  return started;
}

int WaitForChild(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

bool WaitForChildUnless(pid_t pid, const volatile std::sig_atomic_t& stop, int& waitStatus) {
  constexpr timespec kPause = {0, 50'000'000};
  for (;;) {
    const pid_t ended = waitpid(pid, &waitStatus, WNOHANG);
    if (ended == pid || (ended < 0 && errno != EINTR)) return true;
    if (stop != 0) return false;
    nanosleep(&kPause, nullptr);
  }
}

std::string ThisProgram() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

int ExitStatusOf(int waitStatus) {
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}
