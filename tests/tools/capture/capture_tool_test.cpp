// The capture program end to end: real EGL, real ffmpeg, read back by ffprobe
// and libpng, each run in a fresh folder holding the two asset files.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/capture/capture_fixture.h"
#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "tests/host/gl_surface.h"
#include "tests/tools/capture/tool_process.h"

namespace fs = std::filesystem;

namespace {

constexpr double kAacFrameSeconds = 1024.0 / 44100.0;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

Picture ReadPng(const std::string& path) {
  Picture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGBA;
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    picture.rgba.clear();
    return picture;
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

double MeanLevel(const Picture& picture) {
  double sum = 0.0;
  for (size_t i = 0; i < picture.rgba.size(); i += 4)
    sum += picture.rgba[i] + picture.rgba[i + 1] + picture.rgba[i + 2];
  return sum / (3.0 * static_cast<double>(picture.rgba.size() / 4));
}

TEST_F(CaptureTool, OneSecondHasSixtyFramesAndOneSecondOfMusicEveryTime) {
  for (const char* name : {"a.mp4", "b.mp4"}) {
    const ToolRun run = Capture({"--size", "320x180", "--to", "1", name});
    ASSERT_EQ(run.status, 0) << run.messages;
  }
  EXPECT_EQ(Probe("a.mp4", "v:0", "codec_name,pix_fmt,width,height,nb_read_frames"),
            "h264,320,180,yuv420p,60");
  EXPECT_NEAR(std::atof(Probe("a.mp4", "a:0", "duration").c_str()), 1.0, kAacFrameSeconds);
  EXPECT_EQ(Probe("a.mp4", "a:0", "sample_rate"), "44100");

  const std::string hashes = FrameHashes("a.mp4");
  EXPECT_GT(std::count(hashes.begin(), hashes.end(), '\n'), 60);
  EXPECT_EQ(hashes, FrameHashes("b.mp4"));
}

TEST_F(CaptureTool, FramesEqualTheHeadlessRunnersFullyDrawnFrames) {
  // Sparks (which draw from the random source) are on screen from 3.3 s.
  const ToolRun run =
      Capture({"--quiet", "--size", "160x90", "--from", "4", "--to", "4.05", "frames/"});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(Entries().count("frames"), 1u);

  const std::string here = fs::current_path();
  fs::current_path(folder);  // the runner reads TEX.tga from the working directory
  {
    const ScopedOffscreenSurface surface(160, 90);
    ASSERT_TRUE(surface.opened()) << surface.error();
    StartHeadlessRun(60);
    LoadTextureAtlas();
    for (int64_t k = 1; k <= 243; ++k) {
      RunNextFrame(RunSceneFrame);
      if (k < 241) continue;
      const Picture captured = ReadPng(folder + "/frames/frame_000" + std::to_string(k) + ".png");
      ASSERT_EQ(captured.width, 160) << k;
      EXPECT_TRUE(captured.rgba == surface.ReadPixels()) << "frame " << k;
    }
  }
  fs::current_path(here);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/frames"), fs::directory_iterator()), 3);
}

TEST_F(CaptureTool, TheTitleCardsComeUpAfter221Seconds) {
  const ToolRun run =
      Capture({"--quiet", "--size", "160x90", "--from", "221", "--to", "223", "cards/"});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/cards"), fs::directory_iterator()),
            120);
  // Frame 13261 is at 221.016 s: the fade is complete and the cards barely begun.
  const double faded = MeanLevel(ReadPng(folder + "/cards/frame_013261.png"));
  const double half = MeanLevel(ReadPng(folder + "/cards/frame_013290.png"));
  const double full = MeanLevel(ReadPng(folder + "/cards/frame_013380.png"));
  EXPECT_LT(faded, 1.0);
  EXPECT_GT(half, faded + 0.5);
  EXPECT_GT(full, half + 0.5);
}

TEST_F(CaptureTool, FailuresSayWhyAndLeaveNothingBehind) {
  ToolRun run = Capture({"--fps", "sixty", "out.mp4"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.messages.find("--fps: must be"), std::string::npos) << run.messages;

  std::ofstream(folder + "/a-file") << "not a folder";
  run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "a-file/out.mp4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("cannot write 'a-file/out.mp4': Not a directory"), std::string::npos)
      << run.messages;
  fs::remove(folder + "/a-file");

  // The folders made for the output go with a capture that fails.
  run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "new/deeper/out.mp4"},
                {"PATH=/nonexistent"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("ffmpeg was not found"), std::string::npos) << run.messages;
  EXPECT_EQ(Entries(), assetsOnly);

  run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "out.mp4"},
                {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("cannot render without a display"), std::string::npos)
      << run.messages;

  // ffmpeg refusing the job is reported as a failure, with its exit status.
  fs::create_directory(folder + "/bin");
  std::ofstream(folder + "/bin/ffmpeg") << "#!/bin/sh\ncat >/dev/null\nexit 1\n";
  fs::permissions(folder + "/bin/ffmpeg", fs::perms::owner_all);
  // More frames than the pipe holds, so the failure shows while frames are still flowing.
  run = Capture({"--quiet", "--size", "320x180", "--to", "1", "out.mp4"},
                {"PATH=" + folder + "/bin:" + std::getenv("PATH")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("ffmpeg failed with exit status 1"), std::string::npos)
      << run.messages;
  fs::remove_all(folder + "/bin");
  EXPECT_EQ(Entries(), assetsOnly);

  fs::create_directory(folder + "/full");
  fs::copy_file(kAssets + "/TEX.tga", folder + "/full/keep.tga");
  run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "full/"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("not empty"), std::string::npos) << run.messages;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/full"), fs::directory_iterator()), 1);
  fs::remove_all(folder + "/full");

