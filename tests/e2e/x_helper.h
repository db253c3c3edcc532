#pragma once

#include <X11/Xlib.h>

// The start every X helper here shares: exactly one argument (argc 2) and the
// display that DISPLAY names. On failure it says why on stderr, as `tool`, and
// gives nullptr; the helper then exits with 1. `argument` names the one
// argument in the usage line.
Display* OpenHelperDisplay(int argc, const char* tool, const char* argument);
