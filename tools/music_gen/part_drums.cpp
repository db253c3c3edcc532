// The drums: a groove for each section, fills where phrases end, a crash
// where they start, and the hits that mark the picture's big turns.
#include "tools/music_gen/arrangement.h"

namespace {

// Tom tunings (MIDI), high to low, in the key.
constexpr float kToms[] = {57.0f, 53.0f, 50.0f, 45.0f};

void Crash(Writer& w, int bar, float velocity) { Hit(w, kCrash, bar, 0, velocity, 0.25f); }

// Sixteenth hats with accents on the off-beat eighths; `open` adds an open hat
// on the bar's last off-beat.
void Hats(Writer& w, int bar, float level, bool sixteenths, bool open) {
  for (int step = 0; step < 16; ++step) {
    if (!sixteenths && step % 2 == 1) continue;
    if (open && step == 14) {
      Hit(w, kOpenHat, bar, step, 0.7f * level, 0.3f);
      continue;
    }
    const float v = step % 4 == 2 ? 0.75f : (step % 2 == 0 ? 0.5f : 0.32f);
    Hit(w, kClosedHat, bar, step, v * level, 0.3f);
  }
}

void FourOnTheFloor(Writer& w, int bar, float level) {
  for (int step = 0; step < 16; step += 4) Hit(w, kKick, bar, step, (step == 0 ? 1.0f : 0.88f) * level);
}

void Backbeat(Writer& w, int bar, float level, bool clap) {
  for (int step : {4, 12}) {
    Hit(w, kSnare, bar, step, 0.85f * level, -0.05f);
    if (clap) Hit(w, kClap, bar, step, 0.6f * level, 0.1f);
  }
}

// The fills, one of four kinds by the phrase, over the bar's last beat (or
// two, for `long`).
void Fill(Writer& w, int bar, int kind, float level, bool longFill) {
  const int from = longFill ? 8 : 12;
  switch (kind % 4) {
    case 0:  // a snare roll rising
      for (int step = from; step < 16; ++step)
        Hit(w, kSnare, bar, step, level * (0.35f + 0.5f * (step - from) / (16 - from)), -0.05f);
      break;
    case 1:  // toms falling
      for (int step = from; step < 16; ++step)
        Hit(w, kTom, bar, step, level * 0.75f, 0.35f - 0.2f * ((step - from) % 4),
            kToms[(step - from) * 4 / (16 - from)]);
      break;
    case 2:  // a stop: snare, kick, then air before the downbeat
      Hit(w, kSnare, bar, 12, level * 0.9f, -0.05f);
      Hit(w, kKick, bar, 13, level * 0.7f);
      Hit(w, kSnare, bar, 14, level * 0.6f, -0.05f);
      break;
    default:  // snare and toms in turn
      for (int step = from; step < 16; step += 2) {
        Hit(w, kSnare, bar, step, level * 0.7f, -0.05f);
        Hit(w, kTom, bar, step + 1, level * 0.7f, 0.2f, kToms[((step - from) / 2) % 4]);
      }
      break;
  }
}

void Rise(Writer& w, int bar, const BarPlace& at) {
  const int p = at.phrase.index;
  const float level = 0.6f + 0.4f * Intensity(at);
  if (at.inPhrase == 0 && p >= 2) Crash(w, bar, 0.55f + 0.1f * p);
  const bool fill = at.LastOfPhrase() && p >= 1;
  if (p == 0) {
    Hit(w, kKick, bar, 0, 0.75f * level);
    Hit(w, kKick, bar, 8, 0.65f * level);
  } else {
    for (int step = 0; step < (fill ? 12 : 16); step += 4) Hit(w, kKick, bar, step, (step == 0 ? 0.95f : 0.85f) * level);
    if (p >= 3 && at.inPhrase == 1) Hit(w, kKick, bar, 14, 0.45f * level);
  }
  if (p >= 1 || at.inPhrase >= 1) {
    for (int step = 2; step < 16; step += 4) Hit(w, kClosedHat, bar, step, (0.4f + 0.05f * p) * level, 0.3f);
    if (p >= 2)
      for (int step = 1; step < 16; step += 2) Hit(w, kClosedHat, bar, step, 0.22f * level, 0.3f);
  }
  if (p == 2) Hit(w, kClap, bar, 12, 0.7f * level, 0.1f);
  if (p >= 3 && !(fill && at.LastOfSection())) Backbeat(w, bar, level, p >= 4);
  if (p >= 3 && at.inPhrase % 2 == 1) Hit(w, kOpenHat, bar, 14, 0.5f * level, 0.3f);
  if (fill) Fill(w, bar, p, level, at.LastOfSection());
}

void Drift(Writer& w, int bar, const BarPlace& at) {
  const float level = 0.65f + 0.35f * Intensity(at);
  if (at.inPhrase == 0) Crash(w, bar, 0.8f);
  if (at.LastOfSection()) {
    FourOnTheFloor(w, bar, level);
    Hats(w, bar, level, false, false);
    Fill(w, bar, 3, level, true);
    return;
  }
  FourOnTheFloor(w, bar, level);
  if (at.inPhrase % 2 == 1) Hit(w, kKick, bar, 10, 0.45f * level);
  Backbeat(w, bar, level, false);
  if (at.inPhrase % 2 == 1) {
    Hit(w, kSnare, bar, 7, 0.18f * level, -0.05f);
    Hit(w, kSnare, bar, 15, 0.22f * level, -0.05f);
  }
  Hats(w, bar, level, true, at.inPhrase % 2 == 0);
  if (at.LastOfPhrase()) Fill(w, bar, 0, level, false);
}

// Half time: the snare on the third beat, the hats like a ride.
void Orbit(Writer& w, int bar, const BarPlace& at) {
  const Phrase& p = at.phrase;
  const float level = 0.6f + 0.4f * Intensity(at);
  if (at.inSection == 0) Crash(w, bar, 0.7f);
  else if (at.inPhrase == 0 && p.index % 2 == 0) Crash(w, bar, 0.45f);
  const bool building = at.LastPhrase() && at.inPhrase >= 2;
  if (building) {
    FourOnTheFloor(w, bar, level);
    for (int step = at.LastOfPhrase() ? 0 : 8; step < 16; step += at.LastOfPhrase() ? 1 : 2)
      Hit(w, kSnare, bar, step, level * (0.3f + 0.04f * step), -0.05f);
    Hats(w, bar, level * 0.8f, true, false);
    return;
  }
  Hit(w, kKick, bar, 0, 0.9f * level);
  Hit(w, kKick, bar, 10, 0.6f * level);
  if (at.inPhrase % 2 == 1) Hit(w, kKick, bar, 6, 0.4f * level);
  Hit(w, kSnare, bar, 8, 0.8f * level, -0.05f);
  if (p.index >= 2) Hit(w, kClap, bar, 8, 0.45f * level, 0.1f);
  for (int step = 0; step < 16; step += 2)
    Hit(w, step == 6 && at.inPhrase == 2 ? kOpenHat : kClosedHat, bar, step,
        (step % 4 == 0 ? 0.5f : 0.38f) * level, 0.35f);
  if (at.LastOfPhrase()) {
    Hit(w, kTom, bar, 13, 0.6f * level, 0.3f, kToms[0]);
    Hit(w, kTom, bar, 14, 0.6f * level, 0.1f, kToms[1]);
    Hit(w, kTom, bar, 15, 0.65f * level, -0.1f, kToms[2]);
  }
}

void Surge(Writer& w, int bar, const BarPlace& at) {
  const Phrase& p = at.phrase;
  const float level = 0.7f + 0.3f * Intensity(at);
  if (p.role == kBreath) {
    // A held breath: the drums out but for a roll gathering into the climax.
    for (int step = 8; step < 16; ++step) Hit(w, kSnare, bar, step, 0.2f + 0.08f * (step - 8), -0.05f);
    return;
  }
  const bool climax = p.role == kClimax;
  if (at.inPhrase == 0) Crash(w, bar, climax ? 1.0f : 0.85f);
  else if (climax && at.inPhrase == 2) Crash(w, bar, 0.6f);
  const bool last = at.LastOfSection();
  FourOnTheFloor(w, bar, level);
  if (at.inPhrase == 1) Hit(w, kKick, bar, 3, 0.4f * level);
  if (climax && at.inPhrase % 2 == 1) Hit(w, kKick, bar, 14, 0.55f * level);
  Backbeat(w, bar, level, true);
  Hats(w, bar, level, true, at.inPhrase % 2 == 1 || climax);
  if (at.LastOfPhrase()) Fill(w, bar, last ? 3 : p.index + (climax ? 1 : 0), level, last);
}

// The surge's last hit lands on the hush's downbeat; then only ticks, which
// come in as the swell dies away, and a heartbeat before the gather.
void Hush(Writer& w, int bar, const BarPlace& at) {
  if (at.inSection == 0) {
    Hit(w, kKick, bar, 0, 1.0f);
    Crash(w, bar, 1.0f);
    return;
  }
  if (TimeAt(w.map, bar, 0.0) > kSwellDecaySeconds)
    for (int step : {2, 10}) Hit(w, kClosedHat, bar, step, 0.25f + 0.02f * at.inSection, 0.3f);
  if (at.LastOfSection()) {
    Hit(w, kKick, bar, 0, 0.45f);
    Hit(w, kKick, bar, 8, 0.55f);
  }
}

void Gather(Writer& w, int bar, const BarPlace& at) {
  const float rise = at.sectionBars > 1 ? static_cast<float>(at.inSection) / (at.sectionBars - 1) : 1.0f;
  if (at.inSection == 0) Crash(w, bar, 0.8f);
  FourOnTheFloor(w, bar, 0.75f + 0.25f * rise);
  const int every = at.inSection == 0 ? 2 : 1;
  for (int step = 0; step < 16; step += every)
    Hit(w, kSnare, bar, step, 0.25f + 0.35f * rise + 0.02f * step, -0.05f);
  Hats(w, bar, 0.7f + 0.3f * rise, true, false);
  if (at.LastOfSection())
    for (int step = 12; step < 16; ++step) Hit(w, kTom, bar, step, 0.8f, 0.3f - 0.2f * (step - 12), kToms[step - 12]);
}

}  // namespace

void WriteDrums(Writer& w) {
  for (int bar = 0; bar < BarCount(w.map); ++bar) {
    const BarPlace at = PlaceOf(w.map, bar);
    switch (at.phrase.section) {
      case kIntro:
        // A heartbeat as the swarm's triangles fill in.
        if (at.inSection >= at.sectionBars - 3) {
          const float v = 0.3f + 0.1f * (at.inSection - at.sectionBars + 3);
          Hit(w, kKick, bar, 0, v);
          if (at.LastOfSection()) Hit(w, kKick, bar, 8, v);
        }
        break;
      case kRise:
        Rise(w, bar, at);
        break;
      case kDrift:
        Drift(w, bar, at);
        break;
      case kOrbit:
        Orbit(w, bar, at);
        break;
      case kSurge:
        Surge(w, bar, at);
        break;
      case kHush:
        Hush(w, bar, at);
        break;
      case kGather:
        Gather(w, bar, at);
        break;
      default:
        if (at.inSection == 0) {
          Hit(w, kKick, bar, 0, 1.0f);
          Crash(w, bar, 1.0f);
        }
        break;
    }
  }
}
