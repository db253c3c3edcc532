#pragma once

#include <vector>

#include "tools/music_gen/tempo_map.h"

// The score: every note of the piece as written, on the tempo map's bars.
// The performance (performance.h) turns it into sound with a small, seeded
// looseness of time and touch; the score itself is exact, so that its
// structure can be checked.

enum Voice {
  kKick,
  kSnare,
  kClap,
  kClosedHat,
  kOpenHat,
  kCrash,
  kTom,
  kRiser,   // a noise swell of `beats` that ends where the next note starts
  kImpact,  // a deep hit that marks a big turn
  kBass,
  kPad,
  kAir,  // the pads' breath, an octave or two above them
  kArp,
  kLead,
  kCounter,
  kBell,
  kVoiceCount
};

struct NoteEvent {
  Voice voice;
  int bar;         // of the tempo map
  float beat;      // beats after the bar's downbeat
  float beats;     // length in beats
  float pitch;     // MIDI note; the drums' tuning
  float velocity;  // 0..1
  float pan;       // -1 left .. 1 right
  bool onTheTurn;  // on a section's first downbeat: played exactly on time
};

using Score = std::vector<NoteEvent>;

// The whole arrangement on `map`, sorted by bar, then beat.
Score ComposeScore(const TempoMap& map);
