// Stands in for the screen saver settings dialog: a plain window of a known
// place and size, a screen saver previewed inside it, then the window closed
// as the dialog closes. What happened goes to stdout, a line at each step:
//   parent HWND        the window, in decimal
//   child WxH          the size of the window that the saver made inside it
//   ended STATUS       the saver's exit status once the parent was closed
// The parent is closed when a file named CLOSE_FILE appears in the current
// folder, or after the longest wait; every wait is bounded.
//   preview_parent SAVER X Y WIDTH HEIGHT CLOSE_FILE
//   exit 0: all three lines; 1: a step failed (said on stderr); 2: bad arguments
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kChildWaitMs = 120000;
constexpr DWORD kCloseWaitMs = 300000;
constexpr DWORD kEndWaitMs = 30000;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Handles messages until `done` holds or `limitMs` passes; false on the latter.
template <typename Done>
bool PumpUntil(DWORD limitMs, Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= limitMs) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  return true;
}

int Failed(const char* what, HANDLE saver) {
  std::fprintf(stderr, "preview_parent: %s\n", what);
  if (saver) TerminateProcess(saver, 1);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: preview_parent SAVER X Y WIDTH HEIGHT CLOSE_FILE\n");
    return 2;
  }
  const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  const int width = std::atoi(argv[4]), height = std::atoi(argv[5]);
  const char* closeFile = argv[6];

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ParentProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  // Grey, to tell the parent from the black screen behind it.
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "preview_parent";
  RegisterClassA(&windowClass);
  // A popup has no frame: its client area is the whole window, where asked.
  HWND parent = CreateWindowExA(0, windowClass.lpszClassName, "preview parent",
                                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!parent) return Failed("cannot create the parent window", nullptr);
  std::printf("parent %llu\n",
              static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(parent)));
  std::fflush(stdout);

  std::string command =
      std::string("\"") + argv[1] + "\" /p " + std::to_string(reinterpret_cast<uintptr_t>(parent));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return Failed("cannot start the screen saver", nullptr);
  CloseHandle(process.hThread);

  HWND child = nullptr;
  if (!PumpUntil(kChildWaitMs, [&] { return (child = GetWindow(parent, GW_CHILD)) != nullptr; }))
    return Failed("no child window appeared in the parent", process.hProcess);
  RECT area{};
  GetClientRect(child, &area);
  std::printf("child %ldx%ld\n", area.right - area.left, area.bottom - area.top);
  std::fflush(stdout);

  bool gone = false;
  PumpUntil(kCloseWaitMs, [&] {
    gone = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
    return gone || GetFileAttributesA(closeFile) != INVALID_FILE_ATTRIBUTES;
  });
  if (gone) return Failed("the screen saver ended before its parent closed", nullptr);
  // As the dialog goes: the parent and everything inside it destroyed.
  SendMessageA(parent, WM_CLOSE, 0, 0);
  const bool ended = PumpUntil(
      kEndWaitMs, [&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; });
  if (!ended) return Failed("the screen saver went on after its parent closed", process.hProcess);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  std::printf("ended %lu\n", status);
  std::fflush(stdout);
  return 0;
}
