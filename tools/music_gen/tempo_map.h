#pragma once

#include <vector>

#include "tools/music_gen/sections.h"

// Bars of four beats laid over the script: every section starts on a
// downbeat exactly at its time, and holds a whole number of bars as near the
// nominal length as fits, so the tempo moves a little from section to section
// (the gather broadens into the finale) instead of the picture's turns
// falling off the bar.

// Four bars of the nominal tempo last one period of the swell's fast factor,
// 2 pi / 0.75 s (114.6 beats a minute).
inline constexpr double kNominalBarSeconds = 2.0 * 3.14159265358979323846 / 0.75 / 4.0;
inline constexpr int kBeatsPerBar = 4;

struct TempoMap {
  std::vector<double> barStarts;    // every bar's downbeat, then the end of the last bar
  int firstBar[kSectionCount + 1];  // each section's first bar, then the bar count
};

// Sections start at sectionStarts (increasing), the last one ends at `end`.
TempoMap BuildTempoMap(const double (&sectionStarts)[kSectionCount], double end);
// The map of the piece's own script, up to its end.
const TempoMap& PieceTempoMap();

int BarCount(const TempoMap& map);
int BarsIn(const TempoMap& map, int section);
int SectionOfBar(const TempoMap& map, int bar);
double BarSeconds(const TempoMap& map, int bar);
// Seconds at `beat` beats after bar's downbeat; beats may run past the bar's
// end (or before its start), each bar keeping its own tempo.
double TimeAt(const TempoMap& map, int bar, double beat);
// The bar that holds `seconds` and the first whole beat of it at or after
// `seconds` (which may be the next bar's 0).
void FirstBeatFrom(const TempoMap& map, double seconds, int* bar, float* beat);
