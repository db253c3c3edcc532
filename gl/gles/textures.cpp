// Texture objects. The layer owns their names and maps each to an ES 2
// texture, keeping its parameters and its level-0 image, so that a new
// context can be given every texture the scene holds. gluBuild2DMipmaps
// filters every level itself, as GLU does, and uploads them one by one.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "gl/gles/layer.h"
#include "gl/gles/mipmap_filter.h"
#include "gl/glu_subset.h"

namespace gles {

namespace {

constexpr GLint kNearest = 0x2600;
constexpr GLint kNearestMipmapNearest = 0x2700;
constexpr GLint kRepeat = 0x2901;
constexpr GLenum kTexturePriority = 0x8066;
// The least GL_MAX_TEXTURE_SIZE that ES 2 allows.
constexpr GLint kLeastMaxTextureSide = 64;
static_assert(kMaxTextures == 17, "the message below counts the default texture out");
constexpr const char* kNoRoom = "beyond the layer's 16 textures";

bool IsMipmapFilter(GLint filter) {
  return filter >= kNearestMipmapNearest && filter <= GL_LINEAR_MIPMAP_LINEAR;
}

bool IsPowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

Texture& Bound() { return layer.textures[layer.boundTexture]; }

int FindTexture(GLuint name) {
  for (int i = 0; i < kMaxTextures; ++i)
    if (layer.textures[i].used && layer.textures[i].name == name) return i;
  return -1;
}

// A free slot given the name, or -1 when all are taken.
int TakeSlot(GLuint name) {
  for (int i = 1; i < kMaxTextures; ++i) {
    Texture& texture = layer.textures[i];
    if (texture.used) continue;
    texture = Texture{};
    texture.used = true;
    texture.name = name;
    return i;
  }
  return -1;
}

// The texture's ES 2 object in the current context, bound, with its parameters.
void BindEs2Texture(Texture& texture) {
  const Es2Api& es2 = layer.es2;
  if (texture.name != 0 && texture.es2Name == 0) {
    es2.glGenTextures(1, &texture.es2Name);
    es2.glBindTexture(GL_TEXTURE_2D, texture.es2Name);
    es2.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.minFilter);
    es2.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture.magFilter);
    es2.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, texture.wrapS);
    es2.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, texture.wrapT);
    return;
  }
  es2.glBindTexture(GL_TEXTURE_2D, texture.es2Name);
}

// True when ES 2 took the upload just made; its error is kept otherwise.
bool Es2TookIt() {
  const GLenum error = layer.es2.glGetError();
  if (error == GL_NO_ERROR) return true;
  RecordError(error);
  return false;
}

// Level 0 from the kept image and every level below it, to the bound ES 2
// texture, noting which levels ES 2 took. False when out of memory.
bool UploadLevels(Texture& texture) {
  const Es2Api& es2 = layer.es2;
  int width = texture.width;
  int height = texture.height;
  const size_t bytes = static_cast<size_t>(width) * height * 4;
  // Once per texture, at start-up or on a new context; never in a frame.
  std::unique_ptr<unsigned char[]> level(new (std::nothrow) unsigned char[bytes]);
  if (level == nullptr) return false;
  std::memcpy(level.get(), texture.image.get(), bytes);
  TakeEs2Error();  // so that what follows is ours
  es2.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   level.get());
  texture.levelZero = Es2TookIt();
  texture.allLevels = texture.levelZero;
  for (int n = 1; width > 1 || height > 1; ++n) {
    HalveImage(level.get(), width, height, level.get(), 4);
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    es2.glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     level.get());
    if (!Es2TookIt()) texture.allLevels = false;
  }
  return true;
}

// The value of a parameter given as a float: GL rounds it to the nearest
// integer, so an enumerant a little off is still read as that enumerant.
GLint RoundedParameter(GLfloat param) {
  if (!(std::fabs(param) < 2147483520.0f)) return -1;
  return static_cast<GLint>(std::lround(param));
}

