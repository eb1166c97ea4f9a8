// The drawing library's pure geometry: strands of wide lines, stipple dashes,
// point-in-polygon, ear clipping and arc vertex density. Exact numbers, no
// OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "graphics/sgl_geometry.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Join and cap angles 10 + k * 160 / (n + 1) degrees, k = 1..n, as the
// library's circle tables hold them.
void circle_table(uint32_t n, float* out) {
    for (uint32_t k = 1; k <= n; ++k) {
        const double angle = (10.0 + k * 160.0 / (n + 1)) * kDegree;
        out[2 * (k - 1)] = static_cast<float>(std::cos(angle));
        out[2 * (k - 1) + 1] = static_cast<float>(std::sin(angle));
    }
}

float sin_phi(uint32_t n) {
    return static_cast<float>(std::sin((10.0 + 80.0 * n / (n + 1)) * kDegree));
}

sgl_strand_params strands_for(float half_width, float units, bool flat_caps) {
    float table[2 * SGL_MAX_STRANDS] = {};
    const uint32_t n = sgl_strand_count(half_width);
    circle_table(n, table);
    sgl_strand_params params{};
    sgl_strand_setup(&params, half_width, units, units, table, sin_phi(n), flat_caps);
    return params;
}

// ---------------------------------------------------------------- strands

TEST(StrandCount, FollowsHalfWidthAndIsOdd) {
    struct Case {
        float half_width;
        uint32_t count;
    };
    const Case cases[] = {{0.0f, 1}, {0.6f, 1}, {0.99f, 1}, {1.0f, 1}, {1.5f, 3},
                          {2.0f, 3}, {2.5f, 5}, {3.0f, 5},  {3.5f, 7}, {4.0f, 7},
                          {5.0f, 9}, {6.0f, 9}, {7.5f, 11}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.count, sgl_strand_count(c.half_width)) << "half-width " << c.half_width;
    }
}

TEST(StrandSetup, SpacingAndExtensionScaleWithUnitsPerPixel) {
    const sgl_strand_params one = strands_for(2.0f, 1.0f, false);
    EXPECT_NEAR(0.1736482f, one.end_extension, 1e-6f);
    EXPECT_NEAR((2.0f - 0.875f) * 1.0154266f, one.spacing, 1e-6f);
    const sgl_strand_params two = strands_for(2.0f, 2.0f, false);
    EXPECT_NEAR(2.0f * one.end_extension, two.end_extension, 1e-6f);
    EXPECT_NEAR(2.0f * one.spacing, two.spacing, 1e-6f);
    EXPECT_EQ(0.0f, strands_for(0.6f, 1.0f, false).spacing);
}

TEST(StrandExpansion, SingleStrandIsExtendedAlongTheLine) {
    const sgl_strand_params params = strands_for(0.6f, 1.0f, false);
    float out[4 * SGL_MAX_STRANDS];
    ASSERT_EQ(1u, sgl_expand_segment(&params, 10.0f, 5.0f, 30.0f, 5.0f, true, true, out));
    EXPECT_NEAR(10.0f - 0.1736482f, out[0], 1e-5f);
    EXPECT_EQ(5.0f, out[1]);
    EXPECT_NEAR(30.0f + 0.1736482f, out[2], 1e-5f);
    EXPECT_EQ(5.0f, out[3]);
}

