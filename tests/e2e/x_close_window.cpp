// Asks a top-level window to close the way a window manager does: a
// WM_DELETE_WINDOW client message. The window is found by its title and its
// class name, both of which must equal the one argument.
//   x_close_window NAME   exit 0: sent; 2: no such window (yet); 1: no display
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

#include "x_helper.h"

namespace {

bool HasTitleAndClass(Display* display, Window window, const char* name) {
  bool titleMatches = false;
  char* title = nullptr;
  if (XFetchName(display, window, &title) && title) {
    titleMatches = std::strcmp(title, name) == 0;
    XFree(title);
  }
  bool classMatches = false;
  XClassHint hint{};
  if (XGetClassHint(display, window, &hint)) {
    classMatches = hint.res_class && std::strcmp(hint.res_class, name) == 0;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
  }
  return titleMatches && classMatches;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = OpenHelperDisplay(argc, "x_close_window", "NAME");
  if (!display) return 1;
  Window root = DefaultRootWindow(display);
  Window rootReturn = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  int status = 2;
  if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && status == 2; ++i) {
      if (!HasTitleAndClass(display, children[i], argv[1])) continue;
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = children[i];
      event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
      event.xclient.format = 32;
      event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
      event.xclient.data.l[1] = CurrentTime;
      XSendEvent(display, children[i], False, NoEventMask, &event);
      status = 0;
    }
    if (children) XFree(children);
  }
  XCloseDisplay(display);
  if (status == 2)
    std::fprintf(stderr, "x_close_window: no window titled and classed \"%s\"\n", argv[1]);
  return status;
}
