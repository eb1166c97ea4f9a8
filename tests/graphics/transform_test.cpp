// Transformations: the library's matrix in step with OpenGL's, exact quarter
// turns, a smaller viewport; active areas hit-tested through the inverse.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::FillRectRaw;
using velkor_test::SglTest;

class TransformTest : public SglTest {
 protected:
  static const sgl_transformation& T() { return Context().transform; }
  static uint32_t ErrorCount() { return Context().errors.count; }

  // OpenGL's model-view matrix must be the library's M at all times.
  static void ExpectMatrixInStepWithOpenGl() {
    float gl_matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl_matrix);
    for (int i = 0; i < 16; i++) {
      EXPECT_NEAR(gl_matrix[i], T().matrix[i], 1e-5f) << "entry " << i;
    }
  }
  static GLint GlStackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
  }
};

using ActiveAreasTest = TransformTest;

TEST_F(TransformTest, HalfSizeViewportHalvesEverything) {
  sglViewport(0, 0, 640, 384);
  sglOrtho(0, 1280, 0, 768);
  EXPECT_EQ(2.0f, T().units_x);
  EXPECT_EQ(2.0f, T().units_y);
  EXPECT_EQ(1.0f, T().font_scale_x);  // one native pixel is still one unit
  float px = 0, py = 0;
  sglConvertPointToPixel(1280, 768, &px, &py);
  EXPECT_EQ(640.0f, px);
  EXPECT_EQ(384.0f, py);
  // Screen units stay native display pixels.
  sglTranslatef(640, 384);
  float sx, sy, x, y;
  sglConvertPointToScreen(100, -50, &sx, &sy);
  EXPECT_FLOAT_EQ(740.0f, sx);
  EXPECT_FLOAT_EQ(334.0f, sy);
  sglConvertScreenToPoint(740, 334, &x, &y);
  EXPECT_NEAR(100.0f, x, 1e-4f);
  EXPECT_NEAR(-50.0f, y, 1e-4f);
  sglScalef(2, 2);
  EXPECT_EQ(1.0f, T().units_x);
  EXPECT_EQ(2.0f, T().line_scale_x);
  EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, QuarterTurnsAreExactAndAScaleByZeroDividesNothing) {
  sglRotatef(450);
  EXPECT_EQ(0.0f, T().matrix[0]);
  EXPECT_EQ(-2.0f / 1280.0f, T().matrix[4]);
  EXPECT_EQ(2.0f / 768.0f, T().matrix[1]);
  EXPECT_EQ(0.0f, T().matrix[5]);
  EXPECT_EQ(90.0f, T().rotation);
  // A 40 x 20 bar to the right of the origin turns into a 20 x 40 bar above it.
  sglTranslatef(384, -640);
  FillRectRaw(10, 0, 50, 20, 1, 1, 1);
  EXPECT_EQ(800, CountCoveredPixels(620, 394, 20, 40));
  EXPECT_EQ(800, CountCoveredPixels(0, 0, 1280, 768));

  sglLoadIdentity();
  sglScalef(0, 2);
  EXPECT_EQ(1.0f, T().units_x);
  EXPECT_EQ(0.5f, T().units_y);
  float x = 7, y = 7;
  sglConvertPixelToPoint(100, 100, &x, &y);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
  EXPECT_EQ(0u, ErrorCount());
}

// A frame that ends inside pushes must not deepen OpenGL's stack for good.
TEST_F(TransformTest, InStepWithOpenGlAndResetEmptiesTheStackOnBothSides) {
  sglTranslatef(640, 384);
  sglScalef(1.5f, 0.5f);
  sglRotatef(30);
  sglPushMatrix();
  sglTranslatef(-20, 7);
  sglRotatef(-45);
  ExpectMatrixInStepWithOpenGl();
  EXPECT_FLOAT_EQ(1.0f / 1.5f, T().units_x);
  EXPECT_FLOAT_EQ(2.0f, T().units_y);
  EXPECT_FLOAT_EQ(30.0f + 315.0f, T().rotation);
  sglPushMatrixAndTranslate(5, 5);
  sglReset();
  EXPECT_EQ(0u, Context().ortho.depth);
  EXPECT_EQ(1, GlStackDepth());
  ExpectMatrixInStepWithOpenGl();
}

