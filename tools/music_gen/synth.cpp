#include "tools/music_gen/synth.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;
constexpr float kInverseRate = 1.0f / kSampleRate;

struct Target {
  MixBuses& buses;
  float toLeft, toRight, toReverb, toDelay;
};

Target Aim(MixBuses& buses, Placement where) {
  float angle = (where.pan + 1.0f) * 0.25f * kPi;
  return {buses, where.gain * std::cos(angle), where.gain * std::sin(angle),
          where.gain * where.reverb, where.gain * where.delay};
}

// sin(2 pi turns) by a short series: no libm call per sample, and the same bits
// whichever variant of the maths library a machine picks.
float SineOfTurns(float turns) {
  float x = turns - std::floor(turns + 0.5f);
  if (x > 0.25f) x = 0.5f - x;
  if (x < -0.25f) x = -0.5f - x;
  float y = kTwoPi * x, y2 = y * y;
  return y * (1.0f +
              y2 * (-1.0f / 6 + y2 * (1.0f / 120 +
                                      y2 * (-1.0f / 5040 + y2 * (1.0f / 362880 - y2 / 39916800)))));
}

// exp(-t / seconds), advanced one frame per call by a running product.
struct Decay {
  float value = 1.0f, factor;
  explicit Decay(float seconds)
      : factor(static_cast<float>(std::exp(-1.0 / (seconds * kSampleRate)))) {}
  float Next() {
    float now = value;
    value = value < 1e-30f ? 0.0f : value * factor;  // no crawl through denormals
    return now;
  }
};

int FrameOf(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }
int FrameCount(const MixBuses& buses) { return static_cast<int>(buses.left.size()); }

void Add(const Target& t, int frame, float left, float right) {
  t.buses.left[frame] += left * t.toLeft;
  t.buses.right[frame] += right * t.toRight;
  float mono = 0.5f * (left + right);
  t.buses.reverbSend[frame] += mono * t.toReverb;
  t.buses.delaySend[frame] += mono * t.toDelay;
}

float Noise(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(state) * (2.0f / 4294967296.0f) - 1.0f;
}

float PolyBlep(float phase, float step) {
  if (phase < step) {
    float t = phase / step;
    return t + t - t * t - 1.0f;
  }
  if (phase > 1.0f - step) {
    float t = (phase - 1.0f) / step;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

float Saw(float& phase, float step) {
  float value = 2.0f * phase - 1.0f - PolyBlep(phase, step);
  phase += step;
  if (phase >= 1.0f) phase -= 1.0f;
  return value;
}

// Raised-cosine ramps at both ends keep every note free of clicks.
float Ramp(float t, float rise) {
  if (t >= rise) return 1.0f;
  if (t <= 0.0f) return 0.0f;
  return 0.5f - 0.5f * SineOfTurns(0.5f * t / rise + 0.25f);
}

float Gate(float t, float length, float attack, float release) {
  return Ramp(t, attack) * (t < length ? 1.0f : 1.0f - Ramp(t - length, release));
}

}  // namespace

void ResizeBuses(MixBuses& buses, int frames) {
  buses.left.assign(static_cast<size_t>(frames), 0.0f);
  buses.right.assign(static_cast<size_t>(frames), 0.0f);
  buses.reverbSend.assign(static_cast<size_t>(frames), 0.0f);
  buses.delaySend.assign(static_cast<size_t>(frames), 0.0f);
}

float MidiToHz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f); }

void SvfStep(Svf& f, float input, float cutoffHz, float resonance, float* low, float* band,
             float* high) {
  if (cutoffHz > 10000.0f) cutoffHz = 10000.0f;
  float k = 2.0f * SineOfTurns(cutoffHz * 0.25f * kInverseRate);
  float h = 0.0f;
  for (int pass = 0; pass < 2; ++pass) {
    f.low += k * f.band;
    h = input - f.low - resonance * f.band;
    f.band += k * h;
  }
  if (low) *low = f.low;
  if (band) *band = f.band;
  if (high) *high = h;
}

