// The platform seam on Win32: one popup window maximised over the desktop
// (or the window the screen request asks for), a WGL context on its device
// context, and the thread's message queue.
#include <windows.h>

#include <cstdio>

#include "gl/gl_subset.h"
#include "host/platform.h"

namespace {

using Kind = ScreenRequest::Kind;

constexpr const char* kClassName = "quorvane";
constexpr int kMostMonitors = 64;
// A screen saver shown full screen ignores the pointer's jitter.
constexpr int kMouseSlackPixels = 4;

HWND window;
HDC deviceContext;
HGLRC glContext;
// Starts as WM_CREATE so that it never reads as a quit before the first drain.
MSG lastMessage{nullptr, WM_CREATE, 0, 0, 0, {0, 0}};
ScreenRequest screen;
// The display whose mode was switched, to give it back at the end.
char switchedDevice[CCHDEVICENAME];
bool modeSwitched = false;
POINT firstMouse;
bool mouseSeen = false;

struct Monitor {
  char device[CCHDEVICENAME];
  RECT bounds;
  RECT workArea;
};
Monitor monitors[kMostMonitors];
int monitorCount = 0;

BOOL CALLBACK NoteMonitor(HMONITOR handle, HDC, LPRECT, LPARAM) {
  MONITORINFOEXA info{};
  info.cbSize = sizeof info;
  if (monitorCount == kMostMonitors || !GetMonitorInfoA(handle, &info)) return TRUE;
  Monitor& m = monitors[monitorCount++];
  lstrcpynA(m.device, info.szDevice, sizeof m.device);
  m.bounds = info.rcMonitor;
  m.workArea = info.rcWork;
  // Display 0 is the primary one, where the piece's own window goes.
  if ((info.dwFlags & MONITORINFOF_PRIMARY) && monitorCount > 1) {
    const Monitor primary = m;
    for (int i = monitorCount - 1; i > 0; --i) monitors[i] = monitors[i - 1];
    monitors[0] = primary;
  }
  return TRUE;
}

void FindMonitors() {
  monitorCount = 0;
  EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, 0);
}

bool OffersMode(const char* device, int width, int height, DEVMODEA& found) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  bool offered = false;
  for (DWORD i = 0; EnumDisplaySettingsA(device, i, &mode); ++i) {
    if (static_cast<int>(mode.dmPelsWidth) != width ||
        static_cast<int>(mode.dmPelsHeight) != height)
      continue;
    // Of that size, the highest refresh rate.
    if (!offered || mode.dmDisplayFrequency > found.dmDisplayFrequency) found = mode;
    offered = true;
  }
  return offered;
}

