// Transformations: the library's matrix stays in step with OpenGL's, pixel
// sizes follow the viewport and the scales, the stack saves and restores,
// conversions invert each other, and pixels land where the matrix says.
// (The hit-tests show the inverse against drawn pixels.)
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

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
  static uint32_t ErrorCode(uint32_t i) { return Context().errors.entries[i].code; }

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

// ---------------------------------------------------------------------------
// Viewport and orthographic bounds
// ---------------------------------------------------------------------------
TEST_F(TransformTest, HalfSizeViewportHalvesEverything) {
  sglViewport(0, 0, 640, 384);
  sglOrtho(0, 1280, 0, 768);
  EXPECT_EQ(2.0f, T().units_x);
  EXPECT_EQ(2.0f, T().units_y);
  EXPECT_EQ(1.0f, T().font_scale_x);  // one native pixel is still one unit
  float px = 0;
  float py = 0;
  sglConvertPointToPixel(1280, 768, &px, &py);
  EXPECT_EQ(640.0f, px);
  EXPECT_EQ(384.0f, py);
  // 200 x 200 units become 100 x 100 pixels at (100, 50).
  FillRectRaw(200, 100, 400, 300, 1, 1, 1);
  EXPECT_EQ(100 * 100, CountCoveredPixels(0, 0, 1280, 768));
  EXPECT_EQ(100 * 100, CountCoveredPixels(100, 50, 100, 100));
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

TEST_F(TransformTest, RefusedViewportsAndOrthographicBounds) {
  // An empty viewport falls back to the centred half display.
  sglViewport(0, 0, 0, 100);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ((std::vector<GLint>{320, 192, 640, 384}), std::vector<GLint>(viewport, viewport + 4));
  EXPECT_EQ(0.5f, T().ratio_y);
  sglViewport(10, 10, 100, -5);
  // Degenerate bounds, and either change inside a push, are refused.
  sglOrtho(5, 5.0000005f, 0, 10);
  sglPushMatrix();
  sglViewport(0, 0, 100, 100);
  sglOrtho(0, 10, 0, 10);
  sglPopMatrix();
  EXPECT_EQ(320.0f, T().half_width);
  EXPECT_EQ(1280.0f, Context().ortho.right);
  ASSERT_EQ(5u, ErrorCount());
  const uint32_t codes[5] = {SGL_ERROR_VIEWPORT, SGL_ERROR_VIEWPORT, SGL_ERROR_ORTHO,
                             SGL_ERROR_VIEWPORT, SGL_ERROR_ORTHO};
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(codes[i], ErrorCode(i)) << i;
  }
}

// ---------------------------------------------------------------------------
// Translation, scale, rotation
// ---------------------------------------------------------------------------
TEST_F(TransformTest, TranslateScaleRotateStayInStepWithOpenGl) {
  sglTranslatef(640, 384);
  sglScalef(1.5f, 0.5f);
  sglRotatef(30);
  sglTranslatef(-20, 7);
  sglRotatef(-45);
  ExpectMatrixInStepWithOpenGl();
  EXPECT_FLOAT_EQ(1.0f / 1.5f, T().units_x);
  EXPECT_FLOAT_EQ(2.0f, T().units_y);
  EXPECT_FLOAT_EQ(30.0f + 315.0f, T().rotation);
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
  float x = 7;
  float y = 7;
  sglConvertPixelToPoint(100, 100, &x, &y);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
  EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, ModuloAngle) {
  const struct {
    float in, out;
  } cases[] = {{720, 360}, {-90, 270}, {5e-7f, 0}, {-360.5f, 359.5f}, {100000, 280}};
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(c.out, sgluModuloAngle(c.in)) << c.in;
  }
  EXPECT_EQ(0u, ErrorCount());
  EXPECT_EQ(0.0f, sgluModuloAngle(-2e5f));
  ASSERT_EQ(1u, ErrorCount());
  EXPECT_EQ(SGL_ERROR_MODULO_ANGLE, ErrorCode(0));
}

