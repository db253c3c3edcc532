#include "host/atlas.h"

#include <cstdio>
#include <cstring>

#include "gl/gl_subset.h"
#include "gl/glu_subset.h"
#include "host/asset_file.h"

uint32_t atlasTexture = 0;
unsigned char atlasPixels[kAtlasPixelBytes];

Result LoadTextureAtlas(const char* path) {
  GLuint name = 0;
  glGenTextures(1, &name);
  atlasTexture = name;
  glBindTexture(GL_TEXTURE_2D, atlasTexture);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));

  // No header field is examined: whatever the file announces, it is read as
  // 18 bytes of header and 1024 x 1024 blue-green-red-alpha pixels. A folder
  // or FIFO of that name cannot be opened, as on Windows: no image.
  std::FILE* file = nullptr;
  if (Result opened = OpenAssetFile(path, file); !opened) return opened;
  unsigned char header[kAtlasHeaderBytes];
  // What a short file lacks must read as transparent black, also when a
  // process loads more than once (tests, tools).
  std::memset(atlasPixels, 0, sizeof atlasPixels);
  if (std::fread(header, 1, sizeof header, file) == sizeof header)
    std::fread(atlasPixels, 1, sizeof atlasPixels, file);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glEnable(GL_TEXTURE_2D);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, kAtlasSize, kAtlasSize, GL_BGRA, GL_UNSIGNED_BYTE,
                    atlasPixels);
  glDisable(GL_TEXTURE_2D);
  std::fclose(file);
  return {};
}
