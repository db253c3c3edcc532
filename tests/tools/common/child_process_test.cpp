#include "tools/common/child_process.h"

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
  pid_t pid = -1;
  int reading = -1;
  if (!StartChildWithPipe({"sh", "-c", script}, setup, ChildPipe::kOutput, pid, reading))
    return -1;
  char buffer[256];
  ssize_t count = 0;
  while ((count = read(reading, buffer, sizeof buffer)) > 0)
    output.append(buffer, static_cast<size_t>(count));
  close(reading);
  return ExitStatusOf(WaitForChild(pid));
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
  EXPECT_EQ(StartChild({"quorvane-no-such-program"}, {}, pid).error,
            "quorvane-no-such-program was not found on PATH");
  EXPECT_EQ(pid, -1);
  const Result absent = StartChild({"/nonexistent/program"}, {}, pid);
  EXPECT_NE(absent.error.find("cannot start /nonexistent/program"), std::string::npos)
      << absent.error;
}

// What the child reads on a pipe is what was written, up to its end; a child
// that cannot start leaves no descriptor open.
TEST(ToolsChildProcess, APipeToTheChildCarriesEverythingAndClosesWithIt) {
  pid_t pid = -1;
  int writing = -1;
  ChildSetup setup;
  setup.output = kNullDevice;
  ASSERT_TRUE(StartChildWithPipe({"sh", "-c", "test \"$(cat)\" = frames"}, setup,
                                 ChildPipe::kInput, pid, writing));
  ASSERT_EQ(write(writing, "frames", 6), 6);
  close(writing);
  EXPECT_EQ(ExitStatusOf(WaitForChild(pid)), 0);

  const int next = dup(0);
  close(next);
  EXPECT_FALSE(StartChildWithPipe({"quorvane-no-such-program"}, {}, ChildPipe::kOutput, pid,
                                  writing));
  EXPECT_EQ(writing, -1);
  const int after = dup(0);
  close(after);
  EXPECT_EQ(after, next) << "a descriptor was left open";
}

}  // namespace
