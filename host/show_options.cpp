#include "host/show_options.h"

#include <cctype>
#include <string_view>

#include "base/parse_number.h"

namespace {

using Kind = ScreenRequest::Kind;

constexpr int kLargestDisplayIndex = 63;

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text).push_back('\'');
  return quoted;
}

bool ParseSide(std::string_view text, int& side) {
  long long value = 0;
  if (!ParseWhole(text, value) || value < 1 || value > kLargestSide) return false;
  side = static_cast<int>(value);
  return true;
}

// WIDTHxHEIGHT, each side from 1 to kLargestSide.
bool ParseSize(std::string_view text, int& width, int& height) {
  const size_t x = text.find_first_of("xX");
  return x != std::string_view::npos && ParseSide(text.substr(0, x), width) &&
         ParseSide(text.substr(x + 1), height);
}

// A window handle as programs pass them: decimal, or hexadecimal after 0x.
bool ParseWindowHandle(std::string_view text, uint64_t& handle) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2), handle) && handle != 0;
  long long value = 0;
  if (!ParseWhole(text, value) || value <= 0) return false;
  handle = static_cast<uint64_t>(value);
  return true;
}

// Walks argv as "--name value" and "--name=value".
struct ArgumentReader {
  int argc;
  const char* const* argv;
  int next = 1;

  bool Done() const { return next >= argc; }
  // The next argument, split at its first '=' when it starts with a dash.
  std::string_view Take(std::string_view& attached, bool& hasAttached) {
    std::string_view argument = argv[next++];
    hasAttached = false;
    const size_t equals = argument.find('=');
    if (argument.starts_with('-') && equals != std::string_view::npos) {
      attached = argument.substr(equals + 1);
      hasAttached = true;
      return argument.substr(0, equals);
    }
    return argument;
  }
  // The value of `name`: attached, or the next argument.
  bool Value(std::string_view name, std::string_view attached, bool hasAttached,
             std::string_view& value, std::string& error) {
    if (hasAttached) {
      value = attached;
      return true;
    }
    if (Done()) {
      error = std::string(name) + " needs a value";
      return false;
    }
    value = argv[next++];
    return true;
  }
  // An optional value: attached, or a next argument that is not an option.
  bool OptionalValue(std::string_view attached, bool hasAttached, std::string_view& value) {
    if (hasAttached) {
      value = attached;
      return true;
    }
    if (Done() || std::string_view(argv[next]).starts_with('-')) return false;
    value = argv[next++];
    return true;
  }
};

std::string UnknownArgument(std::string_view argument) {
  return "unknown argument " + Quoted(argument);
}

// "--loop=yes": an option without a value given one is refused, not read as
// the option alone.
bool RefusesValue(std::string_view name, bool hasAttached, std::string& error) {
  if (hasAttached) error = std::string(name) + " takes no value";
  return hasAttached;
}

}  // namespace

CommandLineAction ParsePieceArguments(int argc, const char* const* argv, ShowOptions& options,
                                      std::string& error) {
  ArgumentReader reader{argc, argv};
  CommandLineAction action = CommandLineAction::kRun;
  bool window = false;
  bool modeSwitch = false;
  ScreenRequest& screen = options.screen;
  while (!reader.Done()) {
    std::string_view attached;
    bool hasAttached = false;
    const std::string_view name = reader.Take(attached, hasAttached);
    std::string_view value;
    const bool flag = name == "-h" || name == "--help" || name == "--version" ||
                      name == "--list-displays" || name == "--loop";
    if (flag && RefusesValue(name, hasAttached, error)) return CommandLineAction::kRefuse;
    if (name == "-h" || name == "--help") {
      action = CommandLineAction::kHelp;
    } else if (name == "--version") {
      if (action != CommandLineAction::kHelp) action = CommandLineAction::kVersion;
    } else if (name == "--list-displays") {
      if (action == CommandLineAction::kRun) action = CommandLineAction::kListDisplays;
    } else if (name == "--loop") {
      options.loop = true;
    } else if (name == "--window") {
      window = true;
      screen.width = kDefaultWindowWidth;
      screen.height = kDefaultWindowHeight;
      if (reader.OptionalValue(attached, hasAttached, value) &&
          !ParseSize(value, screen.width, screen.height)) {
        error = "--window takes a size WIDTHxHEIGHT, each from 1 to " +
                std::to_string(kLargestSide) + ", not " + Quoted(value);
        return CommandLineAction::kRefuse;
      }
    } else if (name == "--fullscreen") {
      modeSwitch = true;
      if (!reader.Value(name, attached, hasAttached, value, error))
        return CommandLineAction::kRefuse;
      if (!ParseSize(value, screen.width, screen.height)) {
        error = "--fullscreen takes a display mode WIDTHxHEIGHT, each from 1 to " +
                std::to_string(kLargestSide) + ", not " + Quoted(value);
        return CommandLineAction::kRefuse;
      }
    } else if (name == "--display") {
      if (!reader.Value(name, attached, hasAttached, value, error))
        return CommandLineAction::kRefuse;
      long long index = 0;
      if (!ParseWhole(value, index) || index < 0 || index > kLargestDisplayIndex) {
        error = "--display takes a display number from 0 to " +
                std::to_string(kLargestDisplayIndex) + " (--list-displays names them), not " +
                Quoted(value);
        return CommandLineAction::kRefuse;
      }
      screen.display = static_cast<int>(index);
    } else if (name == "--vsync") {
      if (!reader.Value(name, attached, hasAttached, value, error))
        return CommandLineAction::kRefuse;
      if (value == "on") {
        screen.vsync = ScreenRequest::Vsync::kOn;
      } else if (value == "off") {
        screen.vsync = ScreenRequest::Vsync::kOff;
      } else {
        error = "--vsync takes on or off, not " + Quoted(value);
        return CommandLineAction::kRefuse;
      }
    } else {
      error = UnknownArgument(argv[reader.next - 1]);
      return CommandLineAction::kRefuse;
    }
  }
  if (window && modeSwitch) {
    error = "--window and --fullscreen do not go together: a window, or the whole screen";
    return CommandLineAction::kRefuse;
  }
  screen.kind = window ? Kind::kWindow : modeSwitch ? Kind::kModeSwitch : Kind::kDesktop;
  return action;
}