void RenderPad(MixBuses& buses, double start, double length, float midi, Placement where,
               const std::vector<float>& brightness, uint32_t seed) {
  const float attack = 0.7f, release = 1.4f;
  Target out = Aim(buses, where);
  float hz = MidiToHz(midi);
  const float detune[3] = {0.9954f, 1.0f, 1.0041f};  // about -8, 0, +7 cents
  float phase[3];
  for (float& p : phase)
    p = static_cast<float>((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0f;
  Svf leftFilter, rightFilter;
  int first = FrameOf(start);
  int last = FrameOf(start + length + release);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float a = Saw(phase[0], hz * detune[0] * kInverseRate);
    float b = Saw(phase[1], hz * detune[1] * kInverseRate);
    float c = Saw(phase[2], hz * detune[2] * kInverseRate);
    float open = brightness[static_cast<size_t>(i / kControlBlock)];
    float cutoff = 260.0f + 3200.0f * open * open + 0.6f * hz;
    float l, r;
    SvfStep(leftFilter, a + 0.6f * b, cutoff, 1.1f, &l, nullptr, nullptr);
    SvfStep(rightFilter, c + 0.6f * b, cutoff, 1.1f, &r, nullptr, nullptr);
    float env = Gate(t, static_cast<float>(length), attack, release);
    Add(out, i, l * env, r * env);
  }
}

void RenderBass(MixBuses& buses, double start, double length, float midi, Placement where,
                float bite) {
  const float release = 0.05f;
  Target out = Aim(buses, where);
  float hz = MidiToHz(midi);
  float sawPhase = 0.0f, sinePhase = 0.0f;
  Svf filter;
  int first = FrameOf(start);
  int last = FrameOf(start + length + release);
  Decay biteDecay(0.09f), settle(0.15f);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float saw = Saw(sawPhase, hz * kInverseRate);
    float sine = SineOfTurns(sinePhase);
    sinePhase += hz * kInverseRate;
    if (sinePhase >= 1.0f) sinePhase -= 1.0f;
    float cutoff = 140.0f + 2.2f * hz + bite * 1400.0f * biteDecay.Next();
    float low;
    SvfStep(filter, saw, cutoff, 0.9f, &low, nullptr, nullptr);
    float env =
        Gate(t, static_cast<float>(length), 0.004f, release) * (0.8f + 0.2f * settle.Next());
    float v = (0.55f * low + 0.7f * sine) * env;
    Add(out, i, v, v);
  }
}

void RenderPluck(MixBuses& buses, double start, float midi, Placement where, float decaySeconds) {
  Target out = Aim(buses, where);
  float hz = MidiToHz(midi);
  float carrier = 0.0f, modulator = 0.0f;
  int first = FrameOf(start);
  int last = FrameOf(start + 6.0 * decaySeconds);
  float tail = 6.0f * decaySeconds;
  Decay brightness(0.07f), fall(decaySeconds);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float index = 0.3f + 2.4f * brightness.Next();
    float v = SineOfTurns(carrier + index * SineOfTurns(modulator) / kTwoPi);
    carrier += hz * kInverseRate;
    modulator += 2.0f * hz * kInverseRate;
    if (carrier >= 1.0f) carrier -= 1.0f;
    if (modulator >= 1.0f) modulator -= 1.0f;
    float env = Ramp(t, 0.002f) * fall.Next() * (1.0f - Ramp(t - 0.8f * tail, 0.2f * tail));
    Add(out, i, v * env, v * env);
  }
}

