#pragma once

#include <vector>

#include "script/script.h"
#include "tools/music_gen/synth.h"

// The published target the master meets: integrated loudness, and a true
// peak ceiling below -1 dBTP by the margin the MP3 encoder's overshoot needs.
inline constexpr double kTargetLufs = -14.0;
inline constexpr double kCeilingDbtp = -2.3;
inline constexpr int kPieceFrames = static_cast<int>(kSceneEndSeconds) * kSampleRate;

// The music's gain as the picture fades to black: 1 up to the fade, then
// down in equal steps of loudness (60 dB over the fade), then silence.
float FadeGain(double seconds);

// How the main mix moves: its width (0..1, from the swarm), its level ride
// and its tilt (both dB, automation.h).
struct MixCurves {
  ControlCurve width, levelDb, tiltDb;
};

// Effects of both mixes; the wide bus and the reverb opened by the width;
// main equalised, compressed, ridden and faded; the title cards' notes
// added; then mastered. left/right: the whole piece, `frames` long.
void MixDown(MixBuses& main, MixBuses& cards, const MixCurves& curves, int frames,
             std::vector<float>& left, std::vector<float>& right);
