#pragma once

#include "script/script.h"

// The soundtrack's sections: the intro, the rise from the swell's start, then
// one section for each later row of the scene's mode schedule, so that the
// music turns where the picture turns.
enum Section { kIntro, kRise, kDrift, kOrbit, kSurge, kHush, kGather, kFinale, kSectionCount };
static_assert(kSectionCount == kModeRowCount + 1, "one section per row of the mode schedule");

inline constexpr const char* kSectionNames[kSectionCount] = {"intro", "rise", "drift",  "orbit",
                                                             "surge", "hush", "gather", "finale"};

inline constexpr double kSectionStarts[kSectionCount] = {
    kModeSchedule[0].startSeconds, kSwellStartSeconds,
    kModeSchedule[1].startSeconds, kModeSchedule[2].startSeconds,
    kModeSchedule[3].startSeconds, kModeSchedule[4].startSeconds,
    kModeSchedule[5].startSeconds, kModeSchedule[6].startSeconds};

// The end of a section's music: the next one's start, and for the finale the
// start of the fade to black.
inline constexpr double SectionEnd(int section) {
  return section + 1 < kSectionCount ? kSectionStarts[section + 1] : kFadeStartSeconds;
}
