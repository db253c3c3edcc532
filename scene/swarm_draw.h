#pragma once

#include <cstdint>

// Solid lit pass, then additive textured spark pass. Leaves depth writes off,
// blending on with (SRC_ALPHA, ONE), lighting off, texturing on, and the
// current colour and texture coordinate of the last spark.
void DrawSwarm(int32_t elapsedMs, float sceneSeconds);
