// Bounding boxes: the exact bounds of curve and arc segments (worked out by
// hand, and against the vertices the segments draw), the box collected from
// what is drawn, cut by a scissor, and the errors of the queries. (Masks
// cutting the box are tested with the masks.)
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graphics/sgl.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/graphics/gl_feedback.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using namespace velkor_test;

const float kWidths[2][3] = {{1.0f, 1.0f, 1.0f}, {4.0f, 4.0f, 8.0f}};

struct Box {
  float x1, y1, x2, y2;
};

class BoundsTest : public SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    InstallLineTestTables(&kWidths[0][0], 2);
    sglIndexLineWidthi(0);
  }

  static void ExpectBox(const Box& expected, const Box& got, float tolerance) {
    EXPECT_NEAR(expected.x1, got.x1, tolerance);
    EXPECT_NEAR(expected.y1, got.y1, tolerance);
    EXPECT_NEAR(expected.x2, got.x2, tolerance);
    EXPECT_NEAR(expected.y2, got.y2, tolerance);
  }

  // The box of the line vertices that draw hands to OpenGL, in drawing
  // units. Drawn 100 units to the right, since OpenGL hands back only what
  // lies on the display.
  static Box DrawnExtent(const std::function<void()>& draw) {
    sglSetRenderMode(0);
    sglPushMatrix();
    sglTranslatef(100.0f, 0.0f);
    Fed fed = Feed(draw);
    sglPopMatrix();
    sglSetRenderMode(1);
    for (size_t k = 0; k < fed.strip.size(); k += 2) fed.strip[k] -= 100.0f;
    EXPECT_GT(fed.StripSize(), 1u);
    Box box{1e9f, 1e9f, -1e9f, -1e9f};
    for (uint32_t k = 0; k < fed.StripSize(); ++k) {
      box = {std::fmin(box.x1, fed.x(k)), std::fmin(box.y1, fed.y(k)), std::fmax(box.x2, fed.x(k)),
             std::fmax(box.y2, fed.y(k))};
    }
    return box;
  }

  static bool Collected(Box* box) {
    return sglEndBoundingBox(&box->x1, &box->y1, &box->x2, &box->y2);
  }
  static Box CollectedFrom(void (*draw)()) {
    sglBeginBoundingBox();
    draw();
    Box box{};
    EXPECT_TRUE(Collected(&box));
    return box;
  }
};

// ---------------------------------------------------------------- segment bounds

