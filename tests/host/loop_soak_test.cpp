// A long --loop: a hundred runs (the number is the first argument) over the
// scripted seams and a real GL context, frames a second apart. The picture
// of every run is the first run's, and between the tenth run and the last
// nothing grows: bytes in use on the heap, resident memory, open descriptors,
// threads, GL names.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/frame_loop.h"
#include "host/platform.h"
#include "sim/state_hash.h"
#include "tests/host/gl_surface.h"
#include "tests/host/scripted_platform.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

int loops = 100;
constexpr int kFrameStepMs = 1000;
constexpr int kFramesPerRun = 230;  // 1 s ... 230 s
constexpr int kMeasuredLoop = 10;
// Bytes in use on the heap move by 64 KiB as the driver takes and gives back
// its vertex buffers; a leak of 3 KiB a run would pass this over 90 runs.
constexpr long kHeapSlackKiB = 256;
// The resident size counts the allocator's free pages as well: the driver's
// vertex data, taken and freed each frame, scatters over the heap, whose
// touched pages grow in steps of 0.5-1 MiB up to about the 80th run (3.5 MiB
// in all) while the bytes in use stay put. A leak shows in those first.
constexpr long kResidentSlackKiB = 8192;
// Frames of a run whose pictures are compared: the backdrop alone, the first
// sparks, the whole swarm, the dive, the fade and the cards.
const int kComparedFrames[] = {1, 4, 60, 170, 220, 226, 230};

struct Usage {
  long residentKiB = 0;
  long heapKiB = 0;  // in use on the allocator's heap, mapped blocks included
  int descriptors = 0;
  int threads = 0;
  int liveTextures = 0;
};

int EntriesIn(const char* folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

Usage Measure() {
  Usage usage;
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  usage.residentKiB = resident * (sysconf(_SC_PAGESIZE) / 1024);
  const struct mallinfo2 heap = mallinfo2();
  usage.heapKiB = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
  usage.descriptors = EntriesIn("/proc/self/fd");
  usage.threads = EntriesIn("/proc/self/task");
  // Every texture name in use below a fresh one: the atlas, and any that a
  // run made again and left behind.
  GLuint fresh = 0;
  glGenTextures(1, &fresh);
  for (GLuint name = 1; name < fresh; ++name) usage.liveTextures += glIsTexture(name) == GL_TRUE;
  glDeleteTextures(1, &fresh);
  return usage;
}

void Print(const char* when, const Usage& usage) {
  std::printf(
      "%s: resident %ld KiB, heap in use %ld KiB, %d descriptors, %d threads, %d textures\n", when,
      usage.residentKiB, usage.heapKiB, usage.descriptors, usage.threads, usage.liveTextures);
}

bool Compared(int frame) {
  for (int f : kComparedFrames)
    if (f == frame) return true;
  return false;
}

TEST(HostLoopSoak, RunsRepeatTheFirstAndGrowNothing) {
  ASSERT_GT(loops, kMeasuredLoop);
  TempWorkingDirectory folder;
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  const ScopedOffscreenSurface surface(48, 27);
  ASSERT_TRUE(surface.opened()) << surface.error();

  SeamScript script;
  script.graphics = true;
  script.timerStepMs = kFrameStepMs;
  script.quitAtDrain = loops * kFramesPerRun + 1;  // as run loops + 1 begins
  script.runawayDrain = script.quitAtDrain + 1;
  script.record = false;
  int presents = 0;
  int runs = 0;
  Usage atMeasuredLoop, atEnd;
  // Pictures by frame of the run: the first run's, and any later one's that differs.
  std::map<int, std::vector<unsigned char>> firstRun;
  std::vector<std::string> differing;
  script.onCall = [&](const std::string& name) {
    if (name == "MusicPlayFromStart" && ++runs == kMeasuredLoop + 1) atMeasuredLoop = Measure();
    if (name == "MusicStop") atEnd = Measure();
    if (name != "Present") return;
    // A window's swap ends the frame; without it the driver queues frame
    // after frame of vertex data and frees it in bursts, tens of MiB apart.
    glFinish();
    const int run = presents / kFramesPerRun + 1;
    const int frame = presents % kFramesPerRun + 1;
    ++presents;
    if (!Compared(frame) || (run > 2 && run < loops)) return;
    std::vector<unsigned char> picture = surface.ReadPixels();
    if (run == 1)
      firstRun[frame] = std::move(picture);
    else if (picture != firstRun[frame])
      differing.push_back("run " + std::to_string(run) + " frame " + std::to_string(frame));
  };
  ResetSimulation();
  ScriptSeams(script);
  ShowOptions options;
  options.loop = true;
  const Result run = RunPiece(options);
  EXPECT_TRUE(run) << run.error;
  EXPECT_EQ(PlatformExitStatus(), 0);

  EXPECT_EQ(runs, loops + 1);  // the last one quit at its first drain
  EXPECT_EQ(presents, loops * kFramesPerRun);
  EXPECT_TRUE(differing.empty()) << differing.size() << " pictures differ from the first run's, "
                                 << "first " << differing.front();
  Print(("after loop " + std::to_string(kMeasuredLoop)).c_str(), atMeasuredLoop);
  Print(("after loop " + std::to_string(loops)).c_str(), atEnd);
#ifndef __SANITIZE_ADDRESS__
  // AddressSanitizer keeps freed blocks aside for a while and counts no heap
  // of ours: there, its leak check at the exit stands in for these bounds.
  EXPECT_LE(atEnd.heapKiB, atMeasuredLoop.heapKiB + kHeapSlackKiB);
  EXPECT_LE(atEnd.residentKiB, atMeasuredLoop.residentKiB + kResidentSlackKiB);
#endif
  EXPECT_EQ(atEnd.descriptors, atMeasuredLoop.descriptors);
  EXPECT_EQ(atEnd.threads, atMeasuredLoop.threads);
  EXPECT_EQ(atEnd.liveTextures, 1);
  EXPECT_EQ(atMeasuredLoop.liveTextures, 1);
}

}  // namespace

// quorvane's loop count first: host_loop_soak_test [LOOPS] [gtest options].
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) loops = std::atoi(argv[1]);
  return RUN_ALL_TESTS();
}
