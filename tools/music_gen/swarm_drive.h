#pragma once

#include <vector>

// What the soundtrack takes from the swarm itself: the simulation run undrawn
// on the 60 fps schedule, exactly as a capture runs it, and measured after
// every frame.
inline constexpr int kDriveFramesPerSecond = 60;

// The swarm's spread, the mean distance of the agents from their centroid (in
// the simulation's units: about 2.2 gathered on the sphere, 12 at its widest),
// for frames 1..seconds * 60; entry k is frame k + 1. Starts the simulation
// from the beginning, so nothing else may be running it.
std::vector<float> SwarmSpreadByFrame(double seconds);

// The spread at `seconds`, linear between the frames' times.
float SpreadAt(const std::vector<float>& spreadByFrame, double seconds);