// ---------------------------------------------------------------------------
// Stack
// ---------------------------------------------------------------------------
TEST_F(TransformTest, FullPushRestoresEverythingAndLightPushTheTranslation) {
  sglTranslatef(100, 50);
  sgl_transformation before = T();
  sglPushMatrix();
  sglScalef(3, 2);
  sglRotatef(33);
  sglTranslatef(5, 5);
  sglPopMatrix();
  EXPECT_EQ(0, std::memcmp(before.matrix, T().matrix, sizeof(before.matrix)));
  EXPECT_EQ(before.units_x, T().units_x);
  EXPECT_EQ(before.rotation, T().rotation);
  EXPECT_EQ(before.line_scale_x, T().line_scale_x);

  sglPushMatrixAndTranslate(540, 334);
  sglPushMatrixAndTranslate(10, 20);
  FillRectRaw(0, 0, 10, 10, 1, 1, 1);
  EXPECT_EQ(100, CountCoveredPixels(650, 404, 10, 10));
  sglPopMatrixAndTranslate();
  sglPopMatrixAndTranslate();
  EXPECT_EQ(0, std::memcmp(before.matrix, T().matrix, sizeof(before.matrix)));
  ExpectMatrixInStepWithOpenGl();
  EXPECT_EQ(1, GlStackDepth());
  EXPECT_EQ(0u, ErrorCount());
}

// OpenGL's own stack may hold fewer matrices than the library's 32; the
// library's pushes must still all work and leave OpenGL consistent.
TEST_F(TransformTest, ThirtyTwoPushesWorkAndTheStackEndsAreRefused) {
  sglPopMatrix();
  sglPopMatrixAndTranslate();
  for (int i = 0; i < 32; i++) {
    sglPushMatrix();
    sglTranslatef(1, 0);
  }
  const GLint depth = GlStackDepth();
  sglPushMatrix();
  sglPushMatrixAndTranslate(1, 1);
  EXPECT_EQ(depth, GlStackDepth());
  ExpectMatrixInStepWithOpenGl();
  for (int i = 0; i < 32; i++) {
    sglPopMatrix();
    ExpectMatrixInStepWithOpenGl();
  }
  EXPECT_EQ(uint32_t{GL_NO_ERROR}, velkor_test::TakeGlError());
  EXPECT_EQ(1, GlStackDepth());
  EXPECT_EQ(-1.0f, T().matrix[12]);
  ASSERT_EQ(4u, ErrorCount());
  EXPECT_EQ(SGL_ERROR_POP_MATRIX, ErrorCode(0));
  EXPECT_EQ(SGL_ERROR_POP_TRANSLATE, ErrorCode(1));
  EXPECT_EQ(SGL_ERROR_PUSH_MATRIX, ErrorCode(2));
  EXPECT_EQ(SGL_ERROR_PUSH_TRANSLATE, ErrorCode(3));
}

// A frame that ends inside pushes must not deepen OpenGL's stack for good.
TEST_F(TransformTest, ResetEmptiesTheStackOnBothSides) {
  sglPushMatrix();
  sglPushMatrixAndTranslate(5, 5);
  sglRotatef(10);
  sglReset();
  EXPECT_EQ(0u, Context().ortho.depth);
  EXPECT_EQ(1, GlStackDepth());
  ExpectMatrixInStepWithOpenGl();
}

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

TEST_F(TransformTest, PixelToPointInvertsPointToPixel) {
  sglViewport(50, 20, 1000, 600);
  sglOrtho(0, 1280, 0, 768);
  sglTranslatef(300, 200);
  sglRotatef(37);
  sglScalef(1.7f, 0.6f);
  for (float x : {-100.0f, 0.0f, 12.5f, 250.0f}) {
    for (float y : {-30.0f, 0.0f, 99.0f}) {
      float px, py, bx, by;
      sglConvertPointToPixel(x, y, &px, &py);
      sglConvertPixelToPoint(px, py, &bx, &by);
      EXPECT_NEAR(x, bx, 1e-3f);
      EXPECT_NEAR(y, by, 1e-3f);
    }
  }
  EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, NullOutputsAreRecordedAndNothingIsWritten) {
  float out = 42;
  sglConvertPointToPixel(1, 1, &out, nullptr);
  sglConvertPointToScreen(1, 1, nullptr, &out);
  sglConvertPixelToPoint(1, 1, &out, nullptr);
  sglConvertScreenToPoint(1, 1, nullptr, &out);
  EXPECT_EQ(42.0f, out);
  ASSERT_EQ(4u, ErrorCount());
  const uint32_t codes[4] = {SGL_ERROR_POINT_TO_PIXEL, SGL_ERROR_POINT_TO_SCREEN,
                             SGL_ERROR_PIXEL_TO_POINT, SGL_ERROR_SCREEN_TO_POINT};
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(codes[i], ErrorCode(i));
}

}  // namespace
