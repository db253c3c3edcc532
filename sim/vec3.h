#pragma once

// Three 32-bit floats stored consecutively; arrays of Vec3 are plain triples.
struct Vec3 {
  float x;
  float y;
  float z;
};
