// Crowns and the curve segments of paths on the off-screen context: the ring
// sectors a crown covers and leaves out, the smoothed crown's outline, the
// flattened Bezier curves against their closed formula, the smooth variants'
// mirrored control points, elliptical arcs on their ellipse, and the errors.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::ErrorList;
using velkor_test::ReadPixel;
using velkor_test::TakeErrors;
using velkor_test::VertexX;
using velkor_test::VertexY;

constexpr float kPi = 3.14159265358979f;
const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};
constexpr float kCx = 640.5f;
constexpr float kCy = 384.5f;

class PathsTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    }

    static uint32_t Drawn() { return Context().lines.drawn_vertex_count; }

    // The pixel at radius and angle round the centre; `near` accepts
    // anything drawn within a pixel of it (thin antialiased lines light a
    // pixel only partly).
    static bool LitAt(float radius, float degrees, bool near = false) {
        const int x = static_cast<int>(kCx + radius * std::cos(degrees * kPi / 180.0f));
        const int y = static_cast<int>(kCy + radius * std::sin(degrees * kPi / 180.0f));
        return near ? CountCoveredPixels(x - 1, y - 1, 3, 3, 40) > 0 : ReadPixel(x, y).r > 128;
    }

    // Pixels lit at all whose centres lie between the two radii.
    static int CoveredBetween(float r1, float r2) {
        int covered = 0;
        for (int y = static_cast<int>(kCy - r2) - 1; y <= static_cast<int>(kCy + r2) + 1; ++y) {
            for (int x = static_cast<int>(kCx - r2) - 1; x <= static_cast<int>(kCx + r2) + 1; ++x) {
                const float r = std::hypot(x + 0.5f - kCx, y + 0.5f - kCy);
                covered += r > r1 && r < r2 && ReadPixel(x, y).r > 0;
            }
        }
        return covered;
    }

    static float DistanceFrom(uint32_t k, float cx, float cy) { return std::hypot(VertexX(k) - cx, VertexY(k) - cy); }
};

// ---------------------------------------------------------------- crowns

TEST_F(PathsTest, FilledCrownCoversItsRingSectorAndNotItsInside) {
    struct Case {
        float inner, outer, start, end;
        uint32_t clockwise;
        bool quadrant[4];
    };
    const Case cases[] = {
        {50, 100, 0, 90, 0, {true, false, false, false}},
        {100, 50, 0, 90, 0, {true, false, false, false}},  // radii in either order
        {50, 100, 90, 0, 1, {true, false, false, false}},
        {50, 100, 0, 90, 1, {false, true, true, true}},
        {50, 100, 0, 360, 0, {true, true, true, true}},
        {0, 100, 0, 90, 0, {true, false, false, false}},  // no hole: a sector
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inner << " " << c.start << " to " << c.end << " cw " << c.clockwise);
        ClearDisplay();
        sgluCrown2f(kCx, kCy, c.inner, c.outer, c.start, c.end, c.clockwise, 1);
        const bool holed = c.inner > 0.0f;
        for (int q = 0; q < 4; ++q) {
            const float degrees = 45.0f + 90.0f * q;
            for (float r : {53.0f, 75.0f, 97.0f}) EXPECT_EQ(c.quadrant[q], LitAt(r, degrees)) << r << " q" << q;
            for (float r : {5.0f, 30.0f, 46.0f}) EXPECT_EQ(c.quadrant[q] && !holed, LitAt(r, degrees)) << r << " q" << q;
            EXPECT_FALSE(LitAt(104.0f, degrees)) << "beyond the outer arc, q" << q;
        }
    }
    EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(PathsTest, CrownOutlinesDrawTheirArcsAndOnlyTheirOpenSectorsRadialEdges) {
    struct Case {
        uint32_t mode;
        float end;
        bool radial;
    };
    const Case cases[] = {{2, 90, true}, {3, 90, false}, {2, 360, false}};  // 3: arcs only; full ring: no edge
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " to " << c.end);
        ClearDisplay();
        sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, c.end, 0, c.mode);
        EXPECT_TRUE(LitAt(50.0f, 45.0f, true)) << "inner arc";
        EXPECT_TRUE(LitAt(100.0f, 45.0f, true)) << "outer arc";
        EXPECT_EQ(c.radial, LitAt(75.0f, 0.0f)) << "radial edge at 0 degrees";
        EXPECT_FALSE(LitAt(75.0f, 45.0f)) << "inside of the ring sector";
        EXPECT_FALSE(LitAt(25.0f, 0.0f)) << "no edge into the hole";
    }
}

