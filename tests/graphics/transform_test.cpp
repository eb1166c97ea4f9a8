// Transformations: the library's matrix stays in step with OpenGL's, pixel
// sizes follow the viewport and the scales, the stack saves and restores,
// conversions agree with the geometric construction, and pixels land where
// the matrix says.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::FillRectRaw;
using velkor_test::SglTest;

class TransformTest : public SglTest {
protected:
    const sgl_transformation& T() { return Context().transform; }

    uint32_t ErrorCount() { return Context().errors.count; }
    sgl_error_entry LastError() { return Context().errors.entries[Context().errors.count - 1]; }

    // OpenGL's model-view matrix must be the library's M at all times.
    void ExpectMatrixInStepWithOpenGl() {
        float gl_matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, gl_matrix);
        for (int i = 0; i < 16; i++) {
            EXPECT_NEAR(gl_matrix[i], T().matrix[i], 1e-5f) << "entry " << i;
        }
    }

    GLint GlStackDepth() {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }
};

// ---------------------------------------------------------------------------
// Initial state, viewport and orthographic bounds
// ---------------------------------------------------------------------------
TEST_F(TransformTest, InitialisationGivesOnePixelPerUnitOverTheNativeDisplay) {
    EXPECT_EQ(640.0f, T().half_width);
    EXPECT_EQ(384.0f, T().half_height);
    EXPECT_EQ(1.0f, T().ratio_x);
    EXPECT_EQ(1.0f, T().units_x);
    EXPECT_EQ(1.0f, T().units_y);
    EXPECT_EQ(1.0f, T().line_scale_x);
    EXPECT_EQ(1.0f, T().font_scale_y);
    EXPECT_EQ(0u, Context().ortho.depth);
    EXPECT_FLOAT_EQ(2.0f / 1280.0f, T().matrix[0]);
    EXPECT_FLOAT_EQ(2.0f / 768.0f, T().matrix[5]);
    EXPECT_EQ(-1.0f, T().matrix[12]);
    EXPECT_EQ(-1.0f, T().matrix[13]);
    for (const sgl_matrix_stack_entry& entry : Context().ortho.stack) {
        EXPECT_EQ(0, std::memcmp(entry.matrix, Context().ortho.matrix, sizeof(entry.matrix)));
    }
    ExpectMatrixInStepWithOpenGl();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(1280, viewport[2]);
    EXPECT_EQ(768, viewport[3]);
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, HalfSizeViewportDoublesTheUnitsPerPixel) {
    sglViewport(0, 0, 640, 384);
    sglOrtho(0, 1280, 0, 768);
    EXPECT_EQ(2.0f, T().units_x);
    EXPECT_EQ(2.0f, T().units_y);
    EXPECT_EQ(0.5f, T().ratio_x);
    EXPECT_EQ(1.0f, T().font_scale_x);  // one native pixel is still one unit
    float px = 0;
    float py = 0;
    sglConvertPointToPixel(1280, 768, &px, &py);
    EXPECT_EQ(640.0f, px);
    EXPECT_EQ(384.0f, py);

    sglScalef(2, 2);
    EXPECT_EQ(1.0f, T().units_x);
    EXPECT_EQ(2.0f, T().line_scale_x);
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, HalfSizeViewportHalvesEverythingDrawn) {
    sglViewport(0, 0, 640, 384);
    sglOrtho(0, 1280, 0, 768);
    FillRectRaw(200, 100, 400, 300, 1, 1, 1);
    // 200 x 200 units become 100 x 100 pixels at (100, 50).
    EXPECT_EQ(100 * 100, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(100 * 100, CountCoveredPixels(100, 50, 100, 100));
}

TEST_F(TransformTest, EmptyViewportFallsBackToTheCentredHalfDisplay) {
    sglViewport(0, 0, 0, 100);
    ASSERT_EQ(1u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_VIEWPORT, LastError().code);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(320, viewport[0]);
    EXPECT_EQ(192, viewport[1]);
    EXPECT_EQ(640, viewport[2]);
    EXPECT_EQ(384, viewport[3]);
    EXPECT_EQ(320.0f, T().half_width);
    EXPECT_EQ(0.5f, T().ratio_y);

    sglViewport(10, 10, 100, -5);
    EXPECT_EQ(2u, ErrorCount());
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(320, viewport[0]);
}

TEST_F(TransformTest, ViewportAndOrthoAreRefusedInsideAPush) {
    sglPushMatrix();
    sglViewport(0, 0, 100, 100);
    sglOrtho(0, 10, 0, 10);
    ASSERT_EQ(2u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_VIEWPORT, Context().errors.entries[0].code);
    EXPECT_EQ(SGL_ERROR_ORTHO, Context().errors.entries[1].code);
    EXPECT_EQ(640.0f, T().half_width);
    EXPECT_EQ(1280.0f, Context().ortho.right);
    sglPopMatrix();
    EXPECT_EQ(2u, ErrorCount());
}

TEST_F(TransformTest, DegenerateOrthoIsRefused) {
    sglOrtho(5, 5.0000005f, 0, 10);
    sglOrtho(0, 10, 3, 3);
    ASSERT_EQ(2u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_ORTHO, LastError().code);
    EXPECT_EQ(768.0f, Context().ortho.top);
}

TEST_F(TransformTest, OrthoWithFlippedAxesKeepsPositiveUnitsPerPixel) {
    sglOrtho(-640, 640, 384, -384);  // y downwards
    EXPECT_EQ(1.0f, T().units_x);
    EXPECT_EQ(1.0f, T().units_y);
    FillRectRaw(-640, -384, -630, -374, 1, 1, 1);  // top-left corner of the window
    EXPECT_EQ(100, CountCoveredPixels(0, 758, 10, 10));
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
    EXPECT_FLOAT_EQ(1.5f, T().scale_x);
    EXPECT_FLOAT_EQ(1.0f, T().line_scale_x);
    EXPECT_FLOAT_EQ(30.0f + 315.0f, T().rotation);
}

TEST_F(TransformTest, RotationBy90MovesAFilledQuad) {
    sglTranslatef(640, 384);
    sglRotatef(90);
    // A 40 x 20 bar to the right of the origin turns into a 20 x 40 bar above it.
    FillRectRaw(10, 0, 50, 20, 1, 1, 1);
    EXPECT_EQ(800, CountCoveredPixels(620, 394, 20, 40));
    EXPECT_EQ(800, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0, CountCoveredPixels(650, 384, 40, 20));
}

TEST_F(TransformTest, QuarterTurnsAreExact) {
    sglRotatef(450);
    EXPECT_EQ(0.0f, T().matrix[0]);
    EXPECT_EQ(-2.0f / 1280.0f, T().matrix[4]);
    EXPECT_EQ(2.0f / 768.0f, T().matrix[1]);
    EXPECT_EQ(0.0f, T().matrix[5]);
    EXPECT_EQ(90.0f, T().rotation);
    sglRotatef(360);
    EXPECT_EQ(450.0f, T().rotation);
    sglRotatef(-90);
    EXPECT_EQ(720.0f, T().rotation);
}

TEST_F(TransformTest, ScaleByZeroCollapsesTheAxisWithoutDividingByZero) {
    sglScalef(0, 2);
    EXPECT_EQ(0.0f, T().matrix[0]);
    EXPECT_EQ(1.0f, T().units_x);
    EXPECT_EQ(0.5f, T().units_y);
    EXPECT_EQ(0u, ErrorCount());
    float x = 7;
    float y = 7;
    sglConvertPixelToPoint(100, 100, &x, &y);
    EXPECT_TRUE(std::isfinite(x));
    EXPECT_TRUE(std::isfinite(y));
}

TEST_F(TransformTest, LoadIdentityKeepsTheRotationButResetsScales) {
    sglScalef(4, 4);
    sglRotatef(30);
    sglLoadIdentity();
    EXPECT_EQ(1.0f, T().scale_x);
    EXPECT_EQ(1.0f, T().units_x);
    EXPECT_EQ(30.0f, T().rotation);
    EXPECT_EQ(0, std::memcmp(T().matrix, Context().ortho.matrix, sizeof(T().matrix)));
    ExpectMatrixInStepWithOpenGl();
}

TEST_F(TransformTest, ModuloAngle) {
    struct Case {
        float in, out;
    } cases[] = {
        {720, 360}, {-90, 270}, {0, 0}, {5e-7f, 0}, {360, 360}, {45, 45}, {-720, 360}, {370, 10},
        {-360.5f, 359.5f}, {100000, 280},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(c.out, sgluModuloAngle(c.in)) << c.in;
    }
    EXPECT_EQ(0u, ErrorCount());
    EXPECT_EQ(0.0f, sgluModuloAngle(100000.5f));
    EXPECT_EQ(0.0f, sgluModuloAngle(-2e5f));
    ASSERT_EQ(2u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_MODULO_ANGLE, LastError().code);
}

// ---------------------------------------------------------------------------
// Stack
// ---------------------------------------------------------------------------
TEST_F(TransformTest, FullPushAndPopRestoreEverything) {
    sglTranslatef(100, 50);
    sgl_transformation before = T();
    sglPushMatrix();
    sglScalef(3, 2);
    sglRotatef(33);
    sglTranslatef(5, 5);
    sglPopMatrix();
    EXPECT_EQ(0, std::memcmp(before.matrix, T().matrix, sizeof(before.matrix)));
    EXPECT_EQ(before.units_x, T().units_x);
    EXPECT_EQ(before.scale_y, T().scale_y);
    EXPECT_EQ(before.rotation, T().rotation);
    EXPECT_EQ(before.line_scale_x, T().line_scale_x);
    ExpectMatrixInStepWithOpenGl();
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, LightPushAndPopRestoreTheTranslationOnly) {
    sglPushMatrixAndTranslate(640, 384);
    EXPECT_EQ(0.0f, T().matrix[12]);
    sglPushMatrixAndTranslate(10, 20);
    FillRectRaw(0, 0, 10, 10, 1, 1, 1);
    EXPECT_EQ(100, CountCoveredPixels(650, 404, 10, 10));
    sglPopMatrixAndTranslate();
    sglPopMatrixAndTranslate();
    EXPECT_EQ(-1.0f, T().matrix[12]);
    EXPECT_EQ(-1.0f, T().matrix[13]);
    ExpectMatrixInStepWithOpenGl();
    EXPECT_EQ(1, GlStackDepth());
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, PopsOfAnEmptyStackAreRecorded) {
    sglPopMatrix();
    sglPopMatrixAndTranslate();
    ASSERT_EQ(2u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_POP_MATRIX, Context().errors.entries[0].code);
    EXPECT_EQ(SGL_ERROR_POP_TRANSLATE, Context().errors.entries[1].code);
    EXPECT_EQ(1, GlStackDepth());
    EXPECT_EQ(uint32_t{GL_NO_ERROR}, velkor_test::TakeGlError());
}

// OpenGL's own stack may hold fewer matrices than the library's 32; the
// library's pushes must still all work and leave OpenGL consistent.
TEST_F(TransformTest, ThirtyTwoPushesWorkAndTheThirtyThirdIsRefused) {
    for (int i = 0; i < 32; i++) {
        sglPushMatrix();
        sglTranslatef(1, 0);
    }
    EXPECT_EQ(uint32_t{GL_NO_ERROR}, velkor_test::TakeGlError());
    EXPECT_EQ(0u, ErrorCount());
    GLint depth = GlStackDepth();
    sglPushMatrix();
    ASSERT_EQ(1u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_PUSH_MATRIX, LastError().code);
    EXPECT_EQ(depth, GlStackDepth());
    sglPushMatrixAndTranslate(1, 1);
    EXPECT_EQ(SGL_ERROR_PUSH_TRANSLATE, LastError().code);
    ExpectMatrixInStepWithOpenGl();
    for (int i = 0; i < 32; i++) {
        sglPopMatrix();
        ExpectMatrixInStepWithOpenGl();
    }
    EXPECT_EQ(uint32_t{GL_NO_ERROR}, velkor_test::TakeGlError());
    EXPECT_EQ(1, GlStackDepth());
    EXPECT_EQ(-1.0f, T().matrix[12]);
}

TEST_F(TransformTest, ResetEmptiesTheStackOnBothSides) {
    sglPushMatrix();
    sglPushMatrixAndTranslate(5, 5);
    sglRotatef(10);
    sglReset();
    EXPECT_EQ(0u, Context().ortho.depth);
    EXPECT_EQ(1, GlStackDepth());
    EXPECT_EQ(0, std::memcmp(T().matrix, Context().ortho.matrix, sizeof(T().matrix)));
    ExpectMatrixInStepWithOpenGl();
}

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

// The pixel-to-point rule: project the pixel onto the images of the x and y
// axes (through (0, 0), (100, 0) and (0, 100)) along each other.
void GeometricPixelToPoint(float px, float py, double* x, double* y) {
    float ox, oy, ax, ay, bx, by;
    sglConvertPointToPixel(0, 0, &ox, &oy);
    sglConvertPointToPixel(100, 0, &ax, &ay);
    sglConvertPointToPixel(0, 100, &bx, &by);
    double ux = ax - ox, uy = ay - oy, vx = bx - ox, vy = by - oy;
    double wx = px - ox, wy = py - oy;
    // w = s * u + t * v, solved by Cramer's rule; s and t are the fractions
    // of the axis images, signed by the side of the origin.
    double det = ux * vy - uy * vx;
    double s = (wx * vy - wy * vx) / det;
    double t = (ux * wy - uy * wx) / det;
    *x = 100.0 * s;
    *y = 100.0 * t;
}

TEST_F(TransformTest, PixelToPointInvertsPointToPixelAndAgreesWithTheConstruction) {
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
            double gx, gy;
            GeometricPixelToPoint(px, py, &gx, &gy);
            EXPECT_NEAR(gx, bx, 1e-3);
            EXPECT_NEAR(gy, by, 1e-3);
        }
    }
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(TransformTest, ScreenConversionsUseNativeDisplayPixels) {
    sglViewport(0, 0, 640, 384);
    sglOrtho(0, 1280, 0, 768);
    sglTranslatef(640, 384);
    float sx, sy;
    sglConvertPointToScreen(100, -50, &sx, &sy);
    EXPECT_FLOAT_EQ(740.0f, sx);
    EXPECT_FLOAT_EQ(334.0f, sy);
    float x, y;
    sglConvertScreenToPoint(740, 334, &x, &y);
    EXPECT_NEAR(100.0f, x, 1e-4f);
    EXPECT_NEAR(-50.0f, y, 1e-4f);
    float fx, fy;
    f059(100, -50, &fx, &fy);
    EXPECT_EQ(sx, fx);
    f079(740, 334, &fx, &fy);
    EXPECT_EQ(x, fx);
}

