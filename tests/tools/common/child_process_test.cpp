#include "tools/common/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

// Runs `script` under sh with the setup's streams but its output caught; the
// exit status as a shell gives it.
int RunShell(const std::string& script, ChildSetup setup, std::string& output) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return -1;
  setup.output = ends[1];
  pid_t pid = -1;
  std::string error;
  const bool started = StartChild({"sh", "-c", script}, setup, pid, error);
  close(ends[1]);
  char buffer[256];
  ssize_t count = 0;
  while ((count = read(ends[0], buffer, sizeof buffer)) > 0)
    output.append(buffer, static_cast<size_t>(count));
  close(ends[0]);
  return started ? ExitStatusOf(WaitForChild(pid)) : -1;
}

TEST(ToolsChildProcess, RunsInItsFolderWithItsEnvironmentAndStreams) {
  TempWorkingDirectory here;
  setenv("QUORVANE_KEPT", "ours", 1);
  setenv("QUORVANE_REPLACED", "ours", 1);
  ChildSetup setup;
  setup.folder = "/";
  setup.environment = {"QUORVANE_REPLACED=theirs", "QUORVANE_ADDED=new"};
  setup.input = kNullDevice;
  std::string output;
  EXPECT_EQ(RunShell("pwd; echo $QUORVANE_KEPT $QUORVANE_REPLACED $QUORVANE_ADDED; "
                     "env | grep -c QUORVANE_REPLACED; cat; exit 3",
                     setup, output),
            3);
  EXPECT_EQ(output, "/\nours theirs new\n1\n");
  unsetenv("QUORVANE_KEPT");
  unsetenv("QUORVANE_REPLACED");
}

TEST(ToolsChildProcess, SignalsAreAtTheirDefaultsInTheChildAndEndsAreReported) {
  // Ignored here (as the capture ignores SIGPIPE), yet the child can be stopped by each.
  signal(SIGTERM, SIG_IGN);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigprocmask(SIG_BLOCK, &blocked, nullptr);
  std::string output;
  EXPECT_EQ(RunShell("kill -TERM $$; sleep 5", {}, output), 128 + SIGTERM);
  EXPECT_EQ(RunShell("kill -INT $$; sleep 5", {}, output), 128 + SIGINT);
  sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
  signal(SIGTERM, SIG_DFL);

  pid_t pid = -1;
  std::string error;
  EXPECT_FALSE(StartChild({"quorvane-no-such-program"}, {}, pid, error));
  EXPECT_EQ(error, "quorvane-no-such-program was not found on PATH");
  EXPECT_EQ(pid, -1);
  EXPECT_FALSE(StartChild({"/nonexistent/program"}, {}, pid, error));
  EXPECT_NE(error.find("cannot start /nonexistent/program"), std::string::npos) << error;
}

}  // namespace
