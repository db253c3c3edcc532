#include "tools/music_gen/mixdown.h"

#include <algorithm>
#include <cmath>

#include "tools/music_gen/biquad.h"
#include "tools/music_gen/effects.h"
#include "tools/music_gen/loudness.h"
#include "tools/music_gen/master.h"
#include "tools/music_gen/tempo_map.h"

namespace {

constexpr double kFadeDepthDb = 60.0;
constexpr double kEndFadeSeconds = 1.5;
// How the swell's tilt divides between the top's lift and the bottom's ease.
constexpr float kTopShare = 0.75f;
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

// A gentle smile: the 1 kHz octave, where the lead's and the pads' honk
// sits, drawn back so that the low end and the presence stand clear.
void Equalise(std::vector<float>& left, std::vector<float>& right) {
  Biquad leftRumble = HighPass(20.0, 0.7071), rightRumble = HighPass(20.0, 0.7071);
  Biquad leftHonk = Peaking(1000.0, 0.9, -3.5), rightHonk = Peaking(1000.0, 0.9, -3.5);
  Biquad leftAir = HighShelf(6000.0, 1.5), rightAir = HighShelf(6000.0, 1.5);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = leftAir.Run(leftHonk.Run(leftRumble.Run(left[i])));
    right[i] = rightAir.Run(rightHonk.Run(rightRumble.Run(right[i])));
  }
}

// The level ride, and the tilt: the top end opened and the bottom eased
// as the swell rises (the signal plus its part above 1.5 kHz, less its part
// below 150 Hz, each scaled: shelves that move without clicks).
void Ride(const MixCurves& curves, std::vector<float>& left, std::vector<float>& right) {
  Biquad leftTop = HighPass(1500.0, 0.7071), rightTop = HighPass(1500.0, 0.7071);
  Biquad leftBottom = LowPass(150.0, 0.7071), rightBottom = LowPass(150.0, 0.7071);
  for (size_t i = 0; i < left.size(); ++i) {
    const int frame = static_cast<int>(i);
    const float gain = std::pow(10.0f, ControlAt(curves.levelDb, frame) / 20.0f);
    const float tilt = ControlAt(curves.tiltDb, frame);
    const float open = std::pow(10.0f, kTopShare * tilt / 20.0f) - 1.0f;
    const float ease = 1.0f - std::pow(10.0f, -(1.0f - kTopShare) * tilt / 20.0f);
    left[i] = gain * (left[i] + open * leftTop.Run(left[i]) - ease * leftBottom.Run(left[i]));
    right[i] = gain * (right[i] + open * rightTop.Run(right[i]) - ease * rightBottom.Run(right[i]));
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

void MixDown(MixBuses& main, MixBuses& cards, const MixCurves& curves, int frames,
             std::vector<float>& left, std::vector<float>& right) {
  left.assign(static_cast<size_t>(frames), 0.0f);
  right.assign(static_cast<size_t>(frames), 0.0f);
  Sum(main, 1.0f, &curves.width, left, right);
  for (std::vector<float>* v : {&main.dryLeft, &main.dryRight, &main.wideLeft, &main.wideRight}) Release(*v);
  Equalise(left, right);
  const double lufs = IntegratedLoudness(left, right);
  if (lufs <= kSilentLufs) return;
  const float toCompress = static_cast<float>(std::pow(10.0, (kCompressAtLufs - lufs) / 20.0));
  Scale(toCompress, left, right);
  CompressBus(kGlue, left, right);
  Ride(curves, left, right);
  for (size_t i = 0; i < left.size(); ++i) {
    const float fade = FadeGain(static_cast<double>(i) / kSampleRate);
    left[i] *= fade;
    right[i] *= fade;
  }
  // The title cards' chord, at the level it was written against the rest.
  std::vector<float> cardsLeft(left.size(), 0.0f), cardsRight(right.size(), 0.0f);
  Sum(cards, 1.2f, nullptr, cardsLeft, cardsRight);
  // The cards' chord rings on; it is faded out over the last seconds so the
  // file ends in silence, in the same equal steps of loudness.
  for (size_t i = 0; i < left.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double out = std::clamp((t - (kSceneEndSeconds - kEndFadeSeconds)) / kEndFadeSeconds, 0.0, 1.0);
    const float gain = toCompress * static_cast<float>(std::pow(10.0, -kFadeDepthDb * out / 20.0));
    left[i] += gain * cardsLeft[i];
    right[i] += gain * cardsRight[i];
  }
  MasterToLoudness(kTargetLufs, kCeilingDbtp, left, right);
}
