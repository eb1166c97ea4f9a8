// Crowns and the curve segments of paths on the off-screen context: the ring
// sectors a crown covers and leaves out, its vertex density, the flattened
// Bezier curves against their closed formula, the smooth variants' mirrored
// control points, elliptical arcs on their ellipse, and the errors.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::ReadPixel;
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

    static bool Lit(float x, float y) { return ReadPixel(static_cast<int>(x), static_cast<int>(y)).r > 128; }

    static bool LitAt(float radius, float degrees) {
        return Lit(kCx + radius * std::cos(degrees * kPi / 180.0f), kCy + radius * std::sin(degrees * kPi / 180.0f));
    }

    // Something drawn within a pixel of the point (thin antialiased lines
    // may light a pixel only partly).
    static bool NearLit(float radius, float degrees) {
        const int x = static_cast<int>(kCx + radius * std::cos(degrees * kPi / 180.0f));
        const int y = static_cast<int>(kCy + radius * std::sin(degrees * kPi / 180.0f));
        return CountCoveredPixels(x - 1, y - 1, 3, 3, 40) > 0;
    }

    // Pixels lit at all whose centres lie between the two radii round the
    // centre.
    static int CoveredBetween(float r1, float r2) {
        int covered = 0;
        for (int y = static_cast<int>(kCy - r2) - 1; y <= static_cast<int>(kCy + r2) + 1; ++y) {
            for (int x = static_cast<int>(kCx - r2) - 1; x <= static_cast<int>(kCx + r2) + 1; ++x) {
                const float r = std::hypot(x + 0.5f - kCx, y + 0.5f - kCy);
                if (r > r1 && r < r2 && ReadPixel(x, y).r > 0) {
                    ++covered;
                }
            }
        }
        return covered;
    }

    static float DistanceFrom(uint32_t k, float cx, float cy) {
        return std::hypot(VertexX(k) - cx, VertexY(k) - cy);
    }
};

