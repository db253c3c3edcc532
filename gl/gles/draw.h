#pragma once

// One vertex as the layer hands it to ES 2: the position and the current
// attributes at the time of its glVertex3f.
struct BatchVertex {
  float position[3];
  float colour[4];
  float normal[3];
  float texCoord[2];
};

// Vertices gathered between glBegin and glEnd before they go out in one draw:
// room for the piece's largest batch, 4000 triangles.
inline constexpr int kBatchCapacity = 12288;

// The shader program that stands in for the fixed-function pipeline, and the
// vertex buffer that the batches go through.
bool CreateDrawResources(const char** error);
void DeleteDrawResources();
// Draws whole triangles with the current fixed-function state.
void DrawTriangles(const BatchVertex* vertices, int count);
