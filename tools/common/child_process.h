#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

#include "base/result.h"

// Programs started by the tools (ffmpeg, the capture's workers, sbatch) and
// by their tests (the tools themselves), and waited for.

// What a standard stream of the child is when no descriptor is given for it.
inline constexpr int kInherit = -1;     // ours
inline constexpr int kNullDevice = -2;  // /dev/null

struct ChildSetup {
  std::string folder;                    // working folder; empty: ours
  std::vector<std::string> environment;  // "NAME=value", added to ours or replacing it
  int input = kInherit;                  // or a descriptor to put on the child's 0
  int output = kInherit;                 // ... on its 1
  int errors = kInherit;                 // ... on its 2
  bool ownGroup = false;                 // out of reach of the terminal's Ctrl-C
};

// Starts arguments[0], searched on PATH when it has no '/', with the rest as
// its arguments. The child starts with SIGPIPE and the stop signals at their
// defaults and none blocked, whatever this process does with them. Fails
// ("NAME was not found on PATH", or the cause) when it cannot start.
Result StartChild(const std::vector<std::string>& arguments, const ChildSetup& setup, pid_t& pid);

// Which standard stream of the child a pipe joins to this process.
enum class ChildPipe { kInput, kOutput };

// StartChild with a pipe from this process to the child's standard input
// (kInput: `ours` is the write end) or from its standard output (kOutput:
// `ours` is the read end); `setup`'s descriptor for that stream is set aside.
// Both ends are closed on exec; on failure nothing is left open.
Result StartChildWithPipe(const std::vector<std::string>& arguments, ChildSetup setup,
                          ChildPipe pipe, pid_t& pid, int& ours);

// Waits for the child to end, through interruptions; its wait status.
int WaitForChild(pid_t pid);

// Waits for the child to end unless `stop` (set by a signal handler) is set
// first: true with its wait status when it ended, false, the child still
// running, when `stop` was set. The stop is seen within a twentieth of a
// second, whether or not the signal restarts system calls.
bool WaitForChildUnless(pid_t pid, const volatile std::sig_atomic_t& stop, int& waitStatus);

// The absolute path of the program running in this process, so that it can
// start itself, or programs installed beside it.
std::string ThisProgram();

// The exit status a shell would give: the child's own, or 128 + signal.
int ExitStatusOf(int waitStatus);