// Closed formula of a Bezier curve (independent of the library's own).
void Bezier(const float* p, int degree, double t, double* x, double* y) {
    const double u = 1.0 - t;
    if (degree == 2) {
        *x = u * u * p[0] + 2 * u * t * p[2] + t * t * p[4];
        *y = u * u * p[1] + 2 * u * t * p[3] + t * t * p[5];
    } else {
        *x = u * u * u * p[0] + 3 * u * u * t * p[2] + 3 * u * t * t * p[4] + t * t * t * p[6];
        *y = u * u * u * p[1] + 3 * u * u * t * p[3] + 3 * u * t * t * p[5] + t * t * t * p[7];
    }
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / l2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Largest distance from the curve (densely sampled) to the drawn polyline.
double CurveToPolyline(const float* p, int degree, uint32_t count) {
    double worst = 0.0;
    for (int s = 0; s <= 4000; ++s) {
        double x = 0.0, y = 0.0;
        Bezier(p, degree, s / 4000.0, &x, &y);
        double best = 1e30;
        for (uint32_t k = 0; k + 1 < count; ++k) {
            best = std::fmin(best, DistanceToSegment(x, y, VertexX(k), VertexY(k), VertexX(k + 1), VertexY(k + 1)));
        }
        worst = std::fmax(worst, best);
    }
    return worst;
}

// Smallest distance from vertex k to the curve: the nearest of 2000
// samples, then a finer search round it.
double VertexToCurve(const float* p, int degree, uint32_t k) {
    auto distance = [&](double t) {
        double x = 0.0, y = 0.0;
        Bezier(p, degree, t, &x, &y);
        return std::hypot(VertexX(k) - x, VertexY(k) - y);
    };
    double best_t = 0.0;
    for (int s = 0; s <= 2000; ++s) {
        if (distance(s / 2000.0) < distance(best_t)) best_t = s / 2000.0;
    }
    double best = distance(best_t);
    for (int s = -2000; s <= 2000; ++s) {
        const double t = best_t + s / 2000.0 / 2000.0;
        if (t >= 0.0 && t <= 1.0) best = std::fmin(best, distance(t));
    }
    return best;
}

// ---------------------------------------------------------------- crowns

TEST_F(PathsTest, FilledCrownCoversItsRingSectorOnly) {
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 90.0f, 0, 1);
    struct Probe {
        float radius, degrees;
        bool lit;
    };
    const Probe probes[] = {
        {75.0f, 45.0f, true},  {53.0f, 10.0f, true},   {97.0f, 80.0f, true},   // inside the ring sector
        {25.0f, 45.0f, false}, {46.0f, 45.0f, false},  {5.0f, 45.0f, false},   // the hole
        {104.0f, 45.0f, false},                                                  // beyond the outer arc
        {75.0f, 135.0f, false}, {75.0f, -10.0f, false}, {75.0f, 225.0f, false},  // other quarters
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(probe.lit, LitAt(probe.radius, probe.degrees)) << probe.radius << " at " << probe.degrees;
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(PathsTest, CrownDirectionAndRadiusOrder) {
    struct Case {
        float inner, outer, start, end;
        uint32_t clockwise;
        bool quadrant[4];
    };
    const Case cases[] = {
        {50.0f, 100.0f, 0.0f, 90.0f, 0, {true, false, false, false}},
        {100.0f, 50.0f, 0.0f, 90.0f, 0, {true, false, false, false}},  // radii in either order
        {50.0f, 100.0f, 90.0f, 0.0f, 1, {true, false, false, false}},
        {50.0f, 100.0f, 0.0f, 90.0f, 1, {false, true, true, true}},
        {50.0f, 100.0f, 0.0f, 360.0f, 0, {true, true, true, true}},
    };
    for (const Case& c : cases) {
        ClearDisplay();
        sgluCrown2f(kCx, kCy, c.inner, c.outer, c.start, c.end, c.clockwise, 1);
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(c.quadrant[q], LitAt(75.0f, 45.0f + 90.0f * q))
                << c.start << " to " << c.end << " clockwise " << c.clockwise << " quadrant " << q;
            EXPECT_FALSE(LitAt(30.0f, 45.0f + 90.0f * q)) << "the hole stays empty, quadrant " << q;
        }
    }
}

TEST_F(PathsTest, FilledCrownStepsLikeAnArcOfItsOuterRadius) {
    // 100 pixels: 5-degree steps, 72 of them round the ring; each angle
    // gives an outer and an inner vertex, the last one the start again.
    sgluCrown2f(kCx, kCy, 40.0f, 100.0f, 0.0f, 360.0f, 0, 1);
    ASSERT_EQ(146u, Drawn());
    for (uint32_t k = 0; k < 146; ++k) {
        EXPECT_NEAR(k % 2 == 0 ? 100.0f : 40.0f, DistanceFrom(k, kCx, kCy), 0.05f) << k;
    }
    EXPECT_NEAR(VertexX(0), VertexX(144), 1e-3f);
    EXPECT_NEAR(VertexY(0), VertexY(144), 1e-3f);
    // 5 pixels: 28-degree steps, trunc(90 / 28) + 1 = 4 of them.
    sgluCrown2f(kCx, kCy, 2.0f, 5.0f, 0.0f, 90.0f, 0, 1);
    EXPECT_EQ(10u, Drawn());
    // 92 degrees: eighteen 5-degree steps and a last one of 2, like an arc.
    sgluCrown2f(kCx, kCy, 40.0f, 100.0f, 10.0f, 102.0f, 0, 1);
    ASSERT_EQ(40u, Drawn());
    for (uint32_t k = 0; k < 20; ++k) {
        const float degrees = k < 19 ? 10.0f + 5.0f * k : 102.0f;
        EXPECT_NEAR(kCx + 100.0f * std::cos(degrees * kPi / 180.0f), VertexX(2 * k), 2e-3f) << k;
        EXPECT_NEAR(kCy + 100.0f * std::sin(degrees * kPi / 180.0f), VertexY(2 * k), 2e-3f) << k;
        EXPECT_NEAR(kCx + 40.0f * std::cos(degrees * kPi / 180.0f), VertexX(2 * k + 1), 2e-3f) << k;
    }
}

TEST_F(PathsTest, CrownOutlineDrawsArcsAndRadialEdges) {
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 90.0f, 0, 2);
    EXPECT_TRUE(NearLit(50.0f, 45.0f)) << "inner arc";
    EXPECT_TRUE(NearLit(100.0f, 45.0f)) << "outer arc";
    EXPECT_TRUE(Lit(kCx + 75.0f, kCy)) << "radial edge at 0 degrees";
    EXPECT_TRUE(Lit(kCx, kCy + 75.0f)) << "radial edge at 90 degrees";
    EXPECT_FALSE(LitAt(75.0f, 45.0f)) << "inside of the ring sector";
    EXPECT_FALSE(Lit(kCx + 25.0f, kCy)) << "no edge into the hole";

    ClearDisplay();
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 90.0f, 0, 3);
    EXPECT_TRUE(NearLit(50.0f, 45.0f));
    EXPECT_TRUE(NearLit(100.0f, 45.0f));
    EXPECT_FALSE(Lit(kCx + 75.0f, kCy)) << "arcs only: no radial edge";

    ClearDisplay();
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 360.0f, 0, 2);
    for (int angle = 0; angle < 360; angle += 60) {
        EXPECT_TRUE(NearLit(50.0f, angle + 2.5f)) << angle;
        EXPECT_TRUE(NearLit(100.0f, angle + 2.5f)) << angle;
    }
    EXPECT_FALSE(Lit(kCx + 75.0f, kCy)) << "a full ring has no radial edge";
}

