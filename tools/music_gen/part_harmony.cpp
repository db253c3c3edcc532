// The pads, their breath above them, and the arpeggio over the pads' voicing.
#include <cmath>

#include "tools/music_gen/arrangement.h"

namespace {

struct Register {
  int low, high;
};

Register RegisterOf(const BarPlace& at) {
  switch (at.phrase.section) {
    case kIntro:
      return {50, 69};
    case kOrbit:
      return {53, 77};
    case kSurge:
      return at.phrase.role == kClimax ? Register{57, 79} : Register{52, 74};
    case kFinale:
      return {50, 76};
    case kDrift:
    case kGather:
      return {52, 74};
    default:
      return {50, 72};
  }
}

bool Breathes(const BarPlace& at) {
  const int s = at.phrase.section;
  return (s == kIntro && at.inSection >= 2) || s == kOrbit || s == kHush || s == kFinale ||
         at.phrase.role == kClimax;
}

// The note of the voicing for pattern index i: 0..4 the pads' notes, 5.. an octave up.
int ArpNote(const Voicing& v, int i) { return v.notes[i % kVoicingSize] + 12 * (i / kVoicingSize); }

struct ArpPattern {
  const int* order;
  int length;
  int every;   // 1: sixteenths, 2: eighths
  int octave;  // above the voicing
  float velocity;
};

constexpr int kUpDown[] = {0, 1, 2, 3, 4, 3, 2, 1};
constexpr int kThirds[] = {0, 2, 1, 3, 2, 4, 3, 1};
constexpr int kOctaves[] = {0, 5, 2, 7, 1, 6, 3, 8};
constexpr int kClimb[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7};
// Threes against the bar's fours, like the rings turning against the beat.
constexpr int kRings[] = {0, 2, 4, 1, 3, 5};

// Which figure the arpeggio plays in a bar, if any.
bool ArpFor(const BarPlace& at, ArpPattern& a) {
  const Phrase& p = at.phrase;
  const float drive = 0.55f + 0.45f * Intensity(at);
  switch (p.section) {
    case kRise:
      if (p.index == 0 && at.inPhrase == 0) return false;
      if (p.index == 0) a = {kUpDown, 8, 2, 12, 0.5f};
      else if (p.index == 1) a = {kUpDown, 8, 1, 12, 0.55f};
      else if (p.index % 2 == 0) a = {kThirds, 8, 1, 12, 0.6f};
      else a = {kOctaves, 8, 1, 12, 0.6f};
      break;
    case kDrift:
      if (at.LastOfSection()) return false;
      a = {p.index == 0 ? kThirds : kUpDown, 8, 1, 12, 0.65f};
      break;
    case kOrbit:
      a = {kRings, 6, p.index % 2 == 1 ? 2 : 1, p.role == kAnswer ? 24 : 12, 0.6f};
      break;
    case kSurge:
      if (p.role == kBreath) return false;
      if (p.role == kClimax) a = {kOctaves, 8, 1, p.climaxIndex % 2 == 1 ? 24 : 12, 0.65f};
      else if (p.index == 2) a = {kUpDown, 8, 2, 12, 0.6f};
      else a = {p.role == kQuestion ? kUpDown : kThirds, 8, 1, at.inPhrase >= 2 && p.index == 3 ? 24 : 12, 0.62f};
      break;
    case kHush:
      if (at.inSection == 0) return false;
      a = {kThirds, 8, 2, 24, 0.45f};
      break;
    case kGather:
      a = {kClimb, 12, 1, 12 * (at.inSection % 2), 0.6f};
      break;
    default:
      return false;
  }
  a.velocity *= drive;
  return true;
}

void WriteArpBar(Writer& w, int bar, const BarPlace& at) {
  ArpPattern a{};
  if (!ArpFor(at, a)) return;
  // A gap at the end of a phrase leaves room for the fill.
  const int lastStep = at.LastOfPhrase() && at.phrase.section != kGather ? 12 : 16;
  for (int step = 0; step < lastStep; step += a.every) {
    const Voicing& v = w.voicings[static_cast<size_t>(2 * bar + (step >= 8 ? 1 : 0))];
    const int k = (at.inSection * 16 + step) / a.every;
    const float accent = step % 4 == 0 ? 1.0f : (step % 2 == 0 ? 0.85f : 0.7f);
    const float pan = (k % 2 == 0 ? -0.4f : 0.4f);
    Write(w, kArp, bar, step * 0.25f, 0.25f * a.every,
          static_cast<float>(ArpNote(v, a.order[k % a.length]) + a.octave), a.velocity * accent,
          pan);
  }
}

}  // namespace

void WriteHarmony(Writer& w) {
  const int bars = BarCount(w.map);
  w.voicings.assign(static_cast<size_t>(2 * bars), Voicing{});
  Voicing voicing = StackedVoicing(ChordAt(w.map, 0, 0.0f), 53);
  const Chord* held = nullptr;
  int heldBar = 0;
  float heldBeat = 0.0f;
  Voicing heldVoicing = voicing;
  // Writes the chord held since (heldBar, heldBeat) up to (bar, beat).
  auto finish = [&](int bar, float beat) {
    if (!held) return;
    const float beats = static_cast<float>(bar - heldBar) * kBeatsPerBar + beat - heldBeat;
    const BarPlace at = PlaceOf(w.map, heldBar);
    const float velocity = 0.5f + 0.5f * Intensity(at);
    for (int i = 0; i < kVoicingSize; ++i) {
      const float pan = -0.7f + 0.35f * static_cast<float>(i);
      const int note = heldVoicing.notes[i];
      // Over a long chord the top voice steps up to the next chord tone half way.
      if (i == kVoicingSize - 1 && beats >= 8.0f) {
        int next = note + 1;
        while (!IsChordTone(*held, next)) ++next;
        if (next - note <= 4) {
          Write(w, kPad, heldBar, heldBeat, beats / 2, static_cast<float>(note), velocity, pan);
          Write(w, kPad, heldBar, heldBeat + beats / 2, beats / 2, static_cast<float>(next), velocity, pan);
          continue;
        }
      }
      Write(w, kPad, heldBar, heldBeat, beats, static_cast<float>(note), velocity, pan);
    }
    if (Breathes(at))
      Write(w, kAir, heldBar, heldBeat, beats, static_cast<float>(heldVoicing.notes[kVoicingSize - 1] + 12),
            0.5f + 0.3f * Intensity(at), 0.3f);
  };
  for (int bar = 0; bar < bars; ++bar) {
    const BarPlace at = PlaceOf(w.map, bar);
    const Register r = RegisterOf(at);
    for (int half = 0; half < 2; ++half) {
      const float beat = 2.0f * half;
      const Chord& chord = ChordAt(w.map, bar, beat);
      if (&chord != held || (half == 0 && at.inSection == 0)) {
        finish(bar, beat);
        voicing = VoiceLead(chord, voicing, r.low, r.high);
        held = &chord;
        heldBar = bar;
        heldBeat = beat;
        heldVoicing = voicing;
      }
      w.voicings[static_cast<size_t>(2 * bar + half)] = voicing;
    }
    WriteArpBar(w, bar, at);
  }
  finish(bars, 0.0f);
}
