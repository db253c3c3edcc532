#pragma once

#include <cstdint>
#include <string>

#include "host/platform.h"

// The command lines of the piece, of its XScreenSaver display mode and of
// its Windows screen saver, read into what the run is to do. Nothing here
// opens anything; whether a display or a mode exists is the platform's to say.

// How the piece is shown. The defaults are the piece's own behaviour.
struct ShowOptions {
  ScreenRequest screen;
  bool loop = false;  // again and again in the same window, until it is ended
  bool music = true;
};

// Sizes of windows and modes that are accepted at all, in pixels.
inline constexpr int kLargestSide = 16384;
// The window of --window without a size.
inline constexpr int kDefaultWindowWidth = 1280;
inline constexpr int kDefaultWindowHeight = 720;

enum class CommandLineAction { kRun, kHelp, kVersion, kListDisplays, kRefuse };

// quorvane's own: --window[=WxH], --display N, --fullscreen WxH, --vsync on|off,
// --loop, --list-displays, --help, --version. kRefuse with `error` saying
// what is wrong.
CommandLineAction ParsePieceArguments(int argc, const char* const* argv, ShowOptions& options,
                                      std::string& error);

// The XScreenSaver display mode's: --root, --window-id ID, --sound (one or two
// leading dashes, as hacks accept them). `environmentWindow` is the value of
// XSCREENSAVER_WINDOW, or null. It always loops and is silent unless asked.
CommandLineAction ParseHackArguments(int argc, const char* const* argv,
                                     const char* environmentWindow, ShowOptions& options,
                                     std::string& error);

// A Windows screen saver's: /s shows it, /p HWND previews it inside that
// window, /c[:HWND] (and no argument at all) asks for its settings.
enum class SaverAction { kShow, kPreview, kConfigure, kRefuse };
SaverAction ParseSaverArguments(int argc, const char* const* argv, ShowOptions& options,
                                uint64_t& ownerWindow, std::string& error);