// Any key, button or real mouse move ends a screen saver shown full screen.
bool EndsScreenSaver(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
      return true;
    case WM_MOUSEMOVE: {
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (!mouseSeen) {
        firstMouse = at;
        mouseSeen = true;
        return false;
      }
      return abs(at.x - firstMouse.x) > kMouseSlackPixels ||
             abs(at.y - firstMouse.y) > kMouseSlackPixels;
    }
  }
  return false;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (screen.ending == ScreenRequest::Ending::kAnyInput && EndsScreenSaver(message, lParam)) {
    PostQuitMessage(0);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SYSCOMMAND:
      // The whole wParam is compared: a request with low bits set is not one of these.
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case WM_SIZE:
      // A window the viewer resizes, or a preview's: the picture follows it.
      if (glContext && (screen.kind == Kind::kWindow || screen.kind == Kind::kInside))
        glViewport(0, 0, LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_SETCURSOR:
      // In a window among others the pointer is hidden over the picture only.
      if (screen.kind == Kind::kWindow && LOWORD(lParam) == HTCLIENT) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR DescriptorFor(const PixelFormatRequest& format) {
  PIXELFORMATDESCRIPTOR descriptor{};
  descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  descriptor.nVersion = 1;
  descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  if (format.doubleBuffer) descriptor.dwFlags |= PFD_DOUBLEBUFFER;
  descriptor.iPixelType = PFD_TYPE_RGBA;
  descriptor.cColorBits =
      static_cast<BYTE>(format.redBits + format.greenBits + format.blueBits + format.alphaBits);
  descriptor.cAlphaBits = static_cast<BYTE>(format.alphaBits);
  descriptor.cAccumBits = static_cast<BYTE>(format.accumBits);
  descriptor.cDepthBits = static_cast<BYTE>(format.depthBits);
  descriptor.cStencilBits = static_cast<BYTE>(format.stencilBits);
  descriptor.iLayerType = PFD_MAIN_PLANE;
  return descriptor;
}

void SetVsync() {
  if (screen.vsync == ScreenRequest::Vsync::kDriver) return;
  using SwapInterval = BOOL(WINAPI*)(int);
  // Through a function type without arguments: PROC's own is not the entry's.
  const auto setInterval = reinterpret_cast<SwapInterval>(
      reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT")));
  const bool on = screen.vsync == ScreenRequest::Vsync::kOn;
  if (!setInterval || !setInterval(on ? 1 : 0))
    std::fprintf(stderr,
                 "quorvane: the driver does not let vsync be turned %s; it stays as the driver "
                 "has it\n",
                 on ? "on" : "off");
}

// Device context, closest pixel format, GL context. LoadTextureAtlas, the last
// step, is RunPiece's, which makes it only when the context exists.
void InitGraphics(const PixelFormatRequest& format) {
  deviceContext = GetDC(window);
  const PIXELFORMATDESCRIPTOR descriptor = DescriptorFor(format);
  const int chosen = ChoosePixelFormat(deviceContext, &descriptor);
  if (!SetPixelFormat(deviceContext, chosen, &descriptor)) return;
  glContext = wglCreateContext(deviceContext);
  wglMakeCurrent(deviceContext, glContext);
  SetVsync();
}

HWND CreatePopup(const char* title, const RECT& area) {
  return CreateWindowExA(0, kClassName, title, WS_POPUP | WS_VISIBLE, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The window that `screen` asks for, into `window`.
Result CreateScreenWindow(const char* title) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  switch (screen.kind) {
    case Kind::kDesktop:
      if (screen.display == 0) {
        window = CreateWindowExA(0, kClassName, title, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0, 0,
                                 0, nullptr, nullptr, instance, nullptr);
        break;
      }
      FindMonitors();
      window = CreatePopup(title, monitors[screen.display].bounds);
      break;
    case Kind::kWindow: {
      FindMonitors();
      const RECT& area = monitors[screen.display].workArea;
      RECT frame{0, 0, screen.width, screen.height};
      AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
      const int width = frame.right - frame.left;
      const int height = frame.bottom - frame.top;
      window = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               area.left + (area.right - area.left - width) / 2,
                               area.top + (area.bottom - area.top - height) / 2, width, height,
                               nullptr, nullptr, instance, nullptr);
      break;
    }
    case Kind::kModeSwitch: {
      FindMonitors();
      DEVMODEA mode{};
      if (!OffersMode(monitors[screen.display].device, screen.width, screen.height, mode))
        return Fail("the display does not offer that mode");
      mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
      if (ChangeDisplaySettingsExA(monitors[screen.display].device, &mode, nullptr, CDS_FULLSCREEN,
                                   nullptr) != DISP_CHANGE_SUCCESSFUL)
        return Fail("the display refused to switch to that mode");
      lstrcpynA(switchedDevice, monitors[screen.display].device, sizeof switchedDevice);
      modeSwitched = true;
      FindMonitors();  // where the switched display lies now
      window = CreatePopup(title, monitors[screen.display].bounds);
      break;
    }
    case Kind::kInside: {
      const HWND parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(screen.inside));
      RECT area{};
      if (!GetClientRect(parent, &area)) return Fail("the window to draw in does not exist");
      window = CreateWindowExA(0, kClassName, title, WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                               area.bottom, parent, nullptr, instance, nullptr);
      break;
    }
  }
  if (!window) return Fail("CreateWindowExA failed");
  return {};
}

void GiveModeBack() {
  if (modeSwitched) ChangeDisplaySettingsExA(switchedDevice, nullptr, nullptr, 0, nullptr);
  modeSwitched = false;
}

}  // namespace

Result PlatformScreenOffered(const ScreenRequest& request) {
  char message[1024];
  FindMonitors();
  if (request.kind != Kind::kInside && request.display >= monitorCount) {
    std::snprintf(message, sizeof message,
                  "there is no display %d: this computer has %d (from 0; --list-displays names "
                  "them)",
                  request.display, monitorCount);
    return Fail(message);
  }
  DEVMODEA mode{};
  if (request.kind == Kind::kModeSwitch &&
      !OffersMode(monitors[request.display].device, request.width, request.height, mode)) {
    std::snprintf(message, sizeof message,
                  "display %d offers no mode %dx%d (--list-displays names its modes)",
                  request.display, request.width, request.height);
    return Fail(message);
  }
  return {};
}

Result PlatformListDisplays() {
  FindMonitors();
  for (int d = 0; d < monitorCount; ++d) {
    const Monitor& m = monitors[d];
    std::printf("%d: %s, %ldx%ld at %ld,%ld; modes for --fullscreen:", d, m.device,
                m.bounds.right - m.bounds.left, m.bounds.bottom - m.bounds.top, m.bounds.left,
                m.bounds.top);
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    DWORD lastWidth = 0, lastHeight = 0;
    for (DWORD i = 0; EnumDisplaySettingsA(m.device, i, &mode); ++i) {
      if (mode.dmPelsWidth == lastWidth && mode.dmPelsHeight == lastHeight) continue;
      lastWidth = mode.dmPelsWidth;
      lastHeight = mode.dmPelsHeight;
      std::printf(" %lux%lu", mode.dmPelsWidth, mode.dmPelsHeight);
    }
    std::printf("\n");
  }
  return {};
}

Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format,
                          const ScreenRequest& request) {
  screen = request;
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(32512));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);

  if (Result created = CreateScreenWindow(title); !created) {
    GiveModeBack();
    return created;
  }
  InitGraphics(format);
  return {};
}