void SetParameter(const char* call, GLenum target, GLenum pname, GLint value) {
  if (RefusedInsideBeginEnd(call)) return;
  if (target != GL_TEXTURE_2D) {
    Refuse(GL_INVALID_ENUM, call, "target", target);
    return;
  }
  Texture& texture = Bound();
  GLint* stored = nullptr;
  bool valid = false;
  switch (pname) {
    case GL_TEXTURE_MIN_FILTER:
      stored = &texture.minFilter;
      valid = value == kNearest || value == GL_LINEAR || IsMipmapFilter(value);
      break;
    case GL_TEXTURE_MAG_FILTER:
      stored = &texture.magFilter;
      valid = value == kNearest || value == GL_LINEAR;
      break;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
      // Not GL 1.1's GL_CLAMP, which ES 2 lacks.
      stored = pname == GL_TEXTURE_WRAP_S ? &texture.wrapS : &texture.wrapT;
      valid = value == kRepeat || value == GL_CLAMP_TO_EDGE;
      break;
    case kTexturePriority:
      return;  // a hint for keeping textures resident, which has no effect here
    default:
      Refuse(GL_INVALID_ENUM, call, "pname", pname);
      return;
  }
  if (!valid) {
    Refuse(GL_INVALID_ENUM, call, "param", static_cast<unsigned>(value));
    return;
  }
  *stored = value;
  if (layer.ready) layer.es2.glTexParameteri(GL_TEXTURE_2D, pname, value);
}

}  // namespace

bool BoundTextureComplete() {
  const Texture& texture = Bound();
  return texture.levelZero && (texture.allLevels || !IsMipmapFilter(texture.minFilter));
}

Result RestoreTextures() {
  for (Texture& texture : layer.textures) {
    if (!texture.used) continue;
    BindEs2Texture(texture);
    if (texture.image != nullptr && !UploadLevels(texture))
      return Fail("out of memory while making the textures again");
  }
  BindEs2Texture(Bound());
  return {};
}

void DeleteTextures() {
  for (Texture& texture : layer.textures) {
    if (texture.es2Name != 0) layer.es2.glDeleteTextures(1, &texture.es2Name);
    texture.es2Name = 0;
  }
}

void ForgetTextures() {
  for (Texture& texture : layer.textures) texture = Texture{};
  layer.textures[0].used = true;  // the default texture, name 0
  layer.boundTexture = 0;
  layer.nextTextureName = 1;
}

}  // namespace gles

using gles::layer;

