#include "tools/music_gen/arrangement.h"

#include <algorithm>

void Write(Writer& w, Voice voice, int bar, float beat, float beats, float pitch, float velocity,
           float pan) {
  const bool onTheTurn = beat == 0.0f && bar == w.map.firstBar[SectionOfBar(w.map, bar)];
  w.score.push_back({voice, bar, beat, beats, pitch, velocity, pan, onTheTurn});
}

Score ComposeScore(const TempoMap& map) {
  Score score;
  Writer w{map, score, {}};
  WriteHarmony(w);
  WriteDrums(w);
  WriteBass(w);
  WriteMelody(w);
  WriteColour(w);
  std::stable_sort(score.begin(), score.end(), [](const NoteEvent& a, const NoteEvent& b) {
    return a.bar != b.bar ? a.bar < b.bar : a.beat < b.beat;
  });
  return score;
}
