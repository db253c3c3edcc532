#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "script/script.h"
#include "tools/music_gen/effects.h"
#include "tools/music_gen/mixdown.h"
#include "tools/music_gen/score.h"
#include "tools/music_gen/synth.h"

namespace {

constexpr double kOneSecond = 1.0;

struct Rendered {
  MixBuses buses;
  explicit Rendered(double seconds) { ResizeBuses(buses, static_cast<int>(seconds * kSampleRate)); }
};

float MaxAbs(const std::vector<float>& v, size_t from, size_t to) {
  float m = 0.0f;
  for (size_t i = from; i < to && i < v.size(); ++i) m = std::fmax(m, std::fabs(v[i]));
  return m;
}

// Every note must start and end at silence (no clicks), stay finite, and leave
// nothing behind its tail.
void ExpectCleanNote(const Rendered& r, double start, double end, const char* voice) {
  SCOPED_TRACE(voice);
  const std::vector<float>& out = r.buses.left;
  size_t first = static_cast<size_t>(std::lround(start * kSampleRate));
  size_t last = static_cast<size_t>(std::lround(end * kSampleRate));
  for (float v : out) ASSERT_TRUE(std::isfinite(v));
  float peak = MaxAbs(out, first, last);
  ASSERT_GT(peak, 0.01f);
  EXPECT_EQ(MaxAbs(out, 0, first), 0.0f);
  EXPECT_LT(std::fabs(out[first]), 0.02f * peak);
  EXPECT_LT(MaxAbs(out, last - 20, last), 0.02f * peak);
  EXPECT_EQ(MaxAbs(out, last + 1, out.size()), 0.0f);
}

TEST(MusicVoices, EveryVoiceStartsAndEndsInSilence) {
  const Placement centre = {1.0f, 0.0f, 0.0f, 0.0f};
  std::vector<float> brightness(static_cast<size_t>(4 * kSampleRate / kControlBlock + 2), 0.6f);
  {
    Rendered r(4.0);
    RenderPad(r.buses, 0.5, 1.0, 57.0f, centre, brightness, 3u);
    ExpectCleanNote(r, 0.5, 0.5 + 1.0 + 1.4, "pad");
  }
  {
    Rendered r(kOneSecond);
    RenderBass(r.buses, 0.1, 0.3, 38.0f, centre, 1.0f);
    ExpectCleanNote(r, 0.1, 0.1 + 0.3 + 0.05, "bass");
  }
  {
    Rendered r(2.0);
    RenderPluck(r.buses, 0.1, 72.0f, centre, 0.2f);
    ExpectCleanNote(r, 0.1, 0.1 + 1.2, "pluck");
  }
  {
    Rendered r(2.0);
    RenderLead(r.buses, 0.1, 0.8, 74.0f, centre);
    ExpectCleanNote(r, 0.1, 0.1 + 0.8 + 0.3, "lead");
  }
  {
    Rendered r(2.0);
    RenderKick(r.buses, 0.1, centre);
    ExpectCleanNote(r, 0.1, 1.0, "kick");
    Rendered s(2.0);
    RenderSnare(s.buses, 0.1, centre, 5u);
    ExpectCleanNote(s, 0.1, 0.8, "snare");
    Rendered h(2.0);
    RenderHat(h.buses, 0.1, centre, 0.05f, 9u);
    ExpectCleanNote(h, 0.1, 0.1 + 0.3, "hat");
  }
  {
    Rendered rise(3.0), fall(4.0);
    RenderWash(rise.buses, 0.2, 2.0, true, centre, 1u);
    ExpectCleanNote(rise, 0.2, 2.2, "riser");
    RenderWash(fall.buses, 0.2, 3.0, false, centre, 1u);
    ExpectCleanNote(fall, 0.2, 3.2, "cymbal");
  }
}

TEST(MusicVoices, NotesPastTheEndOfTheBuffersAreCut) {
  Rendered r(0.5);
  const Placement centre = {1.0f, 0.0f, 1.0f, 1.0f};
  RenderLead(r.buses, 0.4, 2.0, 60.0f, centre);
  RenderKick(r.buses, 0.6, centre);
  EXPECT_EQ(r.buses.left.size(), static_cast<size_t>(0.5 * kSampleRate));
  EXPECT_GT(MaxAbs(r.buses.left, 0, r.buses.left.size()), 0.0f);
}

TEST(MusicEffects, ReverbAndEchoesDieAwayAndDcIsRemoved) {
  const size_t frames = static_cast<size_t>(6 * kSampleRate);
  std::vector<float> send(frames, 0.0f), left(frames, 0.0f), right(frames, 0.0f);
  send[100] = 1.0f;
  AddReverb(send, 1.0f, left, right);
  AddPingPongDelay(send, 0.25, 0.4f, left, right);
  float early = MaxAbs(left, 0, static_cast<size_t>(kSampleRate));
  float late = MaxAbs(left, frames - static_cast<size_t>(kSampleRate), frames);
  EXPECT_GT(early, 0.0f);
  EXPECT_GT(MaxAbs(right, 0, static_cast<size_t>(kSampleRate)), 0.0f);
  EXPECT_LT(late, 1e-3f * early);

  std::vector<float> offset(frames, 0.5f);
  RemoveDc(offset);
  EXPECT_LT(MaxAbs(offset, frames - static_cast<size_t>(kSampleRate), frames), 1e-3f);
}

TEST(MusicMix, LoudestSampleLandsOnTheTargetAndSilenceStaysSilent) {
  std::vector<float> left, right;
  {
    MixBuses main, outro;
    ResizeBuses(main, kSampleRate);
    ResizeBuses(outro, kSampleRate);
    MixDown(main, outro, 0.84f, left, right);
    EXPECT_EQ(MaxAbs(left, 0, left.size()), 0.0f);
    EXPECT_EQ(MaxAbs(right, 0, right.size()), 0.0f);
  }
  MixBuses main, outro;
  ResizeBuses(main, kSampleRate);
  ResizeBuses(outro, kSampleRate);
  RenderKick(main, 0.1, {1.0f, -0.5f, 0.3f, 0.0f});
  RenderPluck(outro, 0.2, 80.0f, {2.0f, 0.5f, 0.0f, 0.0f}, 0.1f);
  MixDown(main, outro, 0.84f, left, right);
  EXPECT_NEAR(std::fmax(MaxAbs(left, 0, left.size()), MaxAbs(right, 0, right.size())), 0.84f,
              1e-5f);
}

// Where the picture's script turns, found from the scene's own functions
// millisecond by millisecond: the swell's start, then every change of modes.
std::vector<double> ScriptTurns() {
  std::vector<double> turns;
  bool swelling = false;
  SceneModes before = SceneModesAt(0.0f);
  for (int ms = 1; ms <= static_cast<int>(kSceneEndSeconds) * 1000; ++ms) {
    const float t = static_cast<float>(ms) * 0.001f;
    if (!swelling && SwellAt(t) != 0.0f) {
      swelling = true;
      turns.push_back(t);
    }
    const SceneModes modes = SceneModesAt(t);
    if (modes.fieldMode != before.fieldMode || modes.formationMode != before.formationMode)
      turns.push_back(t);
    before = modes;
  }
  return turns;
}

TEST(MusicPlan, SectionsTurnOnTheBeatNearestEachTurnOfTheScript) {
  const std::vector<double> turns = ScriptTurns();
  std::vector<int> changes;
  for (int step = -200; step < 2000; ++step)
    if (SectionAtStep(step) != SectionAtStep(step - 1)) changes.push_back(step);
  EXPECT_EQ(SectionAtStep(-200), kIntro);
  ASSERT_EQ(turns.size(), static_cast<size_t>(kSectionCount - 1));
  ASSERT_EQ(changes.size(), turns.size());
  for (size_t i = 0; i < turns.size(); ++i) {
    SCOPED_TRACE(turns[i]);
    EXPECT_EQ(SectionAtStep(changes[i]), static_cast<Section>(i + 1));
    EXPECT_EQ(changes[i] % 4, 0);
    // A turn is found up to a millisecond late.
    EXPECT_LE(std::fabs(StepTime(changes[i]) - turns[i]), kBeatSeconds / 2 + 0.001);
  }
}

TEST(MusicPlan, EveryFourBarsStartWhereTheSwellIsAtRest) {
  for (int phrase = 0; StepTime(64 * phrase) < kSwellDecaySeconds; ++phrase) {
    EXPECT_NEAR(SwellAt(static_cast<float>(StepTime(64 * phrase))), 0.0f, 1e-4f) << phrase;
    EXPECT_GT(std::fabs(SwellAt(static_cast<float>(StepTime(64 * phrase + 32)))), 0.1f) << phrase;
  }
}

TEST(MusicPlan, FadeFollowsThePictureFromFullToSilence) {
  EXPECT_EQ(FadeGain(0.0), 1.0f);
  EXPECT_EQ(FadeGain(kFadeStartSeconds), 1.0f);
  EXPECT_NEAR(FadeGain((kFadeStartSeconds + kCardsStartSeconds) / 2.0), 0.5f, 1e-6f);
  EXPECT_EQ(FadeGain(kCardsStartSeconds), 0.0f);
  EXPECT_EQ(FadeGain(kSceneEndSeconds), 0.0f);
  for (double t = kFadeStartSeconds; t < kCardsStartSeconds; t += 0.01)
    EXPECT_GE(FadeGain(t), FadeGain(t + 0.01)) << t;
}

}  // namespace
