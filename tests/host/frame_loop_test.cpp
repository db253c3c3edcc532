// The real frame loop over scripted seams: what a run shows and plays, which
// frames it runs, and that it gives back all it took, however it ends. What
// the order of the calls achieves is checked, not the order itself.
#include "host/frame_loop.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
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

constexpr int kSide = 16;
constexpr size_t kNone = static_cast<size_t>(-1);

// Simulation state after undrawn frames at these elapsed times, which is
// where drawn frames leave it too.
uint64_t HashAfterFrames(std::initializer_list<int32_t> elapsedMs) {
  StartHeadlessRun(60);
  for (int32_t elapsed : elapsedMs) RunFrameAt(elapsed, kUndrawn);
  return HashSimulationState();
}

// Where the `occurrence`th call named `name` is in the record, or kNone.
size_t Find(const std::string& name, int occurrence = 1) {
  const std::vector<SeamCall>& calls = RecordedCalls();
  for (size_t i = 0; i < calls.size(); ++i)
    if (calls[i].name == name && --occurrence == 0) return i;
  return kNone;
}

size_t Count(const std::string& name) {
  const std::vector<std::string> names = RecordedNames();
  return static_cast<size_t>(std::count(names.begin(), names.end(), name));
}

size_t Last(const std::string& name) {
  const size_t count = Count(name);
  return count == 0 ? kNone : Find(name, static_cast<int>(count));
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

  // The music stopped, its stream freed and its output closed, in the order
  // the seam needs, then the window released: each once, after the last
  // frame.
  static void ExpectEverythingReleased() {
    const char* const steps[] = {"MusicStop", "MusicFree", "MusicReleaseOutput", "Release"};
    size_t previous = 0;
    for (const char* frameStep : {"DrainEvents", "Milliseconds", "Present", "EscapeQuery"})
      if (Last(frameStep) != kNone) previous = std::max(previous, Last(frameStep));
    for (const char* step : steps) {
      EXPECT_EQ(Count(step), 1u) << step;
      EXPECT_GT(Find(step), previous) << step;
      previous = Find(step);
    }
    EXPECT_EQ(previous, RecordedCalls().size() - 1) << "something ran after the release";
  }

  static bool SurfaceUntouched() {
    std::vector<unsigned char> rgba(kSide * kSide * 4);
    ReadOffscreenPixels(rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4)
      if (rgba[i] != 0 || rgba[i + 1] != 255 || rgba[i + 2] != 0) return false;
    return true;
  }
};

TEST_F(HostFrameLoop, TheClockMusicAndSwarmStartTogetherAfterTheWindowAndAtlas) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {5000, 5016, 235000};
  EXPECT_EQ(Run(script), 0);
  EXPECT_EQ(HashSimulationState(), HashAfterFrames({16, 230000}));
  EXPECT_FALSE(SurfaceUntouched());
  ExpectEverythingReleased();

  // The slow steps (window, atlas) come before the clock starts, so that the
  // first frame is not late and the music, started with the clock, not ahead.
  const size_t clockStart = Find("Milliseconds");
  const size_t firstFrame = Find("Milliseconds", 2);
  ASSERT_NE(firstFrame, kNone);
  EXPECT_LT(Find("ShowWindow"), clockStart);
  EXPECT_NE(RecordedCalls()[clockStart].atlasTexture, 0u);
  EXPECT_EQ(RecordedCalls()[clockStart].rngState, SeededRng());
  for (const char* step :
       {"MusicCreateStream RX_muc.mp3", "MusicPlayFromStart", "MusicStartOutput"})
    EXPECT_LT(Find(step), firstFrame) << step;
  EXPECT_LT(Find("MusicOpenOutput 44100"), Find("MusicCreateStream RX_muc.mp3"));
  EXPECT_LT(Find("MusicPlayFromStart"), Find("MusicStartOutput"));
  EXPECT_LT(Find("ShowWindow"), Find("MusicStartOutput"));
}

