// Prints the simulation state hash of a scheduled run at the checkpoint
// frames, so that builds for different platforms can be compared bit for bit.
// Needs no window and no GL: the frames run undrawn.
#include <cinttypes>
#include <cstdio>

#include "host/checkpoints.h"
#include "host/headless_run.h"
#include "sim/rng.h"
#include "sim/state_hash.h"

int main() {
  StartHeadlessRun(kCheckpointFps);
  for (int64_t checkpoint : kCheckpointFrames) {
    RunUpToFrame(checkpoint, kUndrawn);
    std::printf("frame %5" PRId64 "  elapsedMs %6" PRId32 "  state %20" PRIu64 "  random %10" PRIu32
                "\n",
                checkpoint, HeadlessClock().elapsedMs, HashSimulationState(), Rng15::State());
  }
  return 0;
}
