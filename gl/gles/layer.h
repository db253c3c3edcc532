#pragma once

// The layer's state: one object, so that starting, restoring and stopping
// the layer each see all of it. Its values are GL's initial ones.

#include <memory>

#include "gl/gl_subset.h"
#include "gl/gles/es2_api.h"
#include "gl/gles/gles_layer.h"

namespace gles {

inline constexpr GLenum kNoPrimitive = 0xFFFFFFFF;
// Vertices gathered between glBegin and glEnd before they go out in one
// draw: room for the piece's largest batch, 4000 triangles.
inline constexpr int kBatchCapacity = 12288;
// The ES 2 vertex buffer, in vertices. Batches are appended at a running
// offset; one that does not fit gives the buffer fresh storage and starts
// again at 0, so that no draw waits for an earlier one to finish with the
// storage it would overwrite.
inline constexpr int kBufferCapacity = 4 * kBatchCapacity;
// Texture objects, the default texture (name 0) included.
inline constexpr int kMaxTextures = 17;
inline constexpr int kMaxReports = 32;

// One vertex as it goes to ES 2: the position and the current attributes at
// the time of its glVertex3f.
struct BatchVertex {
  float position[3];
  float colour[4];
  float normal[3];
  float texCoord[2];
};

// The GL 1.1 state that the layer carries out itself.
struct FixedFunction {
  // GL_TRIANGLES or GL_QUADS between glBegin and glEnd.
  GLenum primitive = kNoPrimitive;
  GLenum matrixMode = GL_MODELVIEW;
  float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  // Current attributes: they hold across vertices, batches and frames.
  float colour[4] = {1, 1, 1, 1};
  float normal[3] = {0, 0, 1};
  float texCoord[2] = {0, 0};

  bool lighting = false;
  bool light0 = false;
  bool texture2D = false;
  bool twoSided = false;
  // GL_LIGHT0's: no ambient, white diffuse, from +z of eye space.
  float lightAmbient[4] = {0, 0, 0, 1};
  float lightDiffuse[4] = {1, 1, 1, 1};
  // Towards the light, in eye space, unit length (a directional light).
  float lightDirection[3] = {0, 0, 1};
};

// The state the layer passes through to ES 2, kept to give a new context.
struct PassedThrough {
  bool blend = false;
  GLenum blendSource = 1;       // GL_ONE
  GLenum blendDestination = 0;  // GL_ZERO
  bool depthTest = false;
  bool depthMask = true;
  float clearColour[4] = {0, 0, 0, 0};
  // Until glViewport is called, the context's own (the size of its surface).
  bool viewportSet = false;
  GLint viewport[4] = {0, 0, 0, 0};
};

struct Texture {
  bool used = false;
  GLuint name = 0;           // the one the scene holds
  GLuint es2Name = 0;        // in the current context; 0 for the default texture
  GLint minFilter = 0x2702;  // GL_NEAREST_MIPMAP_LINEAR
  GLint magFilter = GL_LINEAR;
  GLint wrapS = 0x2901;  // GL_REPEAT
  GLint wrapT = 0x2901;
  // Level 0 as uploaded (red-green-blue-alpha, shrunk where it had to be),
  // kept to give a new context; the other levels follow from it.
  std::unique_ptr<unsigned char[]> image;
  int width = 0;
  int height = 0;
  bool levelZero = false;
  bool allLevels = false;
};

struct DrawResources {
  GLuint program = 0;
  GLuint vertexBuffer = 0;
  // Where the next batch goes in the vertex buffer, in vertices.
  int bufferOffset = 0;
  GLint modelViewProjection = -1, normalMatrix = -1, lighting = -1, twoSided = -1,
        lightDirection = -1, litBase = -1, litDiffuse = -1, texturing = -1, image = -1;
};

struct Report {
  const char* call;
  const char* detail;
  unsigned value;
};

struct Layer {
  // Between StartGlesLayer and StopGlesLayer: everything below is the scene's.
  bool started = false;
  // The ES 2 objects exist in the current context; the entry points that
  // reach ES 2 do nothing otherwise, as GL calls without a context do.
  bool ready = false;
  Es2Api es2;
  FixedFunction fixed;
  PassedThrough passed;
  DrawResources draw;
  GLint maxTextureSide = 0;

  Texture textures[kMaxTextures];
  int boundTexture = 0;  // index into textures
  GLuint nextTextureName = 1;

  // The corners of the primitive in progress, and the whole triangles
  // gathered since glBegin.
  BatchVertex corners[4];
  int cornerCount = 0;
  BatchVertex batch[kBatchCapacity];
  int batchCount = 0;

  // The first error since glGetError last read one, as GL keeps it.
  GLenum error = GL_NO_ERROR;
  GlesLayerCounters counters = {};
  Report reports[kMaxReports];
  int reportCount = 0;
};

extern Layer layer;

// Errors: `error` is kept for glGetError unless an earlier one waits there.
void RecordError(GLenum error);
// Records `error` (a GLU code is the caller's to return) for a call refused,
// and so ignored, because of the value of one argument, and says so on
// stderr the first time.
void Refuse(GLenum error, const char* call, const char* argument, unsigned value);
// The same for a call refused as a whole, `why` saying what was wrong.
void RefuseCall(GLenum error, const char* call, const char* why);
// GL_INVALID_OPERATION, true, for a call made between glBegin and glEnd.
bool RefusedInsideBeginEnd(const char* call);
// Moves an error that ES 2 holds into the layer's, so that the layer can ask
// ES 2 whether a call of its own went through without losing one.
void TakeEs2Error();

// Drawing: the program standing in for the fixed function and the vertex buffer.
Result CreateDrawResources();
void DeleteDrawResources();
// Draws whole triangles with the current fixed-function state.
void DrawTriangles(const BatchVertex* vertices, int count);

// Textures: whether the bound one is complete (GL 1.1 textures nothing with
// one that is not, where ES 2 would sample black); making every texture
// again in a new context; deleting them from the current one.
bool BoundTextureComplete();
Result RestoreTextures();
void DeleteTextures();
void ForgetTextures();

// Gives a new context the state passed through to ES 2.
void RestorePassedThrough();

}  // namespace gles
