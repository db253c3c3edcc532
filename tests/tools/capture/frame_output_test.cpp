// The pieces that move frames out of the process: the writer thread, the
// encoder process and the temporary output.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/capture/encoder_process.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/output_target.h"

namespace fs = std::filesystem;

namespace {

TEST(CaptureFrameWriter, WritesInOrderAndReleasesSlots) {
  std::vector<int64_t> written;
  FrameWriter writer([&written](const unsigned char*, int64_t k) {
    written.push_back(k);
    return Result{};
  });
  const unsigned char pixels[4] = {};
  for (int64_t k = 1; k <= 50; ++k) {
    const int slot = static_cast<int>(k % 3);
    writer.WaitForSlot(slot);
    writer.Queue(slot, pixels, k);
  }
  EXPECT_TRUE(writer.Finish());
  ASSERT_EQ(written.size(), 50u);
  for (int64_t k = 1; k <= 50; ++k) EXPECT_EQ(written[k - 1], k);
}

TEST(CaptureFrameWriter, AFailureStopsWritingWithoutBlockingTheDrawingThread) {
  std::vector<int64_t> written;
  FrameWriter writer([&written](const unsigned char*, int64_t k) {
    written.push_back(k);
    return k < 3 ? Result{} : Fail("disk full");
  });
  const unsigned char pixels[4] = {};
  for (int64_t k = 1; k <= 20; ++k) {
    const int slot = static_cast<int>(k % 3);
    // Once the writer has failed and ended, a wait on a queued slot must still return.
    writer.WaitForSlot(slot);
    writer.Queue(slot, pixels, k);
  }
  EXPECT_EQ(writer.Finish().error, "disk full");
  EXPECT_EQ(writer.Failure().error, "disk full");
  EXPECT_EQ(written, (std::vector<int64_t>{1, 2, 3}));
}

// A stopped capture does not wait for frames nobody will keep.
TEST(CaptureFrameWriter, GoingAwayDropsWhatIsStillQueued) {
  std::atomic<int> written = 0;
  const unsigned char pixels[4] = {};
  {
    FrameWriter writer([&written](const unsigned char*, int64_t) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ++written;
      return Result{};
    });
    for (int slot = 0; slot < 3; ++slot) writer.Queue(slot, pixels, slot + 1);
  }
  EXPECT_LE(written, 1);
}

TEST(CaptureEncoderProcess, ReportsHowTheChildEnded) {
  EncoderProcess missing;
  EXPECT_EQ(StartEncoder({"quorvane-no-such-encoder"}, missing).error,
            "quorvane-no-such-encoder was not found on PATH (Debian: apt-get install ffmpeg)");
  EXPECT_EQ(missing.input, -1);

  // The child reads everything, then fails.
  EncoderProcess failing;
  ASSERT_TRUE(StartEncoder({"sh", "-c", "cat >/dev/null; exit 3"}, failing));
  EXPECT_EQ(getpgid(failing.pid), failing.pid);  // out of reach of the terminal's Ctrl-C
  const std::vector<unsigned char> frame(1 << 20, 7);
  EXPECT_TRUE(WriteToEncoder(failing, frame.data(), frame.size()));
  EXPECT_EQ(FinishEncoder(failing).error, "ffmpeg failed with exit status 3");

  // A child that stops reading makes writes fail instead of killing us by SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  EncoderProcess quitting;
  ASSERT_TRUE(StartEncoder({"true"}, quitting));
  bool failed = false;
  for (int i = 0; i < 64 && !failed; ++i)
    failed = !WriteToEncoder(quitting, frame.data(), frame.size());
  EXPECT_TRUE(failed);
  EXPECT_TRUE(FinishEncoder(quitting));

  EncoderProcess killed;
  ASSERT_TRUE(StartEncoder({"sleep", "30"}, killed));
  KillEncoder(killed);
  const Result ended = FinishEncoder(killed);
  EXPECT_NE(ended.error.find("ffmpeg was stopped by signal"), std::string::npos) << ended.error;
}

class CaptureOutputTarget : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvane-output-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Text(const std::string& name) const {
    std::ifstream file(folder + "/" + name);
    std::string text;
    std::getline(file, text);
    return text;
  }
  bool Prepare(OutputKind kind, const std::string& name, bool force, OutputTarget& target) {
    std::vector<std::string> removed;
    const Result prepared = PrepareOutput(kind, folder + "/" + name, force, target, removed);
    error = prepared.error;
    return static_cast<bool>(prepared);
  }
  std::string folder;
  std::string error;
};

TEST_F(CaptureOutputTarget, AnExistingVideoIsReplacedOnlyWithForceAndOnlyWhenDone) {
  std::ofstream(folder + "/piece.mp4") << "an older capture";
  OutputTarget target;
  EXPECT_FALSE(Prepare(OutputKind::kVideo, "piece.mp4", false, target));
  EXPECT_NE(error.find("exists; give --force (-y)"), std::string::npos) << error;
  EXPECT_EQ(Entries(), std::vector<std::string>{"piece.mp4"});

  ASSERT_TRUE(Prepare(OutputKind::kVideo, "piece.mp4", true, target)) << error;
  std::ofstream(target.output.tempPath) << "new";
  EXPECT_EQ(Text("piece.mp4"), "an older capture");
  ASSERT_TRUE(CommitOutput(target));
  EXPECT_EQ(Text("piece.mp4"), "new");

  ASSERT_TRUE(Prepare(OutputKind::kVideo, "piece.mp4", true, target)) << error;
  DiscardOutput(target);
  EXPECT_EQ(Text("piece.mp4"), "new");
  EXPECT_EQ(Entries(), std::vector<std::string>{"piece.mp4"});

  fs::create_directory(folder + "/clip.mp4");
  EXPECT_FALSE(Prepare(OutputKind::kVideo, "clip.mp4", true, target));
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
}

TEST_F(CaptureOutputTarget, FramesGoToANewOrEmptyFolderOrReplaceOldFramesWithForce) {
  OutputTarget target;
  fs::create_directory(folder + "/frames");
  ASSERT_TRUE(Prepare(OutputKind::kFrames, "frames", false, target)) << error;
  std::ofstream(FramePath(target, 7)) << "png";
  ASSERT_TRUE(CommitOutput(target));
  EXPECT_TRUE(fs::exists(folder + "/frames/frame_000007.png"));

  EXPECT_FALSE(Prepare(OutputKind::kFrames, "frames", false, target));
  EXPECT_NE(error.find("not empty; give --force (-y)"), std::string::npos) << error;
  ASSERT_TRUE(Prepare(OutputKind::kFrames, "frames", true, target)) << error;
  std::ofstream(FramePath(target, 9)) << "png";
  EXPECT_TRUE(fs::exists(folder + "/frames/frame_000007.png"));  // until the new ones are done
  ASSERT_TRUE(CommitOutput(target));
  EXPECT_FALSE(fs::exists(folder + "/frames/frame_000007.png"));
  EXPECT_TRUE(fs::exists(folder + "/frames/frame_000009.png"));

  // A folder with anything but frames in it is never emptied.
  std::ofstream(folder + "/frames/notes.txt") << "mine";
  EXPECT_FALSE(Prepare(OutputKind::kFrames, "frames", true, target));
  EXPECT_NE(error.find("holds more than frames"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(folder + "/frames/notes.txt"));

  ASSERT_TRUE(Prepare(OutputKind::kFrames, "more", false, target)) << error;
  std::ofstream(FramePath(target, 1)) << "png";
  DiscardOutput(target);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"frames"}));
}

}  // namespace