// A smoothed fill gets a thin antialiased loop round the ring - along the
// outer arc, a radial edge, the inner arc - so its edges reach a little
// beyond the flat fill; the strip's own zigzag order would not follow them.
TEST_F(PathsTest, SmoothedCrownOutlinesItsEdges) {
    for (int smooth = 0; smooth < 2; ++smooth) {
        ClearDisplay();
        smooth ? sglEnable(SGL_POLYGON_SMOOTH) : sglDisable(SGL_POLYGON_SMOOTH);
        sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 360.0f, 0, 1);
        // Pixels whose centres lie just beyond the fill's edges.
        const int beyond_outer = CoveredBetween(100.2f, 100.6f);
        const int beyond_inner = CoveredBetween(49.4f, 49.8f);
        if (smooth) {
            EXPECT_GT(beyond_outer, 200);
            EXPECT_GT(beyond_inner, 100);
        } else {
            EXPECT_EQ(0, beyond_outer);
            EXPECT_EQ(0, beyond_inner);
        }
        for (int angle = 0; angle < 360; angle += 45) {
            EXPECT_TRUE(LitAt(75.0f, angle + 2.5f)) << angle;
            EXPECT_FALSE(LitAt(40.0f, angle + 2.5f)) << angle;
        }
    }
    sglEnable(SGL_POLYGON_SMOOTH);
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 0.0f, 360.0f, 0, 1);
    EXPECT_EQ(1u, Context().polygon_smooth) << "the smoothing state comes back";
    EXPECT_EQ(0u, Context().line_width_index) << "the line width comes back";
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(PathsTest, CrownWithoutHoleIsASector) {
    sgluCrown2f(kCx, kCy, 0.0f, 100.0f, 0.0f, 90.0f, 0, 1);
    EXPECT_TRUE(LitAt(10.0f, 45.0f));
    EXPECT_TRUE(LitAt(90.0f, 45.0f));
    EXPECT_FALSE(LitAt(50.0f, 135.0f));
}

