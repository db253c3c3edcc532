// A stand-in for a window manager that keeps the focus from new windows, as
// focus-stealing prevention does: it announces itself the EWMH way (so SDL
// does not take the focus itself, as it does with no window manager) and sets
// the focus to nothing. Once the key named by the one argument is down on the
// server, it prints "ready"; it then runs until killed, since the announcement
// lasts only as long as its window.
//   x_unfocused_wm KEYSYM   exit 1: no display or no such key
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <initializer_list>

#include "x_helper.h"

namespace {

bool KeyDown(Display* display, KeyCode code) {
  char keys[32];
  XQueryKeymap(display, keys);
  return (keys[code / 8] >> (code % 8)) & 1;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = OpenHelperDisplay(argc, "x_unfocused_wm", "KEYSYM");
  if (!display) return 1;
  const KeySym keysym = XStringToKeysym(argv[1]);
  const KeyCode code = keysym == NoSymbol ? 0 : XKeysymToKeycode(display, keysym);
  if (code == 0) {
    std::fprintf(stderr, "x_unfocused_wm: no key %s\n", argv[1]);
    return 1;
  }
  const Window root = DefaultRootWindow(display);
  Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom supporting = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  for (Window on : {root, check}) {
    XChangeProperty(display, on, supporting, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&check), 1);
  }
  XSetInputFocus(display, None, RevertToNone, CurrentTime);
  XSync(display, False);
  while (!KeyDown(display, code)) usleep(10000);
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) pause();
}
