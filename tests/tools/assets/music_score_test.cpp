#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tools/music_gen/loudness.h"
#include "tools/music_gen/master.h"
#include "tools/music_gen/mixdown.h"
#include "tools/music_gen/score.h"
#include "tools/music_gen/sections.h"

namespace {

TEST(MusicTempoMap, EverySectionStartsOnADownbeatAtItsTime) {
  const TempoMap& map = PieceTempoMap();
  for (int s = 0; s < kSectionCount; ++s) {
    SCOPED_TRACE(kSectionNames[s]);
    const double downbeat = map.barStarts[static_cast<size_t>(map.firstBar[s])];
    EXPECT_GE(downbeat - kSectionStarts[s], -0.045);
    EXPECT_LE(downbeat - kSectionStarts[s], 0.030);
  }
  // Bars stay near the nominal tempo: no section squeezed or stretched by a beat.
  for (int bar = 0; bar < BarCount(map); ++bar)
    EXPECT_NEAR(BarSeconds(map, bar), kNominalBarSeconds, kNominalBarSeconds / 8) << bar;
}

TEST(MusicTempoMap, AMovedScheduleTimeMovesTheDownbeat) {
  double moved[kSectionCount];
  std::memcpy(moved, kSectionStarts, sizeof moved);
  moved[kOrbit] += 0.7;
  const TempoMap map = BuildTempoMap(moved, kSceneEndSeconds);
  EXPECT_NEAR(map.barStarts[static_cast<size_t>(map.firstBar[kOrbit])], moved[kOrbit], 1e-9);
  EXPECT_NEAR(map.barStarts[static_cast<size_t>(map.firstBar[kSurge])], moved[kSurge], 1e-9);
}

// The notes of four bars, relative to their first bar, for comparison.
std::vector<NoteEvent> Block(const Score& score, int firstBar) {
  std::vector<NoteEvent> block;
  for (NoteEvent n : score)
    if (n.bar >= firstBar && n.bar < firstBar + 4) {
      n.bar -= firstBar;
      n.onTheTurn = false;
      block.push_back(n);
    }
  return block;
}

bool Same(const std::vector<NoteEvent>& a, const std::vector<NoteEvent>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].voice != b[i].voice || a[i].bar != b[i].bar || a[i].beat != b[i].beat ||
        a[i].beats != b[i].beats || a[i].pitch != b[i].pitch || a[i].velocity != b[i].velocity)
      return false;
  return true;
}

TEST(MusicScore, NoFourBarsRepeatUnchangedMoreThanTwiceInARow) {
  const TempoMap& map = PieceTempoMap();
  const Score score = ComposeScore(map);
  ASSERT_FALSE(score.empty());
  int run = 0;
  for (int bar = 4; bar + 4 <= BarCount(map); ++bar) {
    run = Same(Block(score, bar), Block(score, bar - 4)) ? run + 1 : 0;
    EXPECT_LT(run, 2) << "four bars from bar " << bar << " repeat unchanged";
  }
  for (const NoteEvent& n : score) {
    ASSERT_GE(n.bar, 0);
    ASSERT_LT(n.bar, BarCount(map));
  }
}

// Full-scale square bursts: the worst case for inter-sample peaks.
TEST(MusicMaster, TheLimiterHoldsSquareBurstsAtItsCeiling) {
  const size_t frames = 4 * kSampleRate;
  std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
  for (size_t i = 0; i < frames; ++i)
    if ((i / 11025) % 2 == 1) {
      left[i] = (i / 37) % 2 ? 1.0f : -1.0f;
      right[i] = (i / 5) % 2 ? 1.0f : -1.0f;
    }
  ASSERT_GT(DecibelsOf(TruePeak(left, right)), 0.0);
  const float ceiling = std::pow(10.0f, -1.0f / 20.0f);
  LimitTruePeak(ceiling, left, right);
  EXPECT_LE(DecibelsOf(TruePeak(left, right)), -1.0 + 0.05);
  EXPECT_GT(DecibelsOf(TruePeak(left, right)), -3.0);  // limited, not silenced
}

TEST(MusicMaster, FadeFallsInEqualStepsOfLoudness) {
  EXPECT_EQ(FadeGain(kFadeStartSeconds), 1.0f);
  EXPECT_EQ(FadeGain(kCardsStartSeconds), 0.0f);
  const double half = DecibelsOf(FadeGain((kFadeStartSeconds + kCardsStartSeconds) / 2.0));
  const double quarter = DecibelsOf(FadeGain(kFadeStartSeconds + 0.5));
  EXPECT_NEAR(half, 2 * quarter, 0.01);
  EXPECT_LT(half, -20.0);
}

}  // namespace
