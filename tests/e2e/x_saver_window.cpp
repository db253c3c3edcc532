// Plays XScreenSaver's part for a display mode: creates and maps a black
// window of the size given (WIDTHxHEIGHT, at the screen's corner), prints its
// id as XScreenSaver puts it in XSCREENSAVER_WINDOW (0x-hexadecimal), and
// keeps it until killed; its window goes with it.
//   x_saver_window WIDTHxHEIGHT   exit 1: no display or a bad size
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

#include "x_helper.h"

int main(int argc, char** argv) {
  Display* display = OpenHelperDisplay(argc, "x_saver_window", "WIDTHxHEIGHT");
  if (!display) return 1;
  unsigned int width = 0, height = 0;
  if (std::sscanf(argv[1], "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
    std::fprintf(stderr, "x_saver_window: bad size %s\n", argv[1]);
    return 1;
  }
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.override_redirect = True;  // as XScreenSaver's own: no window manager's frame
  const Window window =
      XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
  XMapRaised(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  for (;;) pause();
}