// The strands fan out across the width and their ends lie on half circles
// round the (shortened) end points: that is what makes ends and joints round.
TEST(StrandExpansion, RoundEndsLieOnAHalfCircle) {
    const sgl_strand_params params = strands_for(3.0f, 1.0f, false);
    ASSERT_EQ(5u, params.count);
    float out[4 * SGL_MAX_STRANDS];
    ASSERT_EQ(5u, sgl_expand_segment(&params, 0.0f, 0.0f, 40.0f, 0.0f, false, false, out));
    const float e = params.end_extension;
    const float c = params.spacing;
    float widest = 0.0f;
    for (uint32_t k = 0; k < 5; ++k) {
        const float* s = out + 4 * k;
        EXPECT_NEAR(c, std::hypot(s[0] - e, s[1]), 1e-4f) << "strand " << k;
        EXPECT_NEAR(c, std::hypot(s[2] - (40.0f - e), s[3]), 1e-4f) << "strand " << k;
        EXPECT_LE(s[0], e);
        EXPECT_GE(s[2], 40.0f - e);
        EXPECT_EQ(s[1], s[3]) << "strands run parallel to the line";
        widest = std::fmax(widest, std::fabs(s[1]));
    }
    // The centre strand runs along the line and reaches furthest out.
    EXPECT_NEAR(0.0f, out[4 * 2 + 1], 1e-6f);
    EXPECT_NEAR(e - c, out[4 * 2 + 0], 1e-5f);
    // The outer strands stay within the half-width less the strand core.
    EXPECT_LT(widest, 3.0f - 0.5f);
    EXPECT_GT(widest, 1.0f);
}

TEST(StrandExpansion, FlatCapsCutOnlyTheFlaggedEnds) {
    const sgl_strand_params params = strands_for(3.0f, 1.0f, true);
    float out[4 * SGL_MAX_STRANDS];
    ASSERT_EQ(5u, sgl_expand_segment(&params, 0.0f, 0.0f, 40.0f, 0.0f, true, false, out));
    for (uint32_t k = 0; k < 5; ++k) {
        EXPECT_NEAR(-params.flat_cut, out[4 * k], 1e-5f) << "strand " << k;
    }
    EXPECT_LT(out[4 * 0 + 2], out[4 * 2 + 2]) << "unflagged end stays round";

    const sgl_strand_params round = strands_for(3.0f, 1.0f, false);
    float rounded[4 * SGL_MAX_STRANDS];
    sgl_expand_segment(&round, 0.0f, 0.0f, 40.0f, 0.0f, true, true, rounded);
    EXPECT_LT(rounded[4 * 2], rounded[4 * 0]) << "caps 1 keep flagged ends round";
}

TEST(StrandExpansion, FollowsTheSegmentDirection) {
    const sgl_strand_params params = strands_for(2.0f, 1.0f, false);
    float out[4 * SGL_MAX_STRANDS];
    ASSERT_EQ(3u, sgl_expand_segment(&params, 5.0f, 5.0f, 5.0f, 25.0f, false, false, out));
    // A vertical line: strands are vertical, spread across x.
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(out[4 * k], out[4 * k + 2]);
        EXPECT_LT(out[4 * k + 1], out[4 * k + 3]);
    }
    EXPECT_NEAR(5.0f, out[4 * 1], 1e-6f);
    EXPECT_NEAR(10.0f, out[4 * 0] + out[4 * 2], 1e-5f) << "outer strands symmetric";
}

TEST(StrandExpansion, SegmentsWithinAPixelAreLengthenedToOne) {
    const sgl_strand_params params = strands_for(0.5f, 1.0f, false);
    const float e = params.end_extension;
    float out[4];
    struct Case {
        float bx, by;
        float end_x, end_y;  // end of the strand before the extension
        float dir_x, dir_y;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, -1.0f, 0.0f, -1.0f},   // zero length: one pixel down
        {0.0f, 0.5f, 0.0f, 1.0f, 0.0f, 1.0f},     // short and vertical: up
        {-0.5f, 0.0f, -1.0f, 0.0f, -1.0f, 0.0f},  // short and horizontal: left
    };
    for (const Case& c : cases) {
        sgl_expand_segment(&params, 0.0f, 0.0f, c.bx, c.by, false, false, out);
        EXPECT_NEAR(c.end_x + e * c.dir_x, out[2], 1e-5f) << c.bx << "," << c.by;
        EXPECT_NEAR(c.end_y + e * c.dir_y, out[3], 1e-5f) << c.bx << "," << c.by;
    }
    // Two pixels long: untouched.
    sgl_expand_segment(&params, 0.0f, 0.0f, 2.0f, 0.0f, false, false, out);
    EXPECT_NEAR(2.0f + e, out[2], 1e-5f);
}

