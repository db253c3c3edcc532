#include "tools/capture/frame_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/headless_run.h"
#include "tools/capture/progress.h"

namespace {

TEST(CaptureFrameSchedule, ThePieceEndsWithTheFirstFrameAt230Seconds) {
  EXPECT_EQ(LastFrameOfPiece(60), 13800);
  EXPECT_EQ(ScheduledElapsedMs(13799, 60), 229983);
  EXPECT_EQ(LastFrameOfPiece(7), 1610);  // 1610 * 1000 / 7 = 230000 exactly
  // At 1000 fps frame 229999 is at 229.999 s, just below the end.
  EXPECT_EQ(LastFrameOfPiece(1000), 230000);
}

TEST(CaptureFrameSchedule, RangesHoldSecondsTimesFpsFrames) {
  int64_t first = 0;
  int64_t last = 0;
  ASSERT_TRUE(RecordedFrames(0.0, 1.0, 60, first, last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 60);

  ASSERT_TRUE(RecordedFrames(221.0, 223.0, 60, first, last));
  EXPECT_EQ(first, 13261);
  EXPECT_EQ(last, 13380);

  // 0.29 * 100 is 28.999999999999996 in binary; it still means frame 29.
  ASSERT_TRUE(RecordedFrames(0.29, 0.3, 100, first, last));
  EXPECT_EQ(first, 30);
  EXPECT_EQ(last, 30);

  // No end, or one past the piece: up to the piece's last frame.
  ASSERT_TRUE(RecordedFrames(229.5, -1.0, 60, first, last));
  EXPECT_EQ(first, 13771);
  EXPECT_EQ(last, 13800);
  ASSERT_TRUE(RecordedFrames(229.5, 500.0, 60, first, last));
  EXPECT_EQ(last, 13800);

  EXPECT_FALSE(RecordedFrames(1.0, 1.01, 60, first, last));     // between two frames
  EXPECT_FALSE(RecordedFrames(230.5, 240.0, 30, first, last));  // past the last frame
}

TEST(CaptureFrameSchedule, ChunksTileTheRangeInNearEqualParts) {
  for (const FrameSpan range : {FrameSpan{1, 13800}, FrameSpan{181, 301}, FrameSpan{5, 7}}) {
    for (int parts = 1; parts <= range.Count() && parts <= 64; ++parts) {
      int64_t next = range.first;
      int64_t shortest = range.Count();
      int64_t longest = 0;
      for (int index = 1; index <= parts; ++index) {
        const FrameSpan chunk = ChunkOfRange(range, index, parts);
        ASSERT_EQ(chunk.first, next) << parts << " parts, part " << index;
        ASSERT_GE(chunk.Count(), 1);
        shortest = std::min(shortest, chunk.Count());
        longest = std::max(longest, chunk.Count());
        next = chunk.last + 1;
      }
      EXPECT_EQ(next, range.last + 1) << parts << " parts";
      EXPECT_LE(longest - shortest, 1) << parts << " parts";
    }
  }
  EXPECT_EQ(ChunkOfRange({181, 301}, 3, 3).first, 261);  // 40, 40 and 41 frames
}

TEST(CaptureFrameSchedule, AudioSamplesFollowFrameBoundaries) {
  EXPECT_EQ(AudioSampleAtFrame(0, 60, 44100), 0);
  EXPECT_EQ(AudioSampleAtFrame(60, 60, 44100), 44100);
  EXPECT_EQ(AudioSampleAtFrame(13260, 60, 44100), 221 * 44100);
  EXPECT_EQ(AudioSampleAtFrame(1, 24, 44100), 1838);  // 1837.5 rounds up
  // Sample index is computed from the frame index, never accumulated: no drift.
  EXPECT_EQ(AudioSampleAtFrame(5520, 24, 44100), 230 * 44100);
}

TEST(CaptureProgress, ShowsCountRateAndTimeLeft) {
  EXPECT_EQ(FormatProgress(0, 600, 0.0, 0), "0/600 frames");
  EXPECT_EQ(FormatProgress(150, 600, 5.0, 0), "150/600 frames  30.0 fps  0:15 left");
  EXPECT_EQ(FormatProgress(300, 600, 10.0, 10), "[=====>    ] 300/600 frames  30.0 fps  0:10 left");
  EXPECT_EQ(FormatProgress(600, 600, 20.0, 10), "[==========] 600/600 frames  30.0 fps  0:00 left");
  EXPECT_EQ(FormatProgress(10, 13800, 1.0, 0), "10/13800 frames  10.0 fps  22:59 left");
}

}  // namespace
