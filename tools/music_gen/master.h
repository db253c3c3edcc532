#pragma once

#include <vector>

// The master: gentle bus compression, then a gain and a look-ahead limiter
// that hold the true peak (four times oversampled) at a ceiling while the
// integrated loudness (libebur128) lands on its target.

struct Compressor {
  float thresholdDb;  // of the stereo RMS over about 10 ms
  float ratio;
  float kneeDb;
  float attackSeconds, releaseSeconds;
};

// Compresses the stereo pair in place, both sides by the same gain.
void CompressBus(const Compressor& settings, std::vector<float>& left, std::vector<float>& right);

// The largest inter-sample peak around each frame, four times oversampled.
std::vector<float> TruePeakEnvelope(const std::vector<float>& left, const std::vector<float>& right);

// Gain reduction that keeps the four-times-oversampled peak of both sides at
// or below `ceiling` (linear); it reaches each peak 5 ms ahead and lets go
// over about 60 ms.
void LimitTruePeak(float ceiling, std::vector<float>& left, std::vector<float>& right);

// Gain, then the limiter, adjusted until the integrated loudness is within
// 0.05 LU of targetLufs; the true peak then at most ceilingDbtp.
void MasterToLoudness(double targetLufs, double ceilingDbtp, std::vector<float>& left,
                      std::vector<float>& right);
