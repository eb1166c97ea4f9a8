// Lines drawn through sglBegin / sglVertex2f / sglEnd on the off-screen
// context: strands, smoothed width and round ends, flat caps, halos, dashes
// carried across corners, render mode 0, buffer limits and bad modes.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::CoveredInColumn;
using velkor_test::ErrorList;
using velkor_test::FirstCoveredX;
using velkor_test::LastCoveredX;
using velkor_test::ReadPixel;
using velkor_test::TakeErrors;
using velkor_test::VertexX;
using velkor_test::VertexY;

// Entries: 0 thin (no smoothing h = 0.6), 1 two-pixel smoothed core,
// 2 eight pixels (h = 4 both ways), 3 plain 4 (h = 2), 4 plain 6 (h = 3),
// 5 plain 1 with a wide outer halo, 6 plain 3 for OpenGL lines.
const float kWidths[7][3] = {
    {1.2f, 1.5f, 3.0f}, {2.0f, 2.0f, 4.0f}, {8.0f, 8.0f, 8.0f}, {4.0f, 4.0f, 4.0f},
    {6.0f, 6.0f, 6.0f}, {1.0f, 2.0f, 8.0f}, {3.0f, 3.0f, 3.0f},
};

class LinesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 7);
  }

  static void Strip(std::initializer_list<float> xy, uint8_t mode = 11) {
    sglBegin(mode);
    for (const float* p = xy.begin(); p + 1 < xy.end(); p += 2) sglVertex2f(p[0], p[1]);
    sglEnd();
  }
};

// ---------------------------------------------------------------- strands

