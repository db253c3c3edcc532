#include "tools/music_gen/master.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "tools/music_gen/loudness.h"
#include "tools/music_gen/synth.h"

namespace {

constexpr int kOversampling = 4;
constexpr int kTapsPerPhase = 12;  // six samples either side
constexpr int kLookAhead = kSampleRate * 5 / 1000;
constexpr float kReleaseSeconds = 0.06f;

// Windowed-sinc interpolators for the three points between two samples:
// kPhases[p - 1][j] weighs sample n + j - 5 for the point n + p / 4.
struct Interpolator {
  float taps[kOversampling - 1][kTapsPerPhase];
  Interpolator() {
    const double pi = 3.14159265358979323846;
    for (int p = 1; p < kOversampling; ++p)
      for (int j = 0; j < kTapsPerPhase; ++j) {
        const double x = static_cast<double>(p) / kOversampling - (j - 5);
        const double sinc = std::sin(pi * x) / (pi * x);
        const double window = 0.42 + 0.5 * std::cos(pi * x / 6.5) + 0.08 * std::cos(2 * pi * x / 6.5);
        taps[p - 1][j] = static_cast<float>(sinc * window);
      }
  }
};

float Sample(const std::vector<float>& v, long i) {
  return i >= 0 && i < static_cast<long>(v.size()) ? v[static_cast<size_t>(i)] : 0.0f;
}

// The largest magnitude between frame n and frame n + 1 of one side.
float PeakAfter(const Interpolator& f, const std::vector<float>& v, long n) {
  float peak = std::fabs(Sample(v, n));
  for (int p = 0; p < kOversampling - 1; ++p) {
    float sum = 0.0f;
    for (int j = 0; j < kTapsPerPhase; ++j) sum += f.taps[p][j] * Sample(v, n + j - 5);
    peak = std::max(peak, std::fabs(sum));
  }
  return peak;
}

}  // namespace

void CompressBus(const Compressor& c, std::vector<float>& left, std::vector<float>& right) {
  const float detect = 1.0f - static_cast<float>(std::exp(-1.0 / (0.01 * kSampleRate)));
  const float attack = 1.0f - static_cast<float>(std::exp(-1.0 / (c.attackSeconds * kSampleRate)));
  const float release = 1.0f - static_cast<float>(std::exp(-1.0 / (c.releaseSeconds * kSampleRate)));
  float power = 0.0f, reduction = 0.0f;  // dB, at most 0
  for (size_t i = 0; i < left.size(); ++i) {
    power += (0.5f * (left[i] * left[i] + right[i] * right[i]) - power) * detect;
    const float level = 10.0f * std::log10(power + 1e-12f);
    const float over = level - c.thresholdDb;
    float wanted = 0.0f;
    if (over >= c.kneeDb / 2)
      wanted = (1.0f / c.ratio - 1.0f) * over;
    else if (over > -c.kneeDb / 2)
      wanted = (1.0f / c.ratio - 1.0f) * (over + c.kneeDb / 2) * (over + c.kneeDb / 2) / (2 * c.kneeDb);
    reduction += (wanted - reduction) * (wanted < reduction ? attack : release);
    const float gain = std::pow(10.0f, reduction / 20.0f);
    left[i] *= gain;
    right[i] *= gain;
  }
}

std::vector<float> TruePeakEnvelope(const std::vector<float>& left, const std::vector<float>& right) {
  static const Interpolator interpolator;
  std::vector<float> after(left.size());
  for (size_t n = 0; n < left.size(); ++n)
    after[n] = std::max(PeakAfter(interpolator, left, static_cast<long>(n)),
                        PeakAfter(interpolator, right, static_cast<long>(n)));
  // Frame n shares the stretch before it and the one after it.
  std::vector<float> peak(left.size());
  for (size_t n = 0; n < left.size(); ++n) peak[n] = std::max(after[n], n ? after[n - 1] : 0.0f);
  return peak;
}

namespace {

// Scales by `gain` and limits, from the peaks of the unscaled signal.
void ScaleAndLimit(float gain, float ceiling, const std::vector<float>& peak,
                   std::vector<float>& left, std::vector<float>& right) {
  const size_t n = peak.size();
  // The gain each frame needs, its least over the look-ahead that follows,
  // then averaged over the look-ahead before: every value averaged is at
  // most the need of frame i, so the gain is down in time, along a slope.
  std::vector<float> held(n);
  std::deque<size_t> window;  // frames of rising need, the least first
  auto need = [&](size_t i) { return gain * peak[i] > ceiling ? ceiling / (gain * peak[i]) : 1.0f; };
  for (size_t i = n; i-- > 0;) {
    while (!window.empty() && need(window.back()) >= need(i)) window.pop_back();
    window.push_back(i);
    while (window.front() >= i + kLookAhead) window.pop_front();
    held[i] = need(window.front());
  }
  const float letGo = 1.0f - static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * kSampleRate)));
  double sum = kLookAhead;  // frames before the first need nothing
  float reduction = 1.0f;
  for (size_t i = 0; i < n; ++i) {
    sum += held[i] - (i >= kLookAhead ? held[i - kLookAhead] : 1.0f);
    const float average = static_cast<float>(sum / kLookAhead);
    reduction = average < reduction ? average : reduction + (average - reduction) * letGo;
    left[i] *= gain * reduction;
    right[i] *= gain * reduction;
  }
}

}  // namespace

void LimitTruePeak(float ceiling, std::vector<float>& left, std::vector<float>& right) {
  const std::vector<float> peak = TruePeakEnvelope(left, right);
  // The estimate's interpolator is shorter than the meter's: where the meter
  // still finds the ceiling passed, the ceiling is lowered by the excess.
  float aim = ceiling;
  std::vector<float> l, r;
  for (int attempt = 0; attempt < 4; ++attempt) {
    l = left;
    r = right;
    ScaleAndLimit(1.0f, aim, peak, l, r);
    const double over = DecibelsOf(TruePeak(l, r)) - DecibelsOf(ceiling);
    if (over <= 0.0) break;
    aim *= static_cast<float>(std::pow(10.0, -(over + 0.02) / 20.0));
  }
  left.swap(l);
  right.swap(r);
}

void MasterToLoudness(double targetLufs, double ceilingDbtp, std::vector<float>& left,
                      std::vector<float>& right) {
  const std::vector<float> peak = TruePeakEnvelope(left, right);
  float ceiling = static_cast<float>(std::pow(10.0, ceilingDbtp / 20.0));
  double gainDb = targetLufs - IntegratedLoudness(left, right);
  std::vector<float> l, r;
  for (int attempt = 0; attempt < 8; ++attempt) {
    l = left;
    r = right;
    ScaleAndLimit(static_cast<float>(std::pow(10.0, gainDb / 20.0)), ceiling, peak, l, r);
    const double lufs = IntegratedLoudness(l, r);
    if (std::fabs(lufs - targetLufs) >= 0.05) {
      gainDb += targetLufs - lufs;
      continue;
    }
    // Checked by the meter itself; a peak the estimate missed lowers the ceiling.
    const double over = DecibelsOf(TruePeak(l, r)) - ceilingDbtp;
    if (over <= 0.0) break;
    ceiling *= static_cast<float>(std::pow(10.0, -(over + 0.02) / 20.0));
  }
  left.swap(l);
  right.swap(r);
}
