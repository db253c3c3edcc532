#include "tools/capture/capture_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "base/piece_facts.h"
#include "build_info.h"
#include "host/frame_clock.h"
#include "base/parse_number.h"

namespace {

constexpr int kMaxFps = 1000;  // beyond this, frames would share a millisecond
constexpr long long kMaxFrameNumber = 999999;  // six digits in a frame's file name
const std::vector<std::string> kPresets = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                           "medium",    "slow",      "slower",   "veryslow"};

bool ParseSide(const std::string& text, int& side) {
  long long value = 0;
  if (!ParseWhole(text, value) || value < 1 || value > kLargestPictureSide) return false;
  side = static_cast<int>(value);
  return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t cross = text.find('x');
  return cross != std::string::npos && ParseSide(text.substr(0, cross), width) &&
         ParseSide(text.substr(cross + 1), height);
}

CLI::Validator PictureSize() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        int width = 0;
        int height = 0;
        if (ParseSize(text, width, height)) return {};
        return "must be WIDTHxHEIGHT, each 1 to " + std::to_string(kLargestPictureSide) +
               ", not '" + text + "'";
      },
      "WxH");
}

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// "A<sep>B" as two whole numbers from `low` to `high`.
bool ParsePair(const std::string& text, char separator, long long low, long long high, long long& a,
               long long& b) {
  const size_t at = text.find(separator);
  return at != std::string::npos && ParseWhole(std::string_view(text).substr(0, at), a) &&
         ParseWhole(std::string_view(text).substr(at + 1), b) && low <= a && a <= b && b <= high;
}

// An option taking "A<separator>B", two whole numbers with 1 <= A <= B <= high,
// handed to `take` once checked.
CLI::Option* AddPairOption(CLI::App& app, const std::string& name, char separator, long long high,
                           const std::string& wanted, const std::string& help,
                           std::function<void(long long a, long long b)> take) {
  const auto parse = [separator, high](const std::string& text, long long& a, long long& b) {
    return ParsePair(text, separator, 1, high, a, b);
  };
  return app
      .add_option_function<std::string>(
          name,
          [parse, take](const std::string& text) {
            long long a = 0;
            long long b = 0;
            if (parse(text, a, b)) take(a, b);
          },
          help)
      ->check(CLI::Validator(
          [parse, wanted](std::string& text) -> std::string {
            long long a = 0;
            long long b = 0;
            return parse(text, a, b) ? "" : "must be " + wanted + ", not '" + text + "'";
          },
          wanted.substr(0, wanted.find(','))));
}

}  // namespace

Result ClassifyOutput(std::string name, OutputKind& kind, std::string& path) {
  if (EndsWith(name, ".mp4") && name.size() > 4 && name[name.size() - 5] != '/') {
    kind = OutputKind::kVideo;
  } else if (EndsWith(name, "/") || IsDirectory(name)) {
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    kind = OutputKind::kFrames;
  } else {
    return Fail("output '" + name + "' must end in .mp4 (a video) or / (a folder of PNG frames)");
  }
  path = name;
  return {};
}

std::string OutputArgument(const std::string& path, OutputKind kind) {
  return kind == OutputKind::kFrames ? path + "/" : path;
}

