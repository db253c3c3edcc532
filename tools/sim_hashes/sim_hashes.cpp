// Prints the simulation state hash of a scripted 60 frames-per-second run at
// fixed frames, so that builds for different platforms can be compared bit for
// bit. Needs no window and no GL: the frames run undrawn.
#include <cinttypes>
#include <cstdio>

#include "host/headless_run.h"
#include "sim/rng.h"
#include "sim/state_hash.h"

namespace {

constexpr int kFramesPerSecond = 60;
// The frames the determinism test pins: just inside each row of the mode
// schedule, and the last frame.
constexpr int64_t kCheckpoints[] = {1, 600, 3660, 4800, 7800, 11400, 13020, 13800};

}  // namespace

int main() {
  StartHeadlessRun(false);
  int64_t frame = 0;
  for (int64_t checkpoint : kCheckpoints) {
    while (frame < checkpoint) {
      ++frame;
      RunHeadlessFrame(ScheduledElapsedMs(frame, kFramesPerSecond), false);
    }
    std::printf("frame %5" PRId64 "  elapsedMs %6" PRId32 "  state %20" PRIu64 "  random %10" PRIu32
                "\n",
                frame, HeadlessClock().elapsedMs, HashSimulationState(), Rng15::State());
  }
  return 0;
}
