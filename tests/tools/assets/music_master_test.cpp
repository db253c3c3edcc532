#include <gtest/gtest.h>

#include <vector>

#include "tools/music_gen/loudness.h"
#include "tools/music_gen/mp3_reader.h"

// The build's soundtrack, decoded as a player decodes it, meets its master's targets.
TEST(MusicMaster, TheDecodedFileMeetsTheLoudnessAndTruePeakTargets) {
  std::vector<float> left, right;
  const Result read = ReadMp3(QUORVANE_BUILT_SOUNDTRACK, left, right);
  ASSERT_TRUE(read) << read.error;
  const LoudnessFigures figures = MeasureLoudness(left, right);
  EXPECT_NEAR(figures.integratedLufs, -14.0, 1.0);
  EXPECT_LE(figures.truePeakDbtp, -1.0);
}