CLI::Option* DefineCaptureOptions(CLI::App& app, CaptureOptions& options) {
  app.description(
      "Renders quorvane headless, frame by frame, on a fixed clock: frame k is drawn at\n"
      "floor(k * 1000 / fps) ms, so every capture of the same range is identical. Reads\n"
      "TEX.tga and RX_muc.mp3 from the working directory (build/) or, where they are not\n"
      "there, from the installed data folder " +
      std::string(kInstalledDataDir) + ".");
  app.add_option("OUTPUT", options.outputs,
                 "NAME.mp4: H.264 video (yuv420p) through ffmpeg, with RX_muc.mp3 from the\n"
                 "matching sample on (silent, with a warning, when it is missing or does not\n"
                 "decode); NAME/: a folder of PNG frames frame_KKKKKK.png, k the frame number");
  const char* range = "Range";
  CLI::Option* from =
      app.add_option("--from", options.fromSeconds,
                     "record from scene second S (default 0); earlier frames are simulated but not "
                     "drawn")
          ->check(SecondsFrom(0.0, -1.0))
          ->group(range);
  CLI::Option* to =
      app.add_option("--to", options.toSeconds,
                     "record up to scene second S (default: the end of the piece, 230)")
          ->check(SecondsFrom(0.0, -1.0))
          ->group(range);
  AddPairOption(app, "--frames", '-', kMaxFrameNumber,
                "FIRST-LAST, frame numbers from 1, FIRST <= LAST",
                "record frames FIRST to LAST of the schedule, numbered from 1 (instead of\n"
                "--from and --to)",
                [&options](long long first, long long last) {
                  options.frames = {first, last};
                })
      ->excludes(from)
      ->excludes(to)
      ->group(range);
  app.add_option("--fps", options.fps, "frames per second (default 60)")
      ->check(WholeNumberFrom(1, kMaxFps))
      ->group(range);
  const char* picture = "Picture and encoding";
  app.add_option_function<std::string>(
         "--size",
         [&options](const std::string& text) { ParseSize(text, options.width, options.height); },
         "picture size in pixels (default 1920x1080)")
      ->check(PictureSize())
      ->group(picture);
  app.add_option("--crf", options.crf,
                 "H.264 constant rate factor, 0 (lossless) to 51 (default 20)")
      ->check(WholeNumberFrom(0, 51))
      ->group(picture);
  app.add_option("--preset", options.preset,
                 "x264 preset, ultrafast to veryslow (default superfast)")
      ->check(CLI::IsMember(kPresets))
      ->group(picture);
  app.add_option("--threads", options.encoderThreads,
                 "threads of the H.264 encoder (default: ffmpeg's choice; --jobs and --slurm\n"
                 "give each worker its share of the cores)")
      ->check(WholeNumberFrom(1, 256))
      ->group(picture);

  const char* parts = "Chunks and workers";
  CLI::Option* chunk =
      AddPairOption(app, "--chunk", '/', kMaxParts, "I/N, 1 <= I <= N",
                    "draw only part I of N near-equal parts of the range, as a segment: video\n"
                    "alone (the music goes in at the join) or frames, with a manifest beside it\n"
                    "(OUTPUT.json) for quorvane-join",
                    [&options](long long index, long long count) {
                      options.chunkIndex = static_cast<int>(index);
                      options.chunkCount = static_cast<int>(count);
                    })
          ->group(parts);
  app.add_flag("-y,--force", options.force,
               "replace an existing OUTPUT (without it an existing video, or a folder\n"
               "that is not empty, is refused, as ffmpeg does without -y)");
  app.add_flag("-q,--quiet", options.quiet, "no progress display");
  app.footer(
      "The output appears under its name only when the capture is complete; until then it is\n"
      "written as OUTPUT.part-PID beside it. Ctrl-C, SIGTERM, SIGHUP and SIGQUIT stop cleanly\n"
      "and leave nothing behind; what a run killed outright left is removed by the next run\n"
      "into the same place.\n"
      "Exit status: 0 done, 1 failed, 2 bad arguments, 128 + signal when stopped.");
  return chunk;
}

Result CheckCaptureOptions(CaptureOptions& options) {
  if (options.outputs.empty()) return Fail("no output given");
  if (options.outputs.size() > 1)
    return Fail("only one output may be given ('" + options.outputs[0] + "' and '" +
                options.outputs[1] + "')");
  if (Result classified = ClassifyOutput(options.outputs[0], options.kind, options.output);
      !classified)
    return classified;
  if (!(options.fromSeconds < kSceneEndSeconds))
    return Fail("--from must be below the end of the piece (" + std::to_string(kPieceSeconds) +
                " s)");
  if (options.frames.first == 0 && options.toSeconds >= 0.0 &&
      !(options.toSeconds > options.fromSeconds))
    return Fail("--to must be later than --from");
  if (options.kind == OutputKind::kVideo && (options.width % 2 != 0 || options.height % 2 != 0))
    return Fail("--size must be even both ways for H.264 video (yuv420p)");
  return {};
}

Result CaptureRange(const CaptureOptions& options, FrameSpan& range) {
  const int64_t end = LastFrameOfPiece(options.fps);
  if (options.frames.first > 0) {
    if (options.frames.last > end)
      return Fail("--frames: the piece has " + std::to_string(end) + " frames at " +
                  std::to_string(options.fps) + " fps");
    range = options.frames;
    return {};
  }
  if (RecordedFrames(options.fromSeconds, options.toSeconds, options.fps, range.first, range.last))
    return {};
  char text[160];
  std::snprintf(text, sizeof text, "--from %g --to %g holds no frame at %d fps",
                options.fromSeconds, options.toSeconds, options.fps);
  return Fail(text);
}

Result CheckParts(FrameSpan range, int parts, const char* option) {
  if (parts <= range.Count()) return {};
  return Fail(std::string(option) + ": " + std::to_string(parts) + " parts of " +
              std::to_string(range.Count()) + " frames would leave some empty");
}

std::vector<std::string> ChunkArguments(const CaptureOptions& options, FrameSpan range, int cores) {
  return {"--frames",  std::to_string(range.first) + "-" + std::to_string(range.last),
          "--fps",     std::to_string(options.fps),
          "--size",    std::to_string(options.width) + "x" + std::to_string(options.height),
          "--crf",     std::to_string(options.crf),
          "--preset",  options.preset,
          "--threads", std::to_string(cores)};
}

std::vector<std::string> ChunkCommandLine(const CaptureOptions& options, FrameSpan range, int index,
                                          int count, int cores, const std::string& segment) {
  std::vector<std::string> arguments = {"--chunk",
                                        std::to_string(index) + "/" + std::to_string(count)};
  const std::vector<std::string> shared = ChunkArguments(options, range, cores);
  arguments.insert(arguments.end(), shared.begin(), shared.end());
  // After "--", so that a name starting with '-' is no option.
  arguments.push_back("--");
  arguments.push_back(OutputArgument(segment, options.kind));
  return arguments;
}
