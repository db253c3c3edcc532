#include "tools/music_gen/report_figures.h"

#include <algorithm>
#include <cmath>

#include "tools/music_gen/biquad.h"
#include "tools/music_gen/fourier.h"
#include "tools/music_gen/swarm_drive.h"
#include "tools/music_gen/synth.h"

namespace {

constexpr size_t kHop = kSampleRate / 10;  // 0.1 s between the windows that follow a signal
constexpr size_t kShortTermHops = 30;      // 3 s, as short-term loudness
constexpr int kWelchSize = 8192;

size_t FrameAt(double seconds) { return static_cast<size_t>(std::lround(seconds * kSampleRate)); }

std::vector<float> Mono(const std::vector<float>& left, const std::vector<float>& right) {
  std::vector<float> mono(left.size());
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (left[i] + right[i]);
  return mono;
}

template <typename Filter>
void Filtered(const std::vector<float>& in, Filter filter, std::vector<float>& out) {
  out.resize(in.size());
  for (size_t i = 0; i < in.size(); ++i) out[i] = filter.Run(in[i]);
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const double n = static_cast<double>(a.size());
  double ma = 0.0, mb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
  ma /= n;
  mb /= n;
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// Power per bin of frames [from, to) of mono, averaged over Hann windows half overlapping.
std::vector<double> WelchSpectrum(const std::vector<float>& mono, size_t from, size_t to) {
  std::vector<double> sum(kWelchSize / 2 + 1, 0.0);
  for (size_t at = from; at + kWelchSize <= to; at += kWelchSize / 2) {
    const std::vector<double> power = PowerSpectrum(mono, static_cast<long>(at), kWelchSize);
    for (size_t i = 0; i < sum.size(); ++i) sum[i] += power[i];
  }
  return sum;
}

double PowerBetween(const std::vector<double>& spectrum, double lowHz, double highHz) {
  double sum = 0.0;
  for (int bin = 1; bin < static_cast<int>(spectrum.size()); ++bin) {
    const double hz = BinHz(bin, kWelchSize);
    if (hz >= lowHz && hz < highHz) sum += spectrum[static_cast<size_t>(bin)];
  }
  return sum;
}

double OctaveBalanceDb(const std::vector<float>& mono, size_t from, size_t to) {
  const std::vector<double> spectrum = WelchSpectrum(mono, from, to);
  const double low = PowerBetween(spectrum, 63.0 / std::sqrt(2.0), 63.0 * std::sqrt(2.0));
  const double mid = PowerBetween(spectrum, 1000.0 / std::sqrt(2.0), 1000.0 * std::sqrt(2.0));
  return mid > 0.0 && low > 0.0 ? 10.0 * std::log10(low / mid) : 0.0;
}

// Sum of squares of each hop of `signal`.
std::vector<double> HopEnergy(const std::vector<float>& signal) {
  std::vector<double> energy(signal.size() / kHop, 0.0);
  for (size_t h = 0; h < energy.size(); ++h)
    for (size_t i = h * kHop; i < (h + 1) * kHop; ++i) energy[h] += double(signal[i]) * signal[i];
  return energy;
}

// Sum of the kShortTermHops hops that end with hop `last`.
double WindowSum(const std::vector<double>& perHop, size_t last) {
  double sum = 0.0;
  for (size_t h = last + 1 - kShortTermHops; h <= last; ++h) sum += perHop[h];
  return sum;
}

// The hops whose 3 s windows end inside [from, to].
std::vector<size_t> HopsEnding(double from, double to, size_t hops) {
  std::vector<size_t> chosen;
  for (size_t h = kShortTermHops - 1; h < hops; ++h) {
    const double end = static_cast<double>(h + 1) * kHop / kSampleRate;
    if (end >= from - 1e-9 && end <= to + 1e-9) chosen.push_back(h);
  }
  return chosen;
}

// Mean of f over the 3 s window that ends with hop h, sampled every 10 ms.
template <typename F>
double WindowMean(size_t h, F f) {
  const double end = static_cast<double>(h + 1) * kHop / kSampleRate;
  double sum = 0.0;
  int count = 0;
  for (double t = end - 3.0 + 0.005; t < end; t += 0.01, ++count) sum += f(t);
  return sum / count;
}

void FollowTheSwell(const std::vector<float>& left, const std::vector<float>& right,
                    const std::vector<float>& mono, SoundtrackFigures& figures) {
  const std::vector<double> shortTerm = ShortTermLoudness(left, right, kHop);
  std::vector<float> high;
  Filtered(mono, HighPass4(1500.0), high);
  const std::vector<double> all = HopEnergy(mono), bright = HopEnergy(high);
  std::vector<double> swell, loudness, brightness;
  for (size_t h : HopsEnding(kSwellFollowFrom, kSwellFollowTo, shortTerm.size())) {
    swell.push_back(WindowMean(h, [](double t) {
      return std::fabs(static_cast<double>(SwellAt(static_cast<float>(t))));
    }));
    loudness.push_back(shortTerm[h]);
    const double total = WindowSum(all, h);
    brightness.push_back(total > 0.0 ? 10.0 * std::log10(WindowSum(bright, h) / total + 1e-12)
                                     : -120.0);
  }
  figures.swellLoudnessCorrelation = Correlation(swell, loudness);
  figures.swellBrightnessCorrelation = Correlation(swell, brightness);
}

void FollowTheSpread(const std::vector<float>& left, const std::vector<float>& right,
                     const std::vector<float>& spreadByFrame, SoundtrackFigures& figures) {
  std::vector<float> mid(left.size()), side(left.size());
  for (size_t i = 0; i < left.size(); ++i) {
    mid[i] = 0.5f * (left[i] + right[i]);
    side[i] = 0.5f * (left[i] - right[i]);
  }
  const std::vector<double> midEnergy = HopEnergy(mid), sideEnergy = HopEnergy(side);
  std::vector<double> spread, width;
  for (size_t h : HopsEnding(kSwellFollowFrom, kFadeStartSeconds, midEnergy.size())) {
    spread.push_back(WindowMean(h, [&](double t) { return SpreadAt(spreadByFrame, t); }));
    width.push_back(
        10.0 * std::log10((WindowSum(sideEnergy, h) + 1e-12) / (WindowSum(midEnergy, h) + 1e-12)));
  }
  figures.spreadWidthCorrelation = Correlation(spread, width);
}

// The time of the strongest onset within [from, to]: spectral flux of
// log-compressed magnitudes in 23 ms frames every 1.5 ms, each frame timed
// at its centre.
double StrongestOnset(const std::vector<float>& mono, double from, double to) {
  constexpr int kSize = 1024, kStep = 64;
  const long first = static_cast<long>(FrameAt(from)) - kSize / 2;
  const long last = static_cast<long>(FrameAt(to)) - kSize / 2;
  std::vector<double> before;
  double best = -1.0, bestSeconds = from;
  for (long at = first - kStep; at <= last; at += kStep) {
    std::vector<double> power = PowerSpectrum(mono, at, kSize);
    for (double& p : power) p = std::log1p(1000.0 * std::sqrt(p));
    if (!before.empty() && at >= first) {
      double flux = 0.0;
      for (size_t i = 1; i < power.size(); ++i) flux += std::max(0.0, power[i] - before[i]);
      if (flux > best) {
        best = flux;
        bestSeconds = static_cast<double>(at + kSize / 2) / kSampleRate;
      }
    }
    before = std::move(power);
  }
  return bestSeconds;
}

}  // namespace

SoundtrackFigures MeasureSoundtrack(const std::vector<float>& left, const std::vector<float>& right,
                                    const std::vector<float>& spreadByFrame) {
  SoundtrackFigures figures{};
  figures.seconds = static_cast<double>(left.size()) / kSampleRate;
  figures.whole = MeasureLoudness(left, right);
  {
    std::vector<float> l, r;
    Filtered(left, LowPass4(120.0), l);
    Filtered(right, LowPass4(120.0), r);
    figures.below120Lufs = IntegratedLoudness(l, r);
    Filtered(left, HighPass4(150.0), l);
    Filtered(right, HighPass4(150.0), r);
    figures.above150Lufs = IntegratedLoudness(l, r);
  }
  const std::vector<float> mono = Mono(left, right);
  const size_t fade = std::min(FrameAt(kFadeStartSeconds), mono.size());
  const std::vector<double> spectrum = WelchSpectrum(mono, 0, fade);
  const double edges[kBandCount + 1] = {1.0, 60.0, 250.0, 2000.0, kSampleRate / 2.0 + 1.0};
  const double total = PowerBetween(spectrum, edges[0], edges[kBandCount]);
  for (int b = 0; b < kBandCount; ++b)
    figures.bandShare[b] =
        total > 0.0 ? PowerBetween(spectrum, edges[b], edges[b + 1]) / total : 0.0;
  for (int s = 0; s < kSectionCount; ++s) {
    const size_t from = FrameAt(kSectionStarts[s]),
                 to = std::min(FrameAt(SectionEnd(s)), mono.size());
    figures.sectionLufs[s] = IntegratedLoudness(left, right, from, to);
    figures.octaveBalanceDb[s] = OctaveBalanceDb(mono, from, to);
  }
  figures.cardsLufs = IntegratedLoudness(left, right, FrameAt(kCardsStartSeconds), mono.size());
  FollowTheSwell(left, right, mono, figures);
  FollowTheSpread(left, right, spreadByFrame, figures);
  for (int row = 1; row < kModeRowCount; ++row) {
    const double at = kModeSchedule[row].startSeconds;
    figures.changes[row - 1] = {at, StrongestOnset(mono, at - 0.5, at + 1.2) - at};
  }
  return figures;
}

void PrintFigures(const SoundtrackFigures& f, std::FILE* out) {
  std::fprintf(out, "length                      %.3f s\n", f.seconds);
  std::fprintf(out, "integrated loudness         %.1f LUFS\n", f.whole.integratedLufs);
  std::fprintf(out, "loudness range              %.1f LU\n", f.whole.rangeLu);
  std::fprintf(out, "true peak (4x oversampled)  %.2f dBTP\n", f.whole.truePeakDbtp);
  std::fprintf(out, "sample peak                 %.2f dBFS\n", f.whole.samplePeakDbfs);
  std::fprintf(out, "loudness below 120 Hz       %.1f LUFS\n", f.below120Lufs);
  std::fprintf(out, "loudness above 150 Hz       %.1f LUFS (%+.1f LU over below 120 Hz)\n",
               f.above150Lufs, f.above150Lufs - f.below120Lufs);
  std::fprintf(out,
               "energy before the fade      <60 Hz %.0f %%, 60-250 Hz %.0f %%, "
               "250 Hz-2 kHz %.0f %%, >2 kHz %.1f %%\n",
               100 * f.bandShare[kBelow60], 100 * f.bandShare[k60To250],
               100 * f.bandShare[k250To2k], 100 * f.bandShare[kAbove2k]);
  std::fprintf(out, "section        from      loudness   63 Hz over 1 kHz octave\n");
  for (int s = 0; s < kSectionCount; ++s)
    std::fprintf(out, "  %-8s  %7.2f s  %6.1f LUFS  %+5.1f dB\n", kSectionNames[s],
                 kSectionStarts[s], f.sectionLufs[s], f.octaveBalanceDb[s]);
  std::fprintf(out, "  %-8s  %7.2f s  %6.1f LUFS\n", "cards",
               static_cast<double>(kCardsStartSeconds), f.cardsLufs);
  std::fprintf(out, "surge over drift            %+.1f LU\n",
               f.sectionLufs[kSurge] - f.sectionLufs[kDrift]);
  std::fprintf(out, "hush under surge            %.1f LU\n",
               f.sectionLufs[kSurge] - f.sectionLufs[kHush]);
  std::fprintf(out,
               "swell, %.0f-%.0f s: correlation of |SwellAt| with short-term loudness %.2f, "
               "with brightness %.2f\n",
               kSwellFollowFrom, kSwellFollowTo, f.swellLoudnessCorrelation,
               f.swellBrightnessCorrelation);
  std::fprintf(out, "swarm, %.0f-%.0f s: correlation of its spread with the stereo width %.2f\n",
               kSwellFollowFrom, static_cast<double>(kFadeStartSeconds), f.spreadWidthCorrelation);
  std::fprintf(out, "changes of the picture, heard (loudest onset minus the change):\n");
  for (const ChangeHeard& c : f.changes) {
    const bool onBeat = c.offsetSeconds >= kOnBeatEarliest && c.offsetSeconds <= kOnBeatLatest;
    std::fprintf(out, "  %6.1f s  %+6.0f ms%s\n", c.pictureSeconds, 1000.0 * c.offsetSeconds,
                 onBeat ? "" : "  (outside -45..+30 ms)");
  }
}
