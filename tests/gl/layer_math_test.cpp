// The layer's arithmetic without GL: GLU's matrices and mipmap filter, with
// values worked out by hand.

#include <gtest/gtest.h>

#include <vector>

#include "gl/gles/matrix_math.h"
#include "gl/gles/mipmap_filter.h"

namespace gles {
namespace {

void ExpectMatrix(const float actual[16], const std::vector<float>& expected) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "element " << i;
}

TEST(GlesMatrices, PerspectiveAsGluBuildsIt) {
  float m[16];
  SetIdentity(m);
  // 90 degrees: cotangent 1; depth terms -(far + near) / (far - near) and
  // -2 far near / (far - near).
  ApplyPerspective(m, 90.0, 2.0, 1.0, 3.0);
  ExpectMatrix(m, {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0});

  // A degenerate frustum changes nothing, as in GLU.
  float unchanged[16];
  SetIdentity(unchanged);
  ApplyPerspective(unchanged, 60.0, 1.0, 2.0, 2.0);
  ApplyPerspective(unchanged, 0.0, 1.0, 1.0, 2.0);
  ApplyPerspective(unchanged, 60.0, 0.0, 1.0, 2.0);
  ExpectMatrix(unchanged, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(GlesMatrices, LookAtAsGluBuildsIt) {
  float m[16];
  SetIdentity(m);
  // From +x towards the origin: side (0, 0, -1), up (0, 1, 0), back (1, 0, 0)
  // as rows, and the eye moved to the origin.
  const double eye[3] = {1, 0, 0}, origin[3] = {0, 0, 0}, yUp[3] = {0, 1, 0};
  ApplyLookAt(m, eye, origin, yUp);
  ExpectMatrix(m, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -1, 1});

  // A tilted, unnormalised up vector is made square to the view and unit length.
  SetIdentity(m);
  const double front[3] = {0, 0, 5}, tilted[3] = {0, 3, 3};
  ApplyLookAt(m, front, origin, tilted);
  ExpectMatrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1});
}

TEST(GlesMatrices, ProductsApplyOnTheRightAsGlMultMatrixDoes) {
  float m[16];
  SetIdentity(m);
  m[12] = 1;  // translation (1, 2, 3)
  m[13] = 2;
  m[14] = 3;
  float scale[16];
  SetIdentity(scale);
  scale[0] = scale[5] = scale[10] = 2;
  MultiplyInPlace(m, scale);  // scale first, then translate
  ExpectMatrix(m, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1});

  // The view multiplies on the right too: rows scaled, not columns.
  SetIdentity(m);
  m[0] = 3;
  const double eye[3] = {1, 0, 0}, origin[3] = {0, 0, 0}, yUp[3] = {0, 1, 0};
  ApplyLookAt(m, eye, origin, yUp);
  ExpectMatrix(m, {0, 0, 1, 0, 0, 1, 0, 0, -3, 0, 0, 0, 0, 0, -1, 1});
}

TEST(GlesMatrices, NormalsGoThroughTheInverseTranspose) {
  // Scale (2, 4, 1) after a translation: normals scale by (1/2, 1/4, 1); the
  // translation plays no part.
  float m[16];
  SetIdentity(m);
  m[0] = 2;
  m[5] = 4;
  m[12] = 7;
  float n[9];
  NormalMatrix(m, n);
  const float expected[9] = {0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(n[i], expected[i]) << "element " << i;

  // A shear: the inverse transpose of [[1, 1], [0, 1]] is [[1, 0], [-1, 1]].
  SetIdentity(m);
  m[4] = 1;  // row 0, column 1
  NormalMatrix(m, n);
  const float sheared[9] = {1, -1, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(n[i], sheared[i]) << "element " << i;

  // A singular matrix gives zero rather than infinities.
  SetIdentity(m);
  m[10] = 0;
  NormalMatrix(m, n);
  for (float v : n) EXPECT_EQ(v, 0.0f);

  // Directions ignore the translation.
  SetIdentity(m);
  m[5] = 3;
  m[13] = 100;
  const float v[3] = {1, 1, 1};
  float out[3];
  TransformDirection(m, v, out);
  EXPECT_FLOAT_EQ(out[0], 1);
  EXPECT_FLOAT_EQ(out[1], 3);
  EXPECT_FLOAT_EQ(out[2], 1);
}

TEST(GlesMipmapFilter, BoxAverageRoundsAsGluDoes) {
  // One 2 x 2 block per channel; (sum + 2) / 4 rounds halves up, which
  // neither truncation (0, 2) nor rounding half to even (0, 2) would give.
  std::vector<unsigned char> block = {0, 1, 255, 0, 0, 2, 255, 0, 1, 3, 255, 0, 1, 4, 254, 1};
  HalveImage(block.data(), 2, 2, block.data(), 4);
  EXPECT_EQ(block[0], 1);    // 2 / 4
  EXPECT_EQ(block[1], 3);    // 10 / 4
  EXPECT_EQ(block[2], 255);  // 1019 / 4, no overflow
  EXPECT_EQ(block[3], 0);    // 1 / 4
}

TEST(GlesMipmapFilter, InPlaceLevelsReadOnlyWhatIsNotYetWritten) {
  // 4 x 4 of 0..15: blocks {0,1,4,5}, {2,3,6,7}, {8,9,12,13}, {10,11,14,15}.
  std::vector<unsigned char> image(16);
  for (int i = 0; i < 16; ++i) image[i] = static_cast<unsigned char>(i);
  HalveImage(image.data(), 4, 4, image.data(), 1);
  EXPECT_EQ(image[0], 3);
  EXPECT_EQ(image[1], 5);
  EXPECT_EQ(image[2], 11);
  EXPECT_EQ(image[3], 13);
  HalveImage(image.data(), 2, 2, image.data(), 1);
  EXPECT_EQ(image[0], 8);  // (3 + 5 + 11 + 13 + 2) / 4
}

TEST(GlesMipmapFilter, SingleRowsAndColumnsAveragePairsTruncated) {
  // GLU's one-dimensional halving has no rounding term.
  std::vector<unsigned char> row = {1, 2, 255, 254};
  HalveImage(row.data(), 4, 1, row.data(), 1);
  EXPECT_EQ(row[0], 1);
  EXPECT_EQ(row[1], 254);

  std::vector<unsigned char> column = {10, 20, 11, 21, 30, 40, 31, 41};  // 1 x 4, 2 channels
  HalveImage(column.data(), 1, 4, column.data(), 2);
  EXPECT_EQ(column[0], 10);  // (10 + 11) / 2
  EXPECT_EQ(column[1], 20);
  EXPECT_EQ(column[2], 30);
  EXPECT_EQ(column[3], 40);
}

}  // namespace
}  // namespace gles
