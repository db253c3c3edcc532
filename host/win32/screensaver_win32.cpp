// quorvane.scr: the piece as a Windows screen saver. /s shows it full screen,
// looping and silent, until a key, a button or a mouse move; /p HWND plays it
// inside the preview of the screen saver settings; /c says it has no settings.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/exit_status.h"
#include "host/frame_loop.h"
#include "host/platform.h"
#include "host/show_options.h"

namespace {

// Windows starts a screen saver in a folder of its own choosing: the piece's
// files lie beside the .scr.
void EnterOwnFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (!slash) return;
  *slash = '\0';
  SetCurrentDirectoryA(path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ShowOptions options;
  uint64_t owner = 0;
  std::string error;
  switch (ParseSaverArguments(__argc, __argv, options, owner, error)) {
    case SaverAction::kConfigure:
      MessageBoxA(reinterpret_cast<HWND>(static_cast<uintptr_t>(owner)),
                  "quorvane has no settings: it plays the piece again and again, without "
                  "sound, until a key is pressed or the mouse moves.",
                  "quorvane", MB_OK | MB_ICONINFORMATION);
      return kExitDone;
    case SaverAction::kRefuse:
      MessageBoxA(nullptr, ("quorvane.scr: " + error + "\nIt takes /s, /p HWND or /c.").c_str(),
                  "quorvane", MB_OK | MB_ICONERROR);
      return kExitBadArguments;
    default:
      break;
  }
  EnterOwnFolder();
  return RunPieceToExitStatus(options);
}
