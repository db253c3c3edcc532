#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/atlas.h"
#include "host/checkpoints.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "sim/rng.h"
#include "sim/state_hash.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 36;

constexpr int64_t kLastFrame = 230 * kCheckpointFps;

struct Checkpoint {
  int64_t frame;
  uint64_t stateHash;
  uint32_t randomState;
};

// The state at each of kCheckpointFrames, in order.
// clang-format off
constexpr Checkpoint kCheckpoints[] = {
    {1, 1697386089898226441ull, 600358451u},
    {600, 17021394294941671490ull, 1308830885u},
    {3660, 14501248520986650310ull, 940306547u},
    {4800, 75462076326754236ull, 998447859u},
    {7800, 17292410263354457823ull, 1850377459u},
    {11400, 2692633500177728235ull, 2413435027u},
    {13020, 3731712676589881849ull, 3921880563u},
    {kLastFrame, 9520077920634525104ull, 298675059u},
};
// clang-format on

constexpr bool PinnedAtTheCheckpoints() {
  if (std::size(kCheckpoints) != std::size(kCheckpointFrames)) return false;
  for (size_t i = 0; i < std::size(kCheckpoints); ++i)
    if (kCheckpoints[i].frame != kCheckpointFrames[i]) return false;
  return true;
}
static_assert(PinnedAtTheCheckpoints(), "a pinned row for each checkpoint frame, in order");

struct Observed {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> randomStates;
  std::vector<std::vector<unsigned char>> pictures;
};

// Every so many frames of the first run are drawn, enough to show that drawn
// and undrawn frames advance the run alike without drawing all 13800.
constexpr int64_t kDrawnStride = 10;

// The whole run on the checkpoint schedule. Frames between checkpoints are
// drawn (every kDrawnStride-th) only when drawSome; the checkpoints themselves
// are always drawn and read back.
Observed RunWhole(bool drawSome) {
  Observed seen;
  StartHeadlessRun(kCheckpointFps);
  LoadTextureAtlas();
  for (int64_t checkpoint : kCheckpointFrames) {
    while (HeadlessFrame() < checkpoint - 1) {
      const bool drawn = drawSome && (HeadlessFrame() + 1) % kDrawnStride == 0;
      RunNextFrame(drawn ? RunSceneFrame : kUndrawn);
    }
    RunNextFrame(RunSceneFrame);
    seen.hashes.push_back(HashSimulationState());
    seen.randomStates.push_back(Rng15::State());
    seen.pictures.emplace_back(kWidth * kHeight * 4);
    ReadOffscreenPixels(seen.pictures.back().data());
  }
  return seen;
}

TEST(HostDeterminism, WholeRunMatchesPinnedStateAndRepeatsPixelForPixel) {
  TempWorkingDirectory folder;
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  Observed drawn, mostlyUndrawn;
  {
    const ScopedOffscreenSurface surface(kWidth, kHeight);
    ASSERT_TRUE(surface.opened()) << surface.error();
    drawn = RunWhole(true);
    mostlyUndrawn = RunWhole(false);
  }

  ASSERT_EQ(drawn.hashes.size(), std::size(kCheckpoints));
  for (size_t i = 0; i < std::size(kCheckpoints); ++i) {
    SCOPED_TRACE(testing::Message() << "frame " << kCheckpoints[i].frame);
    EXPECT_EQ(drawn.hashes[i], kCheckpoints[i].stateHash);
    EXPECT_EQ(drawn.randomStates[i], kCheckpoints[i].randomState);
    EXPECT_EQ(mostlyUndrawn.hashes[i], drawn.hashes[i]);
    EXPECT_EQ(mostlyUndrawn.randomStates[i], drawn.randomStates[i]);
    EXPECT_TRUE(mostlyUndrawn.pictures[i] == drawn.pictures[i]);
  }
}

}  // namespace
