#pragma once

#include "script/script.h"
#include "tools/music_gen/sections.h"
#include "tools/music_gen/synth.h"

// Sixteen beats last 2 pi / 0.75 s, one period of the swell's fast factor, so a
// four-bar phrase breathes with the picture's swell.
inline constexpr double kBeatSeconds = 2.0 * 3.14159265358979323846 / 0.75 / 16.0;
// Beat 0 falls where the swell starts; earlier beats count back into the intro.
inline constexpr double kGridOrigin = kSwellStartSeconds;
inline constexpr int kPieceFrames = static_cast<int>(kSceneEndSeconds) * kSampleRate;
// The music fades with the picture, silent when the picture is black.
inline constexpr double kFadeStart = kFadeStartSeconds;
inline constexpr double kFadeEnd = kCardsStartSeconds;

double StepTime(int step);  // sixteenth-note step, 0 at kGridOrigin
Section SectionAtStep(int step);

// Writes the whole arrangement: everything up to the fade into main, the quiet
// closing pad under the title cards into outro.
void RenderScore(MixBuses& main, MixBuses& outro);
