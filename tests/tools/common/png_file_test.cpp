#include "tools/common/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

TEST(ToolsPngFile, WrittenPixelsReadBackTopRowFirst) {
  TempWorkingDirectory folder;
  const int width = 5, height = 3;
  std::vector<unsigned char> rgba(width * height * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<unsigned char>(i * 13 + 1);
  const Result written = WritePngFile("picture.png", rgba.data(), width, height);
  ASSERT_TRUE(written) << written.error;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, "picture.png"));
  EXPECT_EQ(image.width, static_cast<png_uint_32>(width));
  EXPECT_EQ(image.height, static_cast<png_uint_32>(height));
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> back(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
  EXPECT_EQ(back, rgba);
}

TEST(ToolsPngFile, FailuresAreReportedAndLeaveNoFile) {
  TempWorkingDirectory folder;
  const unsigned char pixel[4] = {1, 2, 3, 4};
  std::ofstream("a-file") << "not a folder";
  EXPECT_EQ(WritePngFile("a-file/picture.png", pixel, 1, 1).error,
            "cannot write 'a-file/picture.png': Not a directory");
  EXPECT_FALSE(WritePngFile("empty.png", pixel, 0, 1));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
}

// Frames inside a capture's temporary folder: the same bytes, written in place.
TEST(ToolsPngFile, InAFolderTheSameBytesAreWrittenWithoutReplacingAnything) {
  TempWorkingDirectory folder;
  std::vector<unsigned char> rgba(4 * 3 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<unsigned char>(i * 29);
  ASSERT_TRUE(WritePngFile("atomic.png", rgba.data(), 4, 3));
  ASSERT_TRUE(WritePngInFolder("direct.png", rgba.data(), 4, 3));
  std::ifstream atomic("atomic.png", std::ios::binary);
  std::ifstream direct("direct.png", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(atomic), {}),
            std::string(std::istreambuf_iterator<char>(direct), {}));

  EXPECT_EQ(WritePngInFolder("direct.png", rgba.data(), 4, 3).error,
            "cannot write 'direct.png': File exists");
  EXPECT_FALSE(WritePngInFolder("missing-folder/direct.png", rgba.data(), 4, 3));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
}

}  // namespace
