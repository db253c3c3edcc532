// What a command line of quorvane-capture comes to: the output and its kind,
// the frames of the range, the refusals a user reads, and the arguments a
// chunk's worker is given, which must draw exactly what this run would.
#include "tools/capture/capture_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/chunks/chunk_options.h"

namespace {

struct Parsed {
  Result result;
  CaptureOptions options;
  ChunkOptions chunks;
  FrameSpan range;
};

// As quorvane-capture's main takes a command line, up to the range.
Parsed Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "quorvane-capture");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  Parsed parsed{};
  CLI::App app;
  DefineChunkOptions(app, parsed.chunks, DefineCaptureOptions(app, parsed.options));
  bool help = false;
  parsed.result = ParseArguments(app, static_cast<int>(argv.size()), argv.data(), help);
  if (parsed.result) parsed.result = CheckCaptureOptions(parsed.options);
  if (parsed.result) parsed.result = CaptureRange(parsed.options, parsed.range);
  return parsed;
}

TEST(CaptureOptions, TheOutputsNameSaysWhetherItIsAVideoOrFrames) {
  const Parsed video = Parse({"dir/piece.mp4"});
  ASSERT_TRUE(video.result) << video.result.error;
  EXPECT_EQ(video.options.kind, OutputKind::kVideo);
  EXPECT_EQ(video.options.output, "dir/piece.mp4");

  const Parsed frames = Parse({"frames//"});
  ASSERT_TRUE(frames.result) << frames.result.error;
  EXPECT_EQ(frames.options.kind, OutputKind::kFrames);
  EXPECT_EQ(frames.options.output, "frames");
  EXPECT_EQ(OutputArgument(frames.options.output, frames.options.kind), "frames/");

  const std::string existing = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(Parse({existing}).options.kind, OutputKind::kFrames);

  for (const char* bad : {"piece.mkv", "piece", "dir/.mp4"})
    EXPECT_NE(Parse({bad}).result.error.find("must end in .mp4 (a video) or / (a folder"),
              std::string::npos)
        << bad;
}

TEST(CaptureOptions, BadArgumentsAreRefusedNamingTheOptionAndWhatItWants) {
  const struct {
    std::vector<std::string> arguments;
    const char* said;
  } cases[] = {
      {{"--fps", "sixty", "out.mp4"}, "--fps: must be a whole number from 1 to 1000, not 'sixty'"},
      {{"--size", "1920", "out.mp4"}, "must be WIDTHxHEIGHT, each 1 to 16384, not '1920'"},
      {{"--size", "16385x2", "out.mp4"}, "each 1 to 16384"},
      {{"--size", "321x180", "out.mp4"}, "--size must be even both ways for H.264 video"},
      {{"--from", "230", "out.mp4"}, "--from must be below the end of the piece (230 s)"},
      {{"--from", "5", "--to", "5", "out.mp4"}, "--to must be later than --from"},
      {{"--frames", "30-20", "c.mp4"}, "--frames: must be FIRST-LAST"},
      {{"--frames", "0-20", "c.mp4"}, "--frames: must be FIRST-LAST"},
      {{"--frames", "13000-13801", "c.mp4"}, "--frames: the piece has 13800 frames at 60 fps"},
      {{"--chunk", "4/3", "c.mp4"}, "--chunk: must be I/N"},
      {{"--chunk", "1/2", "--jobs", "2", "c.mp4"}, "excludes"},
      {{"--segments", "s", "c.mp4"}, "requires --slurm"},
      {{}, "no output given"},
      {{"a.mp4", "b.mp4"}, "only one output may be given ('a.mp4' and 'b.mp4')"},
  };
  for (const auto& c : cases) {
    const Parsed parsed = Parse(c.arguments);
    EXPECT_NE(parsed.result.error.find(c.said), std::string::npos)
        << c.said << "\ngot: " << parsed.result.error;
  }
  // Frames need no even size.
  EXPECT_TRUE(Parse({"--size", "321x181", "frames/"}).result);
}

TEST(CaptureOptions, SecondsAndFrameNumbersComeToTheSameFrames) {
  const Parsed cards = Parse({"--from", "221", "piece.mp4"});
  ASSERT_TRUE(cards.result) << cards.result.error;
  EXPECT_EQ(cards.range.first, 13261);
  EXPECT_EQ(cards.range.last, 13800);
  const Parsed numbered = Parse({"--frames", "13261-13800", "piece.mp4"});
  ASSERT_TRUE(numbered.result) << numbered.result.error;
  EXPECT_EQ(numbered.range.first, cards.range.first);
  EXPECT_EQ(numbered.range.last, cards.range.last);

  EXPECT_TRUE(CheckParts({1, 3}, 3, "--chunk"));
  EXPECT_EQ(CheckParts({1, 3}, 4, "--chunk").error,
            "--chunk: 4 parts of 3 frames would leave some empty");
}

// A worker or a Slurm task is given ChunkArguments and --chunk: parsed again,
// they must ask for this run's picture, encoding and range, or the joined
// chunks would not be this run.
TEST(CaptureOptions, AChunksArgumentsAskForWhatTheWholeRunAsksFor) {
  const Parsed whole = Parse({"--from", "12.5", "--to", "20", "--fps", "30", "--size=640x360",
                              "--crf", "0", "--preset", "slow", "piece.mp4"});
  ASSERT_TRUE(whole.result) << whole.result.error;
  std::vector<std::string> arguments = ChunkArguments(whole.options, whole.range, 3);
  arguments.insert(arguments.end(), {"--chunk", "2/4", "chunk-2.mp4"});
  const Parsed chunk = Parse(arguments);
  ASSERT_TRUE(chunk.result) << chunk.result.error;
  EXPECT_EQ(chunk.range.first, whole.range.first);
  EXPECT_EQ(chunk.range.last, whole.range.last);
  EXPECT_EQ(chunk.options.fps, 30);
  EXPECT_EQ(chunk.options.width, 640);
  EXPECT_EQ(chunk.options.height, 360);
  EXPECT_EQ(chunk.options.crf, 0);
  EXPECT_EQ(chunk.options.preset, "slow");
  EXPECT_EQ(chunk.options.encoderThreads, 3);
  EXPECT_EQ(chunk.options.chunkIndex, 2);
  EXPECT_EQ(chunk.options.chunkCount, 4);
}

}  // namespace
