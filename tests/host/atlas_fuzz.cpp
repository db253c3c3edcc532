// The atlas reader on files of any length and content. The GL below it keeps
// what it is handed, so that each load is checked against the file: the
// texture holds the file's bytes after its 18-byte header, transparent black
// where the file ends early (also after a longer file was loaded), and the
// reader leaves its texture bound and texturing off.
#include <algorithm>
#include <cstring>

#include "gl/gl_subset.h"
#include "gl/glu_subset.h"
#include "host/atlas.h"
#include "tests/support/fuzz_target.h"

namespace {

GLuint boundTexture = 0;
bool texturing = false;
int uploads = 0;
const unsigned char* uploaded = nullptr;

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* textures) {
  static GLuint next = 0;
  for (GLsizei i = 0; i < n; ++i) textures[i] = ++next;
}
void glBindTexture(GLenum, GLuint texture) { boundTexture = texture; }
void glTexParameterf(GLenum, GLenum, GLfloat) {}
void glTexParameteri(GLenum, GLenum, GLint) {}
void glEnable(GLenum cap) { texturing = texturing || cap == GL_TEXTURE_2D; }
void glDisable(GLenum cap) { texturing = texturing && cap != GL_TEXTURE_2D; }

GLint gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void* data) {
  FuzzExpect(target == GL_TEXTURE_2D && width == kAtlasSize && height == kAtlasSize &&
                 format == GL_BGRA && type == GL_UNSIGNED_BYTE,
             "the atlas is uploaded as something other than 1024x1024 BGRA bytes");
  FuzzExpect(texturing, "mipmaps built with texturing off");
  ++uploads;
  uploaded = static_cast<const unsigned char*>(data);
  return 0;
}

}  // extern "C"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uploads = 0;
  FuzzExpect(static_cast<bool>(LoadTextureAtlas(FuzzInputFile(data, size).c_str())),
             "a readable file is refused");
  FuzzExpect(uploads == 1, "a readable file is not uploaded exactly once");
  FuzzExpect(boundTexture == atlasTexture && boundTexture != 0, "the atlas is not left bound");
  FuzzExpect(!texturing, "texturing is left on");
  const size_t fromFile =
      size > kAtlasHeaderBytes ? std::min<size_t>(size - kAtlasHeaderBytes, kAtlasPixelBytes) : 0;
  FuzzExpect(fromFile == 0 || std::memcmp(uploaded, data + kAtlasHeaderBytes, fromFile) == 0,
             "the texture differs from the file's pixels");
  static const unsigned char zeros[kAtlasPixelBytes] = {};
  FuzzExpect(std::memcmp(uploaded + fromFile, zeros, kAtlasPixelBytes - fromFile) == 0,
             "pixels past the file's end are not transparent black");
  return 0;
}
