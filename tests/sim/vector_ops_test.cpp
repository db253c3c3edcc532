#include "sim/vector_ops.h"

#include <cmath>
#include <limits>

#include "sim_fixture.h"

TEST(SimVectorOps, ShortAndInvalidVectorsFallBackToPlusX) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // The threshold is strict and on the length: a length of exactly the
  // epsilon still falls back. Those along y and -z would normalise to
  // something other than the fallback, so a non-strict test shows.
  const Vec3 degenerate[] = {
      {0, 0, 0},   {0, 0.00005f, 0}, {0, kNormEpsilon, 0}, {0, 0, -kNormEpsilon},
      {nan, 1, 0}, {0, 0, nan}};
  ASSERT_EQ(std::sqrt(kNormEpsilon * kNormEpsilon), kNormEpsilon);
  for (Vec3 v : degenerate) {
    SafeNormalize(v);
    ExpectExactly(v, 1, 0, 0);
  }
}

TEST(SimVectorOps, DividesEachComponentByTheLength) {
  Vec3 v{0, 0.0002f, 0};
  SafeNormalize(v);
  ExpectExactly(v, 0, 1, 0);
  Vec3 w{3, 0, -4};
  SafeNormalize(w);
  ExpectExactly(w, 0.6f, 0, -0.8f);
}

TEST(SimVectorOps, RemovesTheReferenceComponent) {
  Vec3 v{1, 1, 0};
  Orthonormalize(v, Vec3{1, 0, 0});
  ExpectExactly(v, 0, 1, 0);
  // Parallel input leaves nothing to normalise: (1, 0, 0), not orthogonal.
  Vec3 parallel{0, 0, 2};
  Orthonormalize(parallel, Vec3{0, 0, 1});
  ExpectExactly(parallel, 1, 0, 0);
}

TEST(SimVectorOps, WeightsExtrapolationAndAliasing) {
  Vec3 out{};
  BlendNormalize(Vec3{1, 0, 0}, Vec3{0, 1, 0}, out, 1.5f);
  ExpectNear(out, 0.94868f, -0.31623f, 0.0f);
  BlendNormalize(Vec3{0, 1, 0}, Vec3{0, -1, 0}, out, 0.5f);
  ExpectExactly(out, 1, 0, 0);

  const Vec3 a{0.3f, -0.2f, 0.9f};
  const Vec3 b{-0.5f, 0.7f, 0.1f};
  Vec3 separate{};
  BlendNormalize(a, b, separate, 0.37f);
  Vec3 aliasB = b;
  BlendNormalize(a, aliasB, aliasB, 0.37f);
  Vec3 aliasA = a;
  BlendNormalize(aliasA, b, aliasA, 0.37f);
  ExpectExactly(aliasB, separate.x, separate.y, separate.z);
  ExpectExactly(aliasA, separate.x, separate.y, separate.z);
}
