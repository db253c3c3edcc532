// quorvane as an XScreenSaver display mode: the piece, looping, drawn into
// the window XScreenSaver gives it, silent unless asked.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/exit_status.h"
#include "build_info.h"
#include "host/frame_loop.h"
#include "host/platform.h"
#include "host/show_options.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: quorvane-screensaver [--root | --window-id ID] [--sound]\n"
      "\n"
      "quorvane as a display mode of XScreenSaver: the piece, again and again, in the\n"
      "window that XScreenSaver names in XSCREENSAVER_WINDOW, with no sound unless\n"
      "asked. It ends when XScreenSaver stops it (SIGTERM). Started by hand without\n"
      "a window to draw in, it opens one of its own (1280x720; Escape ends it).\n"
      "The installed mode reads TEX.tga and RX_muc.mp3 from %s.\n"
      "\n"
      "Options (one or two leading dashes):\n"
      "      --root            draw on the root window (or the desktop's virtual root)\n"
      "      --window-id ID    draw into the window ID, decimal or 0x-hexadecimal\n"
      "      --sound           play the music too\n"
      "  -h, --help            print this help and exit\n"
      "      --version         print the version and exit\n",
      kInstalledDataDir);
}

}  // namespace

int main(int argc, char** argv) {
  ShowOptions options;
  std::string error;
  switch (ParseHackArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), options, error)) {
    case CommandLineAction::kHelp:
      PrintHelp();
      return kExitDone;
    case CommandLineAction::kVersion:
      std::printf("quorvane-screensaver %s\n", kQuorvaneVersion);
      return kExitDone;
    case CommandLineAction::kRun:
      break;
    default:
      std::fprintf(stderr, "quorvane-screensaver: %s\nTry 'quorvane-screensaver --help'.\n",
                   error.c_str());
      return kExitBadArguments;
  }
  std::signal(SIGPIPE, SIG_IGN);
  return RunPieceToExitStatus(options);
}
