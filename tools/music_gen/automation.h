#pragma once

#include <vector>

#include "tools/music_gen/score.h"
#include "tools/music_gen/synth.h"

// The control curves of the piece, for `frames` frames.

// The swell as the picture has it, the pads' brightness from the arc and the
// swell, and the kick's ducking from the kicks as played.
Automation BuildAutomation(const TempoMap& map, const Score& score, int frames);

// How wide the sound stands, 0..1, from the swarm's spread (swarm_drive.h):
// narrow when it gathers, wide when it spreads.
ControlCurve WidthFromSpread(const std::vector<float>& spreadByFrame, int frames);
