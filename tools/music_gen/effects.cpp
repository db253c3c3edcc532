#include "tools/music_gen/effects.h"

#include <cmath>
#include <cstddef>

#include "tools/music_gen/biquad.h"
#include "tools/music_gen/synth.h"

namespace {

constexpr int kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassLengths[4] = {556, 441, 341, 225};
constexpr int kDiffuserLengths[4] = {142, 107, 379, 277};
constexpr int kStereoSpread = 23;
constexpr size_t kPreDelay = kSampleRate * 25 / 1000;

struct Line {
  std::vector<float> buffer;
  size_t at = 0;
  float memory = 0.0f;
  explicit Line(size_t length = 1) : buffer(length, 0.0f) {}
};

// Tiny values are cut to zero: decaying tails would otherwise crawl through
// denormals and slow the render many times over.
float Flush(float v) { return std::fabs(v) < 1e-20f ? 0.0f : v; }

float Allpass(Line& line, float input, float gain) {
  const float delayed = line.buffer[line.at];
  const float w = Flush(input + gain * delayed);
  line.buffer[line.at] = w;
  if (++line.at == line.buffer.size()) line.at = 0;
  return delayed - gain * w;
}

void RunTank(const std::vector<float>& diffused, float wet, int spread, std::vector<float>& out) {
  const float feedback = 0.84f, damping = 0.35f;
  Line combs[8], allpasses[4];
  for (int i = 0; i < 8; ++i) combs[i] = Line(static_cast<size_t>(kCombLengths[i] + spread));
  for (int i = 0; i < 4; ++i) allpasses[i] = Line(static_cast<size_t>(kAllpassLengths[i] + spread));
  for (size_t n = 0; n < diffused.size(); ++n) {
    const float input = diffused[n];
    float sum = 0.0f;
    for (Line& comb : combs) {
      const float y = comb.buffer[comb.at];
      comb.memory = Flush(y * (1.0f - damping) + comb.memory * damping);
      comb.buffer[comb.at] = input + comb.memory * feedback;
      if (++comb.at == comb.buffer.size()) comb.at = 0;
      sum += y;
    }
    for (Line& pass : allpasses) {
      const float delayed = pass.buffer[pass.at];
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
  const float inputGain = 0.015f;
  std::vector<float> diffused(send.size(), 0.0f);
  Butterworth4 mud = HighPass4(200.0);
  Biquad air = LowPass(8000.0, 0.7071);
  Line diffusers[4];
  for (int i = 0; i < 4; ++i) diffusers[i] = Line(static_cast<size_t>(kDiffuserLengths[i]));
  for (size_t n = kPreDelay; n < send.size(); ++n) {
    float v = air.Run(mud.Run(send[n - kPreDelay] * inputGain));
    for (Line& d : diffusers) v = Allpass(d, v, 0.6f);
    diffused[n] = v;
  }
  RunTank(diffused, wet, 0, left);
  RunTank(diffused, wet, kStereoSpread, right);
}

void AddPingPongDelay(const std::vector<float>& send, double delaySeconds, float feedback,
                      std::vector<float>& left, std::vector<float>& right) {
  const size_t delay = static_cast<size_t>(std::lround(delaySeconds * kSampleRate));
  std::vector<float> echoLeft(send.size(), 0.0f), echoRight(send.size(), 0.0f);
  Biquad darkLeft = LowPass(4000.0, 0.7071), darkRight = LowPass(4000.0, 0.7071);
  Biquad thin = HighPass(250.0, 0.7071);
  // The first echo lands on the left, the next on the right, and so on.
  for (size_t n = delay; n < send.size(); ++n) {
    echoLeft[n] = darkLeft.Run(thin.Run(send[n - delay]) + feedback * echoRight[n - delay]);
    echoRight[n] = darkRight.Run(feedback * echoLeft[n - delay]);
  }
  for (size_t n = 0; n < send.size(); ++n) {
    left[n] += echoLeft[n];
    right[n] += echoRight[n];
  }
}
