#include "tools/capture/frame_schedule.h"

#include <cmath>

#include "host/frame_clock.h"
#include "host/headless_run.h"

int64_t LastFrameOfPiece(int fps) {
  SceneClock clock{};
  StartSceneClock(clock, 0);
  int64_t k = 0;
  do {
    TickSceneClock(clock, static_cast<uint32_t>(ScheduledElapsedMs(++k, fps)));
  } while (clock.sceneSeconds < kSceneEndSeconds);
  return k;
}

bool RecordedFrames(double fromSeconds, double toSeconds, int fps, int64_t& first, int64_t& last) {
  const int64_t end = LastFrameOfPiece(fps);
  first = static_cast<int64_t>(std::floor(fromSeconds * fps + kFrameBoundarySlack)) + 1;
  last = end;
  if (toSeconds >= 0.0) {
    const double lastFrame = std::floor(toSeconds * fps + kFrameBoundarySlack);
    if (lastFrame < static_cast<double>(end)) last = static_cast<int64_t>(lastFrame);
  }
  return first <= last;
}

int64_t AudioSampleAtFrame(int64_t k, int fps, int sampleRate) {
  return (k * sampleRate + fps / 2) / fps;
}

FrameSpan ChunkOfRange(FrameSpan range, int index, int parts) {
  const int64_t frames = range.Count();
  return {range.first + (index - 1) * frames / parts, range.first + index * frames / parts - 1};
}
