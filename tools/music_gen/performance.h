#pragma once

#include <cstdint>

#include "tools/music_gen/score.h"
#include "tools/music_gen/synth.h"

// The score played: each note a few milliseconds off the grid and a little
// harder or softer, by a hash of where it stands, so that every run plays
// it the same way. Notes on a section's first downbeat are played on time.

struct Played {
  double start, length;  // seconds
  float velocity;
};
Played Perform(const TempoMap& map, const NoteEvent& note);

// Notes that start this late belong under the title cards, which the fade
// to black leaves alone.
inline constexpr double kCardsNotesFrom = kCardsStartSeconds - 1.0;

// Renders every note of the score onto main or, for the title cards', cards.
void RenderScore(const Score& score, const TempoMap& map, const Automation& automation,
                 MixBuses& main, MixBuses& cards);
