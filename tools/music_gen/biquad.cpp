#include "tools/music_gen/biquad.h"

#include <cmath>

#include "tools/music_gen/synth.h"

namespace {

Biquad Design(double hz, double q, bool high) {
  const double w = 2.0 * 3.14159265358979323846 * hz / kSampleRate;
  const double cosW = std::cos(w), alpha = std::sin(w) / (2.0 * q);
  const double a0 = 1.0 + alpha;
  Biquad f;
  f.b1 = (high ? -(1.0 + cosW) : 1.0 - cosW) / a0;
  f.b0 = f.b2 = (high ? (1.0 + cosW) : (1.0 - cosW)) / 2.0 / a0;
  f.a1 = -2.0 * cosW / a0;
  f.a2 = (1.0 - alpha) / a0;
  return f;
}

Biquad Normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
  Biquad f;
  f.b0 = b0 / a0;
  f.b1 = b1 / a0;
  f.b2 = b2 / a0;
  f.a1 = a1 / a0;
  f.a2 = a2 / a0;
  return f;
}

}  // namespace

Biquad Peaking(double hz, double q, double gainDb) {
  const double a = std::pow(10.0, gainDb / 40.0);
  const double w = 2.0 * 3.14159265358979323846 * hz / kSampleRate;
  const double alpha = std::sin(w) / (2.0 * q), cosW = std::cos(w);
  return Normalised(1.0 + alpha * a, -2.0 * cosW, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * cosW,
                    1.0 - alpha / a);
}

Biquad HighShelf(double hz, double gainDb) {
  const double a = std::pow(10.0, gainDb / 40.0);
  const double w = 2.0 * 3.14159265358979323846 * hz / kSampleRate;
  const double cosW = std::cos(w), beta = 2.0 * std::sqrt(a) * std::sin(w) / 2.0 * std::sqrt(2.0);
  return Normalised(a * ((a + 1.0) + (a - 1.0) * cosW + beta), -2.0 * a * ((a - 1.0) + (a + 1.0) * cosW),
                    a * ((a + 1.0) + (a - 1.0) * cosW - beta), (a + 1.0) - (a - 1.0) * cosW + beta,
                    2.0 * ((a - 1.0) - (a + 1.0) * cosW), (a + 1.0) - (a - 1.0) * cosW - beta);
}

Biquad LowPass(double hz, double q) { return Design(hz, q, false); }
Biquad HighPass(double hz, double q) { return Design(hz, q, true); }

Butterworth4 LowPass4(double hz) {
  return {LowPass(hz, kButterworthQ1), LowPass(hz, kButterworthQ2)};
}
Butterworth4 HighPass4(double hz) {
  return {HighPass(hz, kButterworthQ1), HighPass(hz, kButterworthQ2)};
}
