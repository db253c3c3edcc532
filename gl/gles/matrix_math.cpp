#include "gl/gles/matrix_math.h"

#include <cmath>
#include <cstring>

namespace gles {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Element (row, column) of a column-major matrix.
float& At(float m[16], int row, int column) { return m[column * 4 + row]; }
float At(const float m[16], int row, int column) { return m[column * 4 + row]; }

void Normalize(float v[3]) {
  const float r = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
  if (r == 0.0f) return;
  v[0] /= r;
  v[1] /= r;
  v[2] /= r;
}

void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// m = m * translation(x, y, z), the way Mesa translates without a full product.
void Translate(float m[16], float x, float y, float z) {
  for (int row = 0; row < 4; ++row)
    At(m, row, 3) = At(m, row, 0) * x + At(m, row, 1) * y + At(m, row, 2) * z + At(m, row, 3);
}

}  // namespace

void SetIdentity(float m[16]) {
  std::memset(m, 0, 16 * sizeof(float));
  m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void Multiply(const float a[16], const float b[16], float out[16]) {
  for (int row = 0; row < 4; ++row) {
    const float a0 = At(a, row, 0), a1 = At(a, row, 1), a2 = At(a, row, 2), a3 = At(a, row, 3);
    for (int column = 0; column < 4; ++column)
      At(out, row, column) = a0 * At(b, 0, column) + a1 * At(b, 1, column) + a2 * At(b, 2, column) +
                             a3 * At(b, 3, column);
  }
}

void MultiplyInPlace(float m[16], const float other[16]) {
  float product[16];
  Multiply(m, other, product);
  std::memcpy(m, product, sizeof product);
}

void ApplyPerspective(float m[16], double fovy, double aspect, double zNear, double zFar) {
  const double radians = fovy / 2 * kPi / 180;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  if (deltaZ == 0 || sine == 0 || aspect == 0) return;
  const double cotangent = std::cos(radians) / sine;
  float p[16] = {};
  At(p, 0, 0) = static_cast<float>(cotangent / aspect);
  At(p, 1, 1) = static_cast<float>(cotangent);
  At(p, 2, 2) = static_cast<float>(-(zFar + zNear) / deltaZ);
  At(p, 3, 2) = -1.0f;
  At(p, 2, 3) = static_cast<float>(-2 * zNear * zFar / deltaZ);
  MultiplyInPlace(m, p);
}

void ApplyLookAt(float m[16], const double eye[3], const double centre[3], const double up[3]) {
  float forward[3], side[3], trueUp[3];
  for (int i = 0; i < 3; ++i) {
    forward[i] = static_cast<float>(centre[i] - eye[i]);
    trueUp[i] = static_cast<float>(up[i]);
  }
  Normalize(forward);
  Cross(forward, trueUp, side);
  Normalize(side);
  Cross(side, forward, trueUp);

  float view[16];
  SetIdentity(view);
  for (int i = 0; i < 3; ++i) {
    At(view, 0, i) = side[i];
    At(view, 1, i) = trueUp[i];
    At(view, 2, i) = -forward[i];
  }
  MultiplyInPlace(m, view);
  Translate(m, static_cast<float>(-eye[0]), static_cast<float>(-eye[1]),
            static_cast<float>(-eye[2]));
}

void NormalMatrix(const float m[16], float out[9]) {
  // The inverse transpose is the cofactor matrix over the determinant.
  float cofactor[3][3];
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const int r0 = (row + 1) % 3, r1 = (row + 2) % 3;
      const int c0 = (column + 1) % 3, c1 = (column + 2) % 3;
      cofactor[row][column] = At(m, r0, c0) * At(m, r1, c1) - At(m, r0, c1) * At(m, r1, c0);
    }
  }
  const float determinant =
      At(m, 0, 0) * cofactor[0][0] + At(m, 0, 1) * cofactor[0][1] + At(m, 0, 2) * cofactor[0][2];
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      out[column * 3 + row] = determinant == 0.0f ? 0.0f : cofactor[row][column] / determinant;
}

void TransformDirection(const float m[16], const float v[3], float out[3]) {
  for (int row = 0; row < 3; ++row)
    out[row] = At(m, row, 0) * v[0] + At(m, row, 1) * v[1] + At(m, row, 2) * v[2];
}

}  // namespace gles
