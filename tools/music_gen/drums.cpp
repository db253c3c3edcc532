#include "tools/music_gen/drums.h"

#include <algorithm>
#include <cmath>

#include "tools/music_gen/biquad.h"

namespace {

// Frames [first, last) of a hit at start, kept inside the target.
struct Span {
  int first, from, to;
  Span(const Target& out, double start, double seconds)
      : first(FrameOf(start)), from(std::max(first, out.First())),
        to(std::min(FrameOf(start + seconds), out.End())) {}
  float Time(int i) const { return static_cast<float>(i - first) * kInverseRate; }
};

constexpr float kMetal[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};

float Metal(float (&phase)[6], float scale) {
  float sum = 0.0f;
  for (int k = 0; k < 6; ++k) {
    sum += phase[k] < 0.5f ? 1.0f : -1.0f;
    phase[k] += kMetal[k] * scale * kInverseRate;
    if (phase[k] >= 1.0f) phase[k] -= 1.0f;
  }
  return sum / 6.0f;
}

}  // namespace

void RenderKick(Target& out, double start, float velocity) {
  const Span s(out, start, 0.42);
  float phase = 0.0f, beater = 0.0f;
  uint32_t noise = 0x1234567u;
  Biquad click = HighPass(1500.0, 0.7071), rumble = HighPass(30.0, 0.7071);
  Decay drop(0.028f), snap(0.004f), tick(0.0015f), body(0.15f);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    phase += (73.42f + 155.0f * drop.Next()) * kInverseRate;
    if (phase >= 1.0f) phase -= 1.0f;
    beater += 1700.0f * kInverseRate;
    if (beater >= 1.0f) beater -= 1.0f;
    const float tone = SineOfTurns(phase) * body.Next() * (1.0f - Ramp(t - 0.34f, 0.08f));
    const float hit = 0.3f * click.Run(Noise(noise)) * snap.Next() + 0.25f * SineOfTurns(beater) * tick.Next();
    const float v = rumble.Run(Soft(1.5f * (tone + hit)) * Ramp(t, 0.0008f)) * velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}

void RenderSnare(Target& out, double start, float velocity, uint32_t seed) {
  const Span s(out, start, 0.5);
  uint32_t noise = seed | 1u;
  float low = 0.0f, high = 0.0f;
  Biquad bright = HighPass(1800.0, 0.7071), soft = LowPass(9000.0, 0.7071), clean = HighPass(150.0, 0.7071);
  Decay ring(0.06f), rattle(0.13f + 0.05f * velocity), drop(0.02f);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    const float fall = drop.Next();
    low += (185.0f + 30.0f * fall) * kInverseRate;
    high += (330.0f + 40.0f * fall) * kInverseRate;
    if (low >= 1.0f) low -= 1.0f;
    if (high >= 1.0f) high -= 1.0f;
    const float body = (0.55f * SineOfTurns(low) + 0.3f * SineOfTurns(high)) * ring.Next();
    const float wires = soft.Run(bright.Run(Noise(noise))) * rattle.Next();
    const float v = clean.Run(Soft(1.2f * (body + 0.9f * wires))) * Ramp(t, 0.001f) *
                    (1.0f - Ramp(t - 0.42f, 0.08f)) * velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}

void RenderClap(Target& out, double start, float velocity, uint32_t seed) {
  const Span s(out, start, 0.4);
  uint32_t noise = seed | 1u;
  Biquad band = HighPass(900.0, 0.7071), top = LowPass(3500.0, 0.7071);
  Decay tail(0.11f), hands[3] = {Decay(0.004f), Decay(0.004f), Decay(0.004f)};
  const float handAt[3] = {0.0f, 0.009f, 0.019f};
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    // Three hands a few milliseconds apart, then the room.
    float env = 0.0f;
    for (int h = 0; h < 3; ++h)
      if (t >= handAt[h]) env = std::max(env, hands[h].Next());
    env = std::max(env, 0.6f * tail.Next() * Ramp(t - 0.019f, 0.002f));
    const float v = top.Run(band.Run(Noise(noise))) * env * (1.0f - Ramp(t - 0.33f, 0.07f)) * velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}

void RenderHat(Target& out, double start, float velocity, float decaySeconds, uint32_t seed) {
  const float tail = 6.0f * decaySeconds;
  const Span s(out, start, tail);
  uint32_t noise = seed | 1u;
  float phase[6] = {0.0f, 0.1f, 0.25f, 0.4f, 0.6f, 0.8f};
  Butterworth4 clean = HighPass4(6500.0);
  Decay fall(decaySeconds);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    const float raw = 0.6f * Metal(phase, 1.0f) + 0.5f * Noise(noise);
    const float v = clean.Run(raw) * Ramp(t, 0.0005f) * fall.Next() * (1.0f - Ramp(t - 0.8f * tail, 0.2f * tail)) *
                    velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}

