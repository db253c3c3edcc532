#include "host/frame_loop.h"

#include <cstdio>

#include "base/exit_status.h"
#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/music.h"
#include "host/platform.h"
#include "host/undrawn_frame.h"
#include "sim/state_hash.h"
#include "sim/swarm.h"

namespace {

constexpr const char* kTitle = "quorvane";
constexpr const char* kMusicFile = "RX_muc.mp3";
constexpr int kAudioRate = 44100;

enum class RunEnd { kTimeLimit, kEnded };

RunEnd RunFrames(SceneClock& clock, bool graphics) {
  for (;;) {
    PlatformHideCursor();
    if (PlatformDrainEvents()) return RunEnd::kEnded;  // this frame is neither drawn nor shown
    TickSceneClock(clock, PlatformMilliseconds());
    // A browser's context can be lost for a while: those frames run undrawn,
    // so the simulation and the random draws go on exactly.
    if (graphics && PlatformHasGraphics()) {
      PlatformMakeCurrent();
      RunSceneFrame(clock);
      PlatformPresent();
    } else {
      RunSceneFrameUndrawn(clock);
    }
    if (!(clock.sceneSeconds < kSceneEndSeconds)) return RunEnd::kTimeLimit;
    if (PlatformEscapeQuery()) return RunEnd::kEnded;
  }
}

}  // namespace

Result RunPiece(const ShowOptions& options) {
  if (Result opened = PlatformOpenWindow(kTitle, PixelFormatRequest{}, options.screen); !opened)
    return Fail("cannot open a window (" + opened.error +
                "). Without a display, render the piece to a video instead: make capture, or "
                "./quorvane-capture quorvane.mp4 in build/");
  const bool graphics = PlatformHasGraphics();
  if (graphics) LoadTextureAtlas();  // without its image the piece runs on, saying nothing
  PlatformShowWindow();
  SeedSwarm();

  SceneClock clock{};
  StartSceneClock(clock, PlatformMilliseconds());
  if (options.music) {
    MusicOpenOutput(kAudioRate);
    MusicCreateStream(kMusicFile);
    MusicPlayFromStart();
    MusicStartOutput();
  }
  PlatformEscapeQuery();  // a press made before this point does not count

  // Each run after the first starts from the program-start state of the
  // simulation, the random source and the clock, with the music from its
  // start; the window, the context and the atlas stay.
  while (RunFrames(clock, graphics) == RunEnd::kTimeLimit && options.loop) {
    // The last frame's exit tests stopped at the clock: Escape is asked here.
    if (PlatformEscapeQuery()) break;
    ResetSimulation();
    SeedSwarm();
    StartSceneClock(clock, PlatformMilliseconds());
    if (options.music) MusicPlayFromStart();
  }

  if (options.music) {
    MusicStop();
    MusicFree();
    MusicReleaseOutput();
  }
  PlatformRelease();
  return {};
}

int RunPieceToExitStatus(const ShowOptions& options) {
  if (Result run = RunPiece(options); !run) {
    std::fprintf(stderr, "quorvane: %s\n", run.error.c_str());
    return kExitFailed;
  }
  return PlatformExitStatus();
}
