#include "tools/music_gen/harmony.h"

#include <algorithm>
#include <cstdlib>

#include "tools/music_gen/form.h"

namespace {

// Pitch classes: C 0, C# 1, D 2, E 4, F 5, F# 6, G 7, A 9, Bb 10.
constexpr Chord kDm9 = {38, {2, 5, 9, 0, 4}, 5};
constexpr Chord kBbMaj9 = {34, {10, 2, 5, 9, 0}, 5};
constexpr Chord kFMaj7 = {41, {5, 9, 0, 4, 7}, 5};
constexpr Chord kFOverA = {33, {5, 9, 0, 4, 7}, 5};
constexpr Chord kCAdd9 = {36, {0, 4, 7, 2}, 4};
constexpr Chord kGm9 = {31, {7, 10, 2, 5, 9}, 5};
constexpr Chord kA7 = {33, {9, 1, 4, 7}, 4};
constexpr Chord kA7Sus4 = {33, {9, 2, 4, 7}, 4};
constexpr Chord kA7Flat9 = {33, {9, 1, 4, 7, 10}, 5};
constexpr Chord kAm7 = {33, {9, 0, 4, 7, 2}, 5};
constexpr Chord kDMaj9 = {38, {2, 6, 9, 1, 4}, 5};

int PitchClass(int midi) { return ((midi % 12) + 12) % 12; }

const Chord& Pick(const Chord* const* bars, int inPhrase, int count) {
  return *bars[inPhrase < count ? inPhrase : count - 1];
}

const Chord& Intro(const BarPlace& at) {
  if (at.LastOfSection()) return kA7Sus4;
  const int ninths = at.inSection * 9 / at.sectionBars;
  return ninths < 4 ? kDm9 : (ninths < 6 ? kBbMaj9 : kGm9);
}

// The home question (open, on C) and its answer (closed, on D minor); on the
// answer's third bar the dominant's suspension resolves half way through.
const Chord& HomeOrAnswer(const BarPlace& at, float beat) {
  static const Chord* const kHome[] = {&kDm9, &kBbMaj9, &kFMaj7, &kCAdd9};
  static const Chord* const kAnswer[] = {&kGm9, &kBbMaj9, &kA7Sus4, &kDm9};
  if (at.phrase.role == kQuestion) return Pick(kHome, at.inPhrase, 4);
  if (at.inPhrase == 2 && beat >= 2.0f) return kA7;
  return Pick(kAnswer, at.inPhrase, 4);
}

const Chord& Drift(const BarPlace& at) {
  static const Chord* const kLonging[] = {&kGm9, &kDm9, &kBbMaj9, &kA7};
  static const Chord* const kLongingAgain[] = {&kGm9, &kDm9, &kBbMaj9, &kA7Sus4};
  if (at.LastOfSection()) return kA7;
  return Pick(at.phrase.index % 2 == 0 ? kLonging : kLongingAgain, at.inPhrase, 4);
}

// Two bars to a chord, as the rings turn.
const Chord& Orbit(const BarPlace& at) {
  const int half = at.inPhrase / 2;
  if (at.LastPhrase()) return half == 0 ? kAm7 : kA7;
  if (at.phrase.role == kAnswer) return half == 0 ? kAm7 : kDm9;
  const bool third = at.phrase.index / 2 == 2;
  return half == 0 ? (third ? kGm9 : kBbMaj9) : kCAdd9;
}

const Chord& Surge(const BarPlace& at, float beat) {
  if (at.phrase.role == kBreath) return kA7Sus4;
  if (at.phrase.role != kClimax) return HomeOrAnswer(at, beat);
  static const Chord* const kLift[] = {&kBbMaj9, &kFOverA, &kCAdd9, &kDm9};
  static const Chord* const kLiftAnswer[] = {&kBbMaj9, &kCAdd9, &kAm7, &kDm9};
  static const Chord* const kLiftHome[] = {&kBbMaj9, &kCAdd9, &kA7Sus4, &kA7};
  const bool last = at.phrase.climaxIndex == kClimaxPhrases - 1 || at.LastPhrase();
  if (last) return Pick(kLiftHome, at.inPhrase, 4);
  return Pick(at.phrase.climaxIndex % 2 == 0 ? kLift : kLiftAnswer, at.inPhrase, 4);
}

const Chord& Hush(const BarPlace& at) {
  static const Chord* const kStill[] = {&kDm9, &kBbMaj9, &kGm9, &kCAdd9};
  if (at.LastOfSection()) return kA7Sus4;
  if (at.inSection >= 8) return kBbMaj9;
  return *kStill[at.inSection / 2 % 4];
}

const Chord& Gather(const BarPlace& at) {
  return at.LastOfSection() ? kA7Flat9 : kA7;
}

}  // namespace

