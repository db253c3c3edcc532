#pragma once

#include <vector>

#include "tools/music_gen/tempo_map.h"

// The melodies, four bars each (beats from the phrase's downbeat), and the
// ways a repeat varies them.

struct ThemeNote {
  float beat, beats;
  int pitch;  // MIDI
};
using Line = std::vector<ThemeNote>;

enum Theme {
  kAsk,          // the home question, over D minor, B flat, F, C: ends open on E
  kReply,        // its answer, over G minor, B flat, A, D minor: ends home on D
  kLonging,      // the drift, over G minor, D minor, B flat, A
  kLongingAgain,
  kOrbitAsk,     // long notes over the rings' two-bar chords
  kOrbitReply,
  kOrbitClimb,   // up into the surge over A minor, A
  kLift,         // the climax, an octave above the rest
  kLiftReply,
  kLiftHome,     // the climax's end, on the dominant into the hush
  kGatherClimb,  // A major's tones rising over the pedal to the leading note
  kThemeCount
};

Line ThemeLine(Theme theme);

// Variations, combined as flags.
enum Variation {
  kPlain = 0,
  kOrnamented = 1,  // passing notes through the leaps of a third
  kSyncopated = 2,  // notes on beats 2 and 4 of the phrase pushed an eighth early
  kSparse = 4,      // only the notes of a beat or longer
  kOctaveDown = 8,
};

// The line varied, its passing notes taken from the scale of the harmony
// under them (the phrase starts at firstBar of map).
Line Vary(const Line& line, int variation, const TempoMap& map, int firstBar);
