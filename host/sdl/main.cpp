#include <csignal>
#include <cstdio>
#include <string>

#include "base/exit_status.h"
#include "build_info.h"
#include "host/frame_loop.h"
#include "host/platform.h"
#include "host/show_options.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: quorvane [OPTION]...\n"
      "\n"
      "quorvane is a self-running real-time audiovisual piece: 230 seconds of a swarm\n"
      "flying over a textured backdrop to its music, full screen, then it exits.\n"
      "Run without arguments, it plays the texture atlas TEX.tga and the music\n"
      "RX_muc.mp3 from the working directory; the installed command starts it in\n"
      "%s, where both files are installed. Escape or closing the window\n"
      "ends it early, in every way of showing it.\n"
      "\n"
      "Where it is shown (without these: full screen on the first display, at the\n"
      "desktop's resolution):\n"
      "      --window[=WxH]    in a normal, resizable window of W x H pixels (1280x720\n"
      "                        when no size is given); the picture follows its size\n"
      "      --display N       on display N, counted from 0 (--list-displays names\n"
      "                        them); full screen, or the window there\n"
      "      --fullscreen WxH  full screen with the display switched to its mode WxH;\n"
      "                        the desktop's mode comes back when the piece ends, also\n"
      "                        after Escape, a closed window or a signal\n"
      "      --vsync on|off    wait for the display's refresh before each picture (on)\n"
      "                        or not (off); without it the driver's own setting holds,\n"
      "                        which is on with most drivers\n"
      "      --list-displays   name the displays, where they lie and their modes, and exit\n"
      "\n"
      "How often:\n"
      "      --loop            play it again and again in the same window, each run the\n"
      "                        same as the first, until Escape, closing the window or\n"
      "                        a signal ends it\n"
      "\n"
      "  -h, --help            print this help and exit\n"
      "      --version         print the version and exit\n"
      "\n"
      "Exit status: 0 when the piece ended (at its end, on Escape, on closing or on a\n"
      "signal), 1 when it could not open a window, 2 for bad arguments (nothing is\n"
      "opened then).\n",
      kInstalledDataDir);
}

void PrintRefusal(const char* error) {
  std::fprintf(stderr, "quorvane: %s\nTry 'quorvane --help'.\n", error);
}

}  // namespace

// SDL_main.h is left out on purpose: on Linux SDL needs no entry wrapper.
int main(int argc, char** argv) {
  ShowOptions options;
  std::string error;
  // --help, --version and bad arguments are answered without opening a
  // display or a sound device.
  switch (ParsePieceArguments(argc, argv, options, error)) {
    case CommandLineAction::kHelp:
      PrintHelp();
      return kExitDone;
    case CommandLineAction::kVersion:
      std::printf("quorvane %s\n", kQuorvaneVersion);
      return kExitDone;
    case CommandLineAction::kRefuse:
      PrintRefusal(error.c_str());
      return kExitBadArguments;
    case CommandLineAction::kListDisplays:
      if (Result listed = PlatformListDisplays(); !listed) {
        std::fprintf(stderr, "quorvane: cannot list the displays (%s)\n", listed.error.c_str());
        return kExitFailed;
      }
      return kExitDone;
    case CommandLineAction::kRun:
      break;
  }
  // A display or mode that is not there is refused before anything opens.
  if (argc > 1) {
    if (Result offered = PlatformScreenOffered(options.screen); !offered) {
      PrintRefusal(offered.error.c_str());
      return kExitBadArguments;
    }
  }
  // Nothing the piece writes is needed, so a stderr whose reader has gone
  // (quorvane 2>&1 | head) must not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  return RunPieceToExitStatus(options);
}