const Chord& ChordAt(const TempoMap& map, int bar, float beat) {
  const BarPlace at = PlaceOf(map, bar);
  switch (at.phrase.section) {
    case kIntro:
      return Intro(at);
    case kRise:
      return HomeOrAnswer(at, beat);
    case kDrift:
      return Drift(at);
    case kOrbit:
      return Orbit(at);
    case kSurge:
      return Surge(at, beat);
    case kHush:
      return Hush(at);
    case kGather:
      return Gather(at);
    default:
      return kDMaj9;
  }
}

bool IsChordTone(const Chord& chord, int midi) {
  const int pc = PitchClass(midi);
  for (int i = 0; i < chord.toneCount; ++i)
    if (chord.tones[i] == pc) return true;
  return false;
}

bool InScale(const Chord& chord, int midi) {
  const bool major = IsChordTone(chord, 61) && chord.tones[0] == 9;  // A with C sharp
  const bool arrival = IsChordTone(chord, 66);                       // D major: F sharp
  switch (PitchClass(midi)) {
    case 2: case 4: case 7: case 9: case 10:
      return true;
    case 0:
      return !major;
    case 1:
      return major || arrival;
    case 5:
      return !arrival;
    case 6:
      return arrival;
    default:
      return false;
  }
}

Voicing StackedVoicing(const Chord& chord, int low) {
  Voicing v{};
  int note = low;
  for (int i = 0; i < kVoicingSize; ++i) {
    const int pc = chord.tones[i % chord.toneCount];
    while (PitchClass(note) != pc) ++note;
    v.notes[i] = note;
    ++note;
  }
  return v;
}

Voicing VoiceLead(const Chord& chord, const Voicing& previous, int low, int high) {
  // Every assignment of the chord's tones to the five voices that covers all
  // tones is tried, each voice taking its tone's nearest octave; the least
  // total movement wins, the first of equals.
  Voicing best = StackedVoicing(chord, low);
  int bestCost = 1 << 30;
  const int n = chord.toneCount;
  int choice[kVoicingSize] = {0, 0, 0, 0, 0};
  int combinations = 1;
  for (int i = 0; i < kVoicingSize; ++i) combinations *= n;
  for (int c = 0; c < combinations; ++c) {
    int code = c, covered = 0;
    for (int i = 0; i < kVoicingSize; ++i) {
      choice[i] = code % n;
      code /= n;
      covered |= 1 << choice[i];
    }
    if (covered != (1 << n) - 1) continue;
    Voicing v{};
    int cost = 0;
    for (int i = 0; i < kVoicingSize; ++i) {
      const int from = previous.notes[i];
      int note = from - 6;
      while (PitchClass(note) != chord.tones[choice[i]]) ++note;
      while (note < low) note += 12;
      while (note > high) note -= 12;
      v.notes[i] = note;
      cost += std::abs(note - from);
    }
    std::sort(v.notes, v.notes + kVoicingSize);
    bool clear = true;
    for (int i = 1; i < kVoicingSize; ++i)
      if (v.notes[i] - v.notes[i - 1] < (v.notes[i - 1] < 55 ? 3 : 1)) clear = false;
    if (clear && cost < bestCost) {
      bestCost = cost;
      best = v;
    }
  }
  return best;
}