TEST_F(TransformTest, NullOutputsAreRecordedAndNothingIsWritten) {
    float out = 42;
    sglConvertPointToPixel(1, 1, &out, nullptr);
    sglConvertPointToScreen(1, 1, nullptr, &out);
    sglConvertPixelToPoint(1, 1, &out, nullptr);
    sglConvertScreenToPoint(1, 1, nullptr, &out);
    EXPECT_EQ(42.0f, out);
    ASSERT_EQ(4u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_POINT_TO_PIXEL, Context().errors.entries[0].code);
    EXPECT_EQ(SGL_ERROR_POINT_TO_SCREEN, Context().errors.entries[1].code);
    EXPECT_EQ(SGL_ERROR_PIXEL_TO_POINT, Context().errors.entries[2].code);
    EXPECT_EQ(SGL_ERROR_SCREEN_TO_POINT, Context().errors.entries[3].code);
}

TEST_F(TransformTest, PointToPixelMatchesWhereOpenGlDraws) {
    sglTranslatef(200, 100);
    sglRotatef(30);
    sglScalef(2, 2);
    float px, py;
    sglConvertPointToPixel(40, 10, &px, &py);
    FillRectRaw(39.5f, 9.5f, 40.5f, 10.5f, 1, 1, 1);  // a 2 x 2 pixel diamond round the point
    int x = static_cast<int>(std::floor(px));
    int y = static_cast<int>(std::floor(py));
    EXPECT_GE(CountCoveredPixels(x - 1, y - 1, 3, 3), 3);
    EXPECT_EQ(CountCoveredPixels(0, 0, 1280, 768), CountCoveredPixels(x - 3, y - 3, 7, 7));
}

}  // namespace
