#pragma once

#include <cstddef>
#include <vector>

// Loudness and peaks by EBU R128 / ITU-R BS.1770, measured with libebur128,
// which oversamples four times at 44.1 kHz for the true peak.

// Below this an integrated loudness means silence (libebur128 says -inf).
inline constexpr double kSilentLufs = -70.0;

struct LoudnessFigures {
  double integratedLufs;
  double rangeLu;
  double truePeakDbtp;
  double samplePeakDbfs;
};

// Integrated loudness of frames [from, to) of a stereo signal, kSilentLufs at most quiet.
double IntegratedLoudness(const std::vector<float>& left, const std::vector<float>& right,
                          size_t from = 0, size_t to = static_cast<size_t>(-1));
// The largest true peak of either channel, linear.
double TruePeak(const std::vector<float>& left, const std::vector<float>& right);
LoudnessFigures MeasureLoudness(const std::vector<float>& left, const std::vector<float>& right);
// Short-term loudness (the 3 s before) at every hop frames, the first at hop.
std::vector<double> ShortTermLoudness(const std::vector<float>& left,
                                      const std::vector<float>& right, size_t hop);

double DecibelsOf(double linear);
