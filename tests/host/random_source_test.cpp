#include <cstdint>
#include <vector>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/headless_run.h"
#include "script/script.h"
#include "sim/rng.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

struct Frame {
  int32_t elapsedMs;
  int sparks;  // (elapsedMs - 3300) / 2, within 0..4000
};

// Times around the start of the spark pass, in both formation modes.
constexpr Frame kFrames[] = {{1000, 0},     {3301, 0},     {3302, 1},     {3303, 1},
                             {3304, 2},     {5000, 850},   {11299, 3999}, {11300, 4000},
                             {85000, 4000}, {140000, 4000}};

class HostRandomSource : public GlSurfaceTest {
 protected:
  TempWorkingDirectory folder;
};

// The frame's simulation step alone, then exactly 6 draws per spark: the state
// every way of running the frame has to reach.
std::vector<uint64_t> ExpectedHashes() {
  StartHeadlessRun(60);
  SceneClock clock = HeadlessClock();
  std::vector<uint64_t> hashes;
  for (const Frame& frame : kFrames) {
    TickSceneClock(clock, static_cast<uint32_t>(frame.elapsedMs));
    StepSceneSimulation(clock);
    for (int i = 0; i < 6 * frame.sparks; ++i) Rng15::Next();
    hashes.push_back(HashSimulationState());
  }
  return hashes;
}

TEST_F(HostRandomSource, FramesDrawSixValuesPerSparkAfterTheSimulationsOwn) {
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  const std::vector<uint64_t> expected = ExpectedHashes();
  for (bool drawn : {true, false}) {
    StartHeadlessRun(60);
    if (drawn) LoadTextureAtlas();
    for (size_t i = 0; i < std::size(kFrames); ++i) {
      RunFrameAt(kFrames[i].elapsedMs, drawn ? RunSceneFrame : kUndrawn);
      EXPECT_EQ(HashSimulationState(), expected[i])
          << (drawn ? "drawn" : "undrawn") << " frame at " << kFrames[i].elapsedMs << " ms";
    }
  }
}

}  // namespace