TEST_F(PathsTest, BadCrownArgumentsRecordError27) {
    struct Case {
        float start, end;
        uint32_t clockwise, mode;
    };
    const Case cases[] = {{100000.0f, 0.0f, 0, 1}, {0.0f, -100000.0f, 0, 1}, {0.0f, 90.0f, 2, 1},
                          {0.0f, 90.0f, 0, 0},     {0.0f, 90.0f, 0, 4}};
    for (const Case& c : cases) {
        sgluCrown2f(kCx, kCy, 50.0f, 100.0f, c.start, c.end, c.clockwise, c.mode);
    }
    const sgl_type_statemachine& context = Context();
    ASSERT_EQ(5u, context.errors.count);
    for (uint32_t k = 0; k < 5; ++k) {
        EXPECT_EQ(SGL_ERROR_CROWN, context.errors.entries[k].code);
        EXPECT_EQ(0u, context.errors.entries[k].value);
    }
    EXPECT_EQ(0, CountCoveredPixels(500, 250, 280, 280));
    // An empty sweep draws nothing and is no error.
    sgluCrown2f(kCx, kCy, 50.0f, 100.0f, 45.0f, 45.0f, 0, 1);
    EXPECT_EQ(0, CountCoveredPixels(500, 250, 280, 280));
    EXPECT_EQ(5u, Context().errors.count);
}

// ---------------------------------------------------------------- Bezier curves

TEST_F(PathsTest, CubicBezierPointsLieOnTheCurveAndReachItsEnd) {
    const float p[8] = {100.0f, 100.0f, 150.0f, 400.0f, 450.0f, -100.0f, 500.0f, 300.0f};
    sglBeginPath(1);
    sglMoveTo(p[0], p[1]);
    sglCubicBezier(p[2], p[3], p[4], p[5], p[6], p[7]);
    sglEndPath();
    const uint32_t n = Drawn();
    ASSERT_GT(n, 10u);
    EXPECT_EQ(p[0], VertexX(0));
    EXPECT_EQ(p[1], VertexY(0));
    EXPECT_EQ(p[6], VertexX(n - 1)) << "ends exactly at its end point";
    EXPECT_EQ(p[7], VertexY(n - 1));
    for (uint32_t k = 0; k < n; ++k) {
        EXPECT_LT(VertexToCurve(p, 3, k), 0.02) << "vertex " << k;
    }
    EXPECT_LE(CurveToPolyline(p, 3, n), 0.26) << "no piece strays more than a quarter pixel";
    EXPECT_GT(CountCoveredPixels(90, 90, 420, 220), 300);
}

TEST_F(PathsTest, QuadraticBezierPointsLieOnTheCurveAndReachItsEnd) {
    const float p[6] = {100.0f, 100.0f, 300.0f, 500.0f, 500.0f, 100.0f};
    sglBeginPath(1);
    sglMoveTo(p[0], p[1]);
    sglQuadraticBezier(p[2], p[3], p[4], p[5]);
    sglEndPath();
    const uint32_t n = Drawn();
    ASSERT_GT(n, 10u);
    EXPECT_EQ(p[4], VertexX(n - 1));
    EXPECT_EQ(p[5], VertexY(n - 1));
    for (uint32_t k = 0; k < n; ++k) {
        EXPECT_LT(VertexToCurve(p, 2, k), 0.02) << "vertex " << k;
    }
    EXPECT_LE(CurveToPolyline(p, 2, n), 0.26);
    // The top of the curve, at t = 1/2, is at y = 300.
    EXPECT_GT(CountCoveredPixels(295, 297, 10, 6), 0);
    EXPECT_EQ(0, CountCoveredPixels(295, 302, 10, 10));
}

