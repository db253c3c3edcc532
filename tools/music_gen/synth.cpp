#include "tools/music_gen/synth.h"

#include <cmath>

void ResizeBuses(MixBuses& buses, int firstFrame, int frames) {
  buses.firstFrame = firstFrame;
  for (std::vector<float>* v : {&buses.dryLeft, &buses.dryRight, &buses.wideLeft, &buses.wideRight,
                                &buses.reverbSend, &buses.delaySend})
    v->assign(static_cast<size_t>(frames), 0.0f);
}

int EndFrame(const MixBuses& buses) {
  return buses.firstFrame + static_cast<int>(buses.dryLeft.size());
}

float ControlAt(const ControlCurve& curve, int frame) {
  if (curve.empty()) return 0.0f;
  const int block = frame / kControlBlock;
  if (frame < 0) return curve.front();
  if (static_cast<size_t>(block) + 1 >= curve.size()) return curve.back();
  const float x = static_cast<float>(frame - block * kControlBlock) / kControlBlock;
  return curve[static_cast<size_t>(block)] +
         x * (curve[static_cast<size_t>(block) + 1] - curve[static_cast<size_t>(block)]);
}

Target::Target(MixBuses& buses, const Placement& where, const Automation& automation)
    : buses_(buses),
      automation_(automation),
      duck_(where.duck),
      swell_(where.swell),
      left_(where.wide ? buses.wideLeft : buses.dryLeft),
      right_(where.wide ? buses.wideRight : buses.dryRight) {
  const float angle = (where.pan + 1.0f) * 0.25f * kPi;
  toLeft_ = where.gain * std::cos(angle) * 1.41421356f;
  toRight_ = where.gain * std::sin(angle) * 1.41421356f;
  toReverb_ = where.gain * where.reverb;
  toDelay_ = where.gain * where.delay;
}

void Target::Add(int frame, float left, float right) {
  const int i = frame - buses_.firstFrame;
  if (i < 0 || i >= static_cast<int>(left_.size())) return;
  float g = 1.0f;
  if (duck_ > 0.0f) g *= 1.0f - duck_ * ControlAt(automation_.duck, frame);
  if (swell_ > 0.0f) g *= 1.0f - swell_ + 2.0f * swell_ * ControlAt(automation_.swell, frame);
  left_[static_cast<size_t>(i)] += left * g * toLeft_;
  right_[static_cast<size_t>(i)] += right * g * toRight_;
  const float mono = 0.5f * (left + right) * g;
  buses_.reverbSend[static_cast<size_t>(i)] += mono * toReverb_;
  buses_.delaySend[static_cast<size_t>(i)] += mono * toDelay_;
}

float MidiToHz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f); }

int FrameOf(double seconds) { return static_cast<int>(std::lround(seconds * kSampleRate)); }

float SineOfTurns(float turns) {
  float x = turns - std::floor(turns + 0.5f);
  if (x > 0.25f) x = 0.5f - x;
  if (x < -0.25f) x = -0.5f - x;
  const float y = kTwoPi * x, y2 = y * y;
  return y * (1.0f +
              y2 * (-1.0f / 6 + y2 * (1.0f / 120 +
                                      y2 * (-1.0f / 5040 + y2 * (1.0f / 362880 - y2 / 39916800)))));
}

float Soft(float x) {
  if (x >= 3.0f) return 1.0f;
  if (x <= -3.0f) return -1.0f;
  const float x2 = x * x;
  return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

float Noise(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(state) * (2.0f / 4294967296.0f) - 1.0f;
}

namespace {

float PolyBlep(float phase, float step) {
  if (phase < step) {
    const float t = phase / step;
    return t + t - t * t - 1.0f;
  }
  if (phase > 1.0f - step) {
    const float t = (phase - 1.0f) / step;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

}  // namespace

float Saw(float& phase, float step) {
  const float value = 2.0f * phase - 1.0f - PolyBlep(phase, step);
  phase += step;
  if (phase >= 1.0f) phase -= 1.0f;
  return value;
}

float Ramp(float t, float rise) {
  if (t >= rise) return 1.0f;
  if (t <= 0.0f) return 0.0f;
  return 0.5f - 0.5f * SineOfTurns(0.5f * t / rise + 0.25f);
}

float Gate(float t, float length, float attack, float release) {
  return Ramp(t, attack) * (t < length ? 1.0f : 1.0f - Ramp(t - length, release));
}

Decay::Decay(float seconds) : factor(static_cast<float>(std::exp(-1.0 / (seconds * kSampleRate)))) {}

float Decay::Next() {
  const float now = value;
  value = value < 1e-30f ? 0.0f : value * factor;  // no crawl through denormals
  return now;
}

void SvfStep(Svf& f, float input, float cutoffHz, float resonance, float* low, float* band,
             float* high) {
  if (cutoffHz > 10000.0f) cutoffHz = 10000.0f;
  const float k = 2.0f * SineOfTurns(cutoffHz * 0.25f * kInverseRate);
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
