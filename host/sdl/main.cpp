#include <csignal>
#include <cstdio>
#include <cstring>

#include "base/exit_status.h"
#include "build_info.h"
#include "host/frame_loop.h"
#include "host/platform.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: quorvane [--help | --version]\n"
      "\n"
      "quorvane is a self-running real-time audiovisual piece: 230 seconds of a swarm\n"
      "flying over a textured backdrop to its music, full screen, then it exits.\n"
      "Run without arguments, it plays the texture atlas TEX.tga and the music\n"
      "RX_muc.mp3 from the working directory; the installed command starts it in\n"
      "%s, where both files are installed. Escape or closing the window\n"
      "ends it early.\n"
      "\n"
      "Options:\n"
      "  -h, --help     print this help and exit\n"
      "      --version  print the version and exit\n"
      "\n"
      "Exit status: 0 when the piece ended (at its end, on Escape or on closing),\n"
      "1 when it could not open a window, 2 for bad arguments.\n",
      kInstalledDataDir);
}

// Answers --help and --version without opening a display or a sound device.
int AnswerCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") != 0 && std::strcmp(argv[i], "-h") != 0 &&
        std::strcmp(argv[i], "--version") != 0) {
      std::fprintf(stderr, "quorvane: unknown argument '%s'\nTry 'quorvane --help'.\n", argv[i]);
      return kExitBadArguments;
    }
  }
  if (std::strcmp(argv[1], "--version") == 0)
    std::printf("quorvane %s\n", kQuorvaneVersion);
  else
    PrintHelp();
  return kExitDone;
}

}  // namespace

// SDL_main.h is left out on purpose: on Linux SDL needs no entry wrapper.
int main(int argc, char** argv) {
  if (argc > 1) return AnswerCommandLine(argc, argv);
  // Nothing the piece writes is needed, so a stderr whose reader has gone
  // (quorvane 2>&1 | head) must not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  if (Result run = RunPiece(); !run) {
    std::fprintf(stderr, "quorvane: %s\n", run.error.c_str());
    return kExitFailed;
  }
  return PlatformExitStatus();
}
