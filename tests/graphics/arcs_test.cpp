// Arcs, crowns, curve segments of paths and their bounds: vertices as
// OpenGL is given them, the pixels they cover, bad arguments.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "graphics/sgl.h"
#include "tests/graphics/gl_feedback.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using namespace velkor_test;

constexpr float kRadian = 3.14159265358979f / 180.0f;
const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};
// Centre on a pixel centre, so that radii along the axes light whole pixels.
constexpr float kCx = 640.5f;
constexpr float kCy = 384.5f;

struct Box {
  float x1, y1, x2, y2;
};

class ArcsTest : public SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    InstallLineTestTables(&kWidths[0][0], 1);
    sglSetRenderMode(0);  // lines reach OpenGL as the strips and loops they are
  }

  static float DistanceFrom(const Fed& fed, uint32_t k, float cx, float cy) {
    return std::hypot(fed.x(k) - cx, fed.y(k) - cy);
  }
  static bool Lit(float x, float y) {
    return ReadPixel(static_cast<int>(x), static_cast<int>(y)).r > 128;
  }
  // The pixel at radius and angle round the centre.
  static bool LitAt(float radius, float degrees) {
    return Lit(kCx + radius * std::cos(degrees * kRadian),
               kCy + radius * std::sin(degrees * kRadian));
  }
  // What OpenGL is given for a stroked path from (x0, y0) through segments.
  static Fed Stroke(float x0, float y0, const std::function<void()>& segments) {
    return Feed([&] {
      sglBeginPath(1);
      sglMoveTo(x0, y0);
      segments();
      sglEndPath();
    });
  }
  // The box of such a path's vertices, drawn 100 units to the right so that
  // all of it lies on the display.
  static Box DrawnExtent(float x0, float y0, const std::function<void()>& segments) {
    sglPushMatrix();
    sglTranslatef(100.0f, 0.0f);
    const Fed fed = Stroke(x0, y0, segments);
    sglPopMatrix();
    EXPECT_GT(fed.StripSize(), 1u);
    Box box{1e9f, 1e9f, -1e9f, -1e9f};
    for (uint32_t k = 0; k < fed.StripSize(); ++k) {
      box = {std::fmin(box.x1, fed.x(k) - 100.0f), std::fmin(box.y1, fed.y(k)),
             std::fmax(box.x2, fed.x(k) - 100.0f), std::fmax(box.y2, fed.y(k))};
    }
    return box;
  }
  static void ExpectBox(const Box& expected, const Box& got, float tolerance) {
    EXPECT_NEAR(expected.x1, got.x1, tolerance);
    EXPECT_NEAR(expected.y1, got.y1, tolerance);
    EXPECT_NEAR(expected.x2, got.x2, tolerance);
    EXPECT_NEAR(expected.y2, got.y2, tolerance);
  }
  static Box CollectedFrom(void (*draw)()) {
    sglBeginBoundingBox();
    draw();
    Box box{};
    EXPECT_TRUE(sglEndBoundingBox(&box.x1, &box.y1, &box.x2, &box.y2));
    return box;
  }
};
using PathsTest = ArcsTest;
using BoundsTest = ArcsTest;

