// Texture objects pass through to ES 2; gluBuild2DMipmaps filters every
// level itself, as GLU does, and uploads them one by one.

#include <cstring>
#include <memory>
#include <new>

#include "gl/gles/es2_api.h"
#include "gl/gles/fixed_function.h"
#include "gl/gles/mipmap_filter.h"
#include "gl/glu_subset.h"

namespace {

constexpr int kMaxTextureSide = 16384;
constexpr int kMaxTexturesWithImages = 16;

GLuint texturesWithImages[kMaxTexturesWithImages];
int texturesWithImagesCount = 0;

void NoteImagesOfBoundTexture() {
  if (BoundTextureHasImages() || texturesWithImagesCount == kMaxTexturesWithImages) return;
  texturesWithImages[texturesWithImagesCount++] = fixedFunction.boundTexture;
}

bool IsPowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

void Upload(int level, int width, int height, const unsigned char* rgba) {
  es2.texImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

}  // namespace

bool BoundTextureHasImages() {
  for (int i = 0; i < texturesWithImagesCount; ++i)
    if (texturesWithImages[i] == fixedFunction.boundTexture) return true;
  return false;
}

void ForgetTextureImages() { texturesWithImagesCount = 0; }

extern "C" {

void glGenTextures(GLsizei n, GLuint* textures) {
  if (es2Ready) es2.genTextures(n, textures);
}

void glBindTexture(GLenum target, GLuint texture) {
  if (target != GL_TEXTURE_2D) {
    ReportUnsupported("glBindTexture target", target);
    return;
  }
  fixedFunction.boundTexture = texture;
  if (es2Ready) es2.bindTexture(target, texture);
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
  if (es2Ready) es2.texParameterf(target, pname, param);
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  if (es2Ready) es2.texParameteri(target, pname, param);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
  if (target != GL_TEXTURE_2D || (internalFormat != GL_RGBA8 && internalFormat != GL_RGBA) ||
      (format != GL_BGRA && format != GL_RGBA) || type != GL_UNSIGNED_BYTE) {
    ReportUnsupported(
        "gluBuild2DMipmaps other than GL_TEXTURE_2D, GL_RGBA8 or GL_RGBA from GL_BGRA or GL_RGBA "
        "bytes; format",
        format);
    return GLU_INVALID_ENUM;
  }
  // Other sizes would need GLU's rescaling, which the piece never asks for.
  if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height) || width > kMaxTextureSide ||
      height > kMaxTextureSide) {
    ReportUnsupported("gluBuild2DMipmaps with a side other than a power of two up to 16384, width",
                      static_cast<unsigned>(width));
    return GLU_INVALID_VALUE;
  }
  if (data == nullptr) return GLU_INVALID_VALUE;
  if (!es2Ready) return 0;

  const int pixelCount = width * height;
  // Once per texture, at start-up; never in a frame.
  std::unique_ptr<unsigned char[]> level(new (std::nothrow) unsigned char[pixelCount * 4]);
  if (level == nullptr) return GLU_OUT_OF_MEMORY;
  std::memcpy(level.get(), data, static_cast<size_t>(pixelCount) * 4);
  // ES 2 takes no BGRA; the filter works per channel, so swapping first is the same.
  if (format == GL_BGRA) SwapRedAndBlue(level.get(), pixelCount);

  Upload(0, width, height, level.get());
  for (int n = 1; width > 1 || height > 1; ++n) {
    HalveImageInPlace(level.get(), width, height, 4);
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    Upload(n, width, height, level.get());
  }
  NoteImagesOfBoundTexture();
  return 0;
}

}  // extern "C"
