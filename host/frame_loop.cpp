#include "host/frame_loop.h"

#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/music.h"
#include "host/platform.h"
#include "host/undrawn_frame.h"
#include "sim/swarm.h"

namespace {

constexpr const char* kTitle = "quorvane";
constexpr const char* kMusicFile = "RX_muc.mp3";
constexpr int kAudioRate = 44100;

}  // namespace

Result RunPiece() {
  if (Result opened = PlatformOpenWindow(kTitle, PixelFormatRequest{}); !opened)
    return Fail("cannot open a window (" + opened.error +
                "). Without a display, render the piece to a video instead: make capture, or "
                "./quorvane-capture quorvane.mp4 in build/");
  const bool graphics = PlatformHasGraphics();
  if (graphics) LoadTextureAtlas();  // without its image the piece runs on, saying nothing
  PlatformShowWindow();
  SeedSwarm();

  SceneClock clock{};
  StartSceneClock(clock, PlatformMilliseconds());
  MusicOpenOutput(kAudioRate);
  MusicCreateStream(kMusicFile);
  MusicPlayFromStart();
  MusicStartOutput();
  PlatformEscapeQuery();  // a press made before this point does not count

  for (;;) {
    PlatformHideCursor();
    if (PlatformDrainEvents()) break;  // this frame is neither drawn nor shown
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
    if (!(clock.sceneSeconds < kSceneEndSeconds)) break;
    if (PlatformEscapeQuery()) break;
  }

  MusicStop();
  MusicFree();
  MusicReleaseOutput();
  PlatformRelease();
  return {};
}
