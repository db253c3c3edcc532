// A capture in chunks, joined, against one run of the same range: the chunk
// and --jobs runs of quorvane-capture and quorvane-join, end to end.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/capture/capture_fixture.h"
#include "tools/chunks/segment_manifest.h"

namespace fs = std::filesystem;

namespace {

// 121 frames from 3 s on (sparks, which draw from the random source, come at
// 3.3 s): two and three chunks are uneven.
const std::vector<std::string> kRange = {"--quiet", "--size",   "64x36",  "--crf",
                                         "0",       "--frames", "181-301"};

std::vector<std::string> With(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  const std::string one((std::istreambuf_iterator<char>(first)), {});
  const std::string two((std::istreambuf_iterator<char>(second)), {});
  return !one.empty() && one == two;
}

// Processes whose command line holds `text`.
std::vector<pid_t> ProcessesWith(const std::string& text) {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream file("/proc/" + std::string(entry->d_name) + "/cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(file)), {});
    if (line.find(text) != std::string::npos) found.push_back(pid);
  }
  closedir(proc);
  return found;
}

bool AllGone(const std::vector<pid_t>& pids) {
  for (int wait = 0; wait < 100; ++wait) {
    bool gone = true;
    for (pid_t pid : pids) gone = gone && kill(pid, 0) != 0;
    if (gone) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

using CaptureChunks = CaptureTool;

TEST_F(CaptureChunks, JoinedChunksEqualOneRunFrameForFrameWithTheSameSound) {
  ToolRun run = Capture(With(kRange, {"one.mp4"}));
  ASSERT_EQ(run.status, 0) << run.messages;
  const std::string frames = FrameHashes("one.mp4", " -map 0:v");
  const std::string sound = FrameHashes("one.mp4", " -map 0:a");
  ASSERT_NE(frames.find("\n0,        120,"), std::string::npos) << frames;

  for (int parts = 1; parts <= 3; ++parts) {
    SCOPED_TRACE(std::to_string(parts) + " chunks");
    std::vector<std::string> segments;
    for (int index = parts; index >= 1; --index) {
      const std::string segment = "chunk-" + std::to_string(index) + ".mp4";
      run = Capture(
          With(kRange, {"--chunk", std::to_string(index) + "/" + std::to_string(parts), segment}));
      ASSERT_EQ(run.status, 0) << run.messages;
      segments.push_back(segment);
    }
    run = Join(With({"--force", "joined.mp4"}, segments));
    ASSERT_EQ(run.status, 0) << run.messages;
    EXPECT_EQ(FrameHashes("joined.mp4", " -map 0:v"), frames);
    EXPECT_EQ(FrameHashes("joined.mp4", " -map 0:a"), sound);
    for (const std::string& segment : segments) {
      fs::remove(folder + "/" + segment);
      fs::remove(folder + "/" + segment + ".json");
    }
  }

  run = Capture(With(kRange, {"--jobs", "2", "jobs.mp4"}));
  ASSERT_EQ(run.status, 0) << run.messages;
  EXPECT_EQ(FrameHashes("jobs.mp4", " -map 0:v"), frames);
  EXPECT_EQ(FrameHashes("jobs.mp4", " -map 0:a"), sound);
  EXPECT_EQ(Entries(),
            (std::set<std::string>{"TEX.tga", "RX_muc.mp3", "one.mp4", "joined.mp4", "jobs.mp4"}));
}

TEST_F(CaptureChunks, FramesInChunksAreByteForByteThoseOfOneRun) {
  const std::vector<std::string> range = {"--quiet", "--size", "48x30", "--frames", "195-215"};
  ToolRun run = Capture(With(range, {"one/"}));
  ASSERT_EQ(run.status, 0) << run.messages;
  for (const char* chunk : {"1/2", "2/2"}) {
    run = Capture(With(range, {"--chunk", chunk, "part-" + std::string(1, chunk[0]) + "/"}));
    ASSERT_EQ(run.status, 0) << run.messages;
  }
  run = Join({"joined/", "part-2", "part-1/"});
  ASSERT_EQ(run.status, 0) << run.messages;
  run = Capture(With(range, {"--jobs", "3", "jobs/"}));
  ASSERT_EQ(run.status, 0) << run.messages;
  for (const char* output : {"joined", "jobs"}) {
    int count = 0;
    for (const auto& frame : fs::directory_iterator(folder + "/one")) {
      const std::string name = frame.path().filename();
      EXPECT_TRUE(SameBytes(frame.path(), folder + "/" + output + "/" + name)) << output << name;
      ++count;
    }
    EXPECT_EQ(count, 21);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/" + output), {}), 21) << output;
  }
  // The join leaves its segments as they were.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/part-1"), {}), 10);
}

// Segments with made-up contents: each check must refuse before ffmpeg runs.
class CaptureJoinRefusal : public CaptureTool {
 protected:
  SegmentManifest Manifest(int64_t first, int64_t last) const {
    SegmentManifest manifest;
    manifest.version = QuorvaneVersion();
    manifest.width = 64;
    manifest.height = 36;
    manifest.fps = 60;
    manifest.encoder = "libx264 preset=superfast crf=0 yuv420p bt709";
    manifest.first = first;
    manifest.last = last;
    manifest.rangeFirst = 1;
    manifest.rangeLast = 60;
    manifest.bytes = 1000;
    return manifest;
  }
  void Segment(const std::string& name, const SegmentManifest& manifest) {
    std::ofstream(folder + "/" + name, std::ios::binary) << std::string(1000, 'v');
    ASSERT_TRUE(WriteManifest(folder + "/" + name, manifest));
  }
  void ExpectRefused(const std::vector<std::string>& segments, const std::string& said) {
    const std::set<std::string> before = Entries();
    const ToolRun run = Join(With({"out.mp4"}, segments));
    EXPECT_EQ(run.status, 1) << run.messages;
    EXPECT_NE(run.messages.find(said), std::string::npos) << run.messages;
    EXPECT_NE(run.messages.find("nothing was written"), std::string::npos) << run.messages;
    EXPECT_EQ(Entries(), before);
  }
};

TEST_F(CaptureJoinRefusal, GapsOverlapsAndMismatchesAreNamed) {
  Segment("a.mp4", Manifest(1, 30));
  Segment("b.mp4", Manifest(31, 60));
  Segment("gap.mp4", Manifest(41, 60));
  Segment("overlap.mp4", Manifest(25, 60));
  SegmentManifest other = Manifest(31, 60);
  other.width = 32;
  Segment("size.mp4", other);
  other = Manifest(31, 60);
  other.fps = 30;
  Segment("fps.mp4", other);
  other = Manifest(31, 60);
  other.encoder = "libx264 preset=superfast crf=20 yuv420p bt709";
  Segment("crf.mp4", other);
  other = Manifest(31, 60);
  other.version = "0.9.0";
  Segment("old.mp4", other);

  ExpectRefused({"a.mp4", "gap.mp4"},
                "frames 31-40 are in no segment (between 'a.mp4' and "
                "'gap.mp4')");
  ExpectRefused({"overlap.mp4", "a.mp4"},
                "'overlap.mp4' overlaps 'a.mp4': frames 25-30 are in "
                "both");
  ExpectRefused({"a.mp4"}, "frames 31-60 of the range are in no segment (after 'a.mp4')");
  ExpectRefused({"b.mp4"}, "frames 1-30 of the range are in no segment (before 'b.mp4')");
  ExpectRefused({"a.mp4", "size.mp4"},
                "'size.mp4' does not match 'a.mp4': size 32x36 against "
                "64x36");
  ExpectRefused({"a.mp4", "fps.mp4"}, "'fps.mp4' does not match 'a.mp4': 30 against 60 fps");
  ExpectRefused({"a.mp4", "crf.mp4"},
                "'crf.mp4' does not match 'a.mp4': encoder settings "
                "'libx264 preset=superfast crf=20");
  ExpectRefused({"a.mp4", "old.mp4"}, "version 0.9.0 against");
}

TEST_F(CaptureJoinRefusal, MissingUnfinishedTruncatedOrForeignSegmentsAreNamed) {
  Segment("a.mp4", Manifest(1, 30));
  Segment("b.mp4", Manifest(31, 60));
  ExpectRefused({"a.mp4", "c.mp4"}, "'c.mp4' is missing");

  fs::resize_file(folder + "/b.mp4", 600);
  ExpectRefused({"a.mp4", "b.mp4"},
                "'b.mp4' is cut short or altered: 600 bytes where its "
                "manifest says 1000");
  fs::resize_file(folder + "/b.mp4", 1000);

  fs::rename(folder + "/b.mp4.json", folder + "/b.json");
  ExpectRefused({"a.mp4", "b.mp4"}, "'b.mp4' has no manifest");
  std::ofstream(folder + "/b.mp4.json") << "{\"format\": \"quorvane segment 1\", \"version\": ";
  ExpectRefused({"a.mp4", "b.mp4"}, "'b.mp4.json' is no segment manifest");
  fs::remove(folder + "/b.json");
  fs::remove(folder + "/b.mp4.json");

  // Tiles the range and matches, but was not drawn from this simulation.
  Segment("b.mp4", Manifest(31, 60));
  ExpectRefused({"b.mp4", "a.mp4"},
                "'a.mp4' was drawn from another simulation: its state at "
                "frame 1 is 0000000000000000 where this machine has");

  ToolRun run = Join({"frames/", "a.mp4", "b.mp4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.messages.find("the segments hold video; name a video"), std::string::npos)
      << run.messages;
  run = Join({"out.mkv", "a.mp4"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.messages.find("must end in .mp4"), std::string::npos) << run.messages;
}

// Every worker goes with the run, and nothing of what they wrote stays.
TEST_F(CaptureChunks, JobsStoppedOrKilledLeaveNoWorkerBehind) {
  const std::vector<std::string> arguments = {kTool, "--size", "160x90", "--to",
                                              "60",  "--jobs", "2",      "out.mp4"};
  ToolProcess tool = StartTool(folder, arguments);
  ASSERT_GT(tool.pid, 0);
  ASSERT_TRUE(ReadUntil(tool, "%")) << tool.messages;  // frames are flowing from the workers
  const std::vector<pid_t> workers = ProcessesWith("out.mp4.jobs.part-" + std::to_string(tool.pid));
  EXPECT_GE(workers.size(), 4u) << "two workers and their two ffmpegs";
  kill(tool.pid, SIGTERM);
  EXPECT_EQ(FinishTool(tool), 128 + SIGTERM) << tool.messages;
  EXPECT_NE(tool.messages.find("stopped; nothing was written"), std::string::npos) << tool.messages;
  EXPECT_TRUE(AllGone(workers));
  EXPECT_EQ(Entries(), assetsOnly);

  // Killed outright, the run cannot clean up, yet its workers stop with it,
  // and what they left is removed by the next run into the same place.
  tool = StartTool(folder, arguments);
  ASSERT_TRUE(ReadUntil(tool, "%")) << tool.messages;
  const std::vector<pid_t> orphans = ProcessesWith("out.mp4.jobs.part-" + std::to_string(tool.pid));
  kill(tool.pid, SIGKILL);
  EXPECT_EQ(FinishTool(tool), 128 + SIGKILL);
  EXPECT_TRUE(AllGone(orphans));
  const ToolRun next =
      Capture({"--quiet", "--size", "64x36", "--frames", "1-4", "--jobs", "2", "out.mp4"});
  ASSERT_EQ(next.status, 0) << next.messages;
  EXPECT_EQ(Entries(), (std::set<std::string>{"TEX.tga", "RX_muc.mp3", "out.mp4"}));
}

}  // namespace
