#include "tools/music_gen/score.h"

#include <cmath>

namespace {

constexpr double kStepSeconds = kBeatSeconds / 4.0;
constexpr int kFirstStep = -144;  // 36 beats before the grid origin, at 0.15 s
// The sparks start appearing, and the whole swarm is drawn.
constexpr double kSparksStart = kSparkStartMs / 1000.0;
constexpr double kSwarmComplete = kSwarmCompleteMs / 1000.0;

struct Chord {
  int bass;
  int tones[5];
};

constexpr Chord kDm9 = {38, {50, 53, 57, 60, 64}};
constexpr Chord kBbMaj7 = {34, {46, 50, 53, 57, 60}};
constexpr Chord kFMaj7 = {41, {53, 57, 60, 64, 67}};
constexpr Chord kCAdd9 = {36, {48, 55, 60, 62, 64}};
constexpr Chord kGm9 = {31, {50, 55, 58, 62, 65}};
constexpr Chord kA7 = {33, {49, 52, 55, 57, 61}};
constexpr Chord kAm7 = {33, {48, 52, 55, 57, 60}};
constexpr Chord kDMaj9 = {38, {50, 54, 57, 61, 64}};

struct Progression {
  const Chord* chords[4];
  int barsPerChord;
};

constexpr Progression kHome = {{&kDm9, &kBbMaj7, &kFMaj7, &kCAdd9}, 1};
constexpr Progression kLonging = {{&kGm9, &kDm9, &kBbMaj7, &kA7}, 1};
constexpr Progression kTurning = {{&kGm9, &kBbMaj7, &kCAdd9, &kA7}, 1};
constexpr Progression kOrbiting = {{&kBbMaj7, &kCAdd9, &kAm7, &kDm9}, 2};
constexpr Progression kStill = {{&kGm9, &kBbMaj7, &kDm9, &kCAdd9}, 2};
constexpr Progression kPedal = {{&kA7, &kA7, &kA7, &kA7}, 1};
constexpr Progression kArrival = {{&kDMaj9, &kDMaj9, &kDMaj9, &kDMaj9}, 1};

struct Note {
  float beat, length;
  int pitch;
};

// Four-bar melodies in D minor; the two home phrases answer each other.
constexpr Note kPhraseAsk[] = {{0, 1.5f, 69}, {1.5f, 0.5f, 74}, {2, 1, 76},  {3, 1, 77},
                               {4, 1.5f, 77}, {5.5f, 0.5f, 76}, {6, 2, 74},  {8, 1, 72},
                               {9, 1, 77},    {10, 1, 81},      {11, 1, 79}, {12, 3, 76}};
constexpr Note kPhraseAnswer[] = {{0, 0.5f, 81}, {0.5f, 0.5f, 79}, {1, 1, 77},  {2, 2, 74},
                                  {4, 1, 74},    {5, 1, 77},       {6, 1, 79},  {7, 1, 81},
                                  {8, 2, 84},    {10, 1, 81},      {11, 1, 79}, {12, 3.5f, 77}};
constexpr Note kPhraseLonging[] = {{0, 2, 74}, {2, 1, 77}, {3, 1, 79},  {4, 3, 81},  {7, 1, 77},
                                   {8, 1, 77}, {9, 1, 74}, {10, 2, 70}, {12, 2, 73}, {14, 2, 76}};
constexpr Note kPhraseTurning[] = {{0, 1, 79},  {1, 1, 77},  {2, 2, 74}, {4, 1, 77},
                                   {5, 1, 74},  {6, 2, 70},  {8, 1, 72}, {9, 1, 76},
                                   {10, 2, 79}, {12, 2, 76}, {14, 2, 73}};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int Mod(int a, int b) { return a - b * FloorDiv(a, b); }

int SectionStartStep(int section) {
  return 4 * static_cast<int>(std::lround((kSectionStarts[section] - kGridOrigin) / kBeatSeconds));
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// 0..1: how far the swell is from rest, so the band leans in when the swarm swells.
float SwellLevel(double t) { return std::fabs(SwellAt(static_cast<float>(t))) / 4.0f; }

// The build-up while the sparks and then the triangles appear.
float BuildUp(double t) {
  return Clamp01(static_cast<float>((t - kSparksStart) / (kSwarmComplete - kSparksStart)));
}

// How far t is through the gather section: 0 at its start, 1 at the finale's.
double GatherProgress(double t) {
  return (t - kSectionStarts[kGather]) / (kSectionStarts[kFinale] - kSectionStarts[kGather]);
}

const Progression& ProgressionAt(Section section, int bar) {
  switch (section) {
    case kDrift:
      return kLonging;
    case kOrbit:
      return kOrbiting;
    case kSurge:
      return Mod(FloorDiv(bar, 4), 2) == 0 ? kHome : kTurning;
    case kHush:
      return kStill;
    case kGather:
      return kPedal;
    case kFinale:
      return kArrival;
    default:
      return kHome;
  }
}

const Chord& ChordAtStep(int step) {
  int bar = FloorDiv(step, 16);
  const Progression& p = ProgressionAt(SectionAtStep(step), bar);
  return *p.chords[Mod(FloorDiv(bar, p.barsPerChord), 4)];
}

Placement Place(float gain, float pan, float reverb, float delay) {
  return {gain, pan, reverb, delay};
}

std::vector<float> PadBrightness() {
  std::vector<float> brightness(static_cast<size_t>(kPieceFrames / kControlBlock + 2), 0.0f);
  float smooth = 0.08f;
  const float follow = 1.0f - std::exp(-static_cast<float>(kControlBlock) / (0.4f * kSampleRate));
  for (size_t block = 0; block < brightness.size(); ++block) {
    double t = static_cast<double>(block * kControlBlock) / kSampleRate;
    int step = static_cast<int>(std::floor((t - kGridOrigin) / kStepSeconds));
    float swell = SwellLevel(t);
    float target;
    switch (t < kGridOrigin ? kIntro : SectionAtStep(step)) {
      case kIntro:
        target = 0.06f + 0.2f * static_cast<float>(t / kGridOrigin);
        break;
      case kRise:
        target = 0.2f + 0.2f * BuildUp(t) + 0.45f * swell;
        break;
      case kDrift:
        target = 0.35f + 0.45f * swell;
        break;
      case kOrbit:
        target = 0.3f + 0.45f * swell;
        break;
      case kSurge:
        target = 0.45f + 0.5f * swell;
        break;
      case kHush:
        target = 0.12f + 0.2f * swell;
        break;
      case kGather:
        target = 0.2f + 0.6f * static_cast<float>(GatherProgress(t));
        break;
      default:
        target = t < kFadeEnd ? 0.75f : 0.12f;
        break;
    }
    smooth += (target - smooth) * follow;
    brightness[block] = smooth;
  }
  return brightness;
}

float PadGain(Section section) {
  constexpr float kGain[kSectionCount] = {0.05f, 0.055f, 0.06f, 0.075f, 0.06f, 0.05f, 0.06f, 0.11f};
  return kGain[section];
}

// Holds each chord from its change (or a section change) to the next change.
void RenderPads(MixBuses& buses, const std::vector<float>& brightness) {
  int lastStep = static_cast<int>(std::floor((kFadeEnd - kGridOrigin) / kStepSeconds));
  int segmentStart = kFirstStep;
  for (int step = kFirstStep + 1; step <= lastStep + 1; ++step) {
    bool changed = step > lastStep || &ChordAtStep(step) != &ChordAtStep(segmentStart) ||
                   SectionAtStep(step) != SectionAtStep(segmentStart);
    if (!changed) continue;
    const Chord& chord = ChordAtStep(segmentStart);
    Section section = SectionAtStep(segmentStart);
    double start = StepTime(segmentStart);
    double length = StepTime(step) - start;
    float gain = PadGain(section);
    if (section == kIntro) gain *= 0.35f + 0.65f * static_cast<float>(start / kGridOrigin);
    for (int i = 0; i < 5; ++i)
      RenderPad(buses, start, length, static_cast<float>(chord.tones[i]),
                Place(gain, -0.6f + 0.3f * i, 0.5f, 0.0f), brightness,
                static_cast<uint32_t>(segmentStart * 7 + i));
    segmentStart = step;
  }
}

void RenderBassStep(MixBuses& buses, int step, double t, Section section, const Chord& chord) {
  int inBar = Mod(step, 16);
  double beat = kBeatSeconds;
  switch (section) {
    case kRise:
      if (inBar % 4 == 0)
        RenderBass(buses, t, 0.85 * beat, static_cast<float>(chord.bass),
                   Place(0.2f * (0.3f + 0.7f * BuildUp(t)), 0, 0.05f, 0), 0.3f);
      if (t > kSwarmComplete && inBar % 4 == 3)
        RenderBass(buses, t, 0.2 * beat, static_cast<float>(chord.bass + 12),
                   Place(0.12f, 0, 0.05f, 0), 0.5f);
      break;
    case kDrift: {
      static const int kSteps[] = {0, 3, 6, 10, 12};
      static const int kOffsets[] = {0, 0, 7, 0, 12};
      for (int i = 0; i < 5; ++i)
        if (inBar == kSteps[i])
          RenderBass(buses, t, (i == 2 ? 0.9 : 0.65) * beat,
                     static_cast<float>(chord.bass + kOffsets[i]), Place(0.22f, 0, 0.05f, 0),
                     0.55f);
      break;
    }
    case kOrbit:
      if (inBar == 0)
        RenderBass(buses, t, 3.6 * beat, static_cast<float>(chord.bass), Place(0.22f, 0, 0.08f, 0),
                   0.15f);
      if (inBar == 14)
        RenderBass(buses, t, 0.4 * beat, static_cast<float>(chord.bass + 7),
                   Place(0.14f, 0, 0.08f, 0), 0.3f);
      break;
    case kSurge:
      if (inBar % 2 == 0)
        RenderBass(buses, t, 0.42 * beat,
                   static_cast<float>(chord.bass + (inBar % 4 == 2 ? 12 : 0)),
                   Place(0.22f, 0, 0.04f, 0), 0.7f);
      break;
    case kHush:
      if (inBar == 0 && Mod(FloorDiv(step, 16), 2) == 0)
        RenderBass(buses, t, 7.5 * beat, static_cast<float>(chord.bass), Place(0.15f, 0, 0.1f, 0),
                   0.05f);
      break;
    case kGather: {
      float rise = Clamp01(static_cast<float>(GatherProgress(t)));
      if (inBar % 2 == 0)
        RenderBass(buses, t, 0.4 * beat, static_cast<float>(chord.bass),
                   Place(0.16f + 0.08f * rise, 0, 0.04f, 0), 0.3f + 0.6f * rise);
      break;
    }
    case kFinale:
      if (step == SectionStartStep(kFinale))
        RenderBass(buses, t, kFadeEnd - t, static_cast<float>(chord.bass), Place(0.24f, 0, 0.1f, 0),
                   0.6f);
      break;
    default:
      break;
  }
}

void RenderDrumStep(MixBuses& buses, int step, double t, Section section, float swell) {
  int inBar = Mod(step, 16);
  int bar = FloorDiv(step, 16);
  uint32_t seed = static_cast<uint32_t>(step) * 2654435761u + 17u;
  float hatLift = 0.6f + 0.4f * swell;
  switch (section) {
    case kRise: {
      float build = BuildUp(t);
      if (t > 31.0 && inBar % 4 == 0 && (t > kSwarmComplete || inBar == 0))
        RenderKick(buses, t, Place(0.5f * build, 0, 0.02f, 0));
      if (t > 36.0 && inBar % 4 == 2)
        RenderHat(buses, t, Place(0.07f * build * hatLift, 0.3f, 0.1f, 0), 0.03f, seed);
      if (t > kSwarmComplete && inBar % 8 == 4)
        RenderSnare(buses, t, Place(0.18f, -0.05f, 0.25f, 0), seed);
      break;
    }
    case kDrift:
      if (inBar % 4 == 0) RenderKick(buses, t, Place(0.55f, 0, 0.02f, 0));
      if (inBar == 4 || inBar == 12) RenderSnare(buses, t, Place(0.25f, -0.05f, 0.25f, 0), seed);
      RenderHat(buses, t, Place((inBar % 4 == 2 ? 0.08f : 0.035f) * hatLift, 0.3f, 0.1f, 0), 0.03f,
                seed);
      break;
    case kOrbit:
      if (inBar == 0 || inBar == 10) RenderKick(buses, t, Place(0.5f, 0, 0.02f, 0));
      if (inBar == 8) RenderSnare(buses, t, Place(0.25f, -0.05f, 0.35f, 0), seed);
      if (inBar % 4 == 2)
        RenderHat(buses, t, Place((inBar == 14 ? 0.06f : 0.07f) * hatLift, 0.35f, 0.12f, 0),
                  inBar == 14 ? 0.12f : 0.03f, seed);
      break;
    case kSurge:
      if (inBar % 4 == 0) RenderKick(buses, t, Place(0.6f, 0, 0.02f, 0));
      if (inBar == 4 || inBar == 12 || (inBar == 15 && bar % 2 == 1))
        RenderSnare(buses, t, Place(inBar == 15 ? 0.1f : 0.28f, -0.05f, 0.25f, 0), seed);
      RenderHat(
          buses, t,
          Place((inBar % 4 == 2 ? 0.09f : 0.045f) * hatLift, inBar % 2 ? 0.4f : 0.2f, 0.1f, 0),
          inBar % 8 == 6 ? 0.09f : 0.03f, seed);
      break;
    case kHush:
      // Ticks come in as the swell dies away.
      if (t > kSwellDecaySeconds && inBar % 8 == 2)
        RenderHat(buses, t, Place(0.04f, 0.3f, 0.2f, 0), 0.05f, seed);
      break;
    case kGather: {
      float rise = Clamp01(static_cast<float>(GatherProgress(t)));
      if (inBar % 4 == 0) RenderKick(buses, t, Place(0.5f + 0.1f * rise, 0, 0.02f, 0));
      bool roll = rise > 0.5f ? true : inBar % 2 == 0;
      if (roll) RenderSnare(buses, t, Place(0.06f + 0.16f * rise * rise, -0.05f, 0.3f, 0), seed);
      RenderHat(buses, t, Place(0.04f + 0.04f * rise, 0.3f, 0.1f, 0), 0.03f, seed);
      break;
    }
    case kFinale:
      if (step == SectionStartStep(kFinale)) RenderKick(buses, t, Place(0.65f, 0, 0.1f, 0));
      break;
    default:
      break;
  }
}

void RenderArpStep(MixBuses& buses, int step, double t, Section section, const Chord& chord,
                   float swell) {
  int inBar = Mod(step, 16);
  float pan = Mod(step, 2) == 0 ? -0.35f : 0.35f;
  static const int kUp[] = {0, 1, 2, 3, 4, 3, 2, 1};
  static const int kThrees[] = {0, 2, 4};  // cycles against the bar like the rings turning
  int tone = 0, octave = 12;
  float gain = 0.0f, decay = 0.18f;
  switch (section) {
    case kIntro:
      if (t < kSparksStart || Mod(step, 2) != 0) return;
      tone = kUp[Mod(FloorDiv(step, 2), 8)];
      gain = 0.05f * Clamp01(static_cast<float>((t - kSparksStart) / 8.0));
      decay = 0.35f;
      octave = 24;
      break;
    case kRise:
      tone = kUp[inBar % 8];
      gain = (0.04f + 0.03f * BuildUp(t)) * (0.6f + 0.4f * swell);
      break;
    case kDrift:
      tone = kUp[(inBar * 3) % 8];
      gain = 0.05f * (0.6f + 0.4f * swell);
      break;
    case kOrbit:
      tone = (kThrees[Mod(step, 3)] + Mod(FloorDiv(step, 3), 2)) % 5;
      gain = 0.055f * (0.6f + 0.4f * swell);
      decay = 0.25f;
      octave = 24;
      break;
    case kSurge:
      tone = kUp[inBar % 8];
      octave = inBar >= 8 ? 24 : 12;
      gain = 0.05f * (0.6f + 0.4f * swell);
      break;
    case kHush:
      if (step % 2 != 0) return;
      tone = kUp[(inBar / 2) % 8];
      gain = 0.035f;
      decay = 0.4f;
      octave = 24;
      break;
    case kGather:
      tone = inBar % 5;
      octave = 12 + 12 * (inBar / 8);
      gain = 0.045f;
      break;
    default:
      return;
  }
  RenderPluck(buses, t, static_cast<float>(chord.tones[tone] + octave),
              Place(gain, pan, 0.35f, 0.35f), decay);
}

void RenderMelodies(MixBuses& buses) {
  int firstPhrase = FloorDiv(SectionStartStep(kDrift), 64);
  int lastPhrase = FloorDiv(SectionStartStep(kHush), 64);
  for (int phrase = firstPhrase; phrase <= lastPhrase; ++phrase) {
    int phraseStep = phrase * 64;
    Section section = SectionAtStep(phraseStep + 32);
    const Note* notes = nullptr;
    int count = 0;
    if (section == kDrift) {
      notes = kPhraseLonging;
      count = static_cast<int>(std::size(kPhraseLonging));
    } else if (section == kSurge) {
      bool home = Mod(phrase, 2) == 0;
      bool answer = Mod(FloorDiv(phrase, 2), 2) == 1;
      notes = home ? (answer ? kPhraseAnswer : kPhraseAsk) : kPhraseTurning;
      count = home ? static_cast<int>(answer ? std::size(kPhraseAnswer) : std::size(kPhraseAsk))
                   : static_cast<int>(std::size(kPhraseTurning));
    } else if (section == kOrbit) {
      // Slow bells: the chord's upper tones, twice a bar.
      for (int bar = 0; bar < 4; ++bar)
        for (int half = 0; half < 2; ++half) {
          int step = phraseStep + bar * 16 + half * 10;
          if (SectionAtStep(step) != kOrbit) continue;
          const Chord& chord = ChordAtStep(step);
          RenderPluck(buses, StepTime(step),
                      static_cast<float>(chord.tones[4 - half - (bar % 2)] + 24),
                      Place(0.05f, half ? 0.5f : -0.5f, 0.6f, 0.3f), 0.6f);
        }
      continue;
    }
    for (int i = 0; i < count; ++i) {
      int step = phraseStep + static_cast<int>(std::lround(notes[i].beat * 4.0f));
      if (SectionAtStep(step) != section) continue;
      RenderLead(buses, StepTime(step), notes[i].length * kBeatSeconds * 0.92,
                 static_cast<float>(notes[i].pitch),
                 Place(section == kSurge ? 0.06f : 0.05f, 0.1f, 0.35f, 0.25f));
    }
  }
}

// A riser into each big turn and a cymbal wash on it.
void RenderTransitions(MixBuses& buses) {
  for (int section = kDrift; section < kSectionCount; ++section) {
    double at = StepTime(SectionStartStep(section));
    double riseLength = (section == kSurge ? 4.0 : 2.0) * kBeatSeconds * 4.0;
    if (section != kFinale)
      RenderWash(buses, at - riseLength, riseLength, true,
                 Place(section == kHush ? 0.05f : 0.08f, 0, 0.4f, 0), 101u + section);
    if (section != kHush)
      RenderWash(buses, at, 3.0, false, Place(0.1f, 0, 0.4f, 0), 211u + section);
  }
}

// Under the title cards, in just before them: the arrival chord, very soft, with a
// few bells, gone before the end.
void RenderOutro(MixBuses& outro, const std::vector<float>& brightness) {
  const double start = kCardsStartSeconds - 0.8, length = 8.2;
  for (int i = 0; i < 5; ++i)
    RenderPad(outro, start, length, static_cast<float>(kDMaj9.tones[i]),
              Place(0.03f, -0.6f + 0.3f * i, 0.7f, 0.0f), brightness,
              900u + static_cast<uint32_t>(i));
  const float bells[] = {78, 81, 86, 88, 85};
  for (int i = 0; i < 5; ++i)
    RenderPluck(outro, kCardsStartSeconds + 0.5 + 1.3 * i, bells[i],
                Place(0.02f, i % 2 ? 0.4f : -0.4f, 0.8f, 0.0f), 0.5f);
}

}  // namespace

double StepTime(int step) { return kGridOrigin + step * kStepSeconds; }

Section SectionAtStep(int step) {
  int section = kIntro;
  for (int s = kRise; s < kSectionCount; ++s)
    if (step >= SectionStartStep(s)) section = s;
  return static_cast<Section>(section);
}

void RenderScore(MixBuses& main, MixBuses& outro) {
  std::vector<float> brightness = PadBrightness();
  RenderPads(main, brightness);
  int lastStep = static_cast<int>(std::floor((kFadeEnd - kGridOrigin) / kStepSeconds));
  for (int step = kFirstStep; step <= lastStep; ++step) {
    double t = StepTime(step);
    Section section = SectionAtStep(step);
    const Chord& chord = ChordAtStep(step);
    float swell = SwellLevel(t);
    RenderBassStep(main, step, t, section, chord);
    RenderDrumStep(main, step, t, section, swell);
    RenderArpStep(main, step, t, section, chord, swell);
  }
  RenderMelodies(main);
  RenderTransitions(main);
  RenderOutro(outro, brightness);
}
