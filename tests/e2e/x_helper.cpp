#include "x_helper.h"

#include <cstdio>

Display* OpenHelperDisplay(int argc, const char* tool, const char* argument) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s %s\n", tool, argument);
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) std::fprintf(stderr, "%s: cannot open the display\n", tool);
  return display;
}
