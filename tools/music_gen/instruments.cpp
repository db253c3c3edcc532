#include "tools/music_gen/instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/music_gen/biquad.h"

namespace {

float Random01(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return static_cast<float>(seed >> 8) / 16777216.0f;
}

struct StereoHighPass {
  Biquad left, right;
  explicit StereoHighPass(double hz) : left(HighPass(hz, 0.7071)), right(HighPass(hz, 0.7071)) {}
};

void Wrap(float& phase) {
  if (phase >= 1.0f) phase -= 1.0f;
}

}  // namespace

void RenderPad(Target& out, double start, double length, float midi, float velocity,
               const ControlCurve& brightness, uint32_t seed) {
  const float attack = std::clamp(0.15f * static_cast<float>(length), 0.08f, 2.5f);
  const float release = 1.2f;
  const float hz = MidiToHz(midi);
  float phase[3], drift[3];
  for (int i = 0; i < 3; ++i) {
    phase[i] = Random01(seed);
    drift[i] = Random01(seed);
  }
  float wander = Random01(seed);
  const float driftRate[3] = {0.13f, 0.21f, 0.17f};
  const float detune[3] = {-0.0046f, 0.0f, 0.0041f};  // about -8, 0, +7 cents
  Svf leftFilter, rightFilter;
  StereoHighPass clean(140.0);
  const int first = FrameOf(start), last = std::min(FrameOf(start + length + release), out.End());
  for (int i = std::max(first, out.First()); i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    float v[3];
    for (int k = 0; k < 3; ++k) {
      // Each saw drifts by up to 3 cents: a slow chorus.
      const float cents = detune[k] + 0.0017f * SineOfTurns(drift[k]);
      drift[k] += driftRate[k] * kInverseRate;
      Wrap(drift[k]);
      v[k] = Saw(phase[k], hz * (1.0f + cents) * kInverseRate);
    }
    wander += 0.07f * kInverseRate;
    Wrap(wander);
    const float open = ControlAt(brightness, i);
    const float cutoff = (220.0f + 0.8f * hz + 4200.0f * open * open) * (1.0f + 0.12f * SineOfTurns(wander));
    float l, r;
    SvfStep(leftFilter, Soft(0.8f * (v[0] + 0.7f * v[1])), cutoff, 1.0f, &l, nullptr, nullptr);
    SvfStep(rightFilter, Soft(0.8f * (v[2] + 0.7f * v[1])), cutoff, 1.0f, &r, nullptr, nullptr);
    const float env = velocity * Gate(t, static_cast<float>(length), attack, release);
    out.Add(i, clean.left.Run(l) * env, clean.right.Run(r) * env);
  }
}

void RenderAir(Target& out, double start, double length, float midi, float velocity, uint32_t seed) {
  const float attack = std::clamp(0.3f * static_cast<float>(length), 0.2f, 3.0f), release = 1.5f;
  const float hz = MidiToHz(midi);
  float a = 0.0f, b = 0.5f, shimmer = 0.0f;
  uint32_t noise = seed | 1u;
  Svf breath, tone;
  StereoHighPass clean(400.0);
  const int first = FrameOf(start), last = std::min(FrameOf(start + length + release), out.End());
  for (int i = std::max(first, out.First()); i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    shimmer += 0.31f * kInverseRate;
    Wrap(shimmer);
    const float lfo = SineOfTurns(shimmer);
    const float saw = Saw(a, hz * 0.998f * kInverseRate) + Saw(b, hz * 1.002f * kInverseRate);
    float low, band;
    SvfStep(tone, saw, 1.5f * hz + 1200.0f, 1.2f, &low, nullptr, nullptr);
    SvfStep(breath, Noise(noise), 2.0f * hz, 0.5f, nullptr, &band, nullptr);
    const float env = velocity * Gate(t, static_cast<float>(length), attack, release);
    const float v = (0.6f * low + 0.25f * band) * env;
    out.Add(i, clean.left.Run(v * (1.0f + 0.3f * lfo)), clean.right.Run(v * (1.0f - 0.3f * lfo)));
  }
}

void RenderBass(Target& out, double start, double length, float midi, float velocity) {
  const float release = 0.04f;
  const float hz = MidiToHz(midi);
  float sawPhase = 0.0f, sinePhase = 0.0f;
  Svf filter;
  Biquad rumble = HighPass(28.0, 0.7071);
  const int first = FrameOf(start), last = std::min(FrameOf(start + length + release), out.End());
  Decay bite(0.08f), settle(0.2f);
  for (int i = first; i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    const float saw = Saw(sawPhase, hz * kInverseRate);
    const float sine = SineOfTurns(sinePhase);
    sinePhase += hz * kInverseRate;
    Wrap(sinePhase);
    const float cutoff = 110.0f + 3.0f * hz + 1500.0f * velocity * bite.Next();
    float low;
    SvfStep(filter, saw, cutoff, 0.8f, &low, nullptr, nullptr);
    const float env = Gate(t, static_cast<float>(length), 0.005f, release) * (0.85f + 0.15f * settle.Next());
    const float v = rumble.Run(Soft(1.6f * (0.5f * low + 0.75f * sine)) * velocity * env);
    if (i >= out.First()) out.Add(i, v, v);
  }
}

