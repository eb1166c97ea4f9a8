// Active areas: hit-tests against drawn pixels, the scissor, circle rate and angle.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "graphics/sgl_masks_geometry.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::ReadPixel;
using velkor_test::SglTest;

class ActiveAreasTest : public SglTest {
 protected:
  // The rectangle status at each viewport pixel's centre (pointer in native
  // units, `scale` per viewport pixel) says whether it was drawn; returns the hits.
  static int ExpectHitsFollowTheDrawing(int x0, int y0, int x1, int y1, float scale, float rx1,
                                        float ry1, float rx2, float ry2) {
    int hits = 0;
    int mismatches = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const bool drawn = ReadPixel(x, y).r > 0;
        const bool hit = sglRectangleActiveAreaGetStatus((x + 0.5f) * scale, (y + 0.5f) * scale,
                                                         rx1, ry1, rx2, ry2);
        hits += hit ? 1 : 0;
        if (hit != drawn && mismatches++ < 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << drawn << ", hit " << hit;
        }
      }
    }
    EXPECT_EQ(0, mismatches);
    return hits;
  }
};

TEST_F(ActiveAreasTest, HitTestFollowsTheDrawingInASmallerViewportUnderRotationAndScale) {
  // The window shows the 1280 x 768 display at half size: two pointer
  // units per viewport pixel.
  sglViewport(0, 0, 640, 384);
  sglPushMatrix();
  sglTranslatef(600, 300);
  sglRotatef(270);
  sglScalef(2, 1);
  velkor_test::FillQuad(10, 20, 60, 120);
  // Drawing units: x 600 + 20 .. 600 + 120, y 300 - 120 .. 300 - 20, in
  // viewport pixels half of that.
  const int hits = ExpectHitsFollowTheDrawing(290, 80, 370, 150, 2.0f, 10, 20, 60, 120);
  EXPECT_EQ(50 * 50, hits);
  EXPECT_EQ(50 * 50, CountCoveredPixels(310, 90, 50, 50));
  sglPopMatrix();
  EXPECT_EQ(0u, Context().errors.count);
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

TEST_F(ActiveAreasTest, CircleStatusRateAndAngleAroundItsCentre) {
  struct Case {
    float px, py;
    bool inside;
    float rate, degrees;
  };
  // Centre (400, 300), radius 100.
  const Case cases[] = {
      {500, 300, true, 1.0f, 0},           {400, 400, true, 1.0f, 90},
      {300, 300, true, 1.0f, 180},         {400, 200, true, 1.0f, 270},
      {470, 370, true, 0.98994949f, 45},   {471, 371, false, 1.0040916f, 45},
      {400, 300, true, 0.0f, 0},           {400.3f, 300.2f, true, 0.0036056f, 0},
      {399.7f, 300.4f, true, 0.005f, 180}, {200, 300, false, 2.0f, 180},
  };
  for (const Case& c : cases) {
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