TEST_F(BoundsTest, BezierBoundsAreExactAndHoldTheDrawnCurve) {
  const struct {
    uint32_t degree;
    float p[8];
    Box box;
  } cases[] = {
      {3,
       {0, 0, 0, 100, 100, 100, 100, 0},
       {0, 0, 100, 75}},  // arch: its top at t = 1/2 is 3/4 of the height
      {3, {0, 0, -60, 50, -60, 50, 0, 100}, {-45, 0, 0, 100}},  // x(t) = -180 t (1 - t): least -45
      {3, {10, 20, 20, 30, 30, 40, 40, 50}, {10, 20, 40, 50}},  // straight
      {2, {0, 0, 50, 100, 100, 0}, {0, 0, 100, 50}},            // arch
      {2, {0, 0, 200, 50, 100, 100}, {0, 0, 400.0f / 3, 100}},  // x greatest 400/3 at t = 2/3
  };
  const float dx = 300.0f, dy = 200.0f;  // anywhere on the display
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "degree " << c.degree << " to " << c.p[2 * c.degree]);
    float q[8];
    for (int i = 0; i < 8; ++i) q[i] = c.p[i] + (i % 2 ? dy : dx);
    Box got{};
    const Box drawn = DrawnExtent([&] {
      sglBeginPath(1);
      sglMoveTo(q[0], q[1]);
      float* o[4] = {&got.x1, &got.y1, &got.x2, &got.y2};
      ASSERT_TRUE(
          c.degree == 3
              ? sglCubicBezierBounds(q[2], q[3], q[4], q[5], q[6], q[7], o[0], o[1], o[2], o[3])
              : sglQuadraticBezierBounds(q[2], q[3], q[4], q[5], o[0], o[1], o[2], o[3]));
      if (c.degree == 3) {
        sglCubicBezier(q[2], q[3], q[4], q[5], q[6], q[7]);
      } else {
        sglQuadraticBezier(q[2], q[3], q[4], q[5]);
      }
      sglEndPath();
    });
    ExpectBox({c.box.x1 + dx, c.box.y1 + dy, c.box.x2 + dx, c.box.y2 + dy}, got, 1e-3f);
    ExpectBox(got, drawn, 0.3f);  // within the flattening, and the query added nothing
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(BoundsTest, ArcBoundsAreExactAndHoldTheDrawnArc) {
  Box got{};
  // A turned ellipse, both arcs between the same points.
  for (uint32_t large = 0; large < 2; ++large) {
    SCOPED_TRACE(large ? "large arc" : "small arc");
    const Box drawn = DrawnExtent([&] {
      sglBeginPath(1);
      sglMoveTo(813.2f, 484.0f);
      ASSERT_TRUE(sglEllipticalArcBounds(200, 80, 30, large, large, 600, 453.3f, &got.x1, &got.y1,
                                         &got.x2, &got.y2));
      sglEllipticalArc(200.0f, 80.0f, 30.0f, large, large, 600.0f, 453.3f);
      sglEndPath();
    });
    ExpectBox(got, drawn, 0.3f);
  }
  // Arc segments of either direction and any sweep, against what they draw.
  const struct {
    float x0, y0, x1, y1;
    uint32_t clockwise;
    float angle;
  } cases[] = {{300, 300, 500, 300, 0, 180},
               {300, 300, 500, 400, 1, 90},
               {300, 300, 400, 500, 0, 270},
               {300, 300, 400, 500, 1, 300},
               {400, 300, 300, 350, 0, -90}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "arc segment cw " << c.clockwise << " " << c.angle << " to " << c.x1);
    ASSERT_TRUE(sglGetArcSegmentBounds(c.x0, c.y0, c.x1, c.y1, c.clockwise, c.angle, &got.x1,
                                       &got.y1, &got.x2, &got.y2));
    ExpectBox(got, DrawnExtent([&c] {
                sglBeginPath(1);
                sglMoveTo(c.x0, c.y0);
                sgluArcSegment(c.clockwise, c.angle);
                sglLineTo(c.x1, c.y1);
                sglEndPath();
              }),
              0.4f);
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(BoundsTest, RefusedBoundsQueriesRecordTheirErrorsAndLeaveTheOutputs) {
  Box got{1, 2, 3, 4};
  float* o[4] = {&got.x1, &got.y1, &got.x2, &got.y2};
  // No path, so no current point: value 0.
  EXPECT_FALSE(sglCubicBezierBounds(0, 0, 1, 1, 2, 2, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglSmoothCubicBezierBounds(1, 1, 2, 2, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglQuadraticBezierBounds(1, 1, 2, 2, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglSmoothQuadraticBezierBounds(2, 2, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglEllipticalArcBounds(5, 5, 0, 0, 0, 2, 2, o[0], o[1], o[2], o[3]));
  // A current point but a number that is not finite: value 1.
  sglBeginPath(1);
  sglMoveTo(0.0f, 0.0f);
  EXPECT_FALSE(sglCubicBezierBounds(0, NAN, 1, 1, 2, 2, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglEllipticalArcBounds(INFINITY, 5, 0, 0, 0, 2, 2, o[0], o[1], o[2], o[3]));
  sglEndPath();
  // Arc segments: the arguments sgluArcSegment refuses.
  EXPECT_FALSE(sglGetArcSegmentBounds(0, 0, 1, 1, 2, 90, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglGetArcSegmentBounds(0, 0, 1, 1, 0, 360, o[0], o[1], o[2], o[3]));
  EXPECT_FALSE(sglGetArcSegmentBounds(0, NAN, 1, 1, 0, 90, o[0], o[1], o[2], o[3]));
  EXPECT_EQ((ErrorList{{SGL_ERROR_CUBIC_BEZIER_BOUNDS, 0},
                       {SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS, 0},
                       {SGL_ERROR_QUADRATIC_BEZIER_BOUNDS, 0},
                       {SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS, 0},
                       {SGL_ERROR_ELLIPTICAL_ARC_BOUNDS, 0},
                       {SGL_ERROR_CUBIC_BEZIER_BOUNDS, 1},
                       {SGL_ERROR_ELLIPTICAL_ARC_BOUNDS, 1},
                       {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0},
                       {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0},
                       {SGL_ERROR_ARC_SEGMENT_BOUNDS, 0}}),
            TakeErrors());
  ExpectBox({1, 2, 3, 4}, got, 0.0f);
}

// ---------------------------------------------------------------- the collected box

TEST_F(BoundsTest, CollectedBoxOfKnownShapesIsExactInPixels) {
  ExpectBox({100, 50, 300, 400}, CollectedFrom([] {
              FillQuad(100, 100, 300, 200);
              FillQuad(250, 50, 260, 400);
            }),
            1e-3f);
  ExpectBox({540, 284, 740, 484},
            CollectedFrom([] { sgluCrown2f(640, 384, 50, 100, 0, 360, 0, 1); }), 1e-2f);
  // A rectangle turned a quarter and moved: the box round it on the screen.
  ExpectBox({400, 120, 500, 320}, CollectedFrom([] {
              sglPushMatrix();
              sglTranslatef(600.0f, 20.0f);
              sglRotatef(90.0f);
              FillQuad(100, 100, 300, 200);
              sglPopMatrix();
            }),
            1e-3f);
  // A filled path of a quadratic curve, its top at 400.
  ExpectBox({100, 300, 300, 400}, CollectedFrom([] {
              sglBeginPath(2);
              sglMoveTo(100, 300);
              sglQuadraticBezier(200, 500, 300, 300);
              sglEndPath();
            }),
            1e-2f);
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(BoundsTest, CollectedBoxOfALineHoldsItsWidthThroughAColourChange) {
  // Entry 1 is (4, 4, 8): 2 pixels each side, 4 with the smoothing halo. A
  // colour chosen while the line is given leaves it a line of that width.
  const struct {
    uint8_t render_mode;
    bool smooth, recolour;
    float half;
  } cases[] = {{1, false, false, 2}, {1, true, false, 4}, {0, false, false, 2},
               {0, true, false, 4},  {1, false, true, 2}, {0, true, true, 4}};
  sglIndexLineWidthi(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << int{c.render_mode} << c.smooth << c.recolour);
    sglSetRenderMode(c.render_mode);
    c.smooth ? sglEnable(SGL_LINE_SMOOTH) : sglDisable(SGL_LINE_SMOOTH);
    sglBeginBoundingBox();
    sglBegin(11);
    sglVertex2f(100.0f, 100.0f);
    if (c.recolour) sglIndexColori(kRed);
    sglVertex2f(300.0f, 100.0f);
    sglEnd();
    Box got{};
    ASSERT_TRUE(Collected(&got));
    ExpectBox({100 - c.half, 100 - c.half, 300 + c.half, 100 + c.half}, got, 1e-4f);
  }
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
  FillQuad(0.0f, 0.0f, 10.0f, 10.0f);
  EXPECT_FALSE(Collected(&got)) << "drawn after the end";
  ExpectBox({7, 7, 7, 7}, got, 0.0f);
}

TEST_F(BoundsTest, ScissorCutsTheCollectedBox) {
  sglPushMatrixAndTranslate(150.0f, 150.0f);
  sglBeginScissor(100.0f, 100.0f);
  sglPopMatrixAndTranslate();
  // The second rectangle lies wholly outside: it adds nothing.
  ExpectBox({150, 150, 250, 200}, CollectedFrom([] {
              FillQuad(100, 100, 300, 200);
              FillQuad(400, 400, 500, 500);
            }),
            1e-3f);
  sglEndScissor();
}

TEST_F(BoundsTest, CollectedBoxHoldsTextOfTheBoundingBoxWriters) {
  const TestFontTable table = MakeTestFontTable();
  sgluLoadFonts(table.data());
  sglIndexFonti(TestFontTable::kFontSlot);
  Box text{};
  ASSERT_TRUE(
      sglGetTextMultilineBounds(400.0f, 300.0f, "aWi", 3, &text.x1, &text.y1, &text.x2, &text.y2));
  const Box got = CollectedFrom([] {
    FillQuad(100, 100, 120, 120);
    sgluWriteTextWithBBox(400.0f, 300.0f, "aWi", 3);
  });
  ExpectBox({100, 100, text.x2, text.y2}, got, 1e-3f);
}

}  // namespace
