// The fixed-function pipeline of the piece as one GLSL ES 1.00 program:
// transform, GL 1.1's lighting equation for one directional light per
// vertex (both sides, picked per fragment by facing), colour clamping,
// and GL_MODULATE texturing.

#include "gl/gles/draw.h"

#include <cstddef>
#include <cstdio>

#include "gl/gles/es2_api.h"
#include "gl/gles/fixed_function.h"
#include "gl/gles/matrix_math.h"

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

GLuint program = 0;
GLuint vertexBuffer = 0;
struct {
  GLint modelViewProjection, normalMatrix, lighting, twoSided, lightDirection, litBase, litDiffuse,
      texturing, image;
} uniform;

char message[1024];

// True when the shader's or program's `status` is set; otherwise `error` is
// `failure` followed by the object's info log.
bool Succeeded(GLuint object, GLenum status, void (*getStatus)(GLuint, GLenum, GLint*),
               void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), const char* failure,
               const char** error) {
  GLint succeeded = 0;
  getStatus(object, status, &succeeded);
  if (succeeded) return true;
  char log[768] = "";
  getLog(object, sizeof log, nullptr, log);
  std::snprintf(message, sizeof message, "%s: %s", failure, log);
  *error = message;
  return false;
}

GLuint CompileShader(GLenum type, const char* source, const char** error) {
  const GLuint shader = es2.createShader(type);
  es2.shaderSource(shader, 1, &source, nullptr);
  es2.compileShader(shader);
  const char* failure = type == kEs2VertexShader ? "the vertex shader does not compile"
                                                 : "the fragment shader does not compile";
  if (Succeeded(shader, kEs2CompileStatus, es2.getShaderiv, es2.getShaderInfoLog, failure, error))
    return shader;
  es2.deleteShader(shader);
  return 0;
}

bool LinkProgram(const char** error) {
  const GLuint vertex = CompileShader(kEs2VertexShader, kVertexShader, error);
  if (vertex == 0) return false;
  const GLuint fragment = CompileShader(kEs2FragmentShader, kFragmentShader, error);
  if (fragment == 0) {
    es2.deleteShader(vertex);
    return false;
  }
  program = es2.createProgram();
  es2.attachShader(program, vertex);
  es2.attachShader(program, fragment);
  es2.bindAttribLocation(program, kPosition, "position");
  es2.bindAttribLocation(program, kColour, "colour");
  es2.bindAttribLocation(program, kNormal, "normal");
  es2.bindAttribLocation(program, kTexCoord, "texCoord");
  es2.linkProgram(program);
  // Flagged for deletion; they go with the program.
  es2.deleteShader(vertex);
  es2.deleteShader(fragment);
  if (Succeeded(program, kEs2LinkStatus, es2.getProgramiv, es2.getProgramInfoLog,
                "the draw program does not link", error))
    return true;
  es2.deleteProgram(program);
  program = 0;
  return false;
}

void SetUniforms() {
  float modelViewProjection[16];
  Multiply(fixedFunction.projection, fixedFunction.modelview, modelViewProjection);
  es2.uniformMatrix4fv(uniform.modelViewProjection, 1, GL_FALSE, modelViewProjection);
  es2.uniform1i(uniform.lighting, fixedFunction.lighting);
  if (fixedFunction.lighting) {
    float normalMatrix[9];
    NormalMatrix(fixedFunction.modelview, normalMatrix);
    es2.uniformMatrix3fv(uniform.normalMatrix, 1, GL_FALSE, normalMatrix);
    es2.uniform1i(uniform.twoSided, fixedFunction.twoSided);
    es2.uniform3fv(uniform.lightDirection, 1, fixedFunction.lightDirection);
    float litBase[4] = {kSceneAmbient * kMaterialAmbient, kSceneAmbient * kMaterialAmbient,
                        kSceneAmbient * kMaterialAmbient, kMaterialAlpha};
    float litDiffuse[3] = {0.0f, 0.0f, 0.0f};
    if (fixedFunction.light0) {
      for (int i = 0; i < 3; ++i) {
        litBase[i] += kMaterialAmbient * fixedFunction.lightAmbient[i];
        litDiffuse[i] = kMaterialDiffuse * fixedFunction.lightDiffuse[i];
      }
    }
    es2.uniform4fv(uniform.litBase, 1, litBase);
    es2.uniform3fv(uniform.litDiffuse, 1, litDiffuse);
  }
  es2.uniform1i(uniform.texturing, fixedFunction.texture2D && BoundTextureHasImages());
}

void PointAttribute(Attribute attribute, GLint size, size_t offset) {
  es2.enableVertexAttribArray(attribute);
  es2.vertexAttribPointer(attribute, size, kEs2Float, GL_FALSE, sizeof(BatchVertex),
                          reinterpret_cast<const void*>(offset));
}

}  // namespace

bool CreateDrawResources(const char** error) {
  if (!LinkProgram(error)) return false;
  uniform.modelViewProjection = es2.getUniformLocation(program, "modelViewProjection");
  uniform.normalMatrix = es2.getUniformLocation(program, "normalMatrix");
  uniform.lighting = es2.getUniformLocation(program, "lighting");
  uniform.twoSided = es2.getUniformLocation(program, "twoSided");
  uniform.lightDirection = es2.getUniformLocation(program, "lightDirection");
  uniform.litBase = es2.getUniformLocation(program, "litBase");
  uniform.litDiffuse = es2.getUniformLocation(program, "litDiffuse");
  uniform.texturing = es2.getUniformLocation(program, "texturing");
  uniform.image = es2.getUniformLocation(program, "image");
  es2.useProgram(program);
  es2.uniform1i(uniform.image, 0);

  es2.genBuffers(1, &vertexBuffer);
  es2.bindBuffer(kEs2ArrayBuffer, vertexBuffer);
  es2.bufferData(kEs2ArrayBuffer, kBatchCapacity * sizeof(BatchVertex), nullptr, kEs2DynamicDraw);
  return true;
}

void DeleteDrawResources() {
  if (vertexBuffer != 0) es2.deleteBuffers(1, &vertexBuffer);
  if (program != 0) es2.deleteProgram(program);
  vertexBuffer = program = 0;
}

void DrawTriangles(const BatchVertex* vertices, int count) {
  if (!es2Ready) return;
  es2.useProgram(program);
  SetUniforms();
  es2.bindBuffer(kEs2ArrayBuffer, vertexBuffer);
  es2.bufferSubData(kEs2ArrayBuffer, 0, count * sizeof(BatchVertex), vertices);
  PointAttribute(kPosition, 3, offsetof(BatchVertex, position));
  PointAttribute(kColour, 4, offsetof(BatchVertex, colour));
  PointAttribute(kNormal, 3, offsetof(BatchVertex, normal));
  PointAttribute(kTexCoord, 2, offsetof(BatchVertex, texCoord));
  es2.drawArrays(GL_TRIANGLES, 0, count);
}
