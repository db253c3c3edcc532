#pragma once

#include "gl/gl_subset.h"

inline constexpr GLenum kNoPrimitive = 0xFFFFFFFF;

// The GL 1.1 state that the layer carries out itself, with GL's initial
// values. Blending, depth and the textures' own parameters live in the ES 2
// context instead.
struct FixedFunctionState {
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

  GLuint boundTexture = 0;
};

extern FixedFunctionState fixedFunction;

// Whether the bound texture has images: GL 1.1 textures nothing with one
// that has none, where ES 2 would sample black.
bool BoundTextureHasImages();
void ForgetTextureImages();

// One message on stderr the first time a call gets a value outside the
// subset; the call is then ignored.
void ReportUnsupported(const char* what, unsigned value);
