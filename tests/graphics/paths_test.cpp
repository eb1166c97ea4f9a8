// Crowns and curve segments of paths: ring sectors in pixels, Bezier curves
// against their closed formula, elliptical arcs on their ellipse.
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

constexpr float kPi = 3.14159265358979f;
const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};
constexpr float kCx = 640.5f;
constexpr float kCy = 384.5f;

class PathsTest : public SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    InstallLineTestTables(&kWidths[0][0], 1);
  }

  // What OpenGL is given for a stroked path from (x0, y0) through segments.
  static Fed Stroke(float x0, float y0, const std::function<void()>& segments) {
    sglSetRenderMode(0);
    const Fed fed = Feed([&] {
      sglBeginPath(1);
      sglMoveTo(x0, y0);
      segments();
      sglEndPath();
    });
    sglSetRenderMode(1);
    return fed;
  }

  // The pixel at radius and angle round the centre.
  static bool LitAt(float radius, float degrees) {
    const int x = static_cast<int>(kCx + radius * std::cos(degrees * kPi / 180.0f));
    const int y = static_cast<int>(kCy + radius * std::sin(degrees * kPi / 180.0f));
    return ReadPixel(x, y).r > 128;
  }
};

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
    const float cos_r = std::cos(c.rotation * kPi / 180.0f),
                sin_r = std::sin(c.rotation * kPi / 180.0f);
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

}  // namespace
