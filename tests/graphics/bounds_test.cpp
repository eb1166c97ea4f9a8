// Bounding boxes: arc bounds against the vertices drawn, and boxes collected from drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graphics/sgl.h"
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

  // The box of the line vertices given to OpenGL, drawn 100 units to the
  // right so that all of it lies on the display.
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

  static Box CollectedFrom(void (*draw)()) {
    sglBeginBoundingBox();
    draw();
    Box box{};
    EXPECT_TRUE(sglEndBoundingBox(&box.x1, &box.y1, &box.x2, &box.y2));
    return box;
  }
};

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
  const struct {
    float x0, y0, x1, y1;
    uint32_t clockwise;
    float angle;
  } cases[] = {{300, 300, 500, 300, 0, 180},
               {300, 300, 500, 400, 1, 90},
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

TEST_F(BoundsTest, CollectedBoxOfKnownShapesIsExactInPixels) {
  ExpectBox({100, 50, 300, 400}, CollectedFrom([] {
              FillQuad(100, 100, 300, 200);
              FillQuad(250, 50, 260, 400);
            }),
            1e-3f);
  ExpectBox({540, 284, 740, 484},
            CollectedFrom([] { sgluCrown2f(640, 384, 50, 100, 0, 360, 0, 1); }), 1e-2f);
  ExpectBox({400, 120, 500, 320}, CollectedFrom([] {
              sglPushMatrix();
              sglTranslatef(600.0f, 20.0f);
              sglRotatef(90.0f);
              FillQuad(100, 100, 300, 200);
              sglPopMatrix();
            }),
            1e-3f);
  ExpectBox({100, 300, 300, 400}, CollectedFrom([] {
              sglBeginPath(2);
              sglMoveTo(100, 300);
              sglQuadraticBezier(200, 500, 300, 300);
              sglEndPath();
            }),
            1e-2f);
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

}  // namespace
