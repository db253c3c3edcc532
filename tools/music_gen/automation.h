#pragma once

#include <vector>

#include "tools/music_gen/score.h"
#include "tools/music_gen/synth.h"

// The control curves of the piece, for `frames` frames.

// The swell as the picture has it, the pads' brightness from the arc and the
// swell, and the kick's ducking from the kicks as played.
Automation BuildAutomation(const TempoMap& map, const Score& score, int frames);

// The mix's level ride in dB: the arc (the band's intensity, bar by bar,
// rising into a louder bar, falling after a quieter one starts) and the
// swell, so that the whole mix breathes with the picture.
ControlCurve LevelRideDb(const TempoMap& map, const Automation& automation, int frames);
// How far the mix tilts toward its top with the swell, in dB between the
// part above 1.5 kHz and the part below 150 Hz.
ControlCurve TiltDb(const Automation& automation);

// How wide the sound stands, 0..1, from the swarm's spread (swarm_drive.h):
// narrow when it gathers, wide when it spreads.
ControlCurve WidthFromSpread(const std::vector<float>& spreadByFrame, int frames);