void RenderLead(MixBuses& buses, double start, double length, float midi, Placement where) {
  const float release = 0.3f;
  Target out = Aim(buses, where);
  float hz = MidiToHz(midi);
  float a = 0.0f, b = 0.37f, vibrato = 0.0f;
  Svf filter;
  int first = FrameOf(start);
  int last = FrameOf(start + length + release);
  Decay opening(0.25f);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float depth = 0.004f * Ramp(t - 0.25f, 0.4f);
    float wobble = 1.0f + depth * SineOfTurns(vibrato);
    vibrato += 5.2f * kInverseRate;
    float step = hz * wobble * kInverseRate;
    float v = Saw(a, step * 0.997f) + Saw(b, step * 1.003f);
    float low;
    SvfStep(filter, v, 900.0f + 1.6f * hz + 1800.0f * opening.Next(), 0.8f, &low, nullptr, nullptr);
    float env = Gate(t, static_cast<float>(length), 0.025f, release);
    Add(out, i, low * env, low * env);
  }
}

void RenderKick(MixBuses& buses, double start, Placement where) {
  Target out = Aim(buses, where);
  float phase = 0.0f;
  uint32_t noise = 0x1234567u;
  int first = FrameOf(start);
  int last = FrameOf(start + 0.9);
  Decay drop(0.03f), fall(0.3f), snap(0.002f);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    phase += (46.0f + 120.0f * drop.Next()) * kInverseRate;
    float body = SineOfTurns(phase) * fall.Next();
    float click = 0.25f * Noise(noise) * snap.Next();
    float v = std::tanh(1.4f * (body + click)) * Ramp(t, 0.001f) * (1.0f - Ramp(t - 0.8f, 0.1f));
    Add(out, i, v, v);
  }
}

void RenderSnare(MixBuses& buses, double start, Placement where, uint32_t seed) {
  Target out = Aim(buses, where);
  uint32_t noise = seed | 1u;
  float tone = 0.0f;
  Svf filter;
  int first = FrameOf(start);
  int last = FrameOf(start + 0.7);
  Decay ring(0.05f), fall(0.14f);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float band;
    SvfStep(filter, Noise(noise), 1900.0f, 0.9f, nullptr, &band, nullptr);
    float body = 0.5f * SineOfTurns(tone) * ring.Next();
    tone += 190.0f * kInverseRate;
    float v = (0.9f * band * fall.Next() + body) * Ramp(t, 0.0015f) * (1.0f - Ramp(t - 0.6f, 0.1f));
    Add(out, i, v, v);
  }
}

void RenderHat(MixBuses& buses, double start, Placement where, float decaySeconds, uint32_t seed) {
  Target out = Aim(buses, where);
  uint32_t noise = seed | 1u;
  Svf filter;
  int first = FrameOf(start);
  float tail = 6.0f * decaySeconds;
  int last = FrameOf(start + tail);
  Decay fall(decaySeconds);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float high;
    SvfStep(filter, Noise(noise), 7200.0f, 0.8f, nullptr, nullptr, &high);
    float v = high * Ramp(t, 0.0008f) * fall.Next() * (1.0f - Ramp(t - 0.8f * tail, 0.2f * tail));
    Add(out, i, v, v);
  }
}

void RenderWash(MixBuses& buses, double start, double length, bool rising, Placement where,
                uint32_t seed) {
  Target out = Aim(buses, where);
  uint32_t leftNoise = seed | 1u, rightNoise = (seed * 2654435761u) | 1u;
  Svf leftFilter, rightFilter;
  int first = FrameOf(start);
  int last = FrameOf(start + length);
  float span = static_cast<float>(length);
  Decay fall(static_cast<float>(length) / 5.0f);
  for (int i = first; i < last && i < FrameCount(buses); ++i) {
    float t = static_cast<float>(i - first) * kInverseRate;
    float x = t / span;
    float cutoff = rising ? 500.0f + 6500.0f * x * x : 6000.0f - 2500.0f * x;
    float env = rising ? x * x * (1.0f - Ramp(t - span + 0.03f, 0.03f))
                       : Ramp(t, 0.004f) * fall.Next() * (1.0f - x);
    float l, r;
    SvfStep(leftFilter, Noise(leftNoise), cutoff, 0.6f, nullptr, &l, nullptr);
    SvfStep(rightFilter, Noise(rightNoise), cutoff, 0.6f, nullptr, &r, nullptr);
    Add(out, i, l * env, r * env);
  }
}