  fs::remove(folder + "/TEX.tga");
  run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "out.mp4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("TEX.tga is not in this folder"), std::string::npos) << run.messages;
  EXPECT_EQ(Entries(), std::set<std::string>{"RX_muc.mp3"});
}

TEST_F(CaptureTool, WithoutTheMusicTheVideoIsSilentWithAWarning) {
  fs::remove(folder + "/RX_muc.mp3");
  const ToolRun run = Capture({"--quiet", "--size", "64x36", "--to", "0.5", "out.mp4"});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_NE(run.messages.find("warning: RX_muc.mp3 is not in this folder"), std::string::npos)
      << run.messages;
  EXPECT_EQ(Probe("out.mp4", "v:0", "nb_read_frames"), "30");
  EXPECT_EQ(Probe("out.mp4", "a", "codec_name"), "");
}

// Music that does not decode is treated as the real-time piece treats it: the
// run goes on silently. One warning, not a flood of decoder lines.
TEST_F(CaptureTool, MusicThatDoesNotDecodeGivesASilentVideoWithOneWarning) {
  const struct {
    const char* kind;
    const char* said;
  } cases[] = {{"random", "cannot be decoded as MP3"},
               {"empty", "cannot be decoded as MP3"},
               {"folder", "is not a regular file"},
               {"fifo", "is not a regular file"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string music = folder + "/RX_muc.mp3";
    fs::remove(music);
    const std::string kind = c.kind;
    if (kind == "random") {
      std::ofstream file(music, std::ios::binary);
      for (int i = 0; i < 100000; ++i) file.put(static_cast<char>((i * 7919 + i / 13) & 0xff));
    } else if (kind == "empty") {
      std::ofstream(music).close();
    } else if (kind == "folder") {
      fs::create_directory(music);
    } else {
      ASSERT_EQ(mkfifo(music.c_str(), 0600), 0);
    }
    const ToolRun run = Capture({"--quiet", "--size", "64x36", "--to", "0.5", "out.mp4"});
    ASSERT_EQ(run.status, 0) << run.messages;
    EXPECT_NE(run.messages.find(std::string("warning: RX_muc.mp3 ") + c.said), std::string::npos)
        << run.messages;
    EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), '\n'), 1) << run.messages;
    EXPECT_EQ(Probe("out.mp4", "v:0", "nb_read_frames"), "30");
    EXPECT_EQ(Probe("out.mp4", "a", "codec_name"), "");
    fs::remove(folder + "/out.mp4");
    fs::remove_all(music);
  }
}

TEST_F(CaptureTool, AnExistingOutputIsReplacedOnlyWithForce) {
  std::ofstream(folder + "/notes.mp4") << "not a capture";
  ToolRun run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "notes.mp4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("'notes.mp4' exists; give --force (-y) to replace it"),
            std::string::npos)
      << run.messages;
  std::ifstream kept(folder + "/notes.mp4");
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "not a capture");

  run = Capture({"--quiet", "-y", "--size", "64x36", "--to", "0.1", "notes.mp4"});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(Probe("notes.mp4", "v:0", "codec_name"), "h264");
}

TEST_F(CaptureTool, LeftoversOfAKilledCaptureAreRemovedByTheNextOne) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);  // a process id nobody has any more
  const std::string leftover = "out.mp4.part-" + std::to_string(child);
  std::ofstream(folder + "/" + leftover) << "half a video";
  const ToolRun run = Capture({"--quiet", "--size", "64x36", "--to", "0.1", "out.mp4"});
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_NE(run.messages.find("removed './" + leftover + "'"), std::string::npos) << run.messages;
  std::set<std::string> expected = assetsOnly;
  expected.insert("out.mp4");
  EXPECT_EQ(Entries(), expected);
}

// Ctrl-C, kill, a closed terminal or ssh session, and SIGQUIT all stop the
// capture cleanly, leaving nothing behind.
TEST_F(CaptureTool, StopSignalsEndCleanlyAndLeaveNoFile) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    SCOPED_TRACE(strsignal(signal));
    ToolProcess tool = StartTool(folder, {kTool, "--size", "320x180", "--to", "60", "out.mp4"});
    ASSERT_GT(tool.pid, 0);
    // The first progress line comes once frames are flowing to ffmpeg.
    const bool started = ReadUntil(tool, "%");
    if (started) kill(tool.pid, signal);
    const int status = FinishTool(tool);
    ASSERT_TRUE(started) << tool.messages;
    EXPECT_EQ(status, 128 + signal) << tool.messages;
    EXPECT_NE(tool.messages.find("stopped; nothing was written"), std::string::npos)
        << tool.messages;
    EXPECT_EQ(Entries(), assetsOnly);
  }
}

}  // namespace
