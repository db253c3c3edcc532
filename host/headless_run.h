#pragma once

#include <cstdint>

#include "scene/scene_clock.h"

// A scripted run of the piece without a window: the same frame function as
// the real-time loop, fed from a list of elapsed times instead of the timer.

// Elapsed milliseconds of frame k on a fixed schedule: floor(k * 1000 / fps).
int32_t ScheduledElapsedMs(int64_t frame, int framesPerSecond);

// Puts the simulation back to program start, loads TEX.tga from the working
// directory when withAtlas (needs a current GL context), seeds the swarm and
// starts the clock at 0 ms.
void StartHeadlessRun(bool withAtlas);

// One frame at elapsedMs: drawn through RunSceneFrame (needs the context),
// or undrawn, which leaves the simulation and the random source where a
// drawn frame would.
void RunHeadlessFrame(int32_t elapsedMs, bool drawn);

// The clock of the last frame run.
const SceneClock& HeadlessClock();