// A smoothed fill gets a thin antialiased loop round the ring - along the
// outer arc, a radial edge, the inner arc - so its edges reach a little
// beyond the flat fill; the strip's own zigzag order would not follow them.
TEST_F(PathsTest, SmoothedCrownOutlinesItsEdges) {
    for (int smooth = 0; smooth < 2; ++smooth) {
        ClearDisplay();
        smooth ? sglEnable(SGL_POLYGON_SMOOTH) : sglDisable(SGL_POLYGON_SMOOTH);
        sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 360.0f, 0, 1);
        EXPECT_EQ(smooth == 1, CoveredBetween(100.2f, 100.6f) > 200) << "just beyond the outer edge";
        EXPECT_EQ(smooth == 1, CoveredBetween(49.4f, 49.8f) > 100) << "just beyond the inner edge";
        for (int angle = 0; angle < 360; angle += 45) {
            EXPECT_TRUE(LitAt(75.0f, angle + 2.5f)) << angle;
            EXPECT_FALSE(LitAt(40.0f, angle + 2.5f)) << angle;
        }
    }
    EXPECT_EQ(1u, Context().polygon_smooth) << "the smoothing state comes back";
    EXPECT_EQ(0u, Context().line_width_index) << "the line width comes back";
    EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(PathsTest, BadCrownArgumentsRecordError27AndDrawNothing) {
    struct Case {
        float start, end;
        uint32_t clockwise, mode;
    };
    const Case cases[] = {{100000, 0, 0, 1}, {0, -100000, 0, 1}, {0, 90, 2, 1}, {0, 90, 0, 0}, {0, 90, 0, 4}};
    for (const Case& c : cases) {
        sgluCrown2f(kCx, kCy, 50.0f, 100.0f, c.start, c.end, c.clockwise, c.mode);
        EXPECT_EQ((ErrorList{{SGL_ERROR_CROWN, 0}}), TakeErrors()) << c.start << " " << c.end << " " << c.mode;
    }
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 45.0f, 45.0f, 0, 1);
    EXPECT_EQ(ErrorList{}, TakeErrors()) << "an empty sweep is no error";
    EXPECT_EQ(0, CountCoveredPixels(500, 250, 280, 280));
}

// ---------------------------------------------------------------- Bezier curves

// Closed formula of a Bezier curve of degree 2 or 3 (independent of the library's).
void Bezier(const float* p, int degree, double t, double* x, double* y) {
    const double u = 1.0 - t;
    const double w[2][4] = {{u * u, 2 * u * t, t * t, 0}, {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t}};
    *x = *y = 0.0;
    for (int i = 0; i <= degree; ++i) {
        *x += w[degree - 2][i] * p[2 * i];
        *y += w[degree - 2][i] * p[2 * i + 1];
    }
}

TEST_F(PathsTest, FlattenedBezierPointsLieOnTheCurveAndReachItsEnd) {
    struct Case {
        int degree;
        float p[8];
    };
    const Case cases[] = {{3, {100, 100, 150, 400, 450, -100, 500, 300}}, {2, {100, 100, 300, 500, 500, 100}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "degree " << c.degree);
        const float* p = c.p;
        sglBeginPath(1);
        sglMoveTo(p[0], p[1]);
        if (c.degree == 3) {
            sglCubicBezier(p[2], p[3], p[4], p[5], p[6], p[7]);
        } else {
            sglQuadraticBezier(p[2], p[3], p[4], p[5]);
        }
        sglEndPath();
        const uint32_t n = Drawn();
        ASSERT_GT(n, 10u);
        EXPECT_EQ(p[2 * c.degree], VertexX(n - 1)) << "ends exactly at its end point";
        EXPECT_EQ(p[2 * c.degree + 1], VertexY(n - 1));
        // Each vertex lies on the curve: the nearest of dense samples.
        for (uint32_t k = 0; k < n; ++k) {
            double nearest = 1e30;
            for (int step = 0; step <= 20000; ++step) {
                double x = 0.0, y = 0.0;
                Bezier(p, c.degree, step / 20000.0, &x, &y);
                nearest = std::fmin(nearest, std::hypot(VertexX(k) - x, VertexY(k) - y));
            }
            EXPECT_LT(nearest, 0.03) << "vertex " << k;
        }
    }
}

TEST_F(PathsTest, SmoothVariantsMirrorThePreviousControlPoint) {
    // The same path once with the smooth variants and once spelt out.
    struct Case {
        const char* name;
        void (*smooth)();
        void (*spelt)();
    };
    const Case cases[] = {
        {"cubic after cubic",
         [] { sglCubicBezier(150, 300, 250, 300, 300, 200); sglSmoothCubicBezier(500, 100, 500, 300); },
         [] { sglCubicBezier(150, 300, 250, 300, 300, 200); sglCubicBezier(350, 100, 500, 100, 500, 300); }},
        {"quadratic chain",
         [] {
             sglQuadraticBezier(200, 300, 300, 200);
             sglSmoothQuadraticBezier(500, 200);
             sglSmoothQuadraticBezier(700, 200);
         },
         [] {
             sglQuadraticBezier(200, 300, 300, 200);
             sglQuadraticBezier(400, 100, 500, 200);
             sglQuadraticBezier(600, 300, 700, 200);
         }},
    };
    float smooth[1024][2];
    for (const Case& c : cases) {
        uint32_t smooth_count = 0;
        for (void (*segments)() : {c.smooth, c.spelt}) {
            sglBeginPath(1);
            sglMoveTo(100.0f, 200.0f);
            segments();
            sglEndPath();
            if (segments == c.smooth) {
                smooth_count = Drawn();
                ASSERT_LE(smooth_count, 1024u);
                for (uint32_t k = 0; k < smooth_count; ++k) smooth[k][0] = VertexX(k), smooth[k][1] = VertexY(k);
            }
        }
        ASSERT_EQ(smooth_count, Drawn()) << c.name;
        for (uint32_t k = 0; k < smooth_count; ++k) {
            EXPECT_EQ(smooth[k][0], VertexX(k)) << c.name << " vertex " << k;
            EXPECT_EQ(smooth[k][1], VertexY(k)) << c.name << " vertex " << k;
        }
    }
}

