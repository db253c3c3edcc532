#include "tools/music_gen/effects.h"

#include <cmath>
#include <cstddef>

#include "tools/music_gen/synth.h"

namespace {

constexpr int kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassLengths[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;

struct Line {
  std::vector<float> buffer;
  size_t at = 0;
  float memory = 0.0f;
};

// Tiny values are cut to zero: decaying tails would otherwise crawl through
// denormals and slow the render many times over.
float Flush(float v) { return std::fabs(v) < 1e-20f ? 0.0f : v; }

void RunHall(const std::vector<float>& send, float wet, int spread, std::vector<float>& out) {
  const float feedback = 0.86f, damping = 0.3f, inputGain = 0.015f;
  Line combs[8], allpasses[4];
  for (int i = 0; i < 8; ++i)
    combs[i].buffer.assign(static_cast<size_t>(kCombLengths[i] + spread), 0.0f);
  for (int i = 0; i < 4; ++i)
    allpasses[i].buffer.assign(static_cast<size_t>(kAllpassLengths[i] + spread), 0.0f);
  for (size_t n = 0; n < send.size(); ++n) {
    float input = send[n] * inputGain;
    float sum = 0.0f;
    for (Line& comb : combs) {
      float y = comb.buffer[comb.at];
      comb.memory = Flush(y * (1.0f - damping) + comb.memory * damping);
      comb.buffer[comb.at] = input + comb.memory * feedback;
      if (++comb.at == comb.buffer.size()) comb.at = 0;
      sum += y;
    }
    for (Line& pass : allpasses) {
      float delayed = pass.buffer[pass.at];
      pass.buffer[pass.at] = Flush(sum + delayed * 0.5f);
      if (++pass.at == pass.buffer.size()) pass.at = 0;
      sum = delayed - sum;
    }
    out[n] += wet * sum;
  }
}

}  // namespace

void AddReverb(const std::vector<float>& send, float wet, std::vector<float>& left,
               std::vector<float>& right) {
  RunHall(send, wet, 0, left);
  RunHall(send, wet, kStereoSpread, right);
}

void AddPingPongDelay(const std::vector<float>& send, double delaySeconds, float feedback,
                      std::vector<float>& left, std::vector<float>& right) {
  size_t delay = static_cast<size_t>(std::lround(delaySeconds * kSampleRate));
  std::vector<float> echoLeft(send.size(), 0.0f), echoRight(send.size(), 0.0f);
  // The first echo lands on the left, the next on the right, and so on.
  for (size_t n = delay; n < send.size(); ++n) {
    echoLeft[n] = send[n - delay] + feedback * echoRight[n - delay];
    echoRight[n] = feedback * echoLeft[n - delay];
  }
  for (size_t n = 0; n < send.size(); ++n) {
    left[n] += echoLeft[n];
    right[n] += echoRight[n];
  }
}

void RemoveDc(std::vector<float>& channel) {
  const float pole = 1.0f - 2.0f * 3.14159265f * 10.0f / kSampleRate;
  float previousIn = 0.0f, previousOut = 0.0f;
  for (float& v : channel) {
    float out = v - previousIn + pole * previousOut;
    previousIn = v;
    previousOut = out;
    v = out;
  }
}

float PeakOf(const std::vector<float>& left, const std::vector<float>& right) {
  float peak = 0.0f;
  for (float v : left) peak = std::fmax(peak, std::fabs(v));
  for (float v : right) peak = std::fmax(peak, std::fabs(v));
  return peak;
}
