#include "tools/capture/capture_options.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/frame_clock.h"

namespace {

constexpr int kMaxFps = 1000;  // beyond this, frames would share a millisecond
constexpr int kMaxSide = 16384;
const char* const kPresets[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                "medium",    "slow",      "slower",   "veryslow"};

bool ParseInt(const char* text, long low, long high, int& value) {
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseSeconds(const char* text, double& value) {
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !std::isfinite(parsed) || parsed < 0.0)
    return false;
  value = parsed;
  return true;
}

bool ParseSize(const char* text, int& width, int& height) {
  const char* cross = std::strchr(text, 'x');
  if (cross == nullptr) return false;
  const std::string w(text, cross);
  return ParseInt(w.c_str(), 1, kMaxSide, width) && ParseInt(cross + 1, 1, kMaxSide, height);
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

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error) {
  bool haveOutput = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return true;
    }
    if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::string value;
      const size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        arg.resize(equals);
      }
      if (arg != "--fps" && arg != "--size" && arg != "--from" && arg != "--to" && arg != "--crf" &&
          arg != "--preset") {
        error = "unknown option " + arg;
        return false;
      }
      if (equals == std::string::npos) {
        if (i + 1 >= argc) {
          error = arg + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      bool ok = true;
      if (arg == "--fps") {
        ok = ParseInt(value.c_str(), 1, kMaxFps, options.fps);
        if (!ok) error = "--fps must be a whole number from 1 to 1000, not '" + value + "'";
      } else if (arg == "--size") {
        ok = ParseSize(value.c_str(), options.width, options.height);
        if (!ok) error = "--size must be WIDTHxHEIGHT, each 1 to 16384, not '" + value + "'";
      } else if (arg == "--from") {
        ok = ParseSeconds(value.c_str(), options.fromSeconds);
        if (!ok) error = "--from must be a number of seconds, 0 or more, not '" + value + "'";
      } else if (arg == "--to") {
        ok = ParseSeconds(value.c_str(), options.toSeconds);
        if (!ok) error = "--to must be a number of seconds, 0 or more, not '" + value + "'";
      } else if (arg == "--crf") {
        ok = ParseInt(value.c_str(), 0, 51, options.crf);
        if (!ok) error = "--crf must be a whole number from 0 to 51, not '" + value + "'";
      } else if (arg == "--preset") {
        ok = false;
        for (const char* preset : kPresets) ok = ok || value == preset;
        if (ok)
          options.preset = value;
        else
          error = "--preset must be one of ultrafast ... veryslow (x264), not '" + value + "'";
      }
      if (!ok) return false;
      continue;
    }
    if (haveOutput) {
      error = "only one output may be given ('" + options.output + "' and '" + arg + "')";
      return false;
    }
    if (!ClassifyOutput(arg, options, error)) return false;
    haveOutput = true;
  }
  if (!haveOutput) {
    error = "no output given";
    return false;
  }
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

const char* CaptureUsage() {
  return "Usage: quorvane-capture [options] OUTPUT\n"
         "\n"
         "Renders quorvane headless, frame by frame, on a fixed clock: frame k is drawn at\n"
         "floor(k * 1000 / fps) ms, so every capture of the same range is identical. Run it\n"
         "in the folder that holds TEX.tga and RX_muc.mp3 (build/).\n"
         "\n"
         "OUTPUT\n"
         "  NAME.mp4       H.264 video (yuv420p) through ffmpeg, with RX_muc.mp3 from the\n"
         "                 matching sample on (video only, with a warning, without it)\n"
         "  NAME/          a folder of PNG frames frame_KKKKKK.png, KKKKKK the frame number k\n"
         "\n"
         "Options\n"
         "  --fps N        frames per second, 1 to 1000 (default 60)\n"
         "  --size WxH     picture size in pixels (default 1920x1080)\n"
         "  --from S       record from scene second S (default 0); earlier frames are\n"
         "                 simulated but not drawn\n"
         "  --to S         record up to scene second S (default: the end of the piece, 230)\n"
         "  --crf N        H.264 constant rate factor, 0 (lossless) to 51 (default 20)\n"
         "  --preset P     x264 preset, ultrafast to veryslow (default superfast)\n"
         "  --quiet        no progress display\n"
         "  --help         this text\n"
         "\n"
         "The output appears under its name only when the capture is complete; Ctrl-C stops\n"
         "cleanly and leaves nothing behind. Exit status: 0 done, 1 failed, 2 bad arguments,\n"
         "130 interrupted.\n";
}