// ---------------------------------------------------------------- dashes

// The default stipple table's entries 1 (on 12, off 12) and 3 (on 1, off 6).
const uint8_t kDash12Lengths[6] = {12, 12, 0, 0, 0, 0};
const uint8_t kDash1Lengths[6] = {1, 6, 0, 0, 0, 0};
const uint8_t kOnOff[6] = {1, 0, 0, 0, 0, 0};

struct DashBuffer {
    float xy[2 * 4096];
    uint32_t count = 0;
};

TEST(Dashes, DotsEverySevenPixelsAndCarryAcrossTheCorner) {
    const sgl_stipple_pattern dots{kDash1Lengths, kOnOff, 2};
    sgl_stipple_position position{};
    DashBuffer buffer;
    ASSERT_TRUE(sgl_cut_dashes(&dots, &position, 0.0f, 0.0f, 69.0f, 0.0f, 1.0f, 1.0f, buffer.xy,
                               &buffer.count, 4096));
    ASSERT_EQ(20u, buffer.count);
    for (uint32_t k = 0; k < 10; ++k) {
        EXPECT_NEAR(7.0f * k, buffer.xy[4 * k + 0], 1e-4f) << "dash " << k;
        EXPECT_NEAR(7.0f * k + 1.0f, buffer.xy[4 * k + 2], 1e-4f) << "dash " << k;
        EXPECT_EQ(0.0f, buffer.xy[4 * k + 1]);
    }
    EXPECT_EQ(1u, position.segment);
    EXPECT_NEAR(5.0f, position.used, 1e-4f);

    // The next segment goes up from the corner: one pixel of the gap is left.
    buffer.count = 0;
    ASSERT_TRUE(sgl_cut_dashes(&dots, &position, 69.0f, 0.0f, 69.0f, 20.0f, 1.0f, 1.0f, buffer.xy,
                               &buffer.count, 4096));
    ASSERT_EQ(6u, buffer.count);
    const float starts[] = {1.0f, 8.0f, 15.0f};
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(69.0f, buffer.xy[4 * k]);
        EXPECT_NEAR(starts[k], buffer.xy[4 * k + 1], 1e-4f) << "dash " << k;
        EXPECT_NEAR(starts[k] + 1.0f, buffer.xy[4 * k + 3], 1e-4f) << "dash " << k;
    }
    EXPECT_EQ(1u, position.segment);
    EXPECT_NEAR(4.0f, position.used, 1e-4f);
}

TEST(Dashes, DiagonalDashEndsMidSegment) {
    const sgl_stipple_pattern dashes{kDash12Lengths, kOnOff, 2};
    sgl_stipple_position position{};
    DashBuffer buffer;
    // A 3-4-5 line of 30 pixels: on 0..12, off 12..24, on 24..30 (6 used).
    ASSERT_TRUE(sgl_cut_dashes(&dashes, &position, 0.0f, 0.0f, 18.0f, 24.0f, 1.0f, 1.0f, buffer.xy,
                               &buffer.count, 4096));
    ASSERT_EQ(4u, buffer.count);
    const float expected[8] = {0.0f, 0.0f, 7.2f, 9.6f, 14.4f, 19.2f, 18.0f, 24.0f};
    for (uint32_t k = 0; k < 8; ++k) {
        EXPECT_NEAR(expected[k], buffer.xy[k], 1e-4f) << "coordinate " << k;
    }
    EXPECT_EQ(0u, position.segment);
    EXPECT_NEAR(6.0f, position.used, 1e-4f);
}

TEST(Dashes, PatternScalesWithUnitsPerPixel) {
    const sgl_stipple_pattern dots{kDash1Lengths, kOnOff, 2};
    sgl_stipple_position position{};
    DashBuffer buffer;
    // Two drawing units per pixel: the 69-pixel line is 138 units long.
    ASSERT_TRUE(sgl_cut_dashes(&dots, &position, 0.0f, 0.0f, 138.0f, 0.0f, 2.0f, 2.0f, buffer.xy,
                               &buffer.count, 4096));
    ASSERT_EQ(20u, buffer.count);
    EXPECT_NEAR(126.0f, buffer.xy[4 * 9], 1e-4f);
    EXPECT_NEAR(128.0f, buffer.xy[4 * 9 + 2], 1e-4f);
}

