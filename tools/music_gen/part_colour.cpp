// Risers into the turns, deep hits on the biggest ones, and the quiet chord
// under the title cards.
#include "tools/music_gen/arrangement.h"

namespace {

// A riser of `bars` bars into `bar`'s downbeat; it stops a sixteenth short,
// so that the hit on the downbeat lands in the air it leaves.
void RiserInto(Writer& w, int bar, int bars, float velocity) {
  if (bar - bars < 0) return;
  Write(w, kRiser, bar - bars, 0.0f, static_cast<float>(bars * kBeatsPerBar) - 0.25f, 0.0f, velocity);
}

}  // namespace

void WriteColour(Writer& w) {
  const int* first = w.map.firstBar;
  RiserInto(w, first[kRise], 1, 0.5f);
  RiserInto(w, first[kDrift], 1, 0.7f);
  RiserInto(w, first[kOrbit], 1, 0.5f);
  RiserInto(w, first[kSurge], 2, 0.9f);
  RiserInto(w, first[kGather], 1, 0.6f);
  RiserInto(w, first[kFinale], BarsIn(w.map, kGather), 1.0f);
  for (int bar = first[kSurge]; bar < first[kSurge + 1]; ++bar)
    if (PlaceOf(w.map, bar).phrase.role == kBreath) RiserInto(w, bar + 1, 1, 0.8f);
  for (int section : {kSurge, kHush, kFinale}) Write(w, kImpact, first[section], 0.0f, 4.0f, 26.0f, 1.0f);

  // Under the title cards, in just before them: the arrival's chord, very
  // soft, and a few bells, gone before the end.
  int bar = 0;
  float beat = 0.0f;
  FirstBeatFrom(w.map, kCardsStartSeconds - 0.8, &bar, &beat);
  const float beats = static_cast<float>((kSceneEndSeconds - 1.6 - TimeAt(w.map, bar, beat)) /
                                         (BarSeconds(w.map, bar) / kBeatsPerBar));
  const Chord& arrival = ChordAt(w.map, bar, beat);
  const Voicing v = StackedVoicing(arrival, 50);
  for (int i = 0; i < kVoicingSize; ++i)
    Write(w, kPad, bar, beat, beats, static_cast<float>(v.notes[i]), 0.3f, -0.6f + 0.3f * i);
  const float bells[] = {78, 81, 86, 88, 85};
  for (int i = 0; i < 5; ++i)
    Write(w, kBell, bar, beat + 1.0f + 2.5f * i, 2.0f, bells[i], 0.3f, i % 2 ? 0.4f : -0.4f);
}
