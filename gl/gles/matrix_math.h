#pragma once

// 4x4 matrices as GL keeps them: 16 floats, column-major. All arithmetic is
// in 32-bit floats in the order Mesa's matrix stack uses, so that the layer
// lands on the same pixels as Mesa's fixed function.

namespace gles {

void SetIdentity(float m[16]);
// m = m * other, as glMultMatrixf does.
void MultiplyInPlace(float m[16], const float other[16]);
// out = a * b.
void Multiply(const float a[16], const float b[16], float out[16]);

// m = m * perspective, with the perspective worked out in double as GLU does.
// GLU leaves m unchanged when the frustum is degenerate.
void ApplyPerspective(float m[16], double fovy, double aspect, double zNear, double zFar);
// m = m * view, the view as GLU's gluLookAt builds it in floats.
void ApplyLookAt(float m[16], const double eye[3], const double centre[3], const double up[3]);

// The inverse transpose of m's upper 3x3 (column-major 3x3), which carries
// normals to eye space; zero when that 3x3 is singular.
void NormalMatrix(const float m[16], float out[9]);
// m's upper 3x3 applied to v: a direction (w = 0) carried to eye space.
void TransformDirection(const float m[16], const float v[3], float out[3]);

}  // namespace gles
