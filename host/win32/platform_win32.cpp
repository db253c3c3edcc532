// The platform seam on Win32: one popup window maximised over the desktop,
// a WGL context on its device context, and the thread's message queue.
#include <windows.h>

#include <cstdio>

#include "base/exit_status.h"
#include "host/frame_loop.h"
#include "host/platform.h"

namespace {

constexpr const char* kClassName = "quorvane";

HINSTANCE instance;
HWND window;
HDC deviceContext;
HGLRC glContext;
// Starts as WM_CREATE so that it never reads as a quit before the first drain.
MSG lastMessage{nullptr, WM_CREATE, 0, 0, 0, {0, 0}};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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

// Device context, closest pixel format, GL context. LoadTextureAtlas, the last
// step, is RunPiece's, which makes it only when the context exists.
void InitGraphics(const PixelFormatRequest& format) {
  deviceContext = GetDC(window);
  const PIXELFORMATDESCRIPTOR descriptor = DescriptorFor(format);
  const int chosen = ChoosePixelFormat(deviceContext, &descriptor);
  if (!SetPixelFormat(deviceContext, chosen, &descriptor)) return;
  glContext = wglCreateContext(deviceContext);
  wglMakeCurrent(deviceContext, glContext);
}

}  // namespace

Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(32512));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);

  window = CreateWindowExA(0, kClassName, title, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0, 0, 0,
                           nullptr, nullptr, instance, nullptr);
  if (!window) return Fail("CreateWindowExA failed");
  InitGraphics(format);
  return {};
}

bool PlatformHasGraphics() { return glContext != nullptr; }

void PlatformShowWindow() {
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
}

// The screen saver and power-down refusals live in WindowProc.
void PlatformHideCursor() { SetCursor(nullptr); }

bool PlatformDrainEvents() {
  while (PeekMessageA(&lastMessage, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(window, &lastMessage)) {
      TranslateMessage(&lastMessage);
      DispatchMessageA(&lastMessage);
    }
  }
  return lastMessage.message == WM_QUIT;
}

void PlatformMakeCurrent() { wglMakeCurrent(deviceContext, glContext); }

void PlatformPresent() { wglSwapLayerBuffers(deviceContext, WGL_SWAP_MAIN_PLANE); }

bool PlatformEscapeQuery() { return GetAsyncKeyState(VK_ESCAPE) != 0; }

uint32_t PlatformMilliseconds() { return timeGetTime(); }

// A quit request carries its status; the time limit and Escape end with 0,
// since the wParam of whatever other message came last means nothing.
int PlatformExitStatus() {
  return lastMessage.message == WM_QUIT ? static_cast<int>(lastMessage.wParam) : 0;
}

void PlatformRelease() {
  wglDeleteContext(glContext);
  ReleaseDC(window, deviceContext);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  instance = hInstance;
  if (Result run = RunPiece(); !run) {
    std::fprintf(stderr, "quorvane: %s\n", run.error.c_str());
    return kExitFailed;
  }
  return PlatformExitStatus();
}
