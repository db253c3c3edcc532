#pragma once

#include "tools/music_gen/tempo_map.h"

// The harmony, in D minor with a D major arrival: which chord sounds when,
// and how the pads voice it.

struct Chord {
  int bass;       // MIDI note of the bass's root
  int tones[5];   // pitch classes, the root first
  int toneCount;
};

// The chord at `beat` of `bar` (a few change on the bar's third beat).
const Chord& ChordAt(const TempoMap& map, int bar, float beat);

inline constexpr int kVoicingSize = 5;
struct Voicing {
  int notes[kVoicingSize];  // MIDI notes, rising
};

// The chord's tones nearest to `previous`, each voice moving as little as it
// can while every tone of the chord sounds, kept inside [low, high] (MIDI).
Voicing VoiceLead(const Chord& chord, const Voicing& previous, int low, int high);
// A first voicing: the chord stacked from `low` up.
Voicing StackedVoicing(const Chord& chord, int low);

bool IsChordTone(const Chord& chord, int midi);
// The scale of the moment: D natural minor, with C sharp over an A major chord.
bool InScale(const Chord& chord, int midi);
