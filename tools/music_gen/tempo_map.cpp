#include "tools/music_gen/tempo_map.h"

#include <algorithm>
#include <cmath>

TempoMap BuildTempoMap(const double (&sectionStarts)[kSectionCount], double end) {
  TempoMap map;
  for (int s = 0; s < kSectionCount; ++s) {
    map.firstBar[s] = static_cast<int>(map.barStarts.size());
    const double from = sectionStarts[s];
    const double to = s + 1 < kSectionCount ? sectionStarts[s + 1] : end;
    const long bars = std::max(1L, std::lround((to - from) / kNominalBarSeconds));
    for (long b = 0; b < bars; ++b)
      map.barStarts.push_back(from + (to - from) * static_cast<double>(b) / bars);
  }
  map.firstBar[kSectionCount] = static_cast<int>(map.barStarts.size());
  map.barStarts.push_back(end);
  return map;
}

const TempoMap& PieceTempoMap() {
  static const TempoMap map = BuildTempoMap(kSectionStarts, kSceneEndSeconds);
  return map;
}

int BarCount(const TempoMap& map) { return map.firstBar[kSectionCount]; }

int BarsIn(const TempoMap& map, int section) {
  return map.firstBar[section + 1] - map.firstBar[section];
}

int SectionOfBar(const TempoMap& map, int bar) {
  int section = 0;
  while (section + 1 < kSectionCount && bar >= map.firstBar[section + 1]) ++section;
  return section;
}

double BarSeconds(const TempoMap& map, int bar) {
  if (bar < 0) bar = 0;
  if (bar >= BarCount(map)) bar = BarCount(map) - 1;
  return map.barStarts[static_cast<size_t>(bar) + 1] - map.barStarts[static_cast<size_t>(bar)];
}

double TimeAt(const TempoMap& map, int bar, double beat) {
  while (beat >= kBeatsPerBar && bar + 1 < BarCount(map)) {
    beat -= kBeatsPerBar;
    ++bar;
  }
  while (beat < 0.0 && bar > 0) {
    beat += kBeatsPerBar;
    --bar;
  }
  const int clamped = std::clamp(bar, 0, BarCount(map) - 1);
  return map.barStarts[static_cast<size_t>(clamped)] + beat / kBeatsPerBar * BarSeconds(map, clamped);
}

void FirstBeatFrom(const TempoMap& map, double seconds, int* bar, float* beat) {
  int b = 0;
  while (b + 1 < BarCount(map) && map.barStarts[static_cast<size_t>(b) + 1] <= seconds) ++b;
  const double into = (seconds - map.barStarts[static_cast<size_t>(b)]) / BarSeconds(map, b);
  *bar = b;
  *beat = static_cast<float>(std::ceil(into * kBeatsPerBar - 1e-9));
  if (*beat < 0.0f) *beat = 0.0f;
}