TEST(Dashes, PatternWithoutLengthIsDrawnSolid) {
    const uint8_t zero[6] = {};
    const sgl_stipple_pattern empty{zero, kOnOff, 2};
    const sgl_stipple_pattern none{kDash1Lengths, kOnOff, 0};
    for (const sgl_stipple_pattern* pattern : {&empty, &none}) {
        sgl_stipple_position position{};
        DashBuffer buffer;
        ASSERT_TRUE(sgl_cut_dashes(pattern, &position, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f, 1.0f,
                                   buffer.xy, &buffer.count, 4096));
        ASSERT_EQ(2u, buffer.count);
        EXPECT_EQ(10.0f, buffer.xy[2]);
    }
}

TEST(Dashes, PatternThatNeverDrawsEndsOnEndlessSegments) {
    const uint8_t off[6] = {0, 0, 0, 0, 0, 0};
    const sgl_stipple_pattern gaps{kDash1Lengths, off, 2};
    const float endless[] = {1e30f, INFINITY};
    for (float far : endless) {
        sgl_stipple_position position{};
        DashBuffer buffer;
        EXPECT_TRUE(sgl_cut_dashes(&gaps, &position, 0.0f, 0.0f, far, 0.0f, 1.0f, 1.0f, buffer.xy,
                                   &buffer.count, 4096));
        EXPECT_EQ(0u, buffer.count) << far;
    }
    // A drawing pattern on an infinite segment fills the buffer and stops.
    const sgl_stipple_pattern dots{kDash1Lengths, kOnOff, 2};
    sgl_stipple_position position{};
    DashBuffer buffer;
    EXPECT_FALSE(sgl_cut_dashes(&dots, &position, 0.0f, 0.0f, INFINITY, 0.0f, 1.0f, 1.0f,
                                buffer.xy, &buffer.count, 4096));
    EXPECT_EQ(4094u, buffer.count);
}

TEST(Dashes, FullBufferKeepsTheDashesSoFar) {
    const sgl_stipple_pattern dots{kDash1Lengths, kOnOff, 2};
    sgl_stipple_position position{};
    DashBuffer buffer;
    EXPECT_FALSE(sgl_cut_dashes(&dots, &position, 0.0f, 0.0f, 69.0f, 0.0f, 1.0f, 1.0f, buffer.xy,
                                &buffer.count, 6));
    EXPECT_EQ(4u, buffer.count);
    EXPECT_NEAR(7.0f, buffer.xy[4], 1e-4f);
}

// ---------------------------------------------------------------- point in polygon

const float kSquare[] = {0, 0, 10, 0, 10, 10, 0, 10};
// An L: the notch is the square (5..10, 5..10).
const float kL[] = {0, 0, 10, 0, 10, 5, 5, 5, 5, 10, 0, 10};

TEST(PointInShape, EvenOddWithVertexAndEdgeRules) {
    struct Case {
        const float* shape;
        uint32_t n;
        float x, y;
        bool inside;
    };
    const Case cases[] = {
        {kSquare, 4, 5.0f, 5.0f, true},   {kSquare, 4, 15.0f, 5.0f, false},
        {kSquare, 4, -1.0f, 5.0f, false}, {kSquare, 4, 0.0f, 0.0f, true},  // vertex
        {kSquare, 4, 10.0f, 10.0f, true}, {kSquare, 4, 5.0f, 0.0f, true},  // raised
        {kSquare, 4, 5.0f, 10.0f, false}, {kSquare, 4, 5.0f, 11.0f, false},
        {kL, 6, 2.0f, 8.0f, true},        {kL, 6, 8.0f, 2.0f, true},
        {kL, 6, 7.5f, 7.5f, false},       {kL, 6, 2.0f, 5.0f, true},  // at the notch height
        {kL, 6, 7.0f, 5.0f, false},       {kL, 6, 5.0f, 5.0f, true},  // reflex vertex
        {kSquare, 0, 0.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.inside, mth_point_in_shape(c.x, c.y, c.n, c.shape)) << c.x << "," << c.y;
    }
}

