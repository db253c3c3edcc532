#include "host/frame_clock.h"

void StartSceneClock(SceneClock& clock, uint32_t nowMs) {
  clock.startMs = nowMs;
  clock.elapsedMs = 0;
  clock.previousElapsedMs = 0;
  clock.sceneSeconds = 0.0f;
  clock.frameDeltaSeconds = 0.0f;
}

void TickSceneClock(SceneClock& clock, uint32_t nowMs) {
  // Unsigned subtraction wraps, so a timer that rolls over mid-run still
  // gives the right elapsed time.
  const int32_t elapsed = static_cast<int32_t>(nowMs - clock.startMs);
  const int32_t delta = static_cast<int32_t>(static_cast<uint32_t>(elapsed) -
                                             static_cast<uint32_t>(clock.previousElapsedMs));
  clock.elapsedMs = elapsed;
  clock.previousElapsedMs = elapsed;
  clock.sceneSeconds = static_cast<float>(elapsed) * kClockFactor;
  clock.frameDeltaSeconds = static_cast<float>(delta) * kClockFactor;
}
