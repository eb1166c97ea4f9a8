// Bounding boxes: the exact bounds of Bezier, elliptical-arc and arc
// segments (against boxes worked out by hand and against the vertices the
// segments draw), the box collected from what is drawn - shapes, lines with
// their width, transformed shapes, text, cut by scissors and masks - the
// boxes of stencil masks, and the errors of the bounds queries.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::VertexX;
using velkor_test::VertexY;

const float kWidths[2][3] = {{1.0f, 1.0f, 1.0f}, {4.0f, 4.0f, 8.0f}};

struct Box {
    float x1, y1, x2, y2;
};

class BoundsTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        velkor_test::InstallLineTestTables(&kWidths[0][0], 2);
        sglIndexLineWidthi(0);
    }

    static void ExpectBox(const Box& expected, const Box& got, float tolerance, const char* what) {
        EXPECT_NEAR(expected.x1, got.x1, tolerance) << what;
        EXPECT_NEAR(expected.y1, got.y1, tolerance) << what;
        EXPECT_NEAR(expected.x2, got.x2, tolerance) << what;
        EXPECT_NEAR(expected.y2, got.y2, tolerance) << what;
    }

    // Box of the vertices of the last line or shape drawn.
    static Box DrawnExtent() {
        const uint32_t n = Context().lines.drawn_vertex_count;
        Box box{VertexX(0), VertexY(0), VertexX(0), VertexY(0)};
        for (uint32_t k = 1; k < n; ++k) {
            box.x1 = std::fmin(box.x1, VertexX(k));
            box.y1 = std::fmin(box.y1, VertexY(k));
            box.x2 = std::fmax(box.x2, VertexX(k));
            box.y2 = std::fmax(box.y2, VertexY(k));
        }
        return box;
    }

    static void FillRect(float x1, float y1, float x2, float y2) {
        sglBegin(5);
        sglVertex2f(x1, y1);
        sglVertex2f(x2, y1);
        sglVertex2f(x2, y2);
        sglVertex2f(x1, y2);
        sglEnd();
    }

    static bool Collected(Box* box) { return sglEndBoundingBox(&box->x1, &box->y1, &box->x2, &box->y2); }
};

// ---------------------------------------------------------------- curve bounds