// ---------------------------------------------------------------- ear clipping

double shoelace(const float* xy, uint32_t n) {
    double twice = 0.0;
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t j = (k + 1) % n;
        twice += static_cast<double>(xy[2 * k]) * xy[2 * j + 1] -
                 static_cast<double>(xy[2 * j]) * xy[2 * k + 1];
    }
    return std::fabs(twice) / 2.0;
}

struct Fixture {
    const char* name;
    float points[64];
    uint32_t n;
};

const Fixture kPolygons[] = {
    {"triangle", {0, 0, 10, 0, 0, 10}, 3},
    {"square", {0, 0, 10, 0, 10, 10, 0, 10}, 4},
    {"L counter-clockwise", {0, 0, 10, 0, 10, 5, 5, 5, 5, 10, 0, 10}, 6},
    {"L clockwise", {0, 10, 5, 10, 5, 5, 10, 5, 10, 0, 0, 0}, 6},
    {"notch first", {5, 5, 5, 10, 0, 10, 0, 0, 10, 0, 10, 5}, 6},
    {"comb",
     {0, 0, 30, 0, 30, 20, 25, 20, 25, 5, 20, 5, 20, 20, 10, 20, 10, 5, 5, 5, 5, 20, 0, 20},
     12},
    {"star", {0, 10, 3, 3, 10, 0, 3, -3, 0, -10, -3, -3, -10, 0, -3, 3}, 8},
    {"collinear edge", {0, 0, 5, 0, 10, 0, 10, 10, 0, 10}, 5},
    {"rounded rectangle", {2, 0, 18, 0, 20, 2, 20, 8, 18, 10, 2, 10, 0, 8, 0, 2}, 8},
    {"arrow", {0, 4, 10, 4, 10, 0, 16, 6, 10, 12, 10, 8, 0, 8}, 7},
};

TEST(EarClip, FixturePolygonsKeepTheirAreaAndTriangleCount) {
    for (const Fixture& f : kPolygons) {
        float xy[64];
        for (uint32_t k = 0; k < 2 * f.n; ++k)
            xy[k] = f.points[k];
        uint32_t n = f.n;
        float triangles[6 * 64];
        uint32_t count = 0;
        EXPECT_EQ(f.n - 2, sgl_ear_clip(xy, nullptr, &n, triangles, nullptr, &count, 64)) << f.name;
        EXPECT_EQ(f.n - 2, count) << f.name;
        EXPECT_EQ(0u, n) << f.name;
        double area = 0.0;
        for (uint32_t t = 0; t < count; ++t) {
            const float* tri = triangles + 6 * t;
            area += shoelace(tri, 3);
            const float cx = (tri[0] + tri[2] + tri[4]) / 3.0f;
            const float cy = (tri[1] + tri[3] + tri[5]) / 3.0f;
            EXPECT_TRUE(mth_point_in_shape(cx, cy, f.n, f.points))
                << f.name << ": triangle " << t << " lies outside";
        }
        EXPECT_NEAR(shoelace(f.points, f.n), area, 1e-3) << f.name;
    }
}

TEST(EarClip, ReflexVertexIsNeverAnEar) {
    // Vertex 3 of the L is the inner corner of the notch.
    EXPECT_FALSE(sgl_is_ear(kL, 6, 3));
    EXPECT_TRUE(sgl_is_ear(kL, 6, 1));
    // The inner corner lies on the base of the triangle at vertex 0; a point on
    // an edge counts as inside, so that triangle is not cut.
    EXPECT_FALSE(sgl_is_ear(kL, 6, 0));
    EXPECT_EQ(1u, sgl_get_first_ear(kL, 6));
    const float notch_first[] = {5, 5, 5, 10, 0, 10, 0, 0, 10, 0, 10, 5};
    EXPECT_FALSE(sgl_is_ear(notch_first, 6, 0));
    EXPECT_EQ(1u, sgl_get_first_ear(notch_first, 6));
}

