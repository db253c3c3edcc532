#include "tools/capture/capture_options.h"

#include <sys/stat.h>

#include <cstring>

#include "host/frame_clock.h"
#include "tools/common/parse_number.h"

namespace {

constexpr int kMaxFps = 1000;  // beyond this, frames would share a millisecond
constexpr int kMaxSide = 16384;
const std::vector<std::string> kPresets = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                           "medium",    "slow",      "slower",   "veryslow"};

bool ParseSide(const std::string& text, int& side) {
  long long value = 0;
  if (!ParseWhole(text, value) || value < 1 || value > kMaxSide) return false;
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
        return "must be WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not '" + text +
               "'";
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

bool ClassifyOutput(std::string name, CaptureOptions& options, std::string& error) {
  if (EndsWith(name, ".mp4") && name.size() > 4 && name[name.size() - 5] != '/') {
    options.kind = OutputKind::kVideo;
  } else if (EndsWith(name, "/") || IsDirectory(name)) {
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    options.kind = OutputKind::kFrames;
  } else {
    error = "output '" + name + "' must end in .mp4 (a video) or / (a folder of PNG frames)";
    return false;
  }
  options.output = name;
  return true;
}

}  // namespace

void DefineCaptureOptions(CLI::App& app, CaptureOptions& options) {
  app.description(
      "Renders quorvane headless, frame by frame, on a fixed clock: frame k is drawn at\n"
      "floor(k * 1000 / fps) ms, so every capture of the same range is identical. Run it\n"
      "in the folder that holds TEX.tga and RX_muc.mp3 (build/).");
  app.add_option("OUTPUT", options.outputs,
                 "NAME.mp4: H.264 video (yuv420p) through ffmpeg, with RX_muc.mp3 from the\n"
                 "matching sample on (silent, with a warning, when it is missing or does not\n"
                 "decode); NAME/: a folder of PNG frames frame_KKKKKK.png, k the frame number");
  const char* range = "Range";
  app.add_option("--from", options.fromSeconds,
                 "record from scene second S (default 0); earlier frames are simulated but not "
                 "drawn")
      ->check(SecondsFrom(0.0, -1.0))
      ->group(range);
  app.add_option("--to", options.toSeconds,
                 "record up to scene second S (default: the end of the piece, 230)")
      ->check(SecondsFrom(0.0, -1.0))
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
}

bool CheckCaptureOptions(CaptureOptions& options, std::string& error) {
  if (options.outputs.empty()) {
    error = "no output given";
    return false;
  }
  if (options.outputs.size() > 1) {
    error = "only one output may be given ('" + options.outputs[0] + "' and '" +
            options.outputs[1] + "')";
    return false;
  }
  if (!ClassifyOutput(options.outputs[0], options, error)) return false;
  if (!(options.fromSeconds < kSceneEndSeconds)) {
    error = "--from must be below the end of the piece (230 s)";
    return false;
  }
  if (options.toSeconds >= 0.0 && !(options.toSeconds > options.fromSeconds)) {
    error = "--to must be later than --from";
    return false;
  }
  if (options.kind == OutputKind::kVideo && (options.width % 2 != 0 || options.height % 2 != 0)) {
    error = "--size must be even both ways for H.264 video (yuv420p)";
    return false;
  }
  return true;
}
