#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/capture/tool_process.h"

inline const std::string kTool = QUORVANE_CAPTURE_TOOL;
inline const std::string kJoinTool = QUORVANE_JOIN_TOOL;
inline const std::string kAssets = QUORVANE_ASSET_DIR;

// Each test of the capture programs runs them in a fresh folder that holds
// the two asset files.
class CaptureTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvane-capture-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    for (const char* asset : {"TEX.tga", "RX_muc.mp3"}) {
      ASSERT_TRUE(std::filesystem::exists(kAssets + "/" + asset))
          << asset << " has not been generated";
      std::filesystem::create_symlink(kAssets + "/" + asset, folder + "/" + asset);
    }
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  ToolRun Capture(std::vector<std::string> arguments,
                  const std::vector<std::string>& environment = {}) {
    arguments.insert(arguments.begin(), kTool);
    return RunTool(folder, arguments, environment);
  }
  ToolRun Join(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), kJoinTool);
    return RunTool(folder, arguments);
  }
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.insert(entry.path().filename());
    return names;
  }
  std::string Probe(const std::string& file, const std::string& stream, const std::string& entry) {
    std::string value =
        CommandOutput("ffprobe -v error -count_frames -select_streams " + stream +
                      " -show_entries stream=" + entry + " -of csv=p=0 " + folder + "/" + file);
    value.erase(std::remove(value.begin(), value.end(), '\n'), value.end());
    return value;
  }
  std::string FrameHashes(const std::string& file, const std::string& streams = "") {
    return CommandOutput("ffmpeg -v error -i " + folder + "/" + file + streams + " -f framemd5 -");
  }

  const std::set<std::string> assetsOnly = {"TEX.tga", "RX_muc.mp3"};
  std::string folder;
};
