#pragma once

#include <cstdio>
#include <vector>

#include "tools/music_gen/loudness.h"
#include "tools/music_gen/sections.h"

// The figures by which the soundtrack is judged, measured on a decoded file.
// The windows follow the script, so they move with it.

// Where the swell is followed: from 3 s after its start (the first short-term
// window wholly inside it) to the end of the surge.
inline constexpr double kSwellFollowFrom = kSwellStartSeconds + 3.0;
inline constexpr double kSwellFollowTo = kModeSchedule[4].startSeconds;
// How early or late a change of the picture may be heard.
inline constexpr double kOnBeatEarliest = -0.045;
inline constexpr double kOnBeatLatest = 0.030;

enum Band { kBelow60, k60To250, k250To2k, kAbove2k, kBandCount };

struct ChangeHeard {
  double pictureSeconds;  // the schedule's time
  double offsetSeconds;   // the loudest onset near it, minus that time
};

struct SoundtrackFigures {
  double seconds;
  LoudnessFigures whole;
  double below120Lufs, above150Lufs;
  double bandShare[kBandCount];           // of the energy before the fade
  double octaveBalanceDb[kSectionCount];  // 63 Hz octave over the 1 kHz octave
  double sectionLufs[kSectionCount];
  double cardsLufs;  // under the title cards
  double swellLoudnessCorrelation, swellBrightnessCorrelation;
  ChangeHeard changes[kModeRowCount - 1];
  double spreadWidthCorrelation;
};

// Signals are followed in 3 s windows every 0.1 s, as short-term loudness:
// the swell as the mean of |SwellAt| in the window, brightness as the share of
// the energy above 1.5 kHz (dB), the stereo width as the energy of the side
// (L - R) over that of the middle (L + R), in dB. The onset of a change is the
// strongest spectral flux from 0.5 s before it to 1.2 s after it.
// spreadByFrame: the swarm's spread on the 60 fps schedule (swarm_drive.h).
SoundtrackFigures MeasureSoundtrack(const std::vector<float>& left, const std::vector<float>& right,
                                    const std::vector<float>& spreadByFrame);
void PrintFigures(const SoundtrackFigures& figures, std::FILE* out);