bool PlatformHasGraphics() { return glContext != nullptr; }

void PlatformShowWindow() {
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
}

// The screen saver and power-down refusals live in WindowProc; in a window
// among others, or inside another program's, the pointer is not ours to hide.
void PlatformHideCursor() {
  if (screen.kind == Kind::kDesktop || screen.kind == Kind::kModeSwitch) SetCursor(nullptr);
}

bool PlatformDrainEvents() {
  while (PeekMessageA(&lastMessage, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(window, &lastMessage)) {
      TranslateMessage(&lastMessage);
      DispatchMessageA(&lastMessage);
    }
  }
  // A preview whose dialog went without destroying it (its process killed)
  // would otherwise play on unseen for ever.
  if (screen.kind == Kind::kInside && !IsWindow(GetParent(window))) return true;
  return lastMessage.message == WM_QUIT;
}

void PlatformMakeCurrent() { wglMakeCurrent(deviceContext, glContext); }

void PlatformPresent() { wglSwapLayerBuffers(deviceContext, WGL_SWAP_MAIN_PLANE); }

// Escape is asked of the whole keyboard: a preview's run is its dialog's to end.
bool PlatformEscapeQuery() {
  if (screen.ending == ScreenRequest::Ending::kNothing) return false;
  return GetAsyncKeyState(VK_ESCAPE) != 0;
}

uint32_t PlatformMilliseconds() { return timeGetTime(); }

// A quit request carries its status; the time limit and Escape end with 0,
// since the wParam of whatever other message came last means nothing.
int PlatformExitStatus() {
  return lastMessage.message == WM_QUIT ? static_cast<int>(lastMessage.wParam) : 0;
}

void PlatformRelease() {
  wglDeleteContext(glContext);
  ReleaseDC(window, deviceContext);
  GiveModeBack();
}
