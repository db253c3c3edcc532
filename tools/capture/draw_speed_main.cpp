// Frames per second of drawing alone (no read-back, no output) over a range
// of the piece, the baseline that the capture's overhead is measured against.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/capture/frame_schedule.h"

int main(int argc, char** argv) {
  int width = 0;
  int height = 0;
  if (argc != 4 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
    std::fprintf(stderr, "usage: quorvane-draw-speed WxH FROM TO   (in the folder of TEX.tga)\n");
    return 2;
  }
  const int fps = 60;
  int64_t first = 0;
  int64_t last = 0;
  if (!RecordedFrames(std::atof(argv[2]), std::atof(argv[3]), fps, first, last)) {
    std::fprintf(stderr, "quorvane-draw-speed: the range holds no frame\n");
    return 2;
  }
  const char* error = nullptr;
  if (!OpenOffscreenSurface(width, height, &error)) {
    std::fprintf(stderr, "quorvane-draw-speed: %s\n", error);
    return 1;
  }
  StartHeadlessRun(true);
  for (int64_t k = 1; k < first; ++k) RunHeadlessFrame(ScheduledElapsedMs(k, fps), k == first - 1);
  glFinish();
  const auto start = std::chrono::steady_clock::now();
  for (int64_t k = first; k <= last; ++k) {
    RunHeadlessFrame(ScheduledElapsedMs(k, fps), true);
    glFinish();  // as a present would, so each frame is really drawn
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int64_t frames = last - first + 1;
  std::printf("drawing alone: %lld frames of %dx%d in %.2f s: %.2f fps\n",
              static_cast<long long>(frames), width, height, seconds,
              static_cast<double>(frames) / seconds);
  CloseOffscreenSurface();
  return 0;
}
