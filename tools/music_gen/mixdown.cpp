#include "tools/music_gen/mixdown.h"

#include <cmath>

#include "tools/music_gen/effects.h"
#include "tools/music_gen/score.h"

float FadeGain(double seconds) {
  if (seconds <= kFadeStart) return 1.0f;
  if (seconds >= kFadeEnd) return 0.0f;
  // Equal steps in loudness rather than in amplitude, as the picture fades to black.
  double x = (seconds - kFadeStart) / (kFadeEnd - kFadeStart);
  return static_cast<float>(0.5 + 0.5 * std::cos(3.14159265358979 * x));
}

static void Finish(MixBuses& buses, float reverbWet) {
  AddPingPongDelay(buses.delaySend, 0.75 * kBeatSeconds, 0.38f, buses.left, buses.right);
  AddReverb(buses.reverbSend, reverbWet, buses.left, buses.right);
}

void MixDown(MixBuses& main, MixBuses& outro, float peakTarget, std::vector<float>& left,
             std::vector<float>& right) {
  Finish(main, 1.0f);
  Finish(outro, 1.2f);
  left.assign(main.left.size(), 0.0f);
  right.assign(main.right.size(), 0.0f);
  for (size_t i = 0; i < left.size(); ++i) {
    float fade = FadeGain(static_cast<double>(i) / kSampleRate);
    left[i] = main.left[i] * fade + outro.left[i];
    right[i] = main.right[i] * fade + outro.right[i];
  }
  RemoveDc(left);
  RemoveDc(right);
  float peak = PeakOf(left, right);
  if (peak <= 0.0f) return;
  float gain = peakTarget / peak;
  for (float& v : left) v *= gain;
  for (float& v : right) v *= gain;
}