TEST_F(ArcsTest, FullCircleStepFollowsTheRadiusInPixels) {
  const struct {
    float radius;
    uint32_t intermediate;
    float step_degrees;
  } cases[] = {{5, 12, 28}, {15, 21, 17}, {40, 39, 9}, {100, 71, 5}, {300, 105, 3.4f}};
  for (const auto& c : cases) {
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
  EXPECT_EQ(ErrorList(5, {SGL_ERROR_ARC_SECTOR, 0}), TakeErrors());
  // A radius of 0 (or less) has no size and must not reach glPointSize.
  sgluArcSector2f(kCx, kCy, 0.0f, 0.0f, 360.0f, 0, 1);
  sgluArcSector2f(kCx, kCy, -5.0f, 0.0f, 360.0f, 0, 1);
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), TakeGlError());
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
    const Fed fed = Stroke(600.0f, 300.0f, [clockwise] {
      sgluArcSegment(clockwise, 90.0f);
      sglLineTo(700.0f, 300.0f);
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

TEST_F(PathsTest, FilledCrownCoversItsRingSectorAndNotItsInside) {
  const struct {
    float inner, outer, start, end;
    uint32_t clockwise;
    bool quadrant[4];
  } cases[] = {
      {50, 100, 0, 90, 0, {true, false, false, false}},
      {100, 50, 0, 90, 0, {true, false, false, false}},  // radii in either order
      {50, 100, 90, 0, 1, {true, false, false, false}},
      {50, 100, 0, 90, 1, {false, true, true, true}},
      {50, 100, 0, 360, 0, {true, true, true, true}},
      {0, 100, 0, 90, 0, {true, false, false, false}},  // no hole: a sector
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.inner << " " << c.start << " to " << c.end << " cw " << c.clockwise);
    ClearDisplay();
    sgluCrown2f(kCx, kCy, c.inner, c.outer, c.start, c.end, c.clockwise, 1);
    const bool holed = c.inner > 0.0f;
    for (int q = 0; q < 4; ++q) {
      const float degrees = 45.0f + 90.0f * q;
      for (float r : {53.0f, 75.0f, 97.0f})
        EXPECT_EQ(c.quadrant[q], LitAt(r, degrees)) << r << " " << q;
      for (float r : {5.0f, 30.0f, 46.0f})
        EXPECT_EQ(c.quadrant[q] && !holed, LitAt(r, degrees)) << r << " " << q;
      EXPECT_FALSE(LitAt(104.0f, degrees)) << "beyond the outer arc, q" << q;
    }
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// Closed formula of a Bezier curve of degree 2 or 3 (independent of the library's).
void Bezier(const float* p, int degree, double t, double* x, double* y) {
  const double u = 1.0 - t;
  const double w[2][4] = {{u * u, 2 * u * t, t * t, 0},
                          {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t}};
  *x = *y = 0.0;
  for (int i = 0; i <= degree; ++i) {
    *x += w[degree - 2][i] * p[2 * i];
    *y += w[degree - 2][i] * p[2 * i + 1];
  }
}

TEST_F(PathsTest, FlattenedBezierPointsLieOnTheCurveAndReachItsEnd) {
  const struct {
    int degree;
    float p[8];
  } cases[] = {{3, {100, 100, 150, 400, 450, -100, 500, 300}}, {2, {100, 100, 300, 500, 500, 100}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "degree " << c.degree);
    const float* p = c.p;
    const Fed fed = Stroke(p[0], p[1], [p, &c] {
      if (c.degree == 3) {
        sglCubicBezier(p[2], p[3], p[4], p[5], p[6], p[7]);
      } else {
        sglQuadraticBezier(p[2], p[3], p[4], p[5]);
      }
    });
    const uint32_t n = fed.StripSize();
    ASSERT_GT(n, 10u);
    EXPECT_NEAR(p[2 * c.degree], fed.x(n - 1), 1e-3f) << "ends at its end point";
    EXPECT_NEAR(p[2 * c.degree + 1], fed.y(n - 1), 1e-3f);
    // Each vertex lies on the curve: the nearest of dense samples.
    for (uint32_t k = 0; k < n; ++k) {
      double nearest = 1e30;
      for (int step = 0; step <= 20000; ++step) {
        double x = 0.0, y = 0.0;
        Bezier(p, c.degree, step / 20000.0, &x, &y);
        nearest = std::fmin(nearest, std::hypot(fed.x(k) - x, fed.y(k) - y));
      }
      EXPECT_LT(nearest, 0.03) << "vertex " << k;
    }
  }
}

// Each arc lies on its ellipse on one side of its chord and ends at its end point.
TEST_F(PathsTest, EllipticalArcsFollowTheirEllipseAndEndAtTheirEndPoint) {
  const struct {
    float rx, ry, rotation;
    uint32_t large_arc, clockwise;
    float x0, y0, x1, y1;
    float cx, cy, true_rx, true_ry;
    float side;  // of the chord from (x0, y0) to (x1, y1): +1 left, -1 right
  } cases[] = {
      // Half circles: the direction decides.
      {100, 100, 0, 0, 0, 400, 300, 600, 300, 500, 300, 100, 100, -1},
      {100, 100, 0, 0, 1, 400, 300, 600, 300, 500, 300, 100, 100, 1},
      // Radii too small to reach grow until the chord is a diameter.
      {10, 10, 0, 0, 0, 400, 300, 600, 300, 500, 300, 100, 100, -1},
      // Radii 200 and 80 turned 30 degrees round (640, 384), from the end of
      // one axis to the other: the small arc, and the large one the other way.
      {200, 80, 30, 0, 0, 813.20508f, 484, 600, 453.28203f, 640, 384, 200, 80, -1},
      {200, 80, 30, 1, 1, 813.20508f, 484, 600, 453.28203f, 640, 384, 200, 80, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.rx << " " << c.ry << " large " << c.large_arc << " cw " << c.clockwise);
    const Fed fed = Stroke(c.x0, c.y0, [&c] {
      sglEllipticalArc(c.rx, c.ry, c.rotation, c.large_arc, c.clockwise, c.x1, c.y1);
    });
    const uint32_t n = fed.StripSize();
    ASSERT_GT(n, 10u);
    EXPECT_NEAR(c.x1, fed.x(n - 1), 1e-3f);
    EXPECT_NEAR(c.y1, fed.y(n - 1), 1e-3f);
    const float cos_r = std::cos(c.rotation * kRadian), sin_r = std::sin(c.rotation * kRadian);
    for (uint32_t k = 0; k < n; ++k) {
      const float dx = fed.x(k) - c.cx, dy = fed.y(k) - c.cy;
      const float u = (cos_r * dx + sin_r * dy) / c.true_rx,
                  v = (-sin_r * dx + cos_r * dy) / c.true_ry;
      EXPECT_NEAR(1.0f, u * u + v * v, 2e-4f) << "vertex " << k;
      const float cross = (c.x1 - c.x0) * (fed.y(k) - c.y0) - (c.y1 - c.y0) * (fed.x(k) - c.x0);
      EXPECT_GE(c.side * cross, -0.5f) << "vertex " << k;
    }
  }
  // A radius of 0 is a straight line.
  const Fed line =
      Stroke(400.0f, 300.0f, [] { sglEllipticalArc(0.0f, 50.0f, 0.0f, 0, 0, 600.0f, 200.0f); });
  ASSERT_EQ(2u, line.StripSize());
  EXPECT_NEAR(600.0f, line.x(1), 1e-3f);
  EXPECT_NEAR(200.0f, line.y(1), 1e-3f);
}

TEST_F(BoundsTest, ArcBoundsAreExactAndHoldTheDrawnArc) {
  Box got{};
  // A turned ellipse, both arcs between the same points.
  for (uint32_t large = 0; large < 2; ++large) {
    SCOPED_TRACE(large ? "large arc" : "small arc");
    const Box drawn = DrawnExtent(813.2f, 484.0f, [&] {
      ASSERT_TRUE(sglEllipticalArcBounds(200, 80, 30, large, large, 600, 453.3f, &got.x1, &got.y1,
                                         &got.x2, &got.y2));
      sglEllipticalArc(200.0f, 80.0f, 30.0f, large, large, 600.0f, 453.3f);
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
    ExpectBox(got,
              DrawnExtent(c.x0, c.y0,
                          [&c] {
                            sgluArcSegment(c.clockwise, c.angle);
                            sglLineTo(c.x1, c.y1);
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
