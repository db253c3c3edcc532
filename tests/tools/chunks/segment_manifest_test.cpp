#include "tools/chunks/segment_manifest.h"

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

// The manifests that segments already on disk carry, byte for byte: what is
// written reads back, and what earlier builds wrote is still read.
TEST(CaptureSegmentManifest, ReadsBackWhatItWritesInTheFormatOnDisk) {
  const std::string onDisk =
      "{\n"
      "  \"format\": \"quorvane segment 1\",\n"
      "  \"version\": \"1.0.0\",\n"
      "  \"kind\": \"frames\",\n"
      "  \"width\": 3840,\n"
      "  \"height\": 2160,\n"
      "  \"fps\": 60,\n"
      "  \"encoder\": \"png\",\n"
      "  \"first\": 4601,\n"
      "  \"last\": 9200,\n"
      "  \"rangeFirst\": 1,\n"
      "  \"rangeLast\": 13800,\n"
      "  \"simulationHash\": \"fedcba9876543210\",\n"
      "  \"bytes\": 123456789012\n"
      "}\n";
  EXPECT_EQ(FormatManifest(Example()), onDisk);
  SegmentManifest read;
  const Result parsed = ParseManifest(onDisk, read);
  ASSERT_TRUE(parsed) << parsed.error;
  EXPECT_EQ(FormatManifest(read), onDisk);
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
      {whole.substr(0, whole.rfind('}')), "it is not JSON (at byte"},
      {whole.substr(0, whole.size() / 2), "it is not JSON"},
      {"", "it is not JSON (at byte 1)"},
      {whole + "{}", "it is not JSON"},
      {"[1, 2]", "it is no JSON object"},
      {with("\"width\": 3840", "\"width\": 3840.5"), "no \"width\" number"},
      {with("\"width\": 3840", "\"width\": 4294967297"), "no \"width\" number"},
      {with("123456789012", "18446744073709551615"), "no \"bytes\" number"},
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
    const Result parsed = ParseManifest(c.text, read);
    EXPECT_FALSE(parsed) << c.text;
    EXPECT_NE(parsed.error.find(c.said), std::string::npos) << parsed.error << "\n" << c.text;
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
  ASSERT_TRUE(WriteManifest("part", manifest));
  SegmentManifest read;
  EXPECT_EQ(ReadCompleteSegment("part", read).error, "'part' is missing frame_000011.png");
  std::ofstream("part/frame_000011.png") << "abcde";
  EXPECT_TRUE(ReadCompleteSegment("part", read));
  std::ofstream("part/frame_000010.png") << "abc";
  EXPECT_EQ(ReadCompleteSegment("part", read).error,
            "'part' is cut short or altered: 11 bytes where its manifest says 12");
}

}  // namespace
