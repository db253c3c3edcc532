#pragma once

#include <vector>

#include "tools/music_gen/form.h"
#include "tools/music_gen/harmony.h"
#include "tools/music_gen/score.h"

// What the part writers share while the score is composed: the map, the
// score so far and the pads' voicing of every bar (the arpeggio and the
// counter-line follow it).
struct Writer {
  const TempoMap& map;
  Score& score;
  std::vector<Voicing> voicings;  // at each bar's downbeat
};

// Adds a note; a note on a section's first downbeat is marked to be played on time.
void Write(Writer& w, Voice voice, int bar, float beat, float beats, float pitch, float velocity,
           float pan = 0.0f);
// The same by sixteenth-note step of the bar (0..15).
inline void Hit(Writer& w, Voice voice, int bar, int step, float velocity, float pan = 0.0f,
                float pitch = 0.0f) {
  Write(w, voice, bar, static_cast<float>(step) * 0.25f, 0.25f, pitch, velocity, pan);
}

// Each part, over the whole piece. The harmony comes first: it sets the voicings.
void WriteHarmony(Writer& w);
void WriteDrums(Writer& w);
void WriteBass(Writer& w);
void WriteMelody(Writer& w);
void WriteColour(Writer& w);
