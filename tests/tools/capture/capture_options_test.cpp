#include "tools/capture/capture_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Parsed {
  bool ok;
  bool help;
  CaptureOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "quorvane-capture");
  Parsed parsed{};
  CLI::App app;
  DefineCaptureOptions(app, parsed.options);
  parsed.ok = ParseArguments(app, static_cast<int>(arguments.size()), arguments.data(), parsed.help,
                             parsed.error) &&
              (parsed.help || CheckCaptureOptions(parsed.options, parsed.error));
  return parsed;
}

TEST(CaptureOptions, ValuesAreTakenSpacedOrWithEquals) {
  const Parsed parsed = Parse({"--fps", "30", "--size=640x360", "--from", "1.5", "--to=2.25",
                               "--crf", "23", "--preset=slow", "--quiet", "-y", "out.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.fps, 30);
  EXPECT_EQ(parsed.options.width, 640);
  EXPECT_EQ(parsed.options.height, 360);
  EXPECT_DOUBLE_EQ(parsed.options.fromSeconds, 1.5);
  EXPECT_DOUBLE_EQ(parsed.options.toSeconds, 2.25);
  EXPECT_EQ(parsed.options.crf, 23);
  EXPECT_EQ(parsed.options.preset, "slow");
  EXPECT_TRUE(parsed.options.quiet);
  EXPECT_TRUE(parsed.options.force);
  EXPECT_EQ(parsed.options.kind, OutputKind::kVideo);
  EXPECT_FALSE(Parse({"out.mp4"}).options.force);
}

TEST(CaptureOptions, OutputKindFollowsTheName) {
  const Parsed video = Parse({"dir/piece.mp4"});
  ASSERT_TRUE(video.ok);
  EXPECT_EQ(video.options.kind, OutputKind::kVideo);
  EXPECT_EQ(video.options.output, "dir/piece.mp4");

  const Parsed frames = Parse({"frames//"});
  ASSERT_TRUE(frames.ok);
  EXPECT_EQ(frames.options.kind, OutputKind::kFrames);
  EXPECT_EQ(frames.options.output, "frames");

  const std::string existing = std::filesystem::temp_directory_path().string();
  const Parsed folder = Parse({existing.c_str()});
  ASSERT_TRUE(folder.ok);
  EXPECT_EQ(folder.options.kind, OutputKind::kFrames);

  for (const char* bad : {"piece.mkv", "piece", "dir/.mp4"}) {
    const Parsed parsed = Parse({bad});
    EXPECT_FALSE(parsed.ok) << bad;
    EXPECT_NE(parsed.error.find(".mp4"), std::string::npos) << parsed.error;
  }
}

TEST(CaptureOptions, BadArgumentsAreNamedInTheMessage) {
  const struct {
    std::vector<const char*> arguments;
    const char* named;
  } cases[] = {
      {{"--frobnicate", "out.mp4"}, "--frobnicate"},
      {{"-x", "out.mp4"}, "-x"},
      {{"out.mp4", "--fps"}, "--fps"},
      {{"--fps", "sixty", "out.mp4"}, "--fps: must be a whole number from 1 to 1000, not 'sixty'"},
      {{"--crf", "52", "out.mp4"}, "--crf"},
      {{"--fps", "0", "out.mp4"}, "--fps"},
      {{"--fps", "1001", "out.mp4"}, "--fps"},
      {{"--size", "1920", "out.mp4"}, "--size"},
      {{"--size", "321x180", "out.mp4"}, "even"},
      {{"--from", "-1", "out.mp4"}, "--from"},
      {{"--from", "230", "out.mp4"}, "--from"},
      {{"--from", "5", "--to", "5", "out.mp4"}, "--to"},
      {{"--preset", "quick", "out.mp4"}, "--preset"},
      {{}, "no output"},
      {{"a.mp4", "b.mp4"}, "only one output"},
  };
  for (const auto& c : cases) {
    const Parsed parsed = Parse(c.arguments);
    EXPECT_FALSE(parsed.ok) << c.named;
    EXPECT_NE(parsed.error.find(c.named), std::string::npos) << parsed.error;
  }
}

// Frames by number and chunks of the range, as --jobs workers and Slurm tasks
// are given them.
TEST(CaptureOptions, RangesAndChunksAreResolvedToFrames) {
  FrameSpan range;
  FrameSpan drawn;
  std::string error;
  Parsed parsed = Parse({"--frames", "181-301", "--chunk", "2/3", "c.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_TRUE(CaptureFrames(parsed.options, range, drawn, error)) << error;
  EXPECT_EQ(range.first, 181);
  EXPECT_EQ(range.last, 301);
  EXPECT_EQ(drawn.first, 221);
  EXPECT_EQ(drawn.last, 260);

  parsed = Parse({"--from", "221", "--slurm", "4", "piece.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_TRUE(CaptureFrames(parsed.options, range, drawn, error)) << error;
  EXPECT_EQ(range.first, 13261);
  EXPECT_EQ(range.last, 13800);
  EXPECT_EQ(drawn.first, 13261);  // the submitter draws nothing itself

  parsed = Parse({"--frames", "1-3", "--chunk", "1/4", "c.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_FALSE(CaptureFrames(parsed.options, range, drawn, error));
  EXPECT_EQ(error, "--chunk: 4 parts of 3 frames would leave some empty");
  parsed = Parse({"--frames", "13000-13801", "c.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_FALSE(CaptureFrames(parsed.options, range, drawn, error));
  EXPECT_EQ(error, "--frames: the piece has 13800 frames at 60 fps");

  const struct {
    std::vector<const char*> arguments;
    const char* named;
  } bad[] = {
      {{"--frames", "30-20", "c.mp4"}, "--frames: must be FIRST-LAST"},
      {{"--frames", "0-20", "c.mp4"}, "--frames"},
      {{"--frames", "1-20", "--from", "3", "c.mp4"}, "excludes"},
      {{"--chunk", "4/3", "c.mp4"}, "--chunk: must be I/N"},
      {{"--chunk", "1/x", "c.mp4"}, "--chunk"},
      {{"--chunk", "1/2", "--jobs", "2", "c.mp4"}, "excludes"},
      {{"--slurm", "2", "--jobs", "2", "c.mp4"}, "excludes"},
      {{"--segments", "s", "c.mp4"}, "requires --slurm"},
      {{"--slurm-cpus", "2", "c.mp4"}, "requires --slurm"},
  };
  for (const auto& c : bad) {
    const Parsed refused = Parse(c.arguments);
    EXPECT_FALSE(refused.ok) << c.named;
    EXPECT_NE(refused.error.find(c.named), std::string::npos) << refused.error;
  }
  parsed = Parse({"--slurm", "2", "--slurm-option=--hold", "--slurm-option", "-p", "c.mp4"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.slurmOptions, (std::vector<std::string>{"--hold", "-p"}));
  EXPECT_EQ(parsed.options.output, "c.mp4");
}

TEST(CaptureOptions, OddSizesAreFineForFramesAndHelpNeedsNoOutput) {
  EXPECT_TRUE(Parse({"--size", "321x181", "frames/"}).ok);
  const Parsed help = Parse({"--help"});
  EXPECT_TRUE(help.ok);
  EXPECT_TRUE(help.help);
}

}  // namespace
