// quorvane.exe: the piece's command line, then the run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/exit_status.h"
#include "build_info.h"
#include "host/frame_loop.h"
#include "host/platform.h"
#include "host/show_options.h"

namespace {

constexpr const char* kHelp =
    "Usage: quorvane.exe [OPTION]...\n"
    "\n"
    "quorvane plays 230 seconds of a swarm flying over a textured backdrop to its\n"
    "music, full screen, then it exits; it reads TEX.tga and RX_muc.mp3 from the\n"
    "folder it is started in. Escape or closing the window ends it early.\n"
    "\n"
    "  --window[=WxH]    in a normal, resizable window (1280x720 when no size is given)\n"
    "  --display N       on display N, counted from 0, the primary one\n"
    "  --fullscreen WxH  full screen with the display switched to its mode WxH, and\n"
    "                    back to the desktop's mode at the end\n"
    "  --vsync on|off    wait for the display's refresh before each picture, or not;\n"
    "                    without it the driver's own setting holds\n"
    "  --loop            play it again and again until Escape or closing ends it\n"
    "  --list-displays   name the displays and their modes, and exit\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 when the piece ended, 1 when no window opened, 2 for bad\n"
    "arguments.\n";

// A program of the Windows subsystem has no console of its own: its text goes
// to where it was redirected, or to the console it was started from. False
// when there is neither.
bool HasOutput(bool isError) {
  const DWORD which = isError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  const HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return true;
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
    return false;  // access denied: attached already
  return std::freopen("CONOUT$", "w", isError ? stderr : stdout) != nullptr;
}

// Text for the viewer: on the console, or else in a message box.
void Say(const std::string& text, bool isError) {
  if (HasOutput(isError)) {
    std::fputs(text.c_str(), isError ? stderr : stdout);
    std::fflush(isError ? stderr : stdout);
  } else {
    MessageBoxA(nullptr, text.c_str(), "quorvane", isError ? MB_ICONERROR : MB_ICONINFORMATION);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ShowOptions options;
  std::string error;
  switch (ParsePieceArguments(__argc, __argv, options, error)) {
    case CommandLineAction::kHelp:
      Say(kHelp, false);
      return kExitDone;
    case CommandLineAction::kVersion:
      Say(std::string("quorvane ") + kQuorvaneVersion + "\n", false);
      return kExitDone;
    case CommandLineAction::kRefuse:
      Say("quorvane: " + error + "\nTry 'quorvane.exe --help'.\n", true);
      return kExitBadArguments;
    case CommandLineAction::kListDisplays: {
      HasOutput(false);
      const Result listed = PlatformListDisplays();
      std::fflush(stdout);
      if (!listed) {
        Say("quorvane: cannot list the displays (" + listed.error + ")\n", true);
        return kExitFailed;
      }
      return kExitDone;
    }
    case CommandLineAction::kRun:
      break;
  }
  if (__argc > 1) {
    if (Result offered = PlatformScreenOffered(options.screen); !offered) {
      Say("quorvane: " + offered.error + "\nTry 'quorvane.exe --help'.\n", true);
      return kExitBadArguments;
    }
  }
  if (Result run = RunPiece(options); !run) {
    Say("quorvane: " + run.error + "\n", true);
    return kExitFailed;
  }
  return PlatformExitStatus();
}
