#pragma once

#include <cstdint>

#include "base/piece_facts.h"

// The frames of the 60 fps schedule at which whole runs are compared: the
// determinism test pins the simulation state there, and the hash tool prints
// it there so that builds for other platforms can be checked against it.
// Just inside each row of the mode schedule, and the last frame of the piece.
inline constexpr int kCheckpointFps = kPieceFps;
inline constexpr int64_t kCheckpointFrames[] = {1, 600, 3660, 4800, 7800, 11400, 13020, 13800};
