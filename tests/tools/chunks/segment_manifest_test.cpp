#include "tools/capture/segment_manifest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

SegmentManifest Example() {
  SegmentManifest manifest;
  manifest.version = "1.0.0";
  manifest.kind = OutputKind::kFrames;
  manifest.width = 3840;
  manifest.height = 2160;
  manifest.fps = 60;
  manifest.encoder = "png";
  manifest.first = 4601;
  manifest.last = 9200;
  manifest.rangeFirst = 1;
  manifest.rangeLast = 13800;
  manifest.simulationHash = 0xfedcba9876543210ULL;
  manifest.bytes = 123456789012ULL;
  return manifest;
}

TEST(CaptureSegmentManifest, ReadsBackWhatItWrites) {
  SegmentManifest read;
  std::string error;
  ASSERT_TRUE(ParseManifest(FormatManifest(Example()), read, error)) << error;
  EXPECT_EQ(FormatManifest(read), FormatManifest(Example()));
  EXPECT_EQ(read.simulationHash, 0xfedcba9876543210ULL);
  EXPECT_EQ(read.bytes, 123456789012ULL);
  EXPECT_EQ(read.kind, OutputKind::kFrames);
  EXPECT_EQ(DescribeDifference(read, Example()), "");
}

TEST(CaptureSegmentManifest, AnythingButAWholeManifestIsRefusedWithTheReason) {
  const std::string whole = FormatManifest(Example());
  auto with = [&whole](const std::string& from, const std::string& to) {
    std::string text = whole;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const struct {
    std::string text;
    const char* said;
  } cases[] = {
      {whole.substr(0, whole.rfind('}')), "'bytes' is not followed by ',' or '}'"},
      {whole.substr(0, whole.size() / 2), ""},
      {"", "does not start with '{'"},
      {whole + "{}", "more after the closing"},
      {with("\"1.0.0\"", "\"1.0\\\"0\""), "is not a plain string"},
      {with("\"width\": 3840", "\"width\": 3840.5"), "is not followed by"},
      {with("\"width\": 3840", "\"width\": \"3840\""), "no \"width\" number"},
      {with("\"fps\": 60", "\"fps\": 0"), "no \"fps\" number from 1"},
      {with("\"bytes\"", "\"size\""), "no \"bytes\" number"},
      {with("\"frames\"", "\"audio\""), "its kind is 'audio'"},
      {with("\"last\": 9200", "\"last\": 4600"), "its frames do not lie in its range"},
      {with("\"rangeLast\": 13800", "\"rangeLast\": 9000"), "its frames do not lie in its range"},
      {with("fedcba9876543210", "fedcba987654321"), "not 16 hexadecimal digits"},
      {with("fedcba9876543210", "fedcba987654321x"), "not 16 hexadecimal digits"},
      {with("segment 1", "segment 2"), "its format is 'quorvane segment 2'"},
  };
  for (const auto& c : cases) {
    SegmentManifest read;
    std::string error;
    EXPECT_FALSE(ParseManifest(c.text, read, error)) << c.text;
    EXPECT_NE(error.find(c.said), std::string::npos) << error << "\n" << c.text;
  }
}

TEST(CaptureSegmentManifest, AFolderOfFramesIsWholeOnlyWithEveryFrameAtItsSize) {
  TempWorkingDirectory folder;
  SegmentManifest manifest = Example();
  manifest.first = 9;
  manifest.last = 11;
  manifest.bytes = 3 + 4 + 5;
  std::filesystem::create_directory("part");
  std::ofstream("part/frame_000009.png") << "abc";
  std::ofstream("part/frame_000010.png") << "abcd";
  std::string error;
  ASSERT_TRUE(WriteManifest("part", manifest, error)) << error;
  SegmentManifest read;
  EXPECT_FALSE(ReadCompleteSegment("part", read, error));
  EXPECT_EQ(error, "'part' is missing frame_000011.png");
  std::ofstream("part/frame_000011.png") << "abcde";
  EXPECT_TRUE(ReadCompleteSegment("part", read, error)) << error;
  std::ofstream("part/frame_000010.png") << "abc";
  EXPECT_FALSE(ReadCompleteSegment("part", read, error));
  EXPECT_EQ(error, "'part' is cut short or altered: 11 bytes where its manifest says 12");
}

}  // namespace
