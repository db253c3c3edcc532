#include "scene/backdrop.h"

#include "gl/gl_subset.h"
#include "script/script.h"
#include "sim/float_math.h"

namespace {

constexpr float kQuadDepth = 0.99f;

}  // namespace

void DrawBackdropQuad(float left, float right, float bottom, float top, float texBottom,
                      float texTop, float alpha, float wobbleMs) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glDepthMask(GL_FALSE);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, alpha);

  const float w = wobbleMs;
  glBegin(GL_QUADS);
  glTexCoord2f(0.0001f + 0.0005f * Sin32(0.0093f * w), texTop);
  glVertex3f(left, top, kQuadDepth);
  glTexCoord2f(0.999f - 0.0005f * Sin32(0.0073f * w), texTop);
  glVertex3f(right, top, kQuadDepth);
  glTexCoord2f(0.999f - 0.0005f * Sin32(0.0053f * w), texBottom);
  glVertex3f(right, bottom, kQuadDepth);
  glTexCoord2f(0.0001f + 0.0005f * Sin32(0.0023f * w), texBottom);
  glVertex3f(left, bottom, kQuadDepth);
  glEnd();

  glDisable(GL_TEXTURE_2D);
  glDepthMask(GL_TRUE);
  glEnable(GL_DEPTH_TEST);
}

float FadeAlphaAt(float t) {
  if (!(t > kFadeStartSeconds)) return 0.0f;
  const float alpha = 0.5f * (t - kFadeStartSeconds);
  return alpha > 1.0f ? 1.0f : alpha;
}

float CardAlphaAt(float t) {
  if (!(t > kCardsStartSeconds)) return 0.0f;
  const float alpha = t - kCardsStartSeconds;
  return alpha > 1.0f ? 1.0f : alpha;
}

void DrawClosingOverlays(const SceneClock& clock) {
  const float t = clock.sceneSeconds;
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  if (t > kFadeStartSeconds) {
    // No texture coordinate of its own: the last spark's one applies, so the
    // fade's alpha is scaled by that atlas texel's alpha.
    glBegin(GL_TRIANGLES);
    glColor4f(0.0f, 0.0f, 0.0f, FadeAlphaAt(t));
    glVertex3f(-180.0f, 180.0f, 1.0f);
    glVertex3f(180.0f, 0.0f, 1.0f);
    glVertex3f(-180.0f, -180.0f, 1.0f);
    glEnd();
  }
  glDepthMask(GL_TRUE);

  if (t > kCardsStartSeconds) {
    const float alpha = CardAlphaAt(t);
    DrawBackdropQuad(-1.3f, 0.7f, -0.1f, 0.4f, 0.0f, 0.175f, alpha, 0.0f);
    DrawBackdropQuad(-0.7f, 1.3f, -0.5f, 0.0f, 0.175f, 0.35f, alpha, 0.0f);
  }
}
