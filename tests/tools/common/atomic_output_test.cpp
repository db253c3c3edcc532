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
  ASSERT_TRUE(BeginAtomicOutput("piece.mp4", false, output, removed));
  EXPECT_EQ(output.tempPath, "piece.mp4.part-" + std::to_string(getpid()));
  std::ofstream(output.tempPath) << "new";
  EXPECT_EQ(Text("piece.mp4"), "an older capture");
  ASSERT_TRUE(CommitAtomicOutput(output));
  EXPECT_EQ(Text("piece.mp4"), "new");

  // A folder of frames replaces an empty folder; a discarded one leaves nothing.
  fs::create_directory("frames");
  ASSERT_TRUE(BeginAtomicOutput("frames", true, output, removed));
  std::ofstream(output.tempPath + "/frame_000001.png") << "png";
  ASSERT_TRUE(CommitAtomicOutput(output));
  EXPECT_TRUE(fs::exists("frames/frame_000001.png"));
  ASSERT_TRUE(BeginAtomicOutput("more", true, output, removed));
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
  ASSERT_TRUE(BeginAtomicOutput("out.mp4", false, output, removed));
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
  EXPECT_EQ(WriteFileAtomically("notes.txt",
                                [](std::FILE* stream) {
                                  std::fputs("half", stream);
                                  return Fail("the writer gave up");
                                })
                .error,
            "the writer gave up");
  EXPECT_EQ(Entries(), std::set<std::string>{"notes.txt"});
  EXPECT_EQ(Text("notes.txt"), "keep me");

  ASSERT_TRUE(WriteFileAtomically("notes.txt", [](std::FILE* stream) {
    return std::fputs("new", stream) >= 0 ? Result{} : Fail("fputs failed");
  }));
  EXPECT_EQ(Text("notes.txt"), "new");
  EXPECT_EQ(Entries(), std::set<std::string>{"notes.txt"});
}

// The folders an output goes into are made when missing, kept with it once
// it is written, and gone again with it when it is not.
TEST(ToolsAtomicOutput, MissingFoldersAreMadeAndGoWithAFailedWrite) {
  TempWorkingDirectory folder;
  const auto fails = [](std::FILE*) { return Fail("full"); };
  const auto writes = [](std::FILE* stream) {
    return std::fputs("frames", stream) >= 0 ? Result{} : Fail("fputs failed");
  };
  EXPECT_FALSE(WriteFileAtomically("a/b/notes.txt", fails));
  EXPECT_TRUE(Entries().empty());
  ASSERT_TRUE(WriteFileAtomically("a/b/notes.txt", writes));
  EXPECT_EQ(Text("a/b/notes.txt"), "frames");

  // A folder that held something before stays; one that is a file fails.
  EXPECT_FALSE(WriteFileAtomically("a/c/notes.txt", fails));
  EXPECT_EQ(Entries(), std::set<std::string>{"a"});
  EXPECT_TRUE(fs::exists("a/b/notes.txt"));
  EXPECT_FALSE(fs::exists("a/c"));
  EXPECT_EQ(WriteFileAtomically("a/b/notes.txt/x", writes).error,
            "cannot write 'a/b/notes.txt/x': Not a directory");
}

}  // namespace
