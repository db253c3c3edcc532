#include "tools/music_gen/mixdown.h"

#include <cmath>

#include "tools/music_gen/biquad.h"
#include "tools/music_gen/effects.h"
#include "tools/music_gen/loudness.h"
#include "tools/music_gen/master.h"
#include "tools/music_gen/tempo_map.h"

namespace {

constexpr double kFadeDepthDb = 60.0;
// Where the compressor works: the mix is brought near this loudness first.
constexpr double kCompressAtLufs = -18.0;
constexpr Compressor kGlue = {-15.0f, 2.0f, 6.0f, 0.015f, 0.2f};

// Echoes a dotted eighth of the nominal tempo apart.
constexpr double kEchoSeconds = 0.75 * kNominalBarSeconds / kBeatsPerBar;

void Release(std::vector<float>& v) { std::vector<float>().swap(v); }

// Sums the buses into left/right from their first frame on; the wide bus's
// side and the reverb follow `width` when given.
void Sum(MixBuses& buses, float reverbWet, const ControlCurve* width, std::vector<float>& left,
         std::vector<float>& right) {
  AddPingPongDelay(buses.delaySend, kEchoSeconds, 0.35f, buses.wideLeft, buses.wideRight);
  Release(buses.delaySend);
  std::vector<float> roomLeft(buses.reverbSend.size(), 0.0f), roomRight(buses.reverbSend.size(), 0.0f);
  AddReverb(buses.reverbSend, reverbWet, roomLeft, roomRight);
  Release(buses.reverbSend);
  for (size_t i = 0; i < buses.dryLeft.size(); ++i) {
    const size_t at = static_cast<size_t>(buses.firstFrame) + i;
    if (at >= left.size()) break;
    const float w = width ? ControlAt(*width, static_cast<int>(at)) : 0.5f;
    const float mid = 0.5f * (buses.wideLeft[i] + buses.wideRight[i]);
    const float side = 0.5f * (buses.wideLeft[i] - buses.wideRight[i]) * (0.4f + 1.4f * w);
    const float room = 0.6f + 0.8f * w;
    left[at] += buses.dryLeft[i] + mid + side + room * roomLeft[i];
    right[at] += buses.dryRight[i] + mid - side + room * roomRight[i];
  }
}

void Scale(float gain, std::vector<float>& left, std::vector<float>& right) {
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] *= gain;
    right[i] *= gain;
  }
}

}  // namespace

float FadeGain(double seconds) {
  if (seconds <= kFadeStartSeconds) return 1.0f;
  if (seconds >= kCardsStartSeconds) return 0.0f;
  const double x = (seconds - kFadeStartSeconds) / (kCardsStartSeconds - kFadeStartSeconds);
  return static_cast<float>(std::pow(10.0, -kFadeDepthDb * x / 20.0));
}

void MixDown(MixBuses& main, MixBuses& cards, const ControlCurve& width, int frames,
             std::vector<float>& left, std::vector<float>& right) {
  left.assign(static_cast<size_t>(frames), 0.0f);
  right.assign(static_cast<size_t>(frames), 0.0f);
  Sum(main, 1.0f, &width, left, right);
  for (std::vector<float>* v : {&main.dryLeft, &main.dryRight, &main.wideLeft, &main.wideRight}) Release(*v);
  Biquad leftRumble = HighPass(20.0, 0.7071), rightRumble = HighPass(20.0, 0.7071);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = leftRumble.Run(left[i]);
    right[i] = rightRumble.Run(right[i]);
  }
  const double lufs = IntegratedLoudness(left, right);
  if (lufs <= kSilentLufs) return;
  const float toCompress = static_cast<float>(std::pow(10.0, (kCompressAtLufs - lufs) / 20.0));
  Scale(toCompress, left, right);
  CompressBus(kGlue, left, right);
  for (size_t i = 0; i < left.size(); ++i) {
    const float fade = FadeGain(static_cast<double>(i) / kSampleRate);
    left[i] *= fade;
    right[i] *= fade;
  }
  // The title cards' chord, at the level it was written against the rest.
  std::vector<float> cardsLeft(left.size(), 0.0f), cardsRight(right.size(), 0.0f);
  Sum(cards, 1.2f, nullptr, cardsLeft, cardsRight);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] += toCompress * cardsLeft[i];
    right[i] += toCompress * cardsRight[i];
  }
  MasterToLoudness(kTargetLufs, kCeilingDbtp, left, right);
}
