#include "host/atlas.h"

#include <GL/gl.h>

#include <vector>

#include "scene/backdrop.h"
#include "tests/host/gl_surface.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kLevels = 11;

class HostAtlas : public GlSurfaceTest {
 protected:
  TempWorkingDirectory folder;

  // Loads `file` as TEX.tga (or no file at all) and checks what every case shares.
  void Load(const std::vector<unsigned char>* file) {
    if (file != nullptr) {
      ASSERT_TRUE(WriteFileBytes("TEX.tga", *file));
    }
    LoadTextureAtlas();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(atlasTexture, 0u);
    EXPECT_EQ(static_cast<GLuint>(bound), atlasTexture);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

  // Level 0 read back as RGBA, row 0 (t = 0) first.
  std::vector<unsigned char> Level0() {
    std::vector<unsigned char> rgba(kAtlasPixelBytes);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

  GLint LevelWidth(int level) {
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
  }

  GLint TexParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
  }
};

// A file whose every pixel byte differs from its neighbours', behind a header
// that announces a run-length coded 7 x 3 picture with an identification field.
std::vector<unsigned char> PatternFile(size_t pixelBytes) {
  std::vector<unsigned char> file(kAtlasHeaderBytes + pixelBytes);
  file[0] = 12;
  file[2] = 10;
  file[12] = 7;
  file[14] = 3;
  file[16] = 24;
  for (size_t i = 0; i < pixelBytes; ++i)
    file[kAtlasHeaderBytes + i] = static_cast<unsigned char>((i * 7 + i / 4096) % 251 + 1);
  return file;
}

TEST_F(HostAtlas, PixelsLoadAsStoredFromTheFirstRowUpWhateverTheHeaderSays) {
  const std::vector<unsigned char> file = PatternFile(kAtlasPixelBytes);
  Load(&file);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  GLint internalFormat = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
  EXPECT_EQ(internalFormat, GL_RGBA8);
  EXPECT_EQ(LevelWidth(0), kAtlasSize);
  EXPECT_EQ(LevelWidth(kLevels - 1), 1);

  const std::vector<unsigned char> rgba = Level0();
  for (int row : {0, 1, 511, 1023}) {
    for (int column : {0, 1, 700, 1023}) {
      const size_t texel = (static_cast<size_t>(row) * kAtlasSize + column) * 4;
      const unsigned char* stored = &file[kAtlasHeaderBytes + texel];
      SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
      EXPECT_EQ(rgba[texel + 0], stored[2]);  // red
      EXPECT_EQ(rgba[texel + 1], stored[1]);  // green
      EXPECT_EQ(rgba[texel + 2], stored[0]);  // blue
      EXPECT_EQ(rgba[texel + 3], stored[3]);  // alpha
    }
  }
}

TEST_F(HostAtlas, ShortFilesLeaveTheRestTransparentBlackWithAFullMipmapChain) {
  // A longer file first, so that leftovers of it would show.
  const std::vector<unsigned char> full = PatternFile(kAtlasPixelBytes);
  Load(&full);

  const std::vector<unsigned char> headerOnly(kAtlasHeaderBytes, 0x55);
  Load(&headerOnly);
  EXPECT_EQ(LevelWidth(kLevels - 1), 1);
  EXPECT_EQ(LevelWidth(kLevels), 0);
  std::vector<unsigned char> rgba = Level0();
  EXPECT_EQ(std::vector<unsigned char>(kAtlasPixelBytes, 0), rgba);

  const std::vector<unsigned char> halfRow = PatternFile(2048);
  Load(&halfRow);
  rgba = Level0();
  for (int column = 0; column < 512; ++column)
    ASSERT_NE(rgba[column * 4 + 3], 0) << "column " << column;
  for (size_t i = 512 * 4; i < rgba.size(); ++i) ASSERT_EQ(rgba[i], 0) << "byte " << i;

  const std::vector<unsigned char> tooShortForHeader(10, 0x55);
  Load(&tooShortForHeader);
  EXPECT_EQ(std::vector<unsigned char>(kAtlasPixelBytes, 0), Level0());
}

TEST_F(HostAtlas, BytesBeyondTheImageAreIgnored) {
  std::vector<unsigned char> file = PatternFile(kAtlasPixelBytes);
  Load(&file);
  const std::vector<unsigned char> exact = Level0();
  file.insert(file.end(), 5000, 0xEE);
  Load(&file);
  EXPECT_EQ(exact, Level0());
}

TEST_F(HostAtlas, MissingFileLeavesAnEmptyLinearTextureAndTexturedPassesUntextured) {
  Load(nullptr);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(LevelWidth(0), 0);

  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawBackdropQuad(-1.0f, 1.0f, -1.0f, 1.0f, 0.4f, 1.0f, 1.0f, 0.0f);
  const std::vector<unsigned char> picture = ReadPixels();
  for (size_t i = 0; i < picture.size(); ++i) ASSERT_EQ(picture[i], 255) << "byte " << i;
}

}  // namespace
