#pragma once

#include <vector>

#include "tools/music_gen/synth.h"

// Gain of everything but the closing pad: 1 until the picture starts fading,
// then down to silence with it.
float FadeGain(double seconds);

// Effects, fade, the closing pad, DC removal, then one gain so the loudest
// sample sits at peakTarget (linear). Results are left/right of the whole piece.
void MixDown(MixBuses& main, MixBuses& outro, float peakTarget, std::vector<float>& left,
             std::vector<float>& right);
