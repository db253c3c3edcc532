// quorvane-stills: renders chosen scene seconds of the piece to PNG files,
// headless, on a 60 frames-per-second schedule (frames in between are run
// undrawn, so every still shows exactly what the real run shows then).
// Run it in a folder holding TEX.tga.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/frame_clock.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/common/png_file.h"

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kMaxSide = 8192;

int Usage() {
  std::fprintf(stderr,
               "usage: quorvane-stills WIDTH HEIGHT OUTDIR SECONDS...\n"
               "  renders each scene second (0 to 230) to OUTDIR/still-<ms>ms.png;\n"
               "  reads TEX.tga from the working directory\n");
  return 2;
}

bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseSeconds(const char* text, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text, &end);
  return errno == 0 && end != text && *end == '\0' && value >= 0.0 &&
         value <= static_cast<double>(kSceneEndSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return Usage();
  int width = 0;
  int height = 0;
  if (!ParseInt(argv[1], 1, kMaxSide, width) || !ParseInt(argv[2], 1, kMaxSide, height)) {
    std::fprintf(stderr, "quorvane-stills: width and height must be whole numbers from 1 to %d\n",
                 kMaxSide);
    return 2;
  }
  const std::string outDir = argv[3];
  std::vector<int64_t> frames;
  for (int i = 4; i < argc; ++i) {
    double seconds = 0.0;
    if (!ParseSeconds(argv[i], seconds)) {
      std::fprintf(stderr, "quorvane-stills: '%s' is not a scene second from 0 to %g\n", argv[i],
                   static_cast<double>(kSceneEndSeconds));
      return 2;
    }
    frames.push_back(std::llround(seconds * kFramesPerSecond));
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());

  if (std::FILE* atlas = std::fopen("TEX.tga", "rb")) {
    std::fclose(atlas);
  } else {
    std::fprintf(stderr, "quorvane-stills: no TEX.tga here; textured passes draw untextured\n");
  }
  const char* error = nullptr;
  if (!OpenOffscreenSurface(width, height, &error)) {
    std::fprintf(stderr, "quorvane-stills: cannot open an offscreen GL surface: %s\n", error);
    return 1;
  }
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  StartHeadlessRun(true);
  int64_t next = 0;
  int status = 0;
  for (int64_t wanted : frames) {
    for (; next < wanted; ++next)
      RunHeadlessFrame(ScheduledElapsedMs(next, kFramesPerSecond), false);
    const int32_t elapsedMs = ScheduledElapsedMs(wanted, kFramesPerSecond);
    RunHeadlessFrame(elapsedMs, true);
    ++next;
    ReadOffscreenPixels(pixels.data());
    const std::string path = outDir + "/still-" + std::to_string(elapsedMs) + "ms.png";
    if (!WritePngFile(path.c_str(), pixels.data(), width, height, &error)) {
      std::fprintf(stderr, "quorvane-stills: %s: %s\n", path.c_str(), error);
      status = 1;
      break;
    }
    std::printf("%s\n", path.c_str());
  }
  CloseOffscreenSurface();
  return status;
}