TEST_F(BoundsTest, BezierBoundsAreExact) {
    struct Case {
        const char* name;
        uint32_t degree;
        float p[8];
        Box box;
    };
    const Case cases[] = {
        // An arch: its top at t = 1/2 is 3/4 of the control height.
        {"cubic arch", 3, {0, 0, 0, 100, 100, 100, 100, 0}, {0, 0, 100, 75}},
        // x(t) = -180 t (1 - t): least -45 at t = 1/2; y rises throughout.
        {"cubic bulging left", 3, {0, 0, -60, 50, -60, 50, 0, 100}, {-45, 0, 0, 100}},
        {"straight cubic", 3, {10, 20, 20, 30, 30, 40, 40, 50}, {10, 20, 40, 50}},
        {"quadratic arch", 2, {0, 0, 50, 100, 100, 0}, {0, 0, 100, 50}},
        // x(t) = 400 t (1 - t) + 100 t^2: greatest 400/3 at t = 2/3.
        {"quadratic bulging right", 2, {0, 0, 200, 50, 100, 100}, {0, 0, 400.0f / 3.0f, 100}},
    };
    const float dx = 300.0f, dy = 200.0f;  // anywhere on the display
    for (const Case& c : cases) {
        sglBeginPath(1);
        sglMoveTo(c.p[0] + dx, c.p[1] + dy);
        Box got{};
        bool ok = false;
        if (c.degree == 3) {
            ok = sglCubicBezierBounds(c.p[2] + dx, c.p[3] + dy, c.p[4] + dx, c.p[5] + dy, c.p[6] + dx, c.p[7] + dy,
                                      &got.x1, &got.y1, &got.x2, &got.y2);
        } else {
            ok = sglQuadraticBezierBounds(c.p[2] + dx, c.p[3] + dy, c.p[4] + dx, c.p[5] + dy, &got.x1, &got.y1,
                                          &got.x2, &got.y2);
        }
        ASSERT_TRUE(ok) << c.name;
        ExpectBox({c.box.x1 + dx, c.box.y1 + dy, c.box.x2 + dx, c.box.y2 + dy}, got, 1e-3f, c.name);
        EXPECT_EQ(1u, Context().vertex_count) << c.name << ": a query adds nothing to the path";
        // The curve drawn reaches its bounds (within its flattening).
        if (c.degree == 3) {
            sglCubicBezier(c.p[2] + dx, c.p[3] + dy, c.p[4] + dx, c.p[5] + dy, c.p[6] + dx, c.p[7] + dy);
        } else {
            sglQuadraticBezier(c.p[2] + dx, c.p[3] + dy, c.p[4] + dx, c.p[5] + dy);
        }
        sglEndPath();
        ExpectBox(got, DrawnExtent(), 0.3f, c.name);
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BoundsTest, SmoothBezierBoundsUseTheMirroredControlPoint) {
    Box got{};
    sglBeginPath(1);
    sglMoveTo(0.0f, 300.0f);
    sglCubicBezier(0.0f, 400.0f, 100.0f, 400.0f, 100.0f, 300.0f);
    // First control point (100, 200): the arch upside down.
    ASSERT_TRUE(sglSmoothCubicBezierBounds(200.0f, 200.0f, 200.0f, 300.0f, &got.x1, &got.y1, &got.x2, &got.y2));
    ExpectBox({100, 225, 200, 300}, got, 1e-3f, "smooth cubic");
    sglEndPath();

    sglBeginPath(1);
    sglMoveTo(0.0f, 300.0f);
    sglQuadraticBezier(50.0f, 400.0f, 100.0f, 300.0f);
    ASSERT_TRUE(sglSmoothQuadraticBezierBounds(200.0f, 300.0f, &got.x1, &got.y1, &got.x2, &got.y2));
    ExpectBox({100, 250, 200, 300}, got, 1e-3f, "smooth quadratic");
    // Without a quadratic before it, the control point is the current point:
    // a straight line.
    sglLineTo(200.0f, 300.0f);
    ASSERT_TRUE(sglSmoothQuadraticBezierBounds(300.0f, 350.0f, &got.x1, &got.y1, &got.x2, &got.y2));
    ExpectBox({200, 300, 300, 350}, got, 1e-3f, "smooth quadratic after a line");
    sglEndPath();
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BoundsTest, EllipticalArcBounds) {
    Box got{};
    struct Case {
        uint32_t large_arc, clockwise;
        Box box;
    };
    // Half circles of radius 50 below and above the chord (100, 100) - (200, 100).
    const Case cases[] = {{0, 0, {100, 50, 200, 100}}, {0, 1, {100, 100, 200, 150}}};
    for (const Case& c : cases) {
        sglBeginPath(1);
        sglMoveTo(100.0f, 100.0f);
        ASSERT_TRUE(sglEllipticalArcBounds(50.0f, 50.0f, 0.0f, c.large_arc, c.clockwise, 200.0f, 100.0f, &got.x1,
                                           &got.y1, &got.x2, &got.y2));
        ExpectBox(c.box, got, 1e-3f, c.clockwise ? "upper half" : "lower half");
        sglEndPath();
    }
    // A turned ellipse, both arcs between the same points: the bounds are
    // those of what is drawn.
    for (uint32_t large = 0; large < 2; ++large) {
        sglBeginPath(1);
        sglMoveTo(813.2f, 484.0f);
        ASSERT_TRUE(sglEllipticalArcBounds(200.0f, 80.0f, 30.0f, large, large, 600.0f, 453.3f, &got.x1, &got.y1,
                                           &got.x2, &got.y2));
        sglEllipticalArc(200.0f, 80.0f, 30.0f, large, large, 600.0f, 453.3f);
        sglEndPath();
        ExpectBox(got, DrawnExtent(), 0.3f, large ? "large arc" : "small arc");
    }
    // A radius of 0: the straight line.
    sglBeginPath(1);
    sglMoveTo(10.0f, 20.0f);
    ASSERT_TRUE(sglEllipticalArcBounds(0.0f, 50.0f, 0.0f, 0, 0, 5.0f, 40.0f, &got.x1, &got.y1, &got.x2, &got.y2));
    ExpectBox({5, 20, 10, 40}, got, 1e-3f, "radius 0");
    sglEndPath();
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BoundsTest, ArcSegmentBoundsMatchTheDrawnArc) {
    struct Case {
        float x0, y0, x1, y1;
        uint32_t clockwise;
        float angle;
    };
    const Case cases[] = {
        {300, 300, 500, 300, 0, 180}, {300, 300, 500, 300, 1, 180}, {300, 300, 500, 300, 0, 90},
        {300, 300, 500, 400, 1, 90},  {300, 300, 400, 500, 0, 270}, {300, 300, 400, 500, 1, 300},
        {400, 300, 300, 350, 0, -90},
    };
    for (const Case& c : cases) {
        Box got{};
        ASSERT_TRUE(sglGetArcSegmentBounds(c.x0, c.y0, c.x1, c.y1, c.clockwise, c.angle, &got.x1, &got.y1, &got.x2,
                                           &got.y2));
        sglBeginPath(1);
        sglMoveTo(c.x0, c.y0);
        sgluArcSegment(c.clockwise, c.angle);
        sglLineTo(c.x1, c.y1);
        sglEndPath();
        ExpectBox(got, DrawnExtent(), 0.4f, "arc segment");
    }
    // Half a circle of radius 50 on the chord (0, 0) - (100, 0).
    Box half{};
    ASSERT_TRUE(sglGetArcSegmentBounds(0, 0, 100, 0, 0, 180, &half.x1, &half.y1, &half.x2, &half.y2));
    sglBeginPath(1);
    sglMoveTo(0.0f, 0.0f);
    sgluArcSegment(0, 180.0f);
    sglLineTo(100.0f, 0.0f);
    sglEndPath();
    const float side = DrawnExtent().y1 < -1.0f ? -1.0f : 1.0f;
    ExpectBox(side < 0 ? Box{0, -50, 100, 0} : Box{0, 0, 100, 50}, half, 1e-3f, "half circle");
    // Two degrees or less stay straight.
    ASSERT_TRUE(sglGetArcSegmentBounds(0, 0, 100, 50, 0, 2, &half.x1, &half.y1, &half.x2, &half.y2));
    ExpectBox({0, 0, 100, 50}, half, 1e-3f, "straight");
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BoundsTest, RefusedBoundsQueriesRecordTheirErrors) {
    Box got{1, 2, 3, 4};
    // No path, so no current point: value 0.
    EXPECT_FALSE(sglCubicBezierBounds(0, 0, 1, 1, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglSmoothCubicBezierBounds(1, 1, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglQuadraticBezierBounds(1, 1, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglSmoothQuadraticBezierBounds(2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglEllipticalArcBounds(5, 5, 0, 0, 0, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    // A current point but a number that is not finite: value 1.
    sglBeginPath(1);
    sglMoveTo(0.0f, 0.0f);
    EXPECT_FALSE(sglCubicBezierBounds(0, NAN, 1, 1, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglEllipticalArcBounds(INFINITY, 5, 0, 0, 0, 2, 2, &got.x1, &got.y1, &got.x2, &got.y2));
    sglEndPath();
    // Arc segments: the arguments sgluArcSegment refuses.
    EXPECT_FALSE(sglGetArcSegmentBounds(0, 0, 1, 1, 2, 90, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglGetArcSegmentBounds(0, 0, 1, 1, 0, 360, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglGetArcSegmentBounds(0, 0, 1, 1, 0, 0, &got.x1, &got.y1, &got.x2, &got.y2));
    EXPECT_FALSE(sglGetArcSegmentBounds(0, NAN, 1, 1, 0, 90, &got.x1, &got.y1, &got.x2, &got.y2));

    const struct {
        uint32_t code, value;
    } expected[] = {{SGL_ERROR_CUBIC_BEZIER_BOUNDS, 0},
                    {SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS, 0},
                    {SGL_ERROR_QUADRATIC_BEZIER_BOUNDS, 0},
                    {SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS, 0},
                    {SGL_ERROR_ELLIPTICAL_ARC_BOUNDS, 0},
                    {SGL_ERROR_CUBIC_BEZIER_BOUNDS, 1},
                    {SGL_ERROR_ELLIPTICAL_ARC_BOUNDS, 1},
                    {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0},
                    {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0},
                    {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0},
                    {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0}};
    const sgl_type_statemachine& context = Context();
    ASSERT_EQ(11u, context.errors.count);
    for (uint32_t k = 0; k < 11; ++k) {
        EXPECT_EQ(expected[k].code, context.errors.entries[k].code) << k;
        EXPECT_EQ(expected[k].value, context.errors.entries[k].value) << k;
    }
    ExpectBox({1, 2, 3, 4}, got, 1e-3f, "outputs untouched");
}

// ---------------------------------------------------------------- the collected box

TEST_F(BoundsTest, CollectedBoxOfShapesIsExact) {
    Box got{};
    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    ASSERT_TRUE(Collected(&got));
    ExpectBox({100, 100, 300, 200}, got, 1e-3f, "rectangle");

    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    FillRect(250.0f, 50.0f, 260.0f, 400.0f);
    ASSERT_TRUE(Collected(&got));
    ExpectBox({100, 50, 300, 400}, got, 1e-3f, "two rectangles");

    // Boxes are in pixels: a rotated and moved rectangle gives the box
    // round it on the screen.
    sglBeginBoundingBox();
    sglPushMatrix();
    sglTranslatef(600.0f, 20.0f);
    sglRotatef(90.0f);
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    sglPopMatrix();
    ASSERT_TRUE(Collected(&got));
    ExpectBox({400, 120, 500, 320}, got, 1e-3f, "turned a quarter");

    sglBeginBoundingBox();
    sgluCrown2f(640.0f, 384.0f, 50.0f, 100.0f, 0.0f, 360.0f, 0, 1);
    ASSERT_TRUE(Collected(&got));
    ExpectBox({540, 284, 740, 484}, got, 1e-2f, "full ring");

    sglBeginBoundingBox();
    sglBeginPath(2);
    sglMoveTo(100.0f, 300.0f);
    sglQuadraticBezier(200.0f, 500.0f, 300.0f, 300.0f);
    sglEndPath();
    ASSERT_TRUE(Collected(&got));
    EXPECT_NEAR(400.0f, got.y2, 0.01f) << "the curve's top";
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BoundsTest, CollectedBoxOfALineHoldsItsWidth) {
    struct Case {
        uint8_t render_mode;
        bool smooth;
        float half;
    };
    // Entry 1 is (4, 4, 8): 2 pixels each side, 4 with the smoothing halo.
    const Case cases[] = {{1, false, 2.0f}, {1, true, 4.0f}, {0, false, 2.0f}, {0, true, 4.0f}};
    sglIndexLineWidthi(1);
    for (const Case& c : cases) {
        sglSetRenderMode(c.render_mode);
        c.smooth ? sglEnable(SGL_LINE_SMOOTH) : sglDisable(SGL_LINE_SMOOTH);
        sglBeginBoundingBox();
        sglBegin(11);
        sglVertex2f(100.0f, 100.0f);
        sglVertex2f(300.0f, 100.0f);
        sglEnd();
        Box got{};
        ASSERT_TRUE(Collected(&got));
        ExpectBox({100 - c.half, 100 - c.half, 300 + c.half, 100 + c.half}, got, 1e-4f, "line");
    }
    // A colour chosen while the line is given leaves it a line of that width.
    sglSetRenderMode(1);
    sglDisable(SGL_LINE_SMOOTH);
    sglBeginBoundingBox();
    sglBegin(11);
    sglVertex2f(100.0f, 100.0f);
    sglIndexColori(velkor_test::kRed);
    sglVertex2f(300.0f, 100.0f);
    sglEnd();
    Box got{};
    ASSERT_TRUE(Collected(&got));
    ExpectBox({98, 98, 302, 102}, got, 1e-4f, "colour changed inside the line");
}

TEST_F(BoundsTest, NothingDrawnNothingCollected) {
    Box got{7, 7, 7, 7};
    EXPECT_FALSE(Collected(&got)) << "no collection begun";
    sglBeginBoundingBox();
    sglBegin(5);
    sglVertex2f(10.0f, 10.0f);
    sglVertex2f(20.0f, 10.0f);
    sglEnd();  // two vertices fill nothing
    EXPECT_FALSE(Collected(&got));
    FillRect(0.0f, 0.0f, 10.0f, 10.0f);
    EXPECT_FALSE(Collected(&got)) << "drawn after the end";
    ExpectBox({7, 7, 7, 7}, got, 1e-3f, "outputs untouched");
}

TEST_F(BoundsTest, ScissorCutsTheCollectedBox) {
    sglPushMatrixAndTranslate(150.0f, 150.0f);
    sglBeginScissor(100.0f, 100.0f);
    sglPopMatrixAndTranslate();
    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    FillRect(400.0f, 400.0f, 500.0f, 500.0f);  // wholly outside: adds nothing
    Box got{};
    ASSERT_TRUE(Collected(&got));
    ExpectBox({150, 150, 250, 200}, got, 1e-3f, "cut to the scissor");
    sglEndScissor();
}

TEST_F(BoundsTest, MaskBoxesAreKeptAndCutWhatTheyHide) {
    const uint32_t id = sglBeginMaskDefinition(0);
    ASSERT_NE(0u, id);
    sgli_bounding_box_begin_mask(id, 0);
    sglBeginBoundingBox();
    FillRect(120.0f, 130.0f, 180.0f, 170.0f);
    sglEndMaskDefinition();
    sgl_bounds_box mask{};
    uint8_t inverted = 9;
    ASSERT_TRUE(sgli_bounding_box_get_mask(id, &mask, &inverted));
    ExpectBox({120, 130, 180, 170}, {mask.x1, mask.y1, mask.x2, mask.y2}, 1e-3f, "mask box");
    EXPECT_EQ(0u, inverted);
    Box got{};
    EXPECT_FALSE(Collected(&got)) << "a mask's shape is not drawn";

    sglSetActiveMasks(id);
    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    ASSERT_TRUE(Collected(&got));
    ExpectBox({120, 130, 180, 170}, got, 1e-3f, "drawing seen only inside the mask");
    sglSetActiveMasks(0);

    // An inverted mask lets drawing through outside its shape: no cut.
    const uint32_t outside = sglBeginMaskDefinition(1);
    sgli_bounding_box_begin_mask(outside, 1);
    FillRect(120.0f, 130.0f, 180.0f, 170.0f);
    sglEndMaskDefinition();
    sglSetActiveMasks(outside);
    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 300.0f, 200.0f);
    ASSERT_TRUE(Collected(&got));
    ExpectBox({100, 100, 300, 200}, got, 1e-3f, "inverted mask");
    sglSetActiveMasks(0);
    EXPECT_FALSE(sgli_bounding_box_get_mask(64, &mask, &inverted)) << "never defined";
    EXPECT_FALSE(sgli_bounding_box_get_mask(3, &mask, &inverted)) << "not one stencil bit";
}

TEST_F(BoundsTest, CollectedBoxHoldsTextOfTheBoundingBoxWriters) {
    const velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
    sgluLoadFonts(table.data());
    sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
    Box text{};
    ASSERT_TRUE(sglGetTextMultilineBounds(400.0f, 300.0f, "aWi", 3, &text.x1, &text.y1, &text.x2, &text.y2));
    sglBeginBoundingBox();
    FillRect(100.0f, 100.0f, 120.0f, 120.0f);
    sgluWriteTextWithBBox(400.0f, 300.0f, "aWi", 3);
    Box got{};
    ASSERT_TRUE(Collected(&got));
    ExpectBox({100, 100, text.x2, text.y2}, got, 1e-3f, "rectangle and text");
}

}  // namespace
