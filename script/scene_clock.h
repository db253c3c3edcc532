#pragma once

#include <cstdint>

// The frame clock as the script and the scene read it. The host fills it once
// per frame, before any scene work; neither of them writes it.
struct SceneClock {
  uint32_t startMs;           // timer reading at clock start
  int32_t elapsedMs;          // reading - startMs, wrapped, read as signed
  int32_t previousElapsedMs;  // elapsedMs of the previous frame, 0 before the first
  float sceneSeconds;         // elapsedMs * 0.001f
  float frameDeltaSeconds;    // (elapsedMs - previousElapsedMs) * 0.001f
};
