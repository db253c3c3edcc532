#pragma once

#include <cstdint>

#include "script/scene_clock.h"
#include "script/script.h"

inline constexpr float kClockFactor = 0.001f;

// Clock start: startMs = the timer's reading, previousElapsedMs = 0.
void StartSceneClock(SceneClock& clock, uint32_t nowMs);
// One frame's reading: wrap-around elapsed time, delta, seconds.
void TickSceneClock(SceneClock& clock, uint32_t nowMs);
