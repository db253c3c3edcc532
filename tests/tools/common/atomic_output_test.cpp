#include "tools/common/atomic_output.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Entries() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(".")) names.insert(entry.path().filename());
  return names;
}

std::string Text(const std::string& path) {
  std::ifstream file(path);
  std::string text;
  std::getline(file, text);
  return text;
}

// A process id that no process has any more.
pid_t DeadProcessId() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(ToolsAtomicOutput, TheFinalNameAppearsOnlyWhenCommitted) {
  TempWorkingDirectory folder;
  std::ofstream("piece.mp4") << "an older capture";
  AtomicOutput output;
  std::vector<std::string> removed;
  std::string error;
  ASSERT_TRUE(BeginAtomicOutput("piece.mp4", false, output, removed, error)) << error;
  EXPECT_EQ(output.tempPath, "piece.mp4.part-" + std::to_string(getpid()));
  std::ofstream(output.tempPath) << "new";
  EXPECT_EQ(Text("piece.mp4"), "an older capture");
  ASSERT_TRUE(CommitAtomicOutput(output, error)) << error;
  EXPECT_EQ(Text("piece.mp4"), "new");

  // A folder of frames replaces an empty folder; a discarded one leaves nothing.
  fs::create_directory("frames");
  ASSERT_TRUE(BeginAtomicOutput("frames", true, output, removed, error)) << error;
  std::ofstream(output.tempPath + "/frame_000001.png") << "png";
  ASSERT_TRUE(CommitAtomicOutput(output, error)) << error;
  EXPECT_TRUE(fs::exists("frames/frame_000001.png"));
  ASSERT_TRUE(BeginAtomicOutput("more", true, output, removed, error)) << error;
  std::ofstream(output.tempPath + "/frame_000001.png") << "png";
  DiscardAtomicOutput(output);
  EXPECT_EQ(Entries(), (std::set<std::string>{"frames", "piece.mp4"}));
  EXPECT_TRUE(removed.empty());
}

TEST(ToolsAtomicOutput, LeftoversOfDeadRunsGoAndNothingElseIsTouched) {
  TempWorkingDirectory folder;
  const std::string dead = "out.mp4.part-" + std::to_string(DeadProcessId());
  const std::string deadFrames = "out.mp4.part-" + std::to_string(DeadProcessId());
  const std::string living = "out.mp4.part-" + std::to_string(getppid());
  std::ofstream(dead) << "half a video";
  fs::create_directory(deadFrames);
  std::ofstream(deadFrames + "/frame_000001.png") << "png";
  for (const char* other : {"out.mp4.part-12x", "out.mp4.partial", "other.mp4.part-1"})
    std::ofstream(other) << "not ours";
  std::ofstream(living) << "another run writing right now";

  AtomicOutput output;
  std::vector<std::string> removed;
  std::string error;
  ASSERT_TRUE(BeginAtomicOutput("out.mp4", false, output, removed, error)) << error;
  DiscardAtomicOutput(output);
  EXPECT_EQ(std::set<std::string>(removed.begin(), removed.end()),
            (std::set<std::string>{"./" + dead, "./" + deadFrames}));
  EXPECT_EQ(Entries(), (std::set<std::string>{"out.mp4.part-12x", "out.mp4.partial",
                                              "other.mp4.part-1", living}));
}

// A run's folder of chunks holds folders of frames; a link anywhere in it
// keeps the whole folder, so that nothing it points at can be reached.
TEST(ToolsAtomicOutput, FoldersOfFoldersGoWholeOrNotAtAll) {
  TempWorkingDirectory folder;
  fs::create_directories("run/chunk-1");
  fs::create_directories("run/chunk-2/deeper");
  std::ofstream("run/chunk-1.json") << "{}";
  std::ofstream("run/chunk-1/frame_000001.png") << "png";
  std::ofstream("run/chunk-2/deeper/frame_000002.png") << "png";
  std::ofstream("keep.txt") << "mine";
  fs::create_symlink("../../../keep.txt", "run/chunk-2/deeper/link");
  EXPECT_FALSE(RemoveFolderOfFiles("run"));
  EXPECT_TRUE(fs::exists("run/chunk-1/frame_000001.png"));
  EXPECT_TRUE(fs::exists("run/chunk-1.json"));
  fs::remove("run/chunk-2/deeper/link");
  EXPECT_TRUE(RemoveFolderOfFiles("run"));
  EXPECT_EQ(Entries(), std::set<std::string>{"keep.txt"});
}

TEST(ToolsAtomicOutput, AFailedWriteLeavesNeitherNameAndSaysWhy) {
  TempWorkingDirectory folder;
  std::ofstream("notes.txt") << "keep me";
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(
      "notes.txt",
      [](std::FILE* stream, std::string& why) {
        std::fputs("half", stream);
        why = "the writer gave up";
        return false;
      },
      error));
  EXPECT_EQ(error, "the writer gave up");
  EXPECT_EQ(Entries(), std::set<std::string>{"notes.txt"});
  EXPECT_EQ(Text("notes.txt"), "keep me");

  EXPECT_FALSE(WriteFileAtomically(
      "no/such/folder/notes.txt", [](std::FILE*, std::string&) { return true; }, error));
  EXPECT_EQ(error, "cannot write 'no/such/folder/notes.txt': No such file or directory");

  ASSERT_TRUE(WriteFileAtomically(
      "notes.txt", [](std::FILE* stream, std::string&) { return std::fputs("new", stream) >= 0; },
      error))
      << error;
  EXPECT_EQ(Text("notes.txt"), "new");
  EXPECT_EQ(Entries(), std::set<std::string>{"notes.txt"});
}

}  // namespace
