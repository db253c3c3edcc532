// The command lines of the piece, its XScreenSaver display mode and its
// Windows screen saver: what each accepted form asks for, and that every bad
// one is refused with a message naming what is wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/show_options.h"

namespace {

using Kind = ScreenRequest::Kind;
using Args = std::vector<const char*>;

struct Parsed {
  CommandLineAction action;
  ShowOptions options;
  std::string error;
};

Parsed Piece(Args args) {
  args.insert(args.begin(), "quorvane");
  Parsed p{};
  p.action = ParsePieceArguments(static_cast<int>(args.size()), args.data(), p.options, p.error);
  return p;
}

Parsed Hack(Args args, const char* environment = nullptr) {
  args.insert(args.begin(), "quorvane-screensaver");
  Parsed p{};
  p.action = ParseHackArguments(static_cast<int>(args.size()), args.data(), environment, p.options,
                                p.error);
  return p;
}

TEST(ShowOptions, NoArgumentIsThePieceAsItAlwaysWas) {
  const Parsed p = Piece({});
  EXPECT_EQ(p.action, CommandLineAction::kRun);
  EXPECT_EQ(p.options.screen.kind, Kind::kDesktop);
  EXPECT_EQ(p.options.screen.display, 0);
  EXPECT_EQ(p.options.screen.vsync, ScreenRequest::Vsync::kDriver);
  EXPECT_EQ(p.options.screen.ending, ScreenRequest::Ending::kEscape);
  EXPECT_FALSE(p.options.loop);
  EXPECT_TRUE(p.options.music);
}

TEST(ShowOptions, PieceFormsAskForTheirScreen) {
  struct Case {
    Args args;
    Kind kind;
    int width, height, display;
    bool loop;
  };
  const Case cases[] = {
      {{"--window"}, Kind::kWindow, 1280, 720, 0, false},
      {{"--window", "640x360"}, Kind::kWindow, 640, 360, 0, false},
      {{"--window=800X600"}, Kind::kWindow, 800, 600, 0, false},
      // A next argument that is an option is not the window's size.
      {{"--window", "--loop"}, Kind::kWindow, 1280, 720, 0, true},
      {{"--display", "1"}, Kind::kDesktop, 0, 0, 1, false},
      {{"--display=2", "--window", "1x1"}, Kind::kWindow, 1, 1, 2, false},
      {{"--fullscreen", "1920x1080", "--display", "1", "--loop"},
       Kind::kModeSwitch,
       1920,
       1080,
       1,
       true},
      {{"--fullscreen=16384x16384"}, Kind::kModeSwitch, 16384, 16384, 0, false},
  };
  for (const Case& c : cases) {
    const Parsed p = Piece(c.args);
    SCOPED_TRACE(c.args[0]);
    ASSERT_EQ(p.action, CommandLineAction::kRun) << p.error;
    EXPECT_EQ(p.options.screen.kind, c.kind);
    EXPECT_EQ(p.options.screen.width, c.width);
    EXPECT_EQ(p.options.screen.height, c.height);
    EXPECT_EQ(p.options.screen.display, c.display);
    EXPECT_EQ(p.options.loop, c.loop);
  }
  EXPECT_EQ(Piece({"--vsync", "on"}).options.screen.vsync, ScreenRequest::Vsync::kOn);
  EXPECT_EQ(Piece({"--vsync=off"}).options.screen.vsync, ScreenRequest::Vsync::kOff);
  // Help wins over anything beside it; a listing over a run.
  EXPECT_EQ(Piece({"--version", "--help"}).action, CommandLineAction::kHelp);
  EXPECT_EQ(Piece({"--loop", "--list-displays"}).action, CommandLineAction::kListDisplays);
}

TEST(ShowOptions, BadPieceFormsAreRefusedWithWhatIsWrong) {
  struct Case {
    Args args;
    const char* said;
  };
  const Case cases[] = {
      {{"--window", "0x0"}, "'0x0'"},
      {{"--window", "640x"}, "'640x'"},
      {{"--window=640x360x2"}, "'640x360x2'"},
      {{"--window=16385x10"}, "from 1 to 16384"},
      {{"--window="}, "''"},
      {{"--fullscreen", "99999x1"}, "'99999x1'"},
      {{"--fullscreen"}, "--fullscreen needs a value"},
      {{"--fullscreen", " 800x600"}, "' 800x600'"},
      {{"--display", "-1"}, "'-1'"},
      {{"--display", "one"}, "'one'"},
      {{"--display", "64"}, "'64'"},
      {{"--display"}, "--display needs a value"},
      {{"--vsync", "yes"}, "on or off"},
      {{"--loop=yes"}, "--loop takes no value"},
      {{"--help=me"}, "--help takes no value"},
      {{"--window", "--fullscreen", "800x600"}, "do not go together"},
      {{"--root"}, "unknown argument '--root'"},
      {{"junk"}, "unknown argument 'junk'"},
  };
  for (const Case& c : cases) {
    const Parsed p = Piece(c.args);
    SCOPED_TRACE(c.args[0]);
    EXPECT_EQ(p.action, CommandLineAction::kRefuse);
    EXPECT_NE(p.error.find(c.said), std::string::npos) << p.error;
  }
}

TEST(ShowOptions, HackDrawsWhereXScreenSaverSaysLoopingAndSilent) {
  Parsed p = Hack({"--root"}, "0x1a00007");
  ASSERT_EQ(p.action, CommandLineAction::kRun) << p.error;
  EXPECT_EQ(p.options.screen.kind, Kind::kInside);
  EXPECT_EQ(p.options.screen.inside, 0x1a00007u);
  EXPECT_EQ(p.options.screen.ending, ScreenRequest::Ending::kNothing);
  EXPECT_TRUE(p.options.loop);
  EXPECT_FALSE(p.options.music);
  // An id given on the command line wins over the environment's.
  p = Hack({"-window-id", "4242", "-sound"}, "0x1a00007");
  EXPECT_EQ(p.options.screen.inside, 4242u);
  EXPECT_TRUE(p.options.music);
  EXPECT_EQ(Hack({"--window-id=0X10"}).options.screen.inside, 16u);
  // --root with no window named: the root window itself.
  p = Hack({"-root"});
  EXPECT_EQ(p.options.screen.kind, Kind::kInside);
  EXPECT_EQ(p.options.screen.inside, 0u);
  // Started by hand: a window of its own that Escape ends.
  p = Hack({}, "");
  EXPECT_EQ(p.options.screen.kind, Kind::kWindow);
  EXPECT_EQ(p.options.screen.ending, ScreenRequest::Ending::kEscape);
  EXPECT_EQ(Hack({"--help"}).action, CommandLineAction::kHelp);
}

TEST(ShowOptions, BadHackFormsAreRefused) {
  const Parsed cases[] = {
      Hack({"--window-id", "0"}), Hack({"--window-id", "0x"}), Hack({"--window-id", "0xg1"}),
      Hack({"--window-id"}),      Hack({"--root=1"}),          Hack({"--loop"}),
      Hack({}, "not a window"),   Hack({"--root"}, "-5"),
  };
  for (const Parsed& p : cases) {
    EXPECT_EQ(p.action, CommandLineAction::kRefuse);
    EXPECT_FALSE(p.error.empty());
  }
}

TEST(ShowOptions, ScreenSaverFollowsTheWindowsConventions) {
  struct Case {
    Args args;
    SaverAction action;
    uint64_t inside;  // the preview's window
    uint64_t owner;   // the settings dialog's
  };
  const Case cases[] = {
      {{}, SaverAction::kConfigure, 0, 0},
      {{"/s"}, SaverAction::kShow, 0, 0},
      {{"/S"}, SaverAction::kShow, 0, 0},
      {{"-s"}, SaverAction::kShow, 0, 0},
      {{"/p", "1234"}, SaverAction::kPreview, 1234, 0},
      {{"/p:0x4d2"}, SaverAction::kPreview, 1234, 0},
      {{"/c"}, SaverAction::kConfigure, 0, 0},
      {{"/c:987"}, SaverAction::kConfigure, 0, 987},
      {{"/p"}, SaverAction::kRefuse, 0, 0},
      {{"/p", "window"}, SaverAction::kRefuse, 0, 0},
      {{"/s", "12"}, SaverAction::kRefuse, 0, 0},
      {{"/x"}, SaverAction::kRefuse, 0, 0},
      {{"/save"}, SaverAction::kRefuse, 0, 0},
      {{"s"}, SaverAction::kRefuse, 0, 0},
      {{"/p", "12", "extra"}, SaverAction::kRefuse, 0, 0},
  };
  for (const Case& c : cases) {
    Args args = c.args;
    args.insert(args.begin(), "quorvane.scr");
    ShowOptions options;
    uint64_t owner = 0;
    std::string error;
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    EXPECT_EQ(
        ParseSaverArguments(static_cast<int>(args.size()), args.data(), options, owner, error),
        c.action);
    EXPECT_EQ(error.empty(), c.action != SaverAction::kRefuse) << error;
    EXPECT_TRUE(options.loop);
    EXPECT_FALSE(options.music);
    if (c.action == SaverAction::kPreview) {
      EXPECT_EQ(options.screen.kind, Kind::kInside);
      EXPECT_EQ(options.screen.inside, c.inside);
      EXPECT_EQ(options.screen.ending, ScreenRequest::Ending::kNothing);
    }
    if (c.action == SaverAction::kShow) {
      EXPECT_EQ(options.screen.kind, Kind::kDesktop);
      EXPECT_EQ(options.screen.ending, ScreenRequest::Ending::kAnyInput);
    }
    EXPECT_EQ(owner, c.owner);
  }
}

}  // namespace
