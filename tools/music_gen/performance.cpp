#include "tools/music_gen/performance.h"

#include <cmath>
#include <cstdint>

#include "base/hash.h"
#include "tools/music_gen/drums.h"
#include "tools/music_gen/instruments.h"

namespace {

struct VoiceSetting {
  float gain, reverb, delay, duck, swell;
  bool wide;
  float lateness;  // seconds of looseness, either way
  float touch;     // velocity looseness, a fraction
};

// Levels for velocity 1; the pads sound five notes at a time.
constexpr VoiceSetting kVoices[kVoiceCount] = {
    /* kick */ {0.34f, 0.03f, 0.0f, 0.0f, 0.08f, false, 0.002f, 0.05f},
    /* snare */ {0.20f, 0.22f, 0.0f, 0.0f, 0.2f, false, 0.003f, 0.06f},
    /* clap */ {0.35f, 0.3f, 0.05f, 0.0f, 0.2f, false, 0.003f, 0.06f},
    /* closed hat */ {0.20f, 0.08f, 0.0f, 0.0f, 0.45f, false, 0.005f, 0.12f},
    /* open hat */ {0.14f, 0.12f, 0.0f, 0.0f, 0.45f, false, 0.004f, 0.1f},
    /* crash */ {0.16f, 0.3f, 0.0f, 0.0f, 0.0f, false, 0.002f, 0.05f},
    /* tom */ {0.20f, 0.18f, 0.0f, 0.0f, 0.1f, false, 0.004f, 0.06f},
    /* riser */ {0.07f, 0.4f, 0.0f, 0.0f, 0.0f, true, 0.0f, 0.0f},
    /* impact */ {0.34f, 0.45f, 0.0f, 0.0f, 0.0f, false, 0.0f, 0.0f},
    /* bass */ {0.27f, 0.02f, 0.0f, 0.75f, 0.15f, false, 0.004f, 0.05f},
    /* pad */ {0.085f, 0.45f, 0.0f, 0.4f, 0.5f, true, 0.012f, 0.05f},
    /* air */ {0.05f, 0.6f, 0.0f, 0.3f, 0.5f, true, 0.02f, 0.05f},
    /* arp */ {0.14f, 0.3f, 0.25f, 0.25f, 0.5f, true, 0.004f, 0.07f},
    /* lead */ {0.17f, 0.3f, 0.22f, 0.15f, 0.25f, true, 0.008f, 0.05f},
    /* counter */ {0.14f, 0.3f, 0.1f, 0.2f, 0.3f, true, 0.01f, 0.05f},
    /* bell */ {0.09f, 0.6f, 0.3f, 0.1f, 0.3f, true, 0.008f, 0.08f},
};

uint32_t SeedOf(const NoteEvent& n) {
  return HashU32(static_cast<uint32_t>(n.voice) * 1000003u + static_cast<uint32_t>(n.bar) * 4099u +
                 static_cast<uint32_t>(std::lround(n.beat * 96.0f)) * 131u +
                 static_cast<uint32_t>(std::lround(n.pitch * 4.0f)));
}

// -1..1 from 16 bits of the hash.
float Spread(uint32_t h) { return static_cast<float>(h & 0xffffu) / 32767.5f - 1.0f; }

}  // namespace

Played Perform(const TempoMap& map, const NoteEvent& n) {
  const VoiceSetting& v = kVoices[n.voice];
  const uint32_t h = SeedOf(n);
  double late = n.onTheTurn ? 0.0 : v.lateness * Spread(h);
  // The hats and the arpeggio lean back a little on the off sixteenths.
  const bool offSixteenth = std::fmod(n.beat, 0.5f) == 0.25f;
  if (!n.onTheTurn && offSixteenth && (n.voice == kClosedHat || n.voice == kArp))
    late += 0.06 * BarSeconds(map, n.bar) / 16.0;
  const double start = TimeAt(map, n.bar, n.beat) + late;
  const double end = TimeAt(map, n.bar, n.beat + n.beats) + late;
  float velocity = n.velocity * (1.0f + v.touch * Spread(h >> 16));
  if (velocity > 1.0f) velocity = 1.0f;
  return {start, end - start, velocity};
}

void RenderScore(const Score& score, const TempoMap& map, const Automation& automation,
                 MixBuses& main, MixBuses& cards) {
  float leadPitch = 0.0f;
  double leadEnd = -1.0;
  for (const NoteEvent& n : score) {
    const Played p = Perform(map, n);
    const VoiceSetting& v = kVoices[n.voice];
    Target out(p.start >= kCardsNotesFrom ? cards : main,
               {v.gain, n.pan, v.reverb, v.delay, v.duck, v.swell, v.wide}, automation);
    const uint32_t seed = SeedOf(n);
    switch (n.voice) {
      case kKick:
        RenderKick(out, p.start, p.velocity);
        break;
      case kSnare:
        RenderSnare(out, p.start, p.velocity, seed);
        break;
      case kClap:
        RenderClap(out, p.start, p.velocity, seed);
        break;
      case kClosedHat:
        RenderHat(out, p.start, p.velocity, 0.03f + 0.02f * p.velocity, seed);
        break;
      case kOpenHat:
        RenderHat(out, p.start, p.velocity, 0.22f, seed);
        break;
      case kCrash:
        RenderCrash(out, p.start, p.velocity, seed);
        break;
      case kTom:
        RenderTom(out, p.start, n.pitch, p.velocity);
        break;
      case kRiser:
        RenderRiser(out, p.start, p.length, p.velocity, seed);
        break;
      case kImpact:
        RenderImpact(out, p.start, n.pitch, p.velocity, seed);
        break;
      case kBass:
        RenderBass(out, p.start, p.length, n.pitch, p.velocity);
        break;
      case kPad:
        RenderPad(out, p.start, p.length, n.pitch, p.velocity, automation.brightness, seed);
        break;
      case kAir:
        RenderAir(out, p.start, p.length, n.pitch, p.velocity, seed);
        break;
      case kArp:
        RenderPluck(out, p.start, n.pitch, p.velocity, 0.12f + 0.1f * static_cast<float>(n.beats));
        break;
      case kLead: {
        // Legato notes glide from the one before.
        const float from = leadEnd >= p.start - 0.05 ? leadPitch : 0.0f;
        RenderLead(out, p.start, p.length, n.pitch, p.velocity, from);
        leadPitch = n.pitch;
        leadEnd = p.start + p.length;
        break;
      }
      case kCounter:
        RenderCounter(out, p.start, p.length, n.pitch, p.velocity);
        break;
      case kBell:
        RenderBell(out, p.start, n.pitch, p.velocity);
        break;
      default:
        break;
    }
  }
}
