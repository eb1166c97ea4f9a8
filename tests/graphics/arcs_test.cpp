// Arcs, sectors, ellipses and arc segments of paths: vertex density, coverage, bad arguments.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sgl.h"
#include "tests/graphics/gl_feedback.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::Fed;
using velkor_test::Feed;
using velkor_test::ReadPixel;

constexpr float kRadian = 3.14159265f / 180.0f;
const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};
// Centre on a pixel centre, so that radii along the axes light whole pixels.
constexpr float kCx = 640.5f;
constexpr float kCy = 384.5f;

class ArcsTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    sglSetRenderMode(0);  // arcs reach OpenGL as the strips and loops they are
  }

  static float DistanceFrom(const Fed& fed, uint32_t k, float cx, float cy) {
    return std::hypot(fed.x(k) - cx, fed.y(k) - cy);
  }
  static bool Lit(float x, float y) {
    return ReadPixel(static_cast<int>(x), static_cast<int>(y)).r > 128;
  }
};

TEST_F(ArcsTest, FullCircleStepFollowsTheRadiusInPixels) {
  struct Case {
    float radius;
    uint32_t intermediate;
    float step_degrees;
  };
  const Case cases[] = {{5.0f, 12, 28.0f},
                        {15.0f, 21, 17.0f},
                        {40.0f, 39, 9.0f},
                        {100.0f, 71, 5.0f},
                        {300.0f, 105, 3.4f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "radius " << c.radius);
    const Fed fed = Feed([&] { sgluArcSector2f(kCx, kCy, c.radius, 0.0f, 360.0f, 0, 3); });
    ASSERT_EQ(c.intermediate + 2, fed.StripSize());
    EXPECT_NEAR(kCx + c.radius, fed.x(0), 1e-3f);
    EXPECT_NEAR(fed.x(0), fed.x(c.intermediate + 1), 1e-3f);
    EXPECT_NEAR(fed.y(0), fed.y(c.intermediate + 1), 1e-3f);
    const float chord = 2.0f * c.radius * std::sin(c.step_degrees * kRadian / 2.0f);
    for (uint32_t k = 1; k <= c.intermediate; ++k) {
      EXPECT_NEAR(c.radius, DistanceFrom(fed, k, kCx, kCy), 2e-3f * c.radius) << k;
      EXPECT_NEAR(chord, std::hypot(fed.x(k) - fed.x(k - 1), fed.y(k) - fed.y(k - 1)),
                  2e-3f * c.radius)
          << k;
    }
  }
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(ArcsTest, BadSectorArgumentsRecordError26AndEmptySectorsDrawNothing) {
  const float cases[][4] = {{100000.0f, 0.0f, 0, 1}, {0.0f, -100000.0f, 0, 1},
                            {0.0f, 90.0f, 2, 1},     {0.0f, 90.0f, 0, 0},
                            {0.0f, 90.0f, 0, 4},     {45.0f, 45.0f, 0, 1}};
  for (const auto& c : cases) {
    sgluArcSector2f(kCx, kCy, 100.0f, c[0], c[1], static_cast<uint32_t>(c[2]),
                    static_cast<uint32_t>(c[3]));
  }
  EXPECT_EQ(velkor_test::ErrorList(5, {SGL_ERROR_ARC_SECTOR, 0}), velkor_test::TakeErrors());
  // A radius of 0 (or less) has no size and must not reach glPointSize.
  sgluArcSector2f(kCx, kCy, 0.0f, 0.0f, 360.0f, 0, 1);
  sgluArcSector2f(kCx, kCy, -5.0f, 0.0f, 360.0f, 0, 1);
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
  EXPECT_EQ(0, CountCoveredPixels(500, 250, 280, 280));
}

TEST_F(ArcsTest, EllipseSectorsCoverTheirAreaAndEndOnTheirRays) {
  sgluArcEllipse2f(kCx, kCy, 200.0f, 100.0f, 0.0f, 360.0f, 0, 0);
  EXPECT_NEAR(62832, CountCoveredPixels(430, 274, 420, 220), 62832 * 0.01);
  EXPECT_TRUE(Lit(kCx + 195.0f, kCy));
  EXPECT_FALSE(Lit(kCx, kCy + 105.0f));
  EXPECT_FALSE(Lit(kCx + 150.0f, kCy + 80.0f));
  // An arc of it ends on the 45-degree ray, on the ellipse.
  const Fed arc = Feed([] { sgluArcEllipse2f(kCx, kCy, 200.0f, 100.0f, 0.0f, 45.0f, 0, 1); });
  ASSERT_GT(arc.StripSize(), 2u);
  const float dx = arc.x(arc.StripSize() - 1) - kCx, dy = arc.y(arc.StripSize() - 1) - kCy;
  EXPECT_NEAR(dx, dy, 0.5f);
  EXPECT_NEAR(1.0f, dx * dx / 40000.0f + dy * dy / 10000.0f, 2e-3f);
}

// 90 degrees over a chord of 100: radius 70.71, the centre 50 off the chord's middle.
TEST_F(ArcsTest, ArcSegmentBendsTheNextLineOfAPath) {
  for (uint32_t clockwise : {0u, 1u}) {
    SCOPED_TRACE(testing::Message() << "clockwise " << clockwise);
    const float side = clockwise ? 1.0f : -1.0f;  // the arc bulges above or below the chord
    const Fed fed = Feed([clockwise] {
      sglBeginPath(1);
      sglMoveTo(600.0f, 300.0f);
      sgluArcSegment(clockwise, 90.0f);
      sglLineTo(700.0f, 300.0f);
      sglEndPath();
    });
    const uint32_t n = fed.StripSize();
    ASSERT_EQ(19u, n) << "start, 17 points 5 degrees apart, the exact end";
    EXPECT_NEAR(700.0f, fed.x(n - 1), 1e-3f);
    EXPECT_NEAR(300.0f, fed.y(n - 1), 1e-3f);
    for (uint32_t k = 1; k + 1 < n; ++k) {
      EXPECT_NEAR(70.7107f, DistanceFrom(fed, k, 650.0f, 300.0f - side * 50.0f), 0.1f) << k;
      EXPECT_GT(side * (fed.y(k) - 300.0f), 0.0f) << k;
    }
  }
}

}  // namespace