TEST_F(PathsTest, CurvesNeedAnOpenPathWithACurrentPointAndFiniteNumbers) {
    sglCubicBezier(10, 10, 20, 20, 300, 300);
    sglBeginPath(1);
    sglSmoothQuadraticBezier(300, 300);
    EXPECT_EQ(0u, Context().vertex_count) << "no path, then no current point";
    sglMoveTo(100.0f, 100.0f);
    sglQuadraticBezier(NAN, 10, 300, 300);
    sglCubicBezier(10, 10, 20, INFINITY, 300, 300);
    EXPECT_EQ(1u, Context().vertex_count) << "numbers that are not finite add nothing";
    sglEllipticalArc(50, 50, 0, 1, 0, 100, 100);
    EXPECT_EQ(1u, Context().vertex_count) << "an arc to the current point adds nothing";
    sglEndPath();
    EXPECT_EQ(ErrorList{}, TakeErrors());
}

// ---------------------------------------------------------------- elliptical arcs

TEST_F(PathsTest, EllipticalHalfCirclesTakeTheirSideAndEndAtTheirEndPoint) {
    struct Case {
        float radius;
        uint32_t large_arc, clockwise;
        float side;  // -1 below the chord, +1 above
    };
    // A half circle: both arcs are equally large, the direction decides.
    // Radii too small to reach grow until the chord is a diameter.
    const Case cases[] = {{100, 0, 0, -1}, {100, 1, 0, -1}, {100, 0, 1, 1}, {100, 1, 1, 1}, {10, 0, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.radius << " large " << c.large_arc << " cw " << c.clockwise);
        sglBeginPath(1);
        sglMoveTo(400.0f, 300.0f);
        sglEllipticalArc(c.radius, c.radius, 0.0f, c.large_arc, c.clockwise, 600.0f, 300.0f);
        sglEndPath();
        const uint32_t n = Drawn();
        ASSERT_GT(n, 20u);
        EXPECT_EQ(600.0f, VertexX(n - 1));
        EXPECT_EQ(300.0f, VertexY(n - 1));
        for (uint32_t k = 0; k < n; ++k) {
            EXPECT_NEAR(100.0f, DistanceFrom(k, 500.0f, 300.0f), 1e-3f) << k;
            EXPECT_GE(c.side * (VertexY(k) - 300.0f), -1e-3f) << k;
        }
    }
    // A radius of 0 is a straight line.
    sglBeginPath(1);
    sglMoveTo(400.0f, 300.0f);
    sglEllipticalArc(0.0f, 50.0f, 0.0f, 0, 0, 600.0f, 200.0f);
    sglEndPath();
    ASSERT_EQ(2u, Drawn());
    EXPECT_EQ(600.0f, VertexX(1));
    EXPECT_EQ(200.0f, VertexY(1));
}

TEST_F(PathsTest, EllipticalArcFollowsARotatedEllipse) {
    // Centre (640, 384), radii 200 and 80, x axis at 30 degrees; from the
    // end of its major axis to the end of its minor axis, the small arc
    // counter-clockwise, the large one clockwise the other way round.
    const float c = std::cos(30.0f * kPi / 180.0f), s = std::sin(30.0f * kPi / 180.0f);
    const float x1 = 640.0f - 80.0f * s, y1 = 384.0f + 80.0f * c;
    uint32_t counts[2] = {};
    for (uint32_t large = 0; large < 2; ++large) {
        sglBeginPath(1);
        sglMoveTo(640.0f + 200.0f * c, 384.0f + 200.0f * s);
        sglEllipticalArc(200.0f, 80.0f, 30.0f, large, large, x1, y1);
        sglEndPath();
        const uint32_t n = counts[large] = Drawn();
        EXPECT_EQ(x1, VertexX(n - 1));
        EXPECT_EQ(y1, VertexY(n - 1));
        for (uint32_t k = 0; k < n; ++k) {
            const float dx = VertexX(k) - 640.0f, dy = VertexY(k) - 384.0f;
            const float u = (c * dx + s * dy) / 200.0f, v = (-s * dx + c * dy) / 80.0f;
            EXPECT_NEAR(1.0f, u * u + v * v, 2e-4f) << "large " << large << " vertex " << k;
        }
    }
    EXPECT_NEAR(3.0, static_cast<double>(counts[1] - 1) / (counts[0] - 1), 0.25) << "three quarters against one";
}

}  // namespace
