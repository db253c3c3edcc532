#include "script/spark_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "sim/rng.h"

namespace {

TEST(ScriptSwarmCounts, PassesBuildUpOverTime) {
  const struct {
    int32_t ms;
    int sparks, solids;
  } rows[] = {{0, 0, 0},           {3301, 0, 0},        {3302, 1, 0},        {11299, 3999, 0},
              {11300, 4000, 0},    {11307, 4000, 0},    {11308, 4000, 1},    {11316, 4000, 2},
              {43299, 4000, 3999}, {43300, 4000, 4000}, {230000, 4000, 4000}};
  for (const auto& row : rows) {
    EXPECT_EQ(SparkCountAt(row.ms), row.sparks) << row.ms << " ms";
    EXPECT_EQ(SolidCountAt(row.ms), row.solids) << row.ms << " ms";
  }
  // A clock that wrapped to either end of its range draws nothing or everything.
  EXPECT_EQ(SparkCountAt(INT32_MIN), 0);
  EXPECT_EQ(SolidCountAt(INT32_MIN), 0);
  EXPECT_EQ(SparkCountAt(INT32_MAX), 4000);
  EXPECT_EQ(SolidCountAt(INT32_MAX), 4000);
}

TEST(ScriptSparkLook, AlphaRampsUpAndPulses) {
  EXPECT_NEAR(SparkAlphaAt(0.0f), 0.12f, 1e-6f);
  float lowest = 1.0f, highest = 0.0f;
  for (int ms = 24000; ms < 60000; ms += 3) {
    lowest = std::fmin(lowest, SparkAlphaAt(ms * 0.001f));
    highest = std::fmax(highest, SparkAlphaAt(ms * 0.001f));
  }
  EXPECT_NEAR(lowest, 0.45f, 1e-4f);
  EXPECT_NEAR(highest, 0.6f, 1e-4f);
}

void ExpectColour(int agent, float t, float r, float g, float b) {
  float rgb[3];
  SparkColour(agent, t, rgb);
  EXPECT_NEAR(rgb[0], r, 1e-5f) << "agent " << agent << " at " << t << " s";
  EXPECT_NEAR(rgb[1], g, 1e-5f) << "agent " << agent << " at " << t << " s";
  EXPECT_NEAR(rgb[2], b, 1e-5f) << "agent " << agent << " at " << t << " s";
}

TEST(ScriptSparkLook, ColoursDriftThenTurnRedAgentByAgent) {
  ExpectColour(0, 0.0f, 0.4025f, 0.385f, 0.9825f);
  ExpectColour(1, 0.0f, 0.4225f, 0.41f, 1.0175f);
  // Jitter alone, on the plain grey of 50 s: agents 2 and 3999.
  ExpectColour(2, 50.0f, 0.65f - 0.0725f, 0.65f - 0.025f, 0.65f + 0.1075f);
  ExpectColour(3999, 50.0f, 0.65f + 0.1175f, 0.65f - 0.1f, 0.65f + 0.0025f);
  ExpectColour(0, 100.0f, 1.1025f, 0.685f, 0.2825f);
  ExpectColour(0, 105.0f, 1.6025f, 0.485f, 0.1825f);
  ExpectColour(1, 105.0f, 1.1225f, 0.71f, 0.3175f);
  // u grows by 0.1 a second from (17 i i mod 63) seconds after the 100 s mark:
  // agents 1, 2, 3 and 10 wait 17, 5, 27 and 62 s and are half-way 5 s later.
  ExpectColour(1, 99.9f + 17.0f, 1.0f + 0.1225f, 0.8f - 0.09f, 0.3f + 0.0175f);
  ExpectColour(1, 105.0f + 17.0f, 1.5f + 0.1225f, 0.6f - 0.09f, 0.2f + 0.0175f);
  ExpectColour(2, 105.0f + 5.0f, 1.5f - 0.0725f, 0.6f - 0.025f, 0.2f + 0.1075f);
  ExpectColour(3, 105.0f + 27.0f, 1.5f + 0.0175f, 0.6f + 0.08f, 0.2f + 0.0025f);
  ExpectColour(10, 105.0f + 62.0f, 1.5f - 0.1225f, 0.6f - 0.065f, 0.2f + 0.0575f);
  for (int agent = 0; agent < 4000; agent += 37) {
    float late[3], plain[3];
    SparkColour(agent, 172.0f, late);
    SparkColour(agent, 230.0f, plain);
    for (int c = 0; c < 3; ++c) ASSERT_NEAR(late[c], plain[c], 1e-5f) << "agent " << agent;
  }
}

TEST(ScriptSparkTexture, SixDrawsInCornerOrderWithinTheirPatches) {
  // From state 12345 the next six draws, masked to 10 bits, are 416, 732,
  // 195, 621, 708 and 877; per corner the t value is drawn first, then s.
  Rng15::SetState(12345);
  float st[6];
  NextSparkTexCoords(st);
  EXPECT_EQ(Rng15::State(), 3681394607u);
  EXPECT_FLOAT_EQ(st[0], 0.8928f);  // 0.6 + 732 / 2500
  EXPECT_FLOAT_EQ(st[1], 0.4832f);  // 0.4 + 416 / 5000
  EXPECT_FLOAT_EQ(st[2], 0.8484f);  // 0.6 + 621 / 2500
  EXPECT_FLOAT_EQ(st[3], 0.8390f);  // 0.8 + 195 / 5000
  EXPECT_FLOAT_EQ(st[4], 0.3508f);  // 0.0 + 877 / 2500
  EXPECT_FLOAT_EQ(st[5], 0.5416f);  // 0.4 + 708 / 5000

  for (int spark = 0; spark < 20000; ++spark) {
    NextSparkTexCoords(st);
    ASSERT_TRUE(st[0] >= 0.6f && st[0] <= 1.0093f && st[1] >= 0.4f && st[1] <= 0.6047f);
    ASSERT_TRUE(st[2] >= 0.6f && st[2] <= 1.0093f && st[3] >= 0.8f && st[3] <= 1.0047f);
    ASSERT_TRUE(st[4] >= 0.0f && st[4] <= 0.4093f && st[5] >= 0.4f && st[5] <= 0.6047f);
  }
}

TEST(ScriptSparkTexture, SkippedFramesDrawSixValuesPerSpark) {
  // Six draws per spark that the frame would draw; states from seed 1 after
  // 0, 30 and 24000 draws.
  const struct {
    int32_t ms;
    uint32_t state;
  } rows[] = {{0, 1u}, {3310, 1303876527u}, {230000, 3395282625u}};
  for (const auto& row : rows) {
    Rng15::SetState(1);
    SkipSparkDraws(row.ms);
    EXPECT_EQ(Rng15::State(), row.state) << row.ms << " ms";
  }
}

}  // namespace