extern "C" {

void glGenTextures(GLsizei n, GLuint* textures) {
  if (gles::RefusedInsideBeginEnd("glGenTextures")) return;
  if (n < 0) {
    gles::Refuse(GL_INVALID_VALUE, "glGenTextures", "n", static_cast<unsigned>(n));
    return;
  }
  if (!layer.started) return;
  int free = 0;
  for (const gles::Texture& texture : layer.textures) free += texture.used ? 0 : 1;
  if (n > free) {
    gles::RefuseCall(GL_OUT_OF_MEMORY, "glGenTextures", gles::kNoRoom);
    return;
  }
  for (GLsizei i = 0; i < n; ++i) {
    while (gles::FindTexture(layer.nextTextureName) >= 0) ++layer.nextTextureName;
    textures[i] = layer.nextTextureName;
    gles::TakeSlot(layer.nextTextureName++);
  }
}

void glBindTexture(GLenum target, GLuint texture) {
  if (gles::RefusedInsideBeginEnd("glBindTexture")) return;
  // GL_TEXTURE_1D too: the layer has 2D textures only.
  if (target != GL_TEXTURE_2D) {
    gles::Refuse(GL_INVALID_ENUM, "glBindTexture", "target", target);
    return;
  }
  if (!layer.started) return;
  int index = gles::FindTexture(texture);
  // GL makes a texture of a name it never gave out, too.
  if (index < 0) index = gles::TakeSlot(texture);
  if (index < 0) {
    gles::RefuseCall(GL_OUT_OF_MEMORY, "glBindTexture", gles::kNoRoom);
    return;
  }
  layer.boundTexture = index;
  if (layer.ready) gles::BindEs2Texture(layer.textures[index]);
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
  gles::SetParameter("glTexParameterf", target, pname, gles::RoundedParameter(param));
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  gles::SetParameter("glTexParameteri", target, pname, param);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
  constexpr const char* kCall = "gluBuild2DMipmaps";
  if (gles::RefusedInsideBeginEnd(kCall)) return 0;
  // GLU's own checks, answered by its return value. GLU would take the other
  // formats and types of GL 1.1, and other sizes, which it rescales to
  // powers of two; the layer takes what the piece gives it.
  if (format != GL_BGRA && format != GL_RGBA) {
    gles::Refuse(GLU_INVALID_ENUM, kCall, "format", format);
    return GLU_INVALID_ENUM;
  }
  if (type != GL_UNSIGNED_BYTE) {
    gles::Refuse(GLU_INVALID_ENUM, kCall, "type", type);
    return GLU_INVALID_ENUM;
  }
  if (!gles::IsPowerOfTwo(width) || !gles::IsPowerOfTwo(height)) {
    gles::Refuse(GLU_INVALID_VALUE, kCall, gles::IsPowerOfTwo(width) ? "height" : "width",
                 static_cast<unsigned>(gles::IsPowerOfTwo(width) ? height : width));
    return GLU_INVALID_VALUE;
  }
  // GLU would read through the null pointer.
  if (data == nullptr) {
    gles::RefuseCall(GLU_INVALID_VALUE, kCall, "without data");
    return GLU_INVALID_VALUE;
  }
  // GL's checks, which GLU passes on through glGetError.
  if (target != GL_TEXTURE_2D) {
    gles::Refuse(GL_INVALID_ENUM, kCall, "target", target);
    return 0;
  }
  // 4 components, GL_RGBA or GL_RGBA8: GL 1.1's other internal formats
  // store less than the layer would show.
  if (internalFormat != 4 && internalFormat != GL_RGBA && internalFormat != GL_RGBA8) {
    gles::Refuse(GL_INVALID_VALUE, kCall, "internalFormat", static_cast<unsigned>(internalFormat));
    return 0;
  }
  if (!layer.started) return 0;

  // Too large for the context: GLU halves both sides until it fits.
  const GLint maxSide = std::max(layer.maxTextureSide, gles::kLeastMaxTextureSide);
  int fitWidth = width;
  int fitHeight = height;
  while (fitWidth > maxSide || fitHeight > maxSide) {
    fitWidth = fitWidth > 1 ? fitWidth / 2 : 1;
    fitHeight = fitHeight > 1 ? fitHeight / 2 : 1;
  }
  const size_t pixels = static_cast<size_t>(fitWidth) * fitHeight;
  std::unique_ptr<unsigned char[]> image(new (std::nothrow) unsigned char[pixels * 4]);
  if (image == nullptr) {
    gles::RefuseCall(GLU_OUT_OF_MEMORY, kCall, "with no memory for the image");
    return GLU_OUT_OF_MEMORY;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (fitWidth == width && fitHeight == height)
    std::memcpy(image.get(), bytes, pixels * 4);
  else
    gles::ShrinkImage(bytes, width, height, image.get(), fitWidth, fitHeight, 4);
  // ES 2 takes no BGRA; the filters work per channel, so swapping first is the same.
  if (format == GL_BGRA) gles::SwapRedAndBlue(image.get(), static_cast<int>(pixels));

  gles::Texture& texture = gles::Bound();
  texture.image = std::move(image);
  texture.width = fitWidth;
  texture.height = fitHeight;
  texture.levelZero = texture.allLevels = false;
  // Without a context the image waits for the next one (RestoreGlesLayer).
  if (!layer.ready) return 0;
  if (!gles::UploadLevels(texture)) {
    gles::RefuseCall(GLU_OUT_OF_MEMORY, kCall, "with no memory for the levels");
    return GLU_OUT_OF_MEMORY;
  }
  return 0;
}

}  // extern "C"