TEST_F(PathsTest, CurveDensityFollowsItsSizeInPixels) {
    auto pieces = [](float scale, float draw_scale) {
        sglPushMatrix();
        sglScalef(draw_scale, draw_scale);
        sglBeginPath(1);
        sglMoveTo(0.0f, 0.0f);
        sglCubicBezier(10.0f * scale, 40.0f * scale, 30.0f * scale, -20.0f * scale, 40.0f * scale,
                       10.0f * scale);
        sglEndPath();
        sglPopMatrix();
        return Drawn() - 1;
    };
    const uint32_t small = pieces(1.0f, 1.0f);
    const uint32_t large = pieces(16.0f, 1.0f);
    EXPECT_GT(large, small);
    // Sixteen times the size needs about four times the pieces (the
    // deviation of a piece falls with the square of its length).
    EXPECT_NEAR(4.0 * small, static_cast<double>(large), 4.0);
    EXPECT_EQ(large, pieces(1.0f, 16.0f)) << "drawn 16 times larger by the matrix";
    EXPECT_EQ(small, pieces(16.0f, 1.0f / 16.0f));
    // A straight curve is one piece.
    sglBeginPath(1);
    sglMoveTo(0.0f, 0.0f);
    sglCubicBezier(10.0f, 10.0f, 20.0f, 20.0f, 30.0f, 30.0f);
    sglEndPath();
    EXPECT_EQ(2u, Drawn());
}

TEST_F(PathsTest, SmoothVariantsMirrorThePreviousControlPoint) {
    // The same path once with the smooth variants and once spelt out: the
    // vertices must agree to the bit.
    float smooth[4096][2];
    uint32_t smooth_count = 0;
    auto keep = [&](float (*out)[2], uint32_t* count) {
        *count = Drawn();
        for (uint32_t k = 0; k < *count; ++k) {
            out[k][0] = VertexX(k);
            out[k][1] = VertexY(k);
        }
    };
    struct Case {
        const char* name;
        void (*smooth)();
        void (*spelt)();
    };
    const Case cases[] = {
        {"cubic after cubic",
         [] {
             sglCubicBezier(150.0f, 300.0f, 250.0f, 300.0f, 300.0f, 200.0f);
             sglSmoothCubicBezier(500.0f, 100.0f, 500.0f, 300.0f);
         },
         [] {
             sglCubicBezier(150.0f, 300.0f, 250.0f, 300.0f, 300.0f, 200.0f);
             sglCubicBezier(350.0f, 100.0f, 500.0f, 100.0f, 500.0f, 300.0f);
         }},
        {"cubic after a line",
         [] {
             sglLineTo(300.0f, 200.0f);
             sglSmoothCubicBezier(500.0f, 100.0f, 500.0f, 300.0f);
         },
         [] {
             sglLineTo(300.0f, 200.0f);
             sglCubicBezier(300.0f, 200.0f, 500.0f, 100.0f, 500.0f, 300.0f);
         }},
        {"cubic after a quadratic",
         [] {
             sglQuadraticBezier(200.0f, 300.0f, 300.0f, 200.0f);
             sglSmoothCubicBezier(500.0f, 100.0f, 500.0f, 300.0f);
         },
         [] {
             sglQuadraticBezier(200.0f, 300.0f, 300.0f, 200.0f);
             sglCubicBezier(300.0f, 200.0f, 500.0f, 100.0f, 500.0f, 300.0f);
         }},
        {"quadratic chain",
         [] {
             sglQuadraticBezier(200.0f, 300.0f, 300.0f, 200.0f);
             sglSmoothQuadraticBezier(500.0f, 200.0f);
             sglSmoothQuadraticBezier(700.0f, 200.0f);
         },
         [] {
             sglQuadraticBezier(200.0f, 300.0f, 300.0f, 200.0f);
             sglQuadraticBezier(400.0f, 100.0f, 500.0f, 200.0f);
             sglQuadraticBezier(600.0f, 300.0f, 700.0f, 200.0f);
         }},
        {"quadratic after a cubic",
         [] {
             sglCubicBezier(150.0f, 300.0f, 250.0f, 300.0f, 300.0f, 200.0f);
             sglSmoothQuadraticBezier(500.0f, 200.0f);
         },
         [] {
             sglCubicBezier(150.0f, 300.0f, 250.0f, 300.0f, 300.0f, 200.0f);
             sglQuadraticBezier(300.0f, 200.0f, 500.0f, 200.0f);
         }},
    };
    for (const Case& c : cases) {
        sglBeginPath(1);
        sglMoveTo(100.0f, 200.0f);
        c.smooth();
        sglEndPath();
        keep(smooth, &smooth_count);
        sglBeginPath(1);
        sglMoveTo(100.0f, 200.0f);
        c.spelt();
        sglEndPath();
        ASSERT_EQ(smooth_count, Drawn()) << c.name;
        for (uint32_t k = 0; k < smooth_count; ++k) {
            EXPECT_EQ(smooth[k][0], VertexX(k)) << c.name << " vertex " << k;
            EXPECT_EQ(smooth[k][1], VertexY(k)) << c.name << " vertex " << k;
        }
    }
}