TEST(EarClip, TextureCoordinatesFollowTheirVertices) {
    float xy[12];
    float st[12];
    for (uint32_t k = 0; k < 12; ++k) {
        xy[k] = kL[k];
        st[k] = kL[k] / 10.0f;
    }
    uint32_t n = 6;
    float triangles[6 * 4];
    float texture[6 * 4];
    uint32_t count = 0;
    sgl_ear_clip(xy, st, &n, triangles, texture, &count, 4);
    ASSERT_EQ(4u, count);
    for (uint32_t k = 0; k < 6 * 4; ++k) {
        EXPECT_FLOAT_EQ(triangles[k] / 10.0f, texture[k]) << "coordinate " << k;
    }
}

TEST(EarClip, FullTriangleListDropsTheRest) {
    float xy[12];
    for (uint32_t k = 0; k < 12; ++k)
        xy[k] = kL[k];
    uint32_t n = 6;
    float triangles[6 * 4];
    uint32_t count = 1;  // one slot of two already taken
    EXPECT_EQ(4u, sgl_ear_clip(xy, nullptr, &n, triangles, nullptr, &count, 2));
    EXPECT_EQ(2u, count);
}

TEST(EarClip, SelfIntersectingInputStillEnds) {
    float bow_tie[] = {0, 0, 10, 10, 10, 0, 0, 10};
    uint32_t n = 4;
    float triangles[6 * 4];
    uint32_t count = 0;
    EXPECT_EQ(2u, sgl_ear_clip(bow_tie, nullptr, &n, triangles, nullptr, &count, 4));
    EXPECT_EQ(2u, count);
    float two[] = {0, 0, 1, 1};
    n = 2;
    count = 0;
    EXPECT_EQ(0u, sgl_ear_clip(two, nullptr, &n, triangles, nullptr, &count, 4));
    EXPECT_EQ(0u, count);
}

// ---------------------------------------------------------------- arcs

TEST(ArcSteps, DensityFollowsTheRadiusInPixels) {
    struct Case {
        float radius_px;
        float sweep;
        float step;
        uint32_t count;
    };
    const Case cases[] = {
        {5.0f, 360.0f, 28.0f, 13}, {9.99f, 90.0f, 28.0f, 4},    {10.0f, 360.0f, 17.0f, 22},
        {19.9f, 34.0f, 17.0f, 2},  {20.0f, 360.0f, 9.0f, 40},   {59.0f, 100.0f, 9.0f, 12},
        {60.0f, 360.0f, 5.0f, 72}, {100.0f, 360.0f, 5.0f, 72},  {100.0f, 90.0f, 5.0f, 18},
        {259.0f, 7.0f, 5.0f, 2},   {260.0f, 360.0f, 3.4f, 106}, {100.0f, 720.0f, 5.0f, 72},
        {100.0f, 0.0f, 28.0f, 0},
    };
    for (const Case& c : cases) {
        float step = 0.0f;
        uint32_t count = 0;
        sgl_arc_steps(c.radius_px, c.sweep, &step, &count);
        EXPECT_EQ(c.step, step) << c.radius_px << " px, " << c.sweep << " degrees";
        EXPECT_EQ(c.count, count) << c.radius_px << " px, " << c.sweep << " degrees";
    }
}

TEST(ArcSteps, StartAngleGoesIntoItsQuadrant) {
    struct Case {
        float a0, dx, dy, angle;
    };
    const Case cases[] = {{30, 1, 1, 30}, {30, 1, -1, -30}, {30, -1, 1, 150}, {30, -1, -1, -150},
                          {90, 0, 1, 90}, {90, 0, -1, -90}, {0, 1, 0, 0},     {0, -1, 0, 180}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.angle, mth_move_in_good_quadrant(c.a0, c.dx, c.dy)) << c.dx << "," << c.dy;
    }
}

}  // namespace
