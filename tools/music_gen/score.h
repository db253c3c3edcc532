#pragma once

#include "tools/music_gen/synth.h"

// Sixteen beats last 2 pi / 0.75 s, one period of the swell's fast factor, so a
// four-bar phrase breathes with the picture's swell.
inline constexpr double kBeatSeconds = 2.0 * 3.14159265358979323846 / 0.75 / 16.0;
// Beat 0 falls where the swell starts; earlier beats count back into the intro.
inline constexpr double kGridOrigin = 19.0;
inline constexpr double kPieceSeconds = 230.0;
inline constexpr int kPieceFrames = static_cast<int>(kPieceSeconds) * kSampleRate;
inline constexpr double kFadeStart = 219.0;
inline constexpr double kFadeEnd = 221.0;

enum Section { kIntro, kRise, kDrift, kOrbit, kSurge, kHush, kGather, kFinale, kSectionCount };
// The scene's schedule turns at these times; each section starts on the beat nearest.
inline constexpr double kSectionStarts[kSectionCount] = {0.0,   19.0,  61.0,  80.0,
                                                         130.0, 190.0, 210.0, 217.0};

double StepTime(int step);  // sixteenth-note step, 0 at kGridOrigin
Section SectionAtStep(int step);

// Writes the whole arrangement: everything up to the fade into main, the quiet
// closing pad under the title cards into outro.
void RenderScore(MixBuses& main, MixBuses& outro);
