// The fixed-function pipeline of the piece as one GLSL ES 1.00 program:
// transform, GL 1.1's lighting equation for one directional light per
// vertex (both sides, picked per fragment by facing), colour clamping,
// and GL_MODULATE texturing.

#include <cstddef>
#include <string>

#include "gl/gles/layer.h"
#include "gl/gles/matrix_math.h"

namespace gles {

namespace {

constexpr char kVertexShader[] = R"(
attribute vec3 position;
attribute vec4 colour;
attribute vec3 normal;
attribute vec2 texCoord;

uniform mat4 modelViewProjection;
uniform mat3 normalMatrix;
uniform bool lighting;
uniform bool twoSided;
uniform vec3 lightDirection;
// What the equation adds whatever the normal: emission, scene ambient and the
// light's ambient, each times the material's; alpha is the diffuse material's.
uniform vec4 litBase;
// The light's diffuse times the material's.
uniform vec3 litDiffuse;

varying vec4 frontColour;
varying vec4 backColour;
varying vec2 sampleAt;

vec4 Lit(float facing) {
  return clamp(vec4(litBase.rgb + max(facing, 0.0) * litDiffuse, litBase.a), 0.0, 1.0);
}

void main() {
  gl_Position = modelViewProjection * vec4(position, 1.0);
  sampleAt = texCoord;
  if (lighting) {
    // Not renormalised: GL_NORMALIZE is off.
    float facing = dot(normalMatrix * normal, lightDirection);
    frontColour = Lit(facing);
    backColour = twoSided ? Lit(-facing) : frontColour;
  } else {
    frontColour = clamp(colour, 0.0, 1.0);
    backColour = frontColour;
  }
}
)";

constexpr char kFragmentShader[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif

uniform bool texturing;
uniform sampler2D image;

varying vec4 frontColour;
varying vec4 backColour;
varying vec2 sampleAt;

void main() {
  vec4 colour = gl_FrontFacing ? frontColour : backColour;
  gl_FragColor = texturing ? colour * texture2D(image, sampleAt) : colour;
}
)";

// GL's default material and light model.
constexpr float kMaterialAmbient = 0.2f;
constexpr float kMaterialDiffuse = 0.8f;
constexpr float kMaterialAlpha = 1.0f;
constexpr float kSceneAmbient = 0.2f;

enum Attribute : GLuint { kPosition, kColour, kNormal, kTexCoord };

// Success when the shader's or program's `status` is set; otherwise `failure`
// followed by the object's info log.
Result StatusOf(GLuint object, GLenum status, void (*getStatus)(GLuint, GLenum, GLint*),
                void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), const char* failure) {
  GLint succeeded = 0;
  getStatus(object, status, &succeeded);
  if (succeeded) return {};
  char log[768] = "";
  getLog(object, sizeof log, nullptr, log);
  return Fail(std::string(failure) + ": " + log);
}

// The shader, or 0 with `error` saying why it does not compile.
GLuint CompileShader(GLenum type, const char* source, Result& error) {
  const Es2Api& es2 = layer.es2;
  const GLuint shader = es2.glCreateShader(type);
  es2.glShaderSource(shader, 1, &source, nullptr);
  es2.glCompileShader(shader);
  const char* failure = type == kEs2VertexShader ? "the vertex shader does not compile"
                                                 : "the fragment shader does not compile";
  error = StatusOf(shader, kEs2CompileStatus, es2.glGetShaderiv, es2.glGetShaderInfoLog, failure);
  if (error) return shader;
  es2.glDeleteShader(shader);
  return 0;
}

Result LinkProgram() {
  const Es2Api& es2 = layer.es2;
  Result compiled;
  const GLuint vertex = CompileShader(kEs2VertexShader, kVertexShader, compiled);
  if (vertex == 0) return compiled;
  const GLuint fragment = CompileShader(kEs2FragmentShader, kFragmentShader, compiled);
  if (fragment == 0) {
    es2.glDeleteShader(vertex);
    return compiled;
  }
  GLuint& program = layer.draw.program;
  program = es2.glCreateProgram();
  es2.glAttachShader(program, vertex);
  es2.glAttachShader(program, fragment);
  es2.glBindAttribLocation(program, kPosition, "position");
  es2.glBindAttribLocation(program, kColour, "colour");
  es2.glBindAttribLocation(program, kNormal, "normal");
  es2.glBindAttribLocation(program, kTexCoord, "texCoord");
  es2.glLinkProgram(program);
  // Flagged for deletion; they go with the program.
  es2.glDeleteShader(vertex);
  es2.glDeleteShader(fragment);
  Result linked = StatusOf(program, kEs2LinkStatus, es2.glGetProgramiv, es2.glGetProgramInfoLog,
                           "the draw program does not link");
  if (linked) return linked;
  es2.glDeleteProgram(program);
  program = 0;
  return linked;
}