CommandLineAction ParseHackArguments(int argc, const char* const* argv,
                                     const char* environmentWindow, ShowOptions& options,
                                     std::string& error) {
  ArgumentReader reader{argc, argv};
  bool root = false;
  bool windowGiven = false;
  uint64_t window = 0;
  options.loop = true;
  options.music = false;
  while (!reader.Done()) {
    std::string_view attached;
    bool hasAttached = false;
    std::string_view name = reader.Take(attached, hasAttached);
    if (name.starts_with("--")) name.remove_prefix(1);
    std::string_view value;
    const bool flag = name == "-h" || name == "-help" || name == "-version" || name == "-root" ||
                      name == "-sound";
    if (flag && RefusesValue(name, hasAttached, error)) return CommandLineAction::kRefuse;
    if (name == "-h" || name == "-help") return CommandLineAction::kHelp;
    if (name == "-version") return CommandLineAction::kVersion;
    if (name == "-root") {
      root = true;
    } else if (name == "-sound") {
      options.music = true;
    } else if (name == "-window-id") {
      if (!reader.Value("--window-id", attached, hasAttached, value, error))
        return CommandLineAction::kRefuse;
      if (!ParseWindowHandle(value, window)) {
        error = "--window-id takes a window id, decimal or 0x-hexadecimal, not " + Quoted(value);
        return CommandLineAction::kRefuse;
      }
      windowGiven = true;
    } else {
      error = UnknownArgument(argv[reader.next - 1]);
      return CommandLineAction::kRefuse;
    }
  }
  // XScreenSaver names its window in the environment, and may add --root too.
  if (!windowGiven && environmentWindow && *environmentWindow) {
    if (!ParseWindowHandle(environmentWindow, window)) {
      error = "XSCREENSAVER_WINDOW holds no window id: " + Quoted(environmentWindow);
      return CommandLineAction::kRefuse;
    }
    windowGiven = true;
  }
  ScreenRequest& screen = options.screen;
  if (windowGiven || root) {
    screen.kind = Kind::kInside;
    screen.inside = window;  // 0: the root window
    screen.ending = ScreenRequest::Ending::kNothing;
  } else {
    // Started by hand: a window of its own to look at, as other hacks do.
    screen.kind = Kind::kWindow;
    screen.width = kDefaultWindowWidth;
    screen.height = kDefaultWindowHeight;
  }
  return CommandLineAction::kRun;
}

SaverAction ParseSaverArguments(int argc, const char* const* argv, ShowOptions& options,
                                uint64_t& ownerWindow, std::string& error) {
  ownerWindow = 0;
  options.loop = true;
  options.music = false;
  // No argument: what Windows runs for the screen saver's "Settings".
  if (argc < 2) return SaverAction::kConfigure;
  std::string_view flag = argv[1];
  if (flag.size() < 2 || (flag[0] != '/' && flag[0] != '-')) {
    error = UnknownArgument(flag);
    return SaverAction::kRefuse;
  }
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(flag[1])));
  // The window handle follows after a colon or as the next argument.
  std::string_view handle;
  int used = 2;
  if (flag.size() > 2 && flag[2] == ':') {
    handle = flag.substr(3);
  } else if (flag.size() > 2) {
    error = UnknownArgument(flag);
    return SaverAction::kRefuse;
  } else if (argc > 2) {
    handle = argv[2];
    used = 3;
  }
  if (argc > used) {
    error = UnknownArgument(argv[used]);
    return SaverAction::kRefuse;
  }
  switch (letter) {
    case 's':
      if (!handle.empty()) break;
      options.screen.ending = ScreenRequest::Ending::kAnyInput;
      return SaverAction::kShow;
    case 'p':
      if (!ParseWindowHandle(handle, options.screen.inside)) {
        error = "/p takes the window to preview in, not " + Quoted(handle);
        return SaverAction::kRefuse;
      }
      options.screen.kind = Kind::kInside;
      options.screen.ending = ScreenRequest::Ending::kNothing;
      return SaverAction::kPreview;
    case 'c':
      if (!handle.empty() && !ParseWindowHandle(handle, ownerWindow)) {
        error = "/c takes the window of the settings dialog, not " + Quoted(handle);
        return SaverAction::kRefuse;
      }
      return SaverAction::kConfigure;
  }
  error = UnknownArgument(used == 3 ? std::string(flag) + " " + argv[2] : std::string(flag));
  return SaverAction::kRefuse;
}