TEST_F(LinesTest, StrandsPerSegmentFollowTheWidthEntryAndTheMode) {
  struct Case {
    int32_t width;
    uint8_t smoothing, mode;
    uint32_t strands;  // for the whole primitive
    float gl_width;
  };
  const Case cases[] = {
      {0, 0, 11, 2 * 1, 1.2f},  // h = 0.6: one strand as wide as the line
      {1, 1, 11, 2 * 4, 2.0f},  // smoothed: core h = 1 (1 strand) and halo g = 2 (3)
      {3, 0, 11, 2 * 3, 2.0f},  // h = 2
      {2, 0, 11, 2 * 7, 2.0f},  // h = 4
      {3, 0, 3, 3 * 3, 2.0f},   // a loop draws its closing segment
      {3, 0, 9, 1 * 3, 2.0f},   // separate segments: one pair of the three vertices
  };
  for (const Case& c : cases) {
    sglIndexLineWidthi(c.width);
    c.smoothing ? sglEnable(SGL_LINE_SMOOTH) : sglDisable(SGL_LINE_SMOOTH);
    Strip({100.5f, 100.5f, 300.5f, 100.5f, 300.5f, 300.5f}, c.mode);
    EXPECT_EQ(c.strands, Context().lines.strands_drawn)
        << "width " << c.width << " mode " << int{c.mode};
    EXPECT_EQ(c.gl_width, Context().gl_line_width) << "width " << c.width;
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// ---------------------------------------------------------------- pixels

TEST_F(LinesTest, TwoPixelSmoothedLineCoversItsWidth) {
  sglIndexLineWidthi(1);
  sglEnable(SGL_LINE_SMOOTH);
  Strip({100.0f, 200.0f, 300.0f, 200.0f});
  // The line straddles y = 200: rows 199 and 200 are fully lit, the rows
  // beyond at most faintly.
  for (int x = 110; x < 290; x += 20) {
    EXPECT_EQ(255, ReadPixel(x, 199).r) << "x " << x;
    EXPECT_EQ(255, ReadPixel(x, 200).r) << "x " << x;
    EXPECT_EQ(2, CoveredInColumn(x, 190, 210, 64)) << "x " << x;
    EXPECT_EQ(0, CoveredInColumn(x, 190, 196) + CoveredInColumn(x, 203, 210)) << "x " << x;
  }
}

TEST_F(LinesTest, WideLineHasRoundEnds) {
  sglIndexLineWidthi(2);
  Strip({200.0f, 300.0f, 400.0f, 300.0f});
  EXPECT_NEAR(8, CoveredInColumn(300, 280, 320, 64), 1);
  // The centre row reaches further past each end than the edge rows.
  EXPECT_GE(LastCoveredX(300, 390, 420, 64) - LastCoveredX(303, 390, 420, 64), 1);
  EXPECT_GE(FirstCoveredX(303, 180, 210, 64) - FirstCoveredX(300, 180, 210, 64), 1);
  EXPECT_GE(LastCoveredX(300, 390, 420, 64), 402);
}

TEST_F(LinesTest, FlatCapsGiveFlatFreeEndsAndARoundJoint) {
  sglIndexLineWidthi(2);
  sglSetLineCaps(0);
  Strip({200.0f, 300.0f, 400.0f, 300.0f, 400.0f, 500.0f});
  // Free ends: every row (column) of the line stops at the same place.
  const int start = FirstCoveredX(300, 180, 210, 64);
  const int top = CountCoveredPixels(400, 500, 1, 10, 64);
  for (int k = -3; k <= 3; ++k) {
    EXPECT_EQ(start, FirstCoveredX(300 + k, 180, 210, 64)) << "row " << 300 + k;
    EXPECT_EQ(top, CountCoveredPixels(400 + k, 500, 1, 10, 64)) << "column " << 400 + k;
  }
  // The joint stays round: the elbow is filled, its outer corner left open.
  EXPECT_GT(ReadPixel(402, 298).r, 128);
  EXPECT_LT(ReadPixel(403, 296).r, 128);
}

// The halo lies under the line in its own colour; with the depth test the
// line is still drawn over its halo. Without smoothing there is no halo.
TEST_F(LinesTest, HaloUnderTheLineEvenWithTheDepthTest) {
  sglIndexLineWidthi(5);  // core 2, halo 8
  sglIndexHaloColori(velkor_test::kRed);
  sglIndexColori(velkor_test::kGreen);
  sglEnable(SGL_DEPTH_TEST);
  sglEnable(SGL_LINE_SMOOTH);
  Strip({100.0f, 400.0f, 300.0f, 400.0f});
  EXPECT_EQ(255, ReadPixel(200, 400).g);
  EXPECT_EQ(255, ReadPixel(200, 402).r);
  sglDisable(SGL_LINE_SMOOTH);
  Strip({100.0f, 300.0f, 300.0f, 300.0f});
  EXPECT_EQ(0, ReadPixel(200, 302).r);
}

TEST_F(LinesTest, RenderModeZeroDrawsOpenGLLines) {
  sglSetRenderMode(0);
  sglIndexLineWidthi(6);
  Strip({100.0f, 600.5f, 300.0f, 600.5f});
  EXPECT_EQ(3.0f, Context().gl_line_width);
  EXPECT_EQ(0u, Context().lines.strands_drawn);
  EXPECT_EQ(3, CoveredInColumn(200, 590, 610, 128));
}

// ---------------------------------------------------------------- dashes

TEST_F(LinesTest, DotsCarryAcrossTheCornerAndRestartWithTheNextPrimitive) {
  sglIndexLineWidthi(0);
  sglIndexLineStipplei(3);  // on 1, off 6
  Strip({100.0f, 400.5f, 169.0f, 400.5f, 169.0f, 420.0f});
  const sgl_type_statemachine& c = Context();
  ASSERT_EQ(26u, c.lines.drawn_vertex_count);
  for (uint32_t k = 0; k < 10; ++k) {
    EXPECT_FLOAT_EQ(100.0f + 7.0f * k, VertexX(2 * k)) << "dash " << k;
    EXPECT_FLOAT_EQ(101.0f + 7.0f * k, VertexX(2 * k + 1)) << "dash " << k;
    EXPECT_GT(ReadPixel(100 + 7 * k, 400).r, 128) << "dash " << k;
    EXPECT_EQ(0, ReadPixel(103 + 7 * k, 400).r) << "gap " << k;
  }
  // Up the corner: one pixel of the gap is left.
  for (uint32_t k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(169.0f, VertexX(20 + 2 * k));
    EXPECT_FLOAT_EQ(401.5f + 7.0f * k, VertexY(20 + 2 * k)) << "dash " << k;
  }
  // A new primitive starts with the pattern's first dash again.
  Strip({300.0f, 400.5f, 310.0f, 400.5f});
  EXPECT_EQ(4u, c.lines.drawn_vertex_count);
  EXPECT_FLOAT_EQ(307.0f, VertexX(2));
  EXPECT_EQ(0u, c.errors.count);
}

// A pattern that starts with a gap: the first segment of the strip yields no
// dash at all, and the next one must still go on from its end.
TEST_F(LinesTest, StripWhoseFirstSegmentFallsInAGapKeepsItsNextSegment) {
  static const sgl_line_stipple kGapFirst[1] = {{{10, 10, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, 0, 2}};
  sglLineStipplePointer(kGapFirst, 1);
  sglIndexLineStipplei(0);
  Strip({100.0f, 100.5f, 105.0f, 100.5f, 130.0f, 100.5f});
  ASSERT_EQ(2u, Context().lines.drawn_vertex_count);
  EXPECT_FLOAT_EQ(110.0f, VertexX(0));
  EXPECT_FLOAT_EQ(120.0f, VertexX(1));
}

TEST_F(LinesTest, StippledLoopIsClosedByDashes) {
  sglIndexLineStipplei(1);  // on 12, off 12
  Strip({100.0f, 100.5f, 160.0f, 100.5f, 160.0f, 160.5f}, 3);
  // Two sides of 60 and the closing diagonal of about 84.9 pixels: three
  // dashes on the first side, two on the second, four on the diagonal.
  EXPECT_EQ(18u, Context().lines.drawn_vertex_count);
  EXPECT_NEAR(160.0f - 84.0f * 0.70710678f, VertexX(17), 1e-3f);
}

TEST_F(LinesTest, DashesScaleWithSglScalef) {
  sglIndexLineStipplei(3);
  sglPushMatrix();
  sglScalef(2.0f, 2.0f);
  Strip({50.0f, 50.25f, 84.5f, 50.25f});
  sglPopMatrix();
  // The pattern is measured before scaling: 34.5 units give the dots of a
  // 34.5-pixel line, each twice as long on the display.
  ASSERT_EQ(10u, Context().lines.drawn_vertex_count);
  EXPECT_FLOAT_EQ(78.0f, VertexX(8));
}

// ---------------------------------------------------------------- limits and errors

TEST_F(LinesTest, VerticesBeyondTheBufferAreDroppedWithError20) {
  sglBegin(11);
  for (uint32_t k = 0; k < SGL_VERTEX_BUFFER_SIZE + 3; ++k) {
    sglVertex2f(100.0f + static_cast<float>(k % 2), 100.0f + static_cast<float>(k) * 0.1f);
  }
  sglEnd();
  EXPECT_EQ(SGL_VERTEX_BUFFER_SIZE, Context().lines.drawn_vertex_count);
  EXPECT_EQ(ErrorList(3, {SGL_ERROR_VERTEX_BUFFER_FULL, 0}), TakeErrors());
}

TEST_F(LinesTest, UnknownModeRecordsError1AndDrawsNothing) {
  sglIndexLineWidthi(3);
  for (uint8_t mode : {0, 6, 10, 129}) Strip({100.0f, 100.0f, 300.0f, 300.0f}, mode);
  EXPECT_EQ((ErrorList{{SGL_ERROR_BEGIN, 0},
                       {SGL_ERROR_BEGIN, 6},
                       {SGL_ERROR_BEGIN, 10},
                       {SGL_ERROR_BEGIN, 129}}),
            TakeErrors());
  EXPECT_EQ(0, CountCoveredPixels(90, 90, 220, 220));
}

}  // namespace