void SetUniforms() {
  const Es2Api& es2 = layer.es2;
  const FixedFunction& fixed = layer.fixed;
  const DrawResources& draw = layer.draw;
  float modelViewProjection[16];
  Multiply(fixed.projection, fixed.modelview, modelViewProjection);
  es2.glUniformMatrix4fv(draw.modelViewProjection, 1, GL_FALSE, modelViewProjection);
  es2.glUniform1i(draw.lighting, fixed.lighting);
  if (fixed.lighting) {
    float normalMatrix[9];
    NormalMatrix(fixed.modelview, normalMatrix);
    es2.glUniformMatrix3fv(draw.normalMatrix, 1, GL_FALSE, normalMatrix);
    es2.glUniform1i(draw.twoSided, fixed.twoSided);
    es2.glUniform3fv(draw.lightDirection, 1, fixed.lightDirection);
    float litBase[4] = {kSceneAmbient * kMaterialAmbient, kSceneAmbient * kMaterialAmbient,
                        kSceneAmbient * kMaterialAmbient, kMaterialAlpha};
    float litDiffuse[3] = {0.0f, 0.0f, 0.0f};
    if (fixed.light0) {
      for (int i = 0; i < 3; ++i) {
        litBase[i] += kMaterialAmbient * fixed.lightAmbient[i];
        litDiffuse[i] = kMaterialDiffuse * fixed.lightDiffuse[i];
      }
    }
    es2.glUniform4fv(draw.litBase, 1, litBase);
    es2.glUniform3fv(draw.litDiffuse, 1, litDiffuse);
  }
  es2.glUniform1i(draw.texturing, fixed.texture2D && BoundTextureComplete());
}

void PointAttribute(Attribute attribute, GLint size, size_t offset) {
  layer.es2.glEnableVertexAttribArray(attribute);
  layer.es2.glVertexAttribPointer(attribute, size, kEs2Float, GL_FALSE, sizeof(BatchVertex),
                                  reinterpret_cast<const void*>(offset));
}

constexpr GLsizeiptr kBufferBytes = kBufferCapacity * sizeof(BatchVertex);

}  // namespace

// The program and the buffer stay bound and the attributes point into the
// buffer from its start: only the layer draws in its context, and each draw
// names its first vertex.
Result CreateDrawResources() {
  if (Result linked = LinkProgram(); !linked) return linked;
  const Es2Api& es2 = layer.es2;
  DrawResources& draw = layer.draw;
  const GLuint program = draw.program;
  draw.modelViewProjection = es2.glGetUniformLocation(program, "modelViewProjection");
  draw.normalMatrix = es2.glGetUniformLocation(program, "normalMatrix");
  draw.lighting = es2.glGetUniformLocation(program, "lighting");
  draw.twoSided = es2.glGetUniformLocation(program, "twoSided");
  draw.lightDirection = es2.glGetUniformLocation(program, "lightDirection");
  draw.litBase = es2.glGetUniformLocation(program, "litBase");
  draw.litDiffuse = es2.glGetUniformLocation(program, "litDiffuse");
  draw.texturing = es2.glGetUniformLocation(program, "texturing");
  draw.image = es2.glGetUniformLocation(program, "image");
  es2.glUseProgram(program);
  es2.glUniform1i(draw.image, 0);

  es2.glGenBuffers(1, &draw.vertexBuffer);
  es2.glBindBuffer(kEs2ArrayBuffer, draw.vertexBuffer);
  es2.glBufferData(kEs2ArrayBuffer, kBufferBytes, nullptr, kEs2DynamicDraw);
  draw.bufferOffset = 0;
  PointAttribute(kPosition, 3, offsetof(BatchVertex, position));
  PointAttribute(kColour, 4, offsetof(BatchVertex, colour));
  PointAttribute(kNormal, 3, offsetof(BatchVertex, normal));
  PointAttribute(kTexCoord, 2, offsetof(BatchVertex, texCoord));
  return {};
}

void DeleteDrawResources() {
  DrawResources& draw = layer.draw;
  if (draw.vertexBuffer != 0) layer.es2.glDeleteBuffers(1, &draw.vertexBuffer);
  if (draw.program != 0) layer.es2.glDeleteProgram(draw.program);
  draw.vertexBuffer = draw.program = 0;
}

void DrawTriangles(const BatchVertex* vertices, int count) {
  if (!layer.ready || count == 0) return;
  const Es2Api& es2 = layer.es2;
  DrawResources& draw = layer.draw;
  SetUniforms();
  if (draw.bufferOffset + count > kBufferCapacity) {
    es2.glBufferData(kEs2ArrayBuffer, kBufferBytes, nullptr, kEs2DynamicDraw);
    draw.bufferOffset = 0;
    ++layer.counters.orphans;
  }
  es2.glBufferSubData(kEs2ArrayBuffer, draw.bufferOffset * sizeof(BatchVertex),
                      count * sizeof(BatchVertex), vertices);
  es2.glDrawArrays(GL_TRIANGLES, draw.bufferOffset, count);
  draw.bufferOffset += count;
  ++layer.counters.draws;
  layer.counters.vertices += count;
}

}  // namespace gles