TEST_F(PathsTest, CurvesNeedAnOpenPathWithACurrentPoint) {
    sglCubicBezier(10.0f, 10.0f, 20.0f, 20.0f, 300.0f, 300.0f);
    sglQuadraticBezier(10.0f, 10.0f, 300.0f, 300.0f);
    sglEllipticalArc(50.0f, 50.0f, 0.0f, 0, 0, 300.0f, 300.0f);
    EXPECT_EQ(0u, Context().vertex_count) << "no path";
    sglBeginPath(1);
    sglSmoothCubicBezier(20.0f, 20.0f, 300.0f, 300.0f);
    sglSmoothQuadraticBezier(300.0f, 300.0f);
    EXPECT_EQ(0u, Context().vertex_count) << "no current point yet";
    sglMoveTo(100.0f, 100.0f);
    sglQuadraticBezier(NAN, 10.0f, 300.0f, 300.0f);
    sglCubicBezier(10.0f, 10.0f, 20.0f, INFINITY, 300.0f, 300.0f);
    EXPECT_EQ(1u, Context().vertex_count) << "numbers that are not finite add nothing";
    sglEndPath();
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(PathsTest, FilledPathWithCurvesFillsTheirInside) {
    // A lens: two quadratic curves between (200, 300) and (600, 300).
    sglBeginPath(2);
    sglMoveTo(200.0f, 300.0f);
    sglQuadraticBezier(400.0f, 500.0f, 600.0f, 300.0f);
    sglQuadraticBezier(400.0f, 100.0f, 200.0f, 300.0f);
    sglClosePath();
    sglEndPath();
    EXPECT_TRUE(Lit(400.0f, 395.0f));
    EXPECT_TRUE(Lit(400.0f, 205.0f));
    EXPECT_FALSE(Lit(400.0f, 405.0f));
    EXPECT_FALSE(Lit(400.0f, 195.0f));
    EXPECT_FALSE(Lit(210.0f, 320.0f));
}

// ---------------------------------------------------------------- elliptical arcs

TEST_F(PathsTest, EllipticalArcHalfCirclesTakeTheirSide) {
    struct Case {
        uint32_t large_arc, clockwise;
        float side;  // -1 below the chord, +1 above
    };
    // A half circle: both arcs are equally large, the direction decides.
    const Case cases[] = {{0, 0, -1.0f}, {1, 0, -1.0f}, {0, 1, 1.0f}, {1, 1, 1.0f}};
    for (const Case& c : cases) {
        sglBeginPath(1);
        sglMoveTo(400.0f, 300.0f);
        sglEllipticalArc(100.0f, 100.0f, 0.0f, c.large_arc, c.clockwise, 600.0f, 300.0f);
        sglEndPath();
        const uint32_t n = Drawn();
        ASSERT_GT(n, 20u);
        EXPECT_EQ(600.0f, VertexX(n - 1));
        EXPECT_EQ(300.0f, VertexY(n - 1));
        for (uint32_t k = 0; k < n; ++k) {
            EXPECT_NEAR(100.0f, DistanceFrom(k, 500.0f, 300.0f), 1e-3f) << k;
            EXPECT_GE(c.side * (VertexY(k) - 300.0f), -1e-3f) << k;
        }
        EXPECT_NEAR(300.0f + 100.0f * c.side, VertexY(n / 2), 1.0f);
    }
}

TEST_F(PathsTest, EllipticalArcFollowsARotatedEllipse) {
    // Centre (640, 384), radii 200 and 80, x axis at 30 degrees; from the
    // end of its major axis to the end of its minor axis.
    const float c = std::cos(30.0f * kPi / 180.0f);
    const float s = std::sin(30.0f * kPi / 180.0f);
    const float x0 = 640.0f + 200.0f * c, y0 = 384.0f + 200.0f * s;
    const float x1 = 640.0f - 80.0f * s, y1 = 384.0f + 80.0f * c;
    auto on_ellipse = [&](uint32_t k) {
        const float dx = VertexX(k) - 640.0f, dy = VertexY(k) - 384.0f;
        const float u = c * dx + s * dy, v = -s * dx + c * dy;
        return (u * u) / (200.0f * 200.0f) + (v * v) / (80.0f * 80.0f);
    };
    uint32_t counts[2] = {};
    for (uint32_t large = 0; large < 2; ++large) {
        // The small arc runs counter-clockwise, the large one clockwise the
        // other way round the same ellipse.
        sglBeginPath(1);
        sglMoveTo(x0, y0);
        sglEllipticalArc(200.0f, 80.0f, 30.0f, large, large, x1, y1);
        sglEndPath();
        const uint32_t n = Drawn();
        counts[large] = n;
        EXPECT_EQ(x1, VertexX(n - 1));
        EXPECT_EQ(y1, VertexY(n - 1));
        for (uint32_t k = 0; k < n; ++k) {
            EXPECT_NEAR(1.0f, on_ellipse(k), 2e-4f) << "large " << large << " vertex " << k;
        }
    }
    EXPECT_NEAR(3.0, static_cast<double>(counts[1] - 1) / (counts[0] - 1), 0.25) << "three quarters against one";
}

TEST_F(PathsTest, EllipticalArcSpecialCases) {
    // Radii too small to reach grow until the chord is a diameter.
    sglBeginPath(1);
    sglMoveTo(400.0f, 300.0f);
    sglEllipticalArc(10.0f, 10.0f, 0.0f, 0, 0, 600.0f, 300.0f);
    sglEndPath();
    uint32_t n = Drawn();
    EXPECT_EQ(600.0f, VertexX(n - 1));
    for (uint32_t k = 0; k < n; ++k) {
        EXPECT_NEAR(100.0f, DistanceFrom(k, 500.0f, 300.0f), 1e-3f) << k;
    }
    // A radius of 0 is a straight line.
    sglBeginPath(1);
    sglMoveTo(400.0f, 300.0f);
    sglEllipticalArc(0.0f, 50.0f, 0.0f, 0, 0, 600.0f, 200.0f);
    sglEndPath();
    ASSERT_EQ(2u, Drawn());
    EXPECT_EQ(600.0f, VertexX(1));
    EXPECT_EQ(200.0f, VertexY(1));
    // An arc to the current point adds nothing.
    sglBeginPath(1);
    sglMoveTo(400.0f, 300.0f);
    sglEllipticalArc(50.0f, 50.0f, 0.0f, 1, 0, 400.0f, 300.0f);
    EXPECT_EQ(1u, Context().vertex_count);
    sglEndPath();
    EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
