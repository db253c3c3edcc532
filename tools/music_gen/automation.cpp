#include "tools/music_gen/automation.h"

#include <algorithm>
#include <cmath>

#include "tools/music_gen/form.h"
#include "tools/music_gen/performance.h"
#include "tools/music_gen/swarm_drive.h"

namespace {

double BlockSeconds(size_t block) {
  return static_cast<double>(block * kControlBlock) / kSampleRate;
}

// One-pole smoothing with the time constant `seconds`.
void Smooth(ControlCurve& curve, float seconds) {
  const float follow = 1.0f - static_cast<float>(std::exp(-kControlBlock / (seconds * kSampleRate)));
  float value = curve.empty() ? 0.0f : curve.front();
  for (float& v : curve) v = value += (v - value) * follow;
}

// The kick's pull: in over 4 ms, out over about 80 ms.
float DuckShape(double after) {
  if (after < 0.0) return 0.0f;
  if (after < 0.004) return static_cast<float>(after / 0.004);
  return static_cast<float>(std::exp(-(after - 0.004) / 0.08));
}

// The ride per unit of intensity, and per unit of swell (0..1).
constexpr float kArcDbPerIntensity = 5.0f;
constexpr float kArcFloorDb = -2.5f, kArcCeilingDb = 1.0f;
constexpr float kSwellRideDb = 4.0f;
constexpr float kSwellTiltDb = 11.0f;

// A step up is anticipated and a step down follows: the larger of the curve
// smoothed forwards and backwards.
void SmoothAround(ControlCurve& curve, float seconds) {
  ControlCurve backwards(curve.rbegin(), curve.rend());
  Smooth(curve, seconds);
  Smooth(backwards, seconds);
  for (size_t b = 0; b < curve.size(); ++b)
    curve[b] = std::max(curve[b], backwards[curve.size() - 1 - b]);
}

}  // namespace

Automation BuildAutomation(const TempoMap& map, const Score& score, int frames) {
  const size_t blocks = static_cast<size_t>(frames / kControlBlock + 2);
  Automation a;
  a.swell.resize(blocks);
  a.brightness.resize(blocks);
  a.duck.assign(blocks, 0.0f);
  int bar = 0;
  for (size_t b = 0; b < blocks; ++b) {
    const double t = BlockSeconds(b);
    a.swell[b] = std::fabs(SwellAt(static_cast<float>(t))) / 4.0f;
    while (bar + 1 < BarCount(map) && map.barStarts[static_cast<size_t>(bar) + 1] <= t) ++bar;
    const float intensity = Intensity(PlaceOf(map, bar));
    a.brightness[b] = std::min(1.0f, 0.18f + 0.45f * intensity + 0.4f * a.swell[b]);
  }
  Smooth(a.swell, 0.1f);
  Smooth(a.brightness, 0.4f);
  for (const NoteEvent& n : score) {
    if (n.voice != kKick) continue;
    const Played p = Perform(map, n);
    const size_t from = static_cast<size_t>(std::max(0.0, p.start * kSampleRate / kControlBlock));
    for (size_t b = from; b < blocks && BlockSeconds(b) < p.start + 0.4; ++b)
      a.duck[b] = std::max(a.duck[b], p.velocity * DuckShape(BlockSeconds(b) - p.start));
  }
  return a;
}

ControlCurve WidthFromSpread(const std::vector<float>& spreadByFrame, int frames) {
  ControlCurve width(static_cast<size_t>(frames / kControlBlock + 2));
  for (size_t b = 0; b < width.size(); ++b) {
    const float spread = SpreadAt(spreadByFrame, BlockSeconds(b));
    width[b] = std::clamp((spread - 2.3f) / 7.0f, 0.0f, 1.0f);
  }
  Smooth(width, 0.3f);
  return width;
}

ControlCurve LevelRideDb(const TempoMap& map, const Automation& automation, int frames) {
  ControlCurve arc(static_cast<size_t>(frames / kControlBlock + 2));
  int bar = 0;
  for (size_t b = 0; b < arc.size(); ++b) {
    while (bar + 1 < BarCount(map) && map.barStarts[static_cast<size_t>(bar) + 1] <= BlockSeconds(b))
      ++bar;
    const BarPlace at = PlaceOf(map, bar);
    // The intro keeps its own quiet; the ride starts with the swell.
    arc[b] = at.phrase.section == kIntro
                 ? 0.0f
                 : std::clamp(kArcDbPerIntensity * (Intensity(at) - 0.8f), kArcFloorDb, kArcCeilingDb);
  }
  SmoothAround(arc, 0.15f);
  for (size_t b = 0; b < arc.size(); ++b)
    arc[b] += kSwellRideDb * (b < automation.swell.size() ? automation.swell[b] : 0.0f);
  return arc;
}

ControlCurve TiltDb(const Automation& automation) {
  ControlCurve opening(automation.swell);
  for (float& v : opening) v *= kSwellTiltDb;
  return opening;
}
