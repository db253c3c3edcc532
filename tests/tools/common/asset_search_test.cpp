#include "tools/common/asset_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_folder.h"

namespace {

// The working directory, then the installed data folder, per file: an
// installed copy's tools run from anywhere, a build's from build/.
TEST(ToolsAssetSearch, WorkingDirectoryFirstThenInstalledFolder) {
  TempWorkingDirectory here;
  ASSERT_EQ(mkdir("installed", 0755), 0);
  ASSERT_TRUE(WriteFileBytes("installed/TEX.tga", {1}));
  ASSERT_TRUE(WriteFileBytes("installed/RX_muc.mp3", {2}));
  ASSERT_TRUE(WriteFileBytes("RX_muc.mp3", {3}));

  EXPECT_EQ(FindAssetFile("TEX.tga", "installed"), "installed/TEX.tga");
  EXPECT_EQ(FindAssetFile("RX_muc.mp3", "installed"), "RX_muc.mp3");
}

// A missing file keeps its bare name, so that the reader's message names what
// the user would put in the working directory.
TEST(ToolsAssetSearch, MissingEverywhereGivesTheBareName) {
  TempWorkingDirectory here;
  ASSERT_EQ(mkdir("installed", 0755), 0);
  EXPECT_EQ(FindAssetFile("TEX.tga", "installed"), "TEX.tga");
  EXPECT_EQ(FindAssetFile("TEX.tga", ""), "TEX.tga");
  EXPECT_EQ(FindAssetFile("TEX.tga", "no-such-folder"), "TEX.tga");
}

// Whatever stands under the name in the working directory is the user's (a
// folder, an unreadable file): it is not passed over for the installed copy,
// and the reader reports it as it reports it for the piece.
TEST(ToolsAssetSearch, SomethingInTheWorkingDirectoryIsNotPassedOver) {
  TempWorkingDirectory here;
  ASSERT_EQ(mkdir("installed", 0755), 0);
  ASSERT_TRUE(WriteFileBytes("installed/TEX.tga", {1}));
  ASSERT_EQ(mkdir("TEX.tga", 0755), 0);
  EXPECT_EQ(FindAssetFile("TEX.tga", "installed"), "TEX.tga");
}

}  // namespace