void RenderCrash(Target& out, double start, float velocity, uint32_t seed) {
  const Span s(out, start, 2.6);
  uint32_t leftNoise = seed | 1u, rightNoise = (seed * 2654435761u) | 1u;
  float phase[6] = {0.05f, 0.3f, 0.15f, 0.7f, 0.45f, 0.9f};
  Butterworth4 leftClean = HighPass4(3200.0), rightClean = HighPass4(3200.0);
  Svf leftTone, rightTone;
  Decay fall(0.55f), shine(0.9f), ring(1.1f);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    const float metal = 0.5f * Metal(phase, 1.37f);
    const float cutoff = 6000.0f + 6000.0f * shine.Next();
    float l, r;
    SvfStep(leftTone, metal + Noise(leftNoise), cutoff, 0.7f, &l, nullptr, nullptr);
    SvfStep(rightTone, metal + Noise(rightNoise), cutoff, 0.7f, &r, nullptr, nullptr);
    const float env = velocity * Ramp(t, 0.001f) * (0.4f * fall.Next() + 0.6f * ring.Next()) *
                      (1.0f - Ramp(t - 2.2f, 0.4f));
    if (i >= s.from) out.Add(i, leftClean.Run(l) * env, rightClean.Run(r) * env);
  }
}

void RenderTom(Target& out, double start, float midi, float velocity) {
  const Span s(out, start, 0.5);
  const float hz = MidiToHz(midi);
  float phase = 0.0f;
  uint32_t noise = 0x2468aceu;
  Biquad clean = HighPass(60.0, 0.7071), skin = HighPass(2000.0, 0.7071);
  Decay drop(0.04f), fall(0.18f), hit(0.005f);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    phase += hz * (1.0f + 0.6f * drop.Next()) * kInverseRate;
    if (phase >= 1.0f) phase -= 1.0f;
    const float v = clean.Run(Soft(1.3f * (SineOfTurns(phase) * fall.Next() + 0.3f * skin.Run(Noise(noise)) * hit.Next()))) *
                    Ramp(t, 0.001f) * (1.0f - Ramp(t - 0.42f, 0.08f)) * velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}

void RenderRiser(Target& out, double start, double length, float velocity, uint32_t seed) {
  const Span s(out, start, length);
  uint32_t leftNoise = seed | 1u, rightNoise = (seed * 2654435761u) | 1u;
  Svf leftFilter, rightFilter;
  const float span = static_cast<float>(length);
  // From 400 Hz up to 8 kHz, in equal steps of pitch.
  const float rise = static_cast<float>(std::pow(20.0, 1.0 / (length * kSampleRate)));
  float cutoff = 400.0f;
  for (int i = s.first; i < s.to; ++i, cutoff *= rise) {
    if (i < s.from) continue;
    const float x = s.Time(i) / span;
    const float env = velocity * x * x * (1.0f - Ramp(s.Time(i) - span + 0.02f, 0.02f));
    float l, r;
    SvfStep(leftFilter, Noise(leftNoise), cutoff, 0.5f, nullptr, &l, nullptr);
    SvfStep(rightFilter, Noise(rightNoise), cutoff, 0.5f, nullptr, &r, nullptr);
    out.Add(i, l * env, r * env);
  }
}

void RenderImpact(Target& out, double start, float midi, float velocity, uint32_t seed) {
  const Span s(out, start, 1.6);
  const float hz = MidiToHz(midi);
  float phase = 0.0f;
  uint32_t noise = seed | 1u;
  Biquad dark = LowPass(900.0, 0.7071), rumble = HighPass(28.0, 0.7071);
  Decay drop(0.12f), fall(0.45f), burst(0.12f);
  for (int i = s.first; i < s.to; ++i) {
    const float t = s.Time(i);
    phase += hz * (1.0f + 1.2f * drop.Next()) * kInverseRate;
    if (phase >= 1.0f) phase -= 1.0f;
    const float v = rumble.Run(Soft(1.4f * (SineOfTurns(phase) * fall.Next() + 0.5f * dark.Run(Noise(noise)) * burst.Next()))) *
                    Ramp(t, 0.001f) * (1.0f - Ramp(t - 1.3f, 0.3f)) * velocity;
    if (i >= s.from) out.Add(i, v, v);
  }
}