// Under a rotation and scale, in a viewport showing the display at half size
// (two pointer units per viewport pixel), the rectangle status at each
// pixel's centre says whether the pixel was drawn.
TEST_F(ActiveAreasTest, HitTestFollowsTheDrawingInASmallerViewportUnderRotationAndScale) {
  sglViewport(0, 0, 640, 384);
  sglPushMatrix();
  sglTranslatef(600, 300);
  sglRotatef(270);
  sglScalef(2, 1);
  velkor_test::FillQuad(10, 20, 60, 120);
  int hits = 0, mismatches = 0;
  for (int y = 80; y < 150; ++y) {
    for (int x = 290; x < 370; ++x) {
      const bool drawn = velkor_test::ReadPixel(x, y).r > 0;
      const bool hit = sglRectangleActiveAreaGetStatus(2 * x + 1, 2 * y + 1, 10, 20, 60, 120);
      hits += hit;
      if (hit != drawn && mismatches++ < 5) ADD_FAILURE() << x << ", " << y << ": drawn " << drawn;
    }
  }
  EXPECT_EQ(0, mismatches);
  EXPECT_EQ(50 * 50, hits);
  EXPECT_EQ(50 * 50, CountCoveredPixels(310, 90, 50, 50));
  sglPopMatrix();
  EXPECT_EQ(0u, ErrorCount());
}

TEST_F(ActiveAreasTest, ScissorHidesHitsOutsideIt) {
  sglPushMatrixAndTranslate(100, 100);
  sglBeginScissor(50, 50);  // pixels 100..150, edges included
  const float shape[] = {0, 0, 0, 200, 200, 200, 200, 0};
  const struct {
    float px, py;
    bool inside;
  } cases[] = {{150, 150, true}, {170, 120, false}, {120, 151, false}};
  for (const auto& [px, py, inside] : cases) {
    EXPECT_EQ(inside, sglRectangleActiveAreaGetStatus(px, py, 0, 0, 200, 200)) << px << ", " << py;
    EXPECT_EQ(inside, sglShapeActiveAreaGetStatus(px, py, 4, shape)) << px << ", " << py;
    EXPECT_EQ(inside, sglCircleActiveAreaGetStatus(px, py, 0, 0, 150)) << px << ", " << py;
  }
  sglEndScissor();
  EXPECT_TRUE(sglRectangleActiveAreaGetStatus(170, 120, 0, 0, 200, 200)) << "scissor gone";
  sglPopMatrixAndTranslate();
  EXPECT_EQ(0u, Context().errors.count);
}

// Centre (400, 300), radius 100.
TEST_F(ActiveAreasTest, CircleStatusRateAndAngleAroundItsCentre) {
  const struct {
    float px, py;
    bool inside;
    float rate, degrees;
  } cases[] = {
      {500, 300, true, 1.0f, 0},           {400, 400, true, 1.0f, 90},
      {300, 300, true, 1.0f, 180},         {400, 200, true, 1.0f, 270},
      {470, 370, true, 0.98994949f, 45},   {471, 371, false, 1.0040916f, 45},
      {400, 300, true, 0.0f, 0},           {400.3f, 300.2f, true, 0.0036056f, 0},
      {399.7f, 300.4f, true, 0.005f, 180}, {200, 300, false, 2.0f, 180},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.inside, sglCircleActiveAreaGetStatus(c.px, c.py, 400, 300, 100))
        << c.px << ", " << c.py;
    EXPECT_NEAR(c.rate, sglCircleActiveAreaGetRate(c.px, c.py, 400, 300, 100), 1e-5f)
        << c.px << ", " << c.py;
    EXPECT_NEAR(c.degrees, sglCircleActiveAreaGetAngle(c.px, c.py, 400, 300), 2e-3f)
        << c.px << ", " << c.py;
  }
  EXPECT_FALSE(sglCircleActiveAreaGetStatus(400, 300, 400, 300, 0));
  EXPECT_FALSE(sglCircleActiveAreaGetStatus(400, 300, 400, 300, -5));
  EXPECT_EQ(0.0f, sglCircleActiveAreaGetRate(450, 300, 400, 300, 0));
  EXPECT_EQ(0u, Context().errors.count);

  // A squared radius below 1e-6: the division is recorded and still made.
  EXPECT_FALSE(sglCircleActiveAreaGetStatus(401, 300, 400, 300, 1e-4f));
  ASSERT_EQ(1u, Context().errors.count);
  EXPECT_EQ(SGL_ERROR_FLOAT_DIV, LastError().code);
}

}  // namespace
