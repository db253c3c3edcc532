#include "tools/music_gen/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

#include "tools/music_gen/synth.h"

namespace {

struct Meter {
  ebur128_state* state;
  explicit Meter(int mode) : state(ebur128_init(2, kSampleRate, mode)) {}
  ~Meter() { ebur128_destroy(&state); }
  Meter(const Meter&) = delete;
  Meter& operator=(const Meter&) = delete;

  void Add(const std::vector<float>& left, const std::vector<float>& right, size_t from,
           size_t to) {
    float pairs[2 * 4096];
    for (size_t at = from; at < to;) {
      const size_t count = std::min<size_t>(4096, to - at);
      for (size_t i = 0; i < count; ++i) {
        pairs[2 * i] = left[at + i];
        pairs[2 * i + 1] = right[at + i];
      }
      ebur128_add_frames_float(state, pairs, count);
      at += count;
    }
  }
};

double AtLeastSilent(double lufs) {
  return std::isfinite(lufs) ? std::max(lufs, kSilentLufs) : kSilentLufs;
}

}  // namespace

double DecibelsOf(double linear) { return linear > 1e-10 ? 20.0 * std::log10(linear) : -200.0; }

double IntegratedLoudness(const std::vector<float>& left, const std::vector<float>& right,
                          size_t from, size_t to) {
  to = std::min(to, left.size());
  Meter meter(EBUR128_MODE_I);
  if (!meter.state) return kSilentLufs;
  if (from < to) meter.Add(left, right, from, to);
  double lufs = kSilentLufs;
  ebur128_loudness_global(meter.state, &lufs);
  return AtLeastSilent(lufs);
}

double TruePeak(const std::vector<float>& left, const std::vector<float>& right) {
  Meter meter(EBUR128_MODE_TRUE_PEAK);
  if (!meter.state) return 0.0;
  meter.Add(left, right, 0, left.size());
  double peak = 0.0;
  for (unsigned channel = 0; channel < 2; ++channel) {
    double p = 0.0;
    ebur128_true_peak(meter.state, channel, &p);
    peak = std::max(peak, p);
  }
  return peak;
}

LoudnessFigures MeasureLoudness(const std::vector<float>& left, const std::vector<float>& right) {
  LoudnessFigures figures = {kSilentLufs, 0.0, -200.0, -200.0};
  Meter meter(EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
  if (!meter.state) return figures;
  meter.Add(left, right, 0, left.size());
  double lufs = kSilentLufs;
  ebur128_loudness_global(meter.state, &lufs);
  figures.integratedLufs = AtLeastSilent(lufs);
  ebur128_loudness_range(meter.state, &figures.rangeLu);
  double truePeak = 0.0, samplePeak = 0.0;
  for (unsigned channel = 0; channel < 2; ++channel) {
    double p = 0.0;
    ebur128_true_peak(meter.state, channel, &p);
    truePeak = std::max(truePeak, p);
    ebur128_sample_peak(meter.state, channel, &p);
    samplePeak = std::max(samplePeak, p);
  }
  figures.truePeakDbtp = DecibelsOf(truePeak);
  figures.samplePeakDbfs = DecibelsOf(samplePeak);
  return figures;
}

std::vector<double> ShortTermLoudness(const std::vector<float>& left,
                                      const std::vector<float>& right, size_t hop) {
  std::vector<double> values;
  Meter meter(EBUR128_MODE_S);
  if (!meter.state || hop == 0) return values;
  for (size_t at = 0; at + hop <= left.size(); at += hop) {
    meter.Add(left, right, at, at + hop);
    double lufs = kSilentLufs;
    ebur128_loudness_shortterm(meter.state, &lufs);
    values.push_back(AtLeastSilent(lufs));
  }
  return values;
}
