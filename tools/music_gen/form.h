#pragma once

#include "tools/music_gen/tempo_map.h"

// The phrases of each section: four bars each from the section's downbeat,
// alternately a question and its answer. Bars left over lengthen the last
// phrase, except in the surge, where one spare bar is a held breath before
// its last three phrases, the climax.

enum PhraseRole { kQuestion, kAnswer, kBreath, kClimax };

struct Phrase {
  int section;
  int firstBar;  // of the tempo map
  int bars;
  int index;  // within the section; the breath counts as one
  int count;  // phrases in the section
  PhraseRole role;
  int climaxIndex;  // 0.. within the climax, -1 elsewhere
};

struct BarPlace {
  Phrase phrase;
  int inPhrase;  // 0..phrase.bars - 1
  int inSection;
  int sectionBars;
  bool LastOfPhrase() const { return inPhrase == phrase.bars - 1; }
  bool LastOfSection() const { return inSection == sectionBars - 1; }
  bool LastPhrase() const { return phrase.index == phrase.count - 1; }
};

inline constexpr int kPhraseBars = 4;
inline constexpr int kClimaxPhrases = 3;

BarPlace PlaceOf(const TempoMap& map, int bar);

// The arc of the piece, 0..1 for each bar: how hard the band plays.
float Intensity(const BarPlace& at);
