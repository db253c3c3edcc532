// The real frame loop over scripted seams: the order of start-up, frames and
// shutdown, and which frame each way of ending is the last.
#include "host/frame_loop.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "host/atlas.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "host/platform.h"
#include "sim/rng.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"
#include "tests/host/gl_surface.h"
#include "tests/host/scripted_platform.h"
#include "tests/support/temp_folder.h"

namespace {

using Names = std::vector<std::string>;

constexpr int kSide = 16;
constexpr uint32_t kUnseededRng = 1;

const Names kStartUp = {"OpenWindow quorvane",
                        "ShowWindow",
                        "Milliseconds",
                        "MusicOpenOutput 44100",
                        "MusicCreateStream RX_muc.mp3",
                        "MusicPlayFromStart",
                        "MusicStartOutput",
                        "EscapeQuery"};
const Names kShutdown = {"MusicStop", "MusicFree", "MusicReleaseOutput", "Release"};

// One frame as the seams see it; the scene work runs between MakeCurrent and
// Present, or with no GL after the clock reading.
Names Frame(bool drawn, bool escapeQueried) {
  Names names = {"HideCursor", "DrainEvents", "Milliseconds"};
  if (drawn) names.insert(names.end(), {"MakeCurrent", "Present"});
  if (escapeQueried) names.push_back("EscapeQuery");
  return names;
}

Names Join(std::initializer_list<Names> parts) {
  Names all;
  for (const Names& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Simulation state after undrawn frames at these elapsed times, which is
// where drawn frames leave it too.
uint64_t HashAfterFrames(std::initializer_list<int32_t> elapsedMs) {
  StartHeadlessRun(60);
  for (int32_t elapsed : elapsedMs) RunFrameAt(elapsed, kUndrawn);
  return HashSimulationState();
}

// One offscreen surface for the whole set, since opening one takes a few
// hundred milliseconds. Scripts without GL run with it current too, so a
// stray draw or atlas load would show.
class SurfaceEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    surface_.emplace(kSide, kSide);
    ASSERT_TRUE(surface_->opened()) << surface_->error();
  }
  void TearDown() override { surface_.reset(); }

 private:
  std::optional<ScopedOffscreenSurface> surface_;
};
const auto* const surface = ::testing::AddGlobalTestEnvironment(new SurfaceEnvironment);

class HostFrameLoop : public ::testing::Test {
 protected:
  TempWorkingDirectory folder;  // holds no TEX.tga and no music

  // The exit status as the program's main gives it.
  int Run(const SeamScript& script) {
    ResetSimulation();
    atlasTexture = 0;
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ScriptSeams(script);
    run = RunPiece();
    return run ? PlatformExitStatus() : 1;
  }

  Result run;

  static uint32_t SeededRng() {
    ResetSimulation();
    SeedSwarm();
    return Rng15::State();
  }

  static const SeamCall& First(const std::string& name, int occurrence = 1) {
    for (const SeamCall& call : RecordedCalls())
      if (call.name == name && --occurrence == 0) return call;
    ADD_FAILURE() << "no call " << name;
    static const SeamCall none{};
    return none;
  }

  static bool SurfaceUntouched() {
    std::vector<unsigned char> rgba(kSide * kSide * 4);
    ReadOffscreenPixels(rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4)
      if (rgba[i] != 0 || rgba[i + 1] != 255 || rgba[i + 2] != 0) return false;
    return true;
  }
};

TEST_F(HostFrameLoop, StartsUpRunsFramesAndShutsDownInTheFixedOrder) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {5000, 5016, 235000};
  EXPECT_EQ(Run(script), 0);
  const uint64_t hash = HashSimulationState();
  EXPECT_EQ(RecordedNames(), Join({kStartUp, Frame(true, true), Frame(true, false), kShutdown}));
  EXPECT_FALSE(SurfaceUntouched());

  // The atlas between window and show, the seeding between show and clock
  // start, and each frame's work after its clock and before its present.
  const uint32_t seeded = SeededRng();
  EXPECT_EQ(First("OpenWindow quorvane").atlasTexture, 0u);
  EXPECT_NE(First("ShowWindow").atlasTexture, 0u);
  EXPECT_EQ(First("ShowWindow").rngState, kUnseededRng);
  EXPECT_EQ(First("Milliseconds").rngState, seeded);
  EXPECT_EQ(First("MakeCurrent").rngState, seeded);
  EXPECT_NE(First("Present").rngState, seeded);
  EXPECT_EQ(hash, HashAfterFrames({16, 230000}));
}