TEST_F(HostFrameLoop, EachShownFrameIsDrawnInTheCurrentContextWithTheCursorHidden) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {0, 16, 33, 50, 230000};
  EXPECT_EQ(Run(script), 0);
  ASSERT_EQ(Count("Present"), 4u);
  size_t previous = 0;
  for (int frame = 1; frame <= 4; ++frame) {
    SCOPED_TRACE(frame);
    const size_t present = Find("Present", frame);
    const size_t current = Find("MakeCurrent", frame);
    EXPECT_GT(current, previous);
    EXPECT_LT(current, present);
    EXPECT_NE(RecordedCalls()[current].rngState, RecordedCalls()[present].rngState)
        << "nothing was drawn between making the context current and presenting";
    const size_t hidden = Find("HideCursor", frame);
    EXPECT_GT(hidden, previous);
    EXPECT_LT(hidden, present);
    previous = present;
  }
}

TEST_F(HostFrameLoop, AQuitNotificationEndsTheRunBeforeThatFrameRunsOrShows) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {0, 10, 20, 30};
  script.quitAtDrain = 3;
  script.exitStatus = 7;
  EXPECT_EQ(Run(script), 7);
  EXPECT_EQ(HashSimulationState(), HashAfterFrames({10, 20}));
  EXPECT_EQ(Count("Present"), 2u);
  ExpectEverythingReleased();
}

TEST_F(HostFrameLoop, EndsAtTheFirstFrameNotBelow230SecondsAndNotAFrameLater) {
  // Started just before the timer wraps, which must not matter.
  const uint32_t start = 0xFFFFF000u;
  SeamScript script;
  script.timerReadings = {start, start + 1000, start + 229999, start + 230000, start + 231000};
  EXPECT_EQ(Run(script), 0);
  EXPECT_EQ(HashSimulationState(), HashAfterFrames({1000, 229999, 230000}));
  ExpectEverythingReleased();
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
    script.graphics = true;
    script.timerReadings = {0, 100, 200, 230000};
    script.escapeAnswers = c.escapeAnswers;
    EXPECT_EQ(Run(script), 0);
    const uint64_t hash = HashSimulationState();
    EXPECT_EQ(Count("Present"), static_cast<size_t>(c.frames));
    ExpectEverythingReleased();

    StartHeadlessRun(60);
    for (int frame = 0; frame < c.frames; ++frame) RunFrameAt(frameMs[frame], kUndrawn);
    EXPECT_EQ(hash, HashSimulationState());
  }
}

TEST_F(HostFrameLoop, WithoutGlFramesRunUndrawnAndNoAtlasIsLoaded) {
  SeamScript script;
  script.timerReadings = {0, 16, 230000};
  EXPECT_EQ(Run(script), 0);
  EXPECT_EQ(HashSimulationState(), HashAfterFrames({16, 230000}));
  for (const SeamCall& call : RecordedCalls()) EXPECT_EQ(call.atlasTexture, 0u) << call.name;
  EXPECT_EQ(Count("MakeCurrent") + Count("Present"), 0u);
  EXPECT_TRUE(SurfaceUntouched());
  ExpectEverythingReleased();
}

TEST_F(HostFrameLoop, FramesWhileTheContextIsLostRunUndrawnAndDrawingResumesAfter) {
  SeamScript script;
  script.graphics = true;
  script.timerReadings = {0, 16, 33, 50, 66, 230000};
  script.graphicsLostAtDrains = {2, 3};
  EXPECT_EQ(Run(script), 0);
  EXPECT_EQ(HashSimulationState(), HashAfterFrames({16, 33, 50, 66, 230000}));
  // Frames 1, 4 and 5 are shown; 2 and 3 run without touching the context.
  EXPECT_EQ(Count("Present"), 3u);
  EXPECT_EQ(Count("MakeCurrent"), 3u);
  EXPECT_LT(Find("Present"), Find("DrainEvents", 2));
  EXPECT_GT(Find("Present", 2), Find("DrainEvents", 4));
}

TEST_F(HostFrameLoop, AWindowThatCannotOpenEndsWithStatus1AndSaysWhy) {
  SeamScript script;
  script.windowOpens = false;
  script.openError = "scripted: no display";
  EXPECT_EQ(Run(script), 1);
  // Nothing was started, so there is nothing to give back.
  EXPECT_EQ(RecordedNames(), std::vector<std::string>{"OpenWindow quorvane"});
  EXPECT_NE(run.error.find("cannot open a window (scripted: no display)"), std::string::npos)
      << run.error;
}

}  // namespace
