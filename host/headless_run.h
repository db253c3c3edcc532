#pragma once

#include <cstdint>

#include "script/scene_clock.h"

// A run of the piece without a window, on a fixed frame schedule instead of
// the timer: frame k (k = 1, 2, ...) at floor(k * 1000 / fps) ms, as a
// real-time run whose frames all came exactly on time would see it. Every
// tool and test that needs a moment of the piece reaches it through here.
// Needs no GL itself: frames are drawn by the drawer the caller passes.

// Draws one frame (RunSceneFrame, with a current GL context and the atlas
// loaded); kUndrawn runs the frame's simulation and random draws only.
using FrameDrawer = void (*)(const SceneClock& clock);
inline constexpr FrameDrawer kUndrawn = nullptr;

// Absorbs decimal seconds a hair off a frame boundary in binary
// (0.29 * 100 = 28.999999999999996) when seconds are turned into frames.
inline constexpr double kFrameBoundarySlack = 1e-6;

// Elapsed milliseconds of frame k: floor(k * 1000 / fps).
int32_t ScheduledElapsedMs(int64_t frame, int framesPerSecond);

// The frame that shows the moment `seconds`: the first frame at or after it,
// that is the frame whose interval ((k - 1) / fps, k / fps] holds it, and
// frame 1 for 0. The capture tool writes the same frame for that moment.
int64_t FrameShowing(double seconds, int framesPerSecond);

// Back to program start: the simulation reset and seeded, the clock at 0 ms
// and no frame run yet.
void StartHeadlessRun(int framesPerSecond);

// The next frame of the schedule.
void RunNextFrame(FrameDrawer draw);

// Runs on to frame k, which must lie after the last frame run: frames before
// k - 1 undrawn; with a drawer, frames k - 1 and k drawn, so that frame k
// starts from the GL state a drawn frame leaves, as in the real-time run.
void RunUpToFrame(int64_t k, FrameDrawer draw);

// One frame at any elapsed time, off the schedule: for tests of what a frame
// does at a chosen clock reading. The schedule goes on with its first frame
// after that reading.
void RunFrameAt(int32_t elapsedMs, FrameDrawer draw);

// The last frame of the schedule run (0 before the first), and its clock.
int64_t HeadlessFrame();
const SceneClock& HeadlessClock();
