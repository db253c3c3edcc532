// The bass: the chord's root in a figure for each section, leading into the
// next chord by step where the harmony moves.
#include <span>

#include "tools/music_gen/arrangement.h"

namespace {

struct BassNote {
  int step;     // sixteenth of the bar
  int length;   // sixteenths
  int offset;   // semitones above the root
  float accent;
};

using Figure = std::span<const BassNote>;

constexpr BassNote kDriftFigureNotes[] = {{0, 3, 0, 1.0f}, {3, 2, 0, 0.6f}, {6, 3, 7, 0.75f},
                                     {10, 2, 0, 0.7f}, {12, 2, 12, 0.65f}};
constexpr BassNote kDriftTurnNotes[] = {{0, 3, 0, 1.0f}, {3, 2, 12, 0.6f}, {6, 2, 0, 0.7f},
                                   {8, 3, 7, 0.75f}, {11, 3, 0, 0.65f}};
constexpr BassNote kPulseNotes[] = {{0, 2, 0, 1.0f},  {2, 2, 0, 0.7f},  {4, 2, 0, 0.85f},
                               {6, 2, 12, 0.7f}, {8, 2, 0, 0.9f},  {10, 2, 0, 0.7f},
                               {12, 2, 0, 0.85f}, {14, 2, 12, 0.7f}};
constexpr BassNote kGallopNotes[] = {{0, 2, 0, 1.0f},  {3, 1, 0, 0.6f},  {4, 2, 12, 0.8f},
                                {7, 1, 0, 0.6f},  {8, 2, 0, 0.9f},  {11, 1, 7, 0.6f},
                                {12, 2, 12, 0.8f}, {14, 2, 0, 0.7f}};
constexpr BassNote kOffbeatsNotes[] = {{0, 2, 0, 1.0f}, {2, 2, 0, 0.6f}, {6, 2, 0, 0.6f},
                                  {10, 2, 0, 0.6f}, {14, 2, 0, 0.6f}};


constexpr Figure kDriftFigure = kDriftFigureNotes, kDriftTurn = kDriftTurnNotes, kPulse = kPulseNotes,
                 kGallop = kGallopNotes, kOffbeats = kOffbeatsNotes;

void Play(Writer& w, int bar, Figure figure, int root, float level, int lastStep = 16) {
  for (const BassNote& n : figure)
    if (n.step < lastStep)
      Write(w, kBass, bar, n.step * 0.25f, n.length * 0.25f * 0.9f,
            static_cast<float>(root + n.offset), level * n.accent);
}

// A step into the next bar's root on the last sixteenths, when the root moves.
void Approach(Writer& w, int bar, float level) {
  if (bar + 1 >= BarCount(w.map)) return;
  const int root = ChordAt(w.map, bar, 3.0f).bass;
  const Chord& next = ChordAt(w.map, bar + 1, 0.0f);
  if (next.bass == root) return;
  const int from = next.bass > root ? next.bass - 2 : next.bass + 2;
  const int pitch = InScale(next, from) ? from : (next.bass > root ? next.bass - 1 : next.bass + 1);
  Write(w, kBass, bar, 3.5f, 0.4f, static_cast<float>(pitch), 0.65f * level);
}

// Long roots, a note for each chord of up to two bars; returns the bars it holds.
int HeldRoot(Writer& w, int bar, const BarPlace& at, float level) {
  const int root = ChordAt(w.map, bar, 0.0f).bass;
  int bars = 1;
  if (!at.LastOfSection() && bar + 1 < BarCount(w.map) && ChordAt(w.map, bar + 1, 0.0f).bass == root)
    bars = 2;
  Write(w, kBass, bar, 0.0f, 4.0f * bars - 0.2f, static_cast<float>(root), level);
  return bars;
}

}  // namespace

void WriteBass(Writer& w) {
  int heldUntil = 0;  // the first bar after the long root that sounds
  for (int bar = 0; bar < BarCount(w.map); ++bar) {
    const BarPlace at = PlaceOf(w.map, bar);
    const Phrase& p = at.phrase;
    const int root = ChordAt(w.map, bar, 0.0f).bass;
    const float level = 0.7f + 0.3f * Intensity(at);
    switch (p.section) {
      case kIntro:
        // In where the chord first moves, held under the pads.
        if (at.inSection * 9 >= 4 * at.sectionBars && bar >= heldUntil)
          heldUntil = bar + HeldRoot(w, bar, at, 0.45f);
        break;
      case kRise:
        if (p.index == 0) {
          Write(w, kBass, bar, 0.0f, 3.8f, static_cast<float>(root), 0.6f);
        } else if (p.index == 1) {
          Play(w, bar, kOffbeats, root, level);
        } else {
          Play(w, bar, at.inPhrase % 2 == 0 ? kDriftFigure : kDriftTurn, root, level,
                 at.LastOfPhrase() ? 14 : 16);
          if (at.LastOfPhrase()) Approach(w, bar, level);
        }
        break;
      case kDrift:
        if (at.LastOfSection()) {
          Play(w, bar, kPulse, root, level, 12);
          Approach(w, bar, level);
        } else {
          Play(w, bar, at.inPhrase == 1 ? kDriftTurn : kDriftFigure, root, level,
                 at.inPhrase == 3 ? 14 : 16);
          if (at.inPhrase == 3) Approach(w, bar, level);
        }
        break;
      case kOrbit:
        if (at.LastPhrase() && at.inPhrase >= 2) {
          Play(w, bar, kPulse, root, level);
        } else if (at.inPhrase % 2 == 0) {
          Write(w, kBass, bar, 0.0f, 7.2f, static_cast<float>(root), level);
        } else {
          Write(w, kBass, bar, 3.5f, 0.4f, static_cast<float>(root + 7), 0.6f * level);
          if (p.role == kAnswer)
            for (float beat : {2.0f, 2.5f}) Write(w, kBass, bar, beat, 0.4f, static_cast<float>(root + 12), 0.55f * level);
        }
        break;
      case kSurge:
        if (p.role == kBreath) break;
        if (p.role == kClimax || p.role == kAnswer)
          Play(w, bar, at.inPhrase % 2 == 0 ? kGallop : kPulse, root, level,
                 at.LastOfPhrase() ? 14 : 16);
        else
          Play(w, bar, at.inPhrase == 3 ? kDriftTurn : kPulse, root, level, at.LastOfPhrase() ? 14 : 16);
        if (at.LastOfPhrase()) Approach(w, bar, level);
        break;
      case kHush:
        if (bar >= heldUntil) heldUntil = bar + HeldRoot(w, bar, at, 0.5f);
        break;
      case kGather: {
        const int every = at.inSection == 0 ? 2 : 1;
        for (int step = 0; step < 16; step += every)
          Write(w, kBass, bar, step * 0.25f, every * 0.22f,
                static_cast<float>(root + (at.LastOfSection() && step % 4 == 2 ? 12 : 0)),
                level * (step % 4 == 0 ? 1.0f : 0.7f));
        break;
      }
      default:
        if (at.inSection == 0) Write(w, kBass, bar, 0.0f, 4.0f * at.sectionBars, static_cast<float>(root), 1.0f);
        break;
    }
  }
}