void RenderPluck(Target& out, double start, float midi, float velocity, float decaySeconds) {
  const float hz = MidiToHz(midi);
  float carrier = 0.0f, modulator = 0.0f;
  Biquad clean = HighPass(220.0, 0.7071);
  const float tail = 6.0f * decaySeconds;
  const int first = FrameOf(start), last = std::min(FrameOf(start + tail), out.End());
  Decay brightness(0.06f + 0.04f * velocity), fall(decaySeconds);
  for (int i = first; i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    const float index = 0.3f + 2.6f * velocity * brightness.Next();
    const float v = SineOfTurns(carrier + index * SineOfTurns(modulator) / kTwoPi);
    carrier += hz * kInverseRate;
    modulator += 2.0f * hz * kInverseRate;
    Wrap(carrier);
    Wrap(modulator);
    const float env = velocity * Ramp(t, 0.002f) * fall.Next() * (1.0f - Ramp(t - 0.8f * tail, 0.2f * tail));
    const float s = clean.Run(v * env);
    if (i >= out.First()) out.Add(i, s, s);
  }
}

void RenderLead(Target& out, double start, double length, float midi, float velocity,
                float fromMidi) {
  const float release = 0.25f, glide = fromMidi > 0.0f ? 0.05f : 0.0f;
  float a = 0.0f, b = 0.37f, vibrato = 0.0f;
  Svf filter;
  StereoHighPass clean(200.0);
  const int first = FrameOf(start), last = std::min(FrameOf(start + length + release), out.End());
  Decay opening(0.3f);
  const float target = MidiToHz(midi);
  for (int i = first; i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    const float hz = t < glide ? MidiToHz(fromMidi + (midi - fromMidi) * Ramp(t, glide)) : target;
    const float depth = 0.005f * Ramp(t - 0.3f, 0.5f);
    const float step = hz * (1.0f + depth * SineOfTurns(vibrato)) * kInverseRate;
    vibrato += 5.3f * kInverseRate;
    Wrap(vibrato);
    const float v = Saw(a, step * 0.9977f) + Saw(b, step * 1.0023f);
    float low;
    SvfStep(filter, v, 800.0f + 1.8f * hz + (1200.0f + 1800.0f * velocity) * opening.Next(), 0.7f, &low,
            nullptr, nullptr);
    const float env = velocity * Gate(t, static_cast<float>(length), glide > 0.0f ? 0.01f : 0.02f, release);
    const float s = Soft(0.9f * low) * env;
    if (i >= out.First()) out.Add(i, clean.left.Run(s), clean.right.Run(s));
  }
}

void RenderCounter(Target& out, double start, double length, float midi, float velocity) {
  const float release = 0.2f;
  const float hz = MidiToHz(midi);
  float phase = 0.0f, second = 0.0f, vibrato = 0.3f;
  Svf filter;
  Biquad clean = HighPass(180.0, 0.7071);
  const int first = FrameOf(start), last = std::min(FrameOf(start + length + release), out.End());
  for (int i = first; i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    const float wobble = 1.0f + 0.003f * Ramp(t - 0.4f, 0.6f) * SineOfTurns(vibrato);
    vibrato += 4.6f * kInverseRate;
    Wrap(vibrato);
    const float triangle = 4.0f * std::fabs(phase - 0.5f) - 1.0f;
    phase += hz * wobble * kInverseRate;
    Wrap(phase);
    second += 2.0f * hz * wobble * kInverseRate;
    Wrap(second);
    float low;
    SvfStep(filter, triangle + 0.3f * SineOfTurns(second), 1500.0f + 1.5f * hz, 0.9f, &low, nullptr,
            nullptr);
    const float s = clean.Run(low * velocity * Gate(t, static_cast<float>(length), 0.06f, release));
    if (i >= out.First()) out.Add(i, s, s);
  }
}

void RenderBell(Target& out, double start, float midi, float velocity) {
  const float hz = MidiToHz(midi);
  float carrier = 0.0f, modulator = 0.0f, partial = 0.0f;
  Biquad clean = HighPass(300.0, 0.7071);
  const int first = FrameOf(start), last = std::min(FrameOf(start + 3.0), out.End());
  Decay index(0.4f), fall(0.7f), partialFall(0.25f);
  for (int i = first; i < last; ++i) {
    const float t = static_cast<float>(i - first) * kInverseRate;
    const float mod = (0.5f + 1.8f * velocity * index.Next()) * SineOfTurns(modulator) / kTwoPi;
    const float v = SineOfTurns(carrier + mod) + 0.3f * SineOfTurns(partial) * partialFall.Next();
    carrier += hz * kInverseRate;
    modulator += 3.5f * hz * kInverseRate;
    partial += 2.76f * hz * kInverseRate;
    Wrap(carrier);
    Wrap(modulator);
    Wrap(partial);
    const float env = velocity * Ramp(t, 0.003f) * fall.Next() * (1.0f - Ramp(t - 2.6f, 0.4f));
    const float s = clean.Run(v * env);
    if (i >= out.First()) out.Add(i, s, s);
  }
}