TEST_F(HostFrameLoop, AQuitNotificationEndsTheRunBeforeThatFramesClockDrawAndPresent) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {0, 10, 20, 30};
  script.quitAtDrain = 3;
  script.exitStatus = 7;
  EXPECT_EQ(Run(script), 7);
  const uint64_t hash = HashSimulationState();
  EXPECT_EQ(RecordedNames(), Join({kStartUp,
                                   Frame(true, true),
                                   Frame(true, true),
                                   {"HideCursor", "DrainEvents"},
                                   kShutdown}));
  EXPECT_EQ(hash, HashAfterFrames({10, 20}));
}

TEST_F(HostFrameLoop, EndsAtTheFirstFrameNotBelow230SecondsAndNotAFrameLater) {
  // Started just before the timer wraps, which must not matter.
  const uint32_t start = 0xFFFFF000u;
  SeamScript script;
  script.timerReadings = {start, start + 1000, start + 229999, start + 230000, start + 231000};
  EXPECT_EQ(Run(script), 0);
  const uint64_t hash = HashSimulationState();
  EXPECT_EQ(RecordedNames(), Join({kStartUp, Frame(false, true), Frame(false, true),
                                   Frame(false, false), kShutdown}));
  EXPECT_EQ(hash, HashAfterFrames({1000, 229999, 230000}));
}

TEST_F(HostFrameLoop, EscapeEndsTheRunAfterTheFrameInWhichItIsSeen) {
  struct Case {
    const char* what;
    std::vector<bool> escapeAnswers;  // the start-up query's first
    int frames;
  };
  // Frames at 100, 200 and 230000 ms; the third ends the run by the clock.
  const Case cases[] = {
      {"pressed during the second frame", {false, false, true}, 2},
      {"held across start-up", {true, true}, 1},
      {"pressed before the start-up query only", {true}, 3},
  };
  const int32_t frameMs[] = {100, 200, 230000};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeamScript script;
    script.timerReadings = {0, 100, 200, 230000};
    script.escapeAnswers = c.escapeAnswers;
    EXPECT_EQ(Run(script), 0);
    const uint64_t hash = HashSimulationState();

    const bool endsByClock = c.frames == 3;
    Names expected = kStartUp;
    for (int frame = 1; frame <= c.frames; ++frame) {
      const Names one = Frame(false, !(endsByClock && frame == c.frames));
      expected.insert(expected.end(), one.begin(), one.end());
    }
    expected.insert(expected.end(), kShutdown.begin(), kShutdown.end());
    EXPECT_EQ(RecordedNames(), expected);

    StartHeadlessRun(60);
    for (int frame = 0; frame < c.frames; ++frame) RunFrameAt(frameMs[frame], kUndrawn);
    EXPECT_EQ(hash, HashSimulationState());
  }
}

TEST_F(HostFrameLoop, WithoutGlFramesRunUndrawnAndNoAtlasIsLoaded) {
  SeamScript script;
  script.timerReadings = {0, 16, 230000};
  EXPECT_EQ(Run(script), 0);
  const uint64_t hash = HashSimulationState();
  EXPECT_EQ(RecordedNames(), Join({kStartUp, Frame(false, true), Frame(false, false), kShutdown}));
  for (const SeamCall& call : RecordedCalls()) EXPECT_EQ(call.atlasTexture, 0u) << call.name;
  EXPECT_TRUE(SurfaceUntouched());
  EXPECT_EQ(hash, HashAfterFrames({16, 230000}));
}

TEST_F(HostFrameLoop, FramesWhileTheContextIsLostRunUndrawnAndDrawingResumesAfter) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {0, 16, 33, 50, 66, 230000};
  script.graphicsLostAtDrains = {2, 3};
  EXPECT_EQ(Run(script), 0);
  const uint64_t hash = HashSimulationState();
  EXPECT_EQ(RecordedNames(),
            Join({kStartUp, Frame(true, true), Frame(false, true), Frame(false, true),
                  Frame(true, true), Frame(true, false), kShutdown}));
  EXPECT_EQ(hash, HashAfterFrames({16, 33, 50, 66, 230000}));
}

TEST_F(HostFrameLoop, AWindowThatCannotOpenEndsWithStatus1AndSaysWhy) {
  SeamScript script;
  script.windowOpens = false;
  script.openError = "scripted: no display";
  EXPECT_EQ(Run(script), 1);
  EXPECT_EQ(RecordedNames(), Names{"OpenWindow quorvane"});
  EXPECT_NE(run.error.find("cannot open a window (scripted: no display)"), std::string::npos)
      << run.error;
}

}  // namespace
