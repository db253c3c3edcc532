#pragma once

#include "script/script.h"
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

enum Section { kIntro, kRise, kDrift, kOrbit, kSurge, kHush, kGather, kFinale, kSectionCount };
// The intro, the rise from the swell's start, then one section for each later
// row of the scene's mode schedule; each starts on the beat nearest its time.
static_assert(kSectionCount == kModeRowCount + 1, "one section per row of the mode schedule");
inline constexpr double kSectionStarts[kSectionCount] = {
    kModeSchedule[0].startSeconds, kSwellStartSeconds,
    kModeSchedule[1].startSeconds, kModeSchedule[2].startSeconds,
    kModeSchedule[3].startSeconds, kModeSchedule[4].startSeconds,
    kModeSchedule[5].startSeconds, kModeSchedule[6].startSeconds};

double StepTime(int step);  // sixteenth-note step, 0 at kGridOrigin
Section SectionAtStep(int step);

// Writes the whole arrangement: everything up to the fade into main, the quiet
// closing pad under the title cards into outro.
void RenderScore(MixBuses& main, MixBuses& outro);
