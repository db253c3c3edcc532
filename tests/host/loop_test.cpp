// The piece played again and again in one window: every run is the first
// one again (the simulation at the checkpoints, the picture), the atlas and
// the music are opened once, and Escape or a quit ends the loop at once.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "host/atlas.h"
#include "host/checkpoints.h"
#include "host/frame_loop.h"
#include "host/headless_run.h"
#include "host/platform.h"
#include "sim/rng.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"
#include "tests/host/gl_surface.h"
#include "tests/host/scripted_platform.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

using Names = std::vector<std::string>;

constexpr int kCheckpointRunFrames = 13800;  // the 60 fps schedule's last frame: 230 s
constexpr uint32_t kGapBetweenRunsMs = 517;

ShowOptions Looping() {
  ShowOptions options;
  options.loop = true;
  return options;
}

int Count(const Names& names, const std::string& name) {
  int count = 0;
  for (const std::string& n : names) count += n == name;
  return count;
}

class HostLoop : public ::testing::Test {
 protected:
  TempWorkingDirectory folder;

  // The exit status as the program's main gives it, once the window opened.
  int Run(const SeamScript& script, const ShowOptions& options) {
    ResetSimulation();
    atlasTexture = 0;
    ScriptSeams(script);
    const Result run = RunPiece(options);
    EXPECT_TRUE(run) << run.error;
    return PlatformExitStatus();
  }
};

TEST_F(HostLoop, EveryRunHashesAsTheFirstAtTheCheckpoints) {
  // Three runs on the 60 fps schedule, each started a little after the last
  // ended, then a quit as the fourth begins.
  SeamScript script;
  script.timerReadings.clear();
  uint32_t start = 1000;
  for (int run = 0; run < 3; ++run) {
    script.timerReadings.push_back(start);
    for (int k = 1; k <= kCheckpointRunFrames; ++k)
      script.timerReadings.push_back(start + ScheduledElapsedMs(k, kCheckpointFps));
    start += ScheduledElapsedMs(kCheckpointRunFrames, kCheckpointFps) + kGapBetweenRunsMs;
  }
  script.timerReadings.push_back(start);
  script.quitAtDrain = 3 * kCheckpointRunFrames + 1;
  script.runawayDrain = script.quitAtDrain + 1;
  script.record = false;
  // The Escape query after each frame sees that frame's state; the last
  // frame of a run is followed by the query between runs.
  std::map<int, std::vector<uint64_t>> hashes;  // by frame of the run, one per run
  int queries = 0;
  script.onCall = [&](const std::string& name) {
    if (name != "EscapeQuery" || queries++ == 0) return;
    const int frame = (queries - 2) % kCheckpointRunFrames + 1;
    for (int64_t checkpoint : kCheckpointFrames)
      if (checkpoint == frame) hashes[frame].push_back(HashSimulationState());
  };
  EXPECT_EQ(Run(script, Looping()), 0);

  StartHeadlessRun(kCheckpointFps);
  for (int64_t checkpoint : kCheckpointFrames) {
    RunUpToFrame(checkpoint, kUndrawn);
    const std::vector<uint64_t> expected(3, HashSimulationState());
    EXPECT_EQ(hashes[static_cast<int>(checkpoint)], expected) << "frame " << checkpoint;
  }
}

TEST_F(HostLoop, TheAtlasAndTheMusicOpenOnceAndEachRunRestartsTheMusic) {
  const ScopedOffscreenSurface surface(16, 16);
  ASSERT_TRUE(surface.opened()) << surface.error();
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  SeamScript script;
  script.graphics = true;
  // Runs of two frames: 100 ms, then the time limit.
  script.timerReadings = {0, 100, 230000, 240000, 240100, 470000, 480000};
  script.quitAtDrain = 5;
  EXPECT_EQ(Run(script, Looping()), 0);
  const Names names = RecordedNames();
  EXPECT_EQ(Count(names, "MusicOpenOutput 44100"), 1);
  EXPECT_EQ(Count(names, "MusicCreateStream RX_muc.mp3"), 1);
  EXPECT_EQ(Count(names, "MusicPlayFromStart"), 3);
  EXPECT_EQ(Count(names, "MusicFree"), 1);
  // The same texture, made once, for every frame of every run.
  uint32_t texture = 0;
  for (const SeamCall& call : RecordedCalls()) {
    if (call.name != "Present") continue;
    if (texture == 0) texture = call.atlasTexture;
    EXPECT_EQ(call.atlasTexture, texture);
  }
  EXPECT_NE(texture, 0u);
  GLuint next = 0;
  glGenTextures(1, &next);
  EXPECT_EQ(next, texture + 1) << "a texture was made again";
  glDeleteTextures(1, &next);

  // Between runs: Escape asked, then the clock and the music started again
  // from a freshly seeded swarm; nothing of the window or the context.
  const Names boundary = {"Present", "EscapeQuery", "Milliseconds", "MusicPlayFromStart",
                          "HideCursor"};
  EXPECT_NE(std::search(names.begin(), names.end(), boundary.begin(), boundary.end()),
            names.end());
  ResetSimulation();
  SeedSwarm();
  const uint32_t seeded = Rng15::State();
  for (const SeamCall& call : RecordedCalls())
    if (call.name == "MusicPlayFromStart") EXPECT_EQ(call.rngState, seeded);
}

TEST_F(HostLoop, EscapeOrAQuitInTheSecondRunEndsItAtOnce) {
  struct Case {
    const char* what;
    std::vector<bool> escapeAnswers;  // the start-up query's first
    int quitAtDrain;
    int framesOfRun2;
  };
  // Run 1: frames at 100 ms and at the limit; run 2: frames at 100, 200, 300 ms.
  const Case cases[] = {
      {"Escape in the second run's first frame", {false, false, false, true}, 0, 1},
      {"Escape held as the first run ends", {false, false, true}, 0, 0},
      {"a quit before the second run's third frame", {}, 5, 2},
  };
  const Names frame = {"HideCursor", "DrainEvents", "Milliseconds", "EscapeQuery"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeamScript script;
    script.timerReadings = {0, 100, 230000, 231000, 231100, 231200, 231300};
    script.escapeAnswers = c.escapeAnswers;
    script.quitAtDrain = c.quitAtDrain;
    script.runawayDrain = 20;
    EXPECT_EQ(Run(script, Looping()), 0);
    const Names names = RecordedNames();
    EXPECT_EQ(Count(names, "MusicPlayFromStart"), c.framesOfRun2 == 0 ? 1 : 2);
    const int drains = Count(names, "DrainEvents");
    EXPECT_EQ(drains, 2 + c.framesOfRun2 + (c.quitAtDrain ? 1 : 0));
    EXPECT_EQ(names.back(), "Release");
  }
}

}  // namespace
