// Lines drawn through sglBegin / sglVertex2f / sglEnd on the off-screen
// context: strand counts and OpenGL widths, smoothed width and round ends,
// flat caps, halos, dashes carried across corners, render mode 0, buffer
// limits and the errors of bad modes.
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
using velkor_test::FirstCoveredX;
using velkor_test::LastCoveredX;
using velkor_test::ReadPixel;

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
        const float* p = xy.begin();
        for (size_t k = 0; k + 1 < xy.size(); k += 2) {
            sglVertex2f(p[k], p[k + 1]);
        }
        sglEnd();
    }
};

// ---------------------------------------------------------------- strands

TEST_F(LinesTest, StrandCountAndOpenGLWidthFollowTheWidthEntry) {
    struct Case {
        int32_t width;
        uint8_t smoothing;
        uint32_t strands_per_segment;
        float gl_width;
    };
    const Case cases[] = {
        {0, 0, 1, 1.2f},  // h = 0.6: one strand as wide as the line
        {1, 1, 4, 2.0f},  // smoothed: core h = 1 (1 strand) and halo g = 2 (3)
        {3, 0, 3, 2.0f},  // h = 2
        {4, 0, 5, 2.0f},  // h = 3
        {2, 0, 7, 2.0f},  // h = 4
    };
    for (const Case& c : cases) {
        sglIndexLineWidthi(c.width);
        if (c.smoothing) {
            sglEnable(SGL_LINE_SMOOTH);
        } else {
            sglDisable(SGL_LINE_SMOOTH);
        }
        Strip({100.5f, 100.5f, 300.5f, 100.5f, 300.5f, 300.5f});
        EXPECT_EQ(2u * c.strands_per_segment, Context().lines.strands_drawn)
            << "width entry " << c.width;
        EXPECT_EQ(c.gl_width, Context().gl_line_width) << "width entry " << c.width;
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(LinesTest, OpenGLWidthScalesWithTheViewport) {
    sglViewport(0, 0, 640, 384);
    sglOrtho(0.0f, 1280.0f, 0.0f, 768.0f);
    sglIndexLineWidthi(0);
    Strip({100.0f, 100.0f, 300.0f, 100.0f});
    EXPECT_FLOAT_EQ(0.6f, Context().gl_line_width);
}

TEST_F(LinesTest, LoopDrawsItsClosingSegment) {
    sglIndexLineWidthi(3);
    Strip({100.5f, 100.5f, 300.5f, 100.5f, 300.5f, 300.5f}, 3);
    EXPECT_EQ(3u * 3u, Context().lines.strands_drawn);
    // The closing diagonal passes through (200, 200).
    EXPECT_GT(CountCoveredPixels(198, 198, 5, 5), 0);
}

TEST_F(LinesTest, SeparateSegmentsArePairs) {
    sglIndexLineWidthi(3);
    Strip({100.5f, 100.5f, 300.5f, 100.5f, 100.5f, 300.5f, 300.5f, 300.5f}, 9);
    EXPECT_EQ(2u * 3u, Context().lines.strands_drawn);
    EXPECT_GT(CountCoveredPixels(195, 95, 10, 10), 0);
    EXPECT_GT(CountCoveredPixels(195, 295, 10, 10), 0);
    EXPECT_EQ(0, CountCoveredPixels(195, 150, 10, 100)) << "no segment between the pairs";
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
        EXPECT_EQ(0, CoveredInColumn(x, 190, 196)) << "x " << x;
        EXPECT_EQ(0, CoveredInColumn(x, 203, 210)) << "x " << x;
    }
}

TEST_F(LinesTest, WideLineHasRoundEnds) {
    sglIndexLineWidthi(2);
    Strip({200.0f, 300.0f, 400.0f, 300.0f});
    // Eight pixels wide in the middle.
    const int middle = CoveredInColumn(300, 280, 320, 64);
    EXPECT_GE(middle, 7);
    EXPECT_LE(middle, 9);
    // The centre row reaches further past the end than the edge rows.
    const int centre_end = LastCoveredX(300, 390, 420, 64);
    const int edge_end = LastCoveredX(303, 390, 420, 64);
    const int centre_start = FirstCoveredX(300, 180, 210, 64);
    const int edge_start = FirstCoveredX(303, 180, 210, 64);
    EXPECT_GE(centre_end - edge_end, 1);
    EXPECT_GE(edge_start - centre_start, 1);
    EXPECT_GE(centre_end, 402);
}

TEST_F(LinesTest, FlatCapsGiveFlatFreeEndsAndARoundJoint) {
    sglIndexLineWidthi(2);
    sglSetLineCaps(0);
    Strip({200.0f, 300.0f, 400.0f, 300.0f, 400.0f, 500.0f});
    // Free end: every row of the line stops at the same column.
    const int centre_start = FirstCoveredX(300, 180, 210, 64);
    for (int y = 297; y <= 303; ++y) {
        EXPECT_EQ(centre_start, FirstCoveredX(y, 180, 210, 64)) << "row " << y;
    }
    // The other free end, at the top of the vertical segment.
    const int top = CountCoveredPixels(400, 500, 1, 10, 64);
    for (int x = 397; x <= 403; ++x) {
        EXPECT_EQ(top, CountCoveredPixels(x, 500, 1, 10, 64)) << "column " << x;
    }
    // The joint stays round: the outer corner of the elbow is left open
    // while the elbow itself is filled.
    EXPECT_GT(ReadPixel(402, 298).r, 128);
    EXPECT_LT(ReadPixel(403, 296).r, 128);

    // With round caps the free end is round again.
    ClearDisplay();
    sglSetLineCaps(1);
    Strip({200.0f, 300.0f, 400.0f, 300.0f, 400.0f, 500.0f});
    EXPECT_GE(FirstCoveredX(303, 180, 210, 64) - FirstCoveredX(300, 180, 210, 64), 1);
}

TEST_F(LinesTest, ZeroLengthSegmentIsDrawnOnePixelDown) {
    sglIndexLineWidthi(3);
    Strip({500.5f, 500.0f, 500.5f, 500.0f});
    EXPECT_EQ(3u, Context().lines.strands_drawn);
    EXPECT_GT(ReadPixel(500, 499).r, 128);
    EXPECT_GT(CountCoveredPixels(490, 490, 20, 20), 4);
}

TEST_F(LinesTest, HaloUnderTheLine) {
    sglIndexLineWidthi(5);  // plain 1, smoothed core 2, halo 8
    sglIndexHaloColori(velkor_test::kRed);
    sglIndexColori(velkor_test::kGreen);
    sglEnable(SGL_LINE_SMOOTH);
    Strip({100.0f, 400.0f, 300.0f, 400.0f});
    const velkor_test::Rgba centre = ReadPixel(200, 400);
    EXPECT_EQ(0, centre.r);
    EXPECT_EQ(255, centre.g);
    const velkor_test::Rgba beside = ReadPixel(200, 402);
    EXPECT_EQ(255, beside.r);
    EXPECT_EQ(0, beside.g);
    // Without smoothing there is no halo pass.
    ClearDisplay();
    sglDisable(SGL_LINE_SMOOTH);
    Strip({100.0f, 400.0f, 300.0f, 400.0f});
    EXPECT_EQ(0, ReadPixel(200, 402).r);
}

TEST_F(LinesTest, BlackHaloAtTheLineTransparency) {
    velkor_test::FillRectRaw(0.0f, 350.0f, 400.0f, 450.0f, 0.0f, 0.0f, 1.0f);
    sglIndexLineWidthi(5);
    sglIndexHaloColori(-1);
    sglEnable(SGL_LINE_SMOOTH);
    Strip({100.0f, 400.0f, 300.0f, 400.0f});
    EXPECT_EQ(0, ReadPixel(200, 402).b) << "black halo over blue";
    EXPECT_EQ(255, ReadPixel(200, 410).b);
}

TEST_F(LinesTest, RenderModeZeroDrawsOpenGLLines) {
    sglSetRenderMode(0);
    sglIndexLineWidthi(6);
    Strip({100.0f, 600.5f, 300.0f, 600.5f});
    EXPECT_EQ(3.0f, Context().gl_line_width);
    EXPECT_EQ(0u, Context().lines.strands_drawn);
    EXPECT_EQ(3, CoveredInColumn(200, 590, 610, 128));

    // Smoothed: a halo line of the outer width under the core width.
    ClearDisplay();
    sglIndexLineWidthi(5);  // core 2, outer 8
    sglIndexHaloColori(velkor_test::kRed);
    sglIndexColori(velkor_test::kGreen);
    sglEnable(SGL_LINE_SMOOTH);
    Strip({100.0f, 600.0f, 300.0f, 600.0f});
    EXPECT_EQ(2.0f, Context().gl_line_width) << "the main pass comes last";
    EXPECT_EQ(255, ReadPixel(200, 600).g);
    EXPECT_EQ(0, ReadPixel(200, 600).r);
    EXPECT_EQ(255, ReadPixel(200, 602).r);
    EXPECT_EQ(0, ReadPixel(200, 602).g);
}

// ---------------------------------------------------------------- dashes

TEST_F(LinesTest, DotsCarryAcrossTheCornerAndRestartWithTheNextPrimitive) {
    sglIndexLineWidthi(0);
    sglIndexLineStipplei(3);  // on 1, off 6
    Strip({100.0f, 400.5f, 169.0f, 400.5f, 169.0f, 420.0f});
    const sgl_type_statemachine& c = Context();
    ASSERT_EQ(26u, c.lines.drawn_vertex_count);
    for (uint32_t k = 0; k < 10; ++k) {
        EXPECT_FLOAT_EQ(100.0f + 7.0f * k, velkor_test::VertexX(2 * k)) << "dash " << k;
        EXPECT_FLOAT_EQ(101.0f + 7.0f * k, velkor_test::VertexX(2 * k + 1)) << "dash " << k;
    }
    // Up the corner: one pixel of the gap is left.
    const float up[3] = {401.5f, 408.5f, 415.5f};
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(169.0f, velkor_test::VertexX(20 + 2 * k));
        EXPECT_FLOAT_EQ(up[k], velkor_test::VertexY(20 + 2 * k)) << "dash " << k;
    }
    // Pixels: lit at the dash starts, dark in the gaps.
    for (int k = 0; k < 10; ++k) {
        EXPECT_GT(ReadPixel(100 + 7 * k, 400).r, 128) << "dash " << k;
        EXPECT_EQ(0, ReadPixel(103 + 7 * k, 400).r) << "gap " << k;
    }
    EXPECT_EQ(0u, c.errors.count);

    // A new primitive starts with the pattern's first dash again.
    Strip({300.0f, 400.5f, 310.0f, 400.5f});
    EXPECT_EQ(4u, c.lines.drawn_vertex_count);
    EXPECT_FLOAT_EQ(300.0f, velkor_test::VertexX(0));
    EXPECT_FLOAT_EQ(307.0f, velkor_test::VertexX(2));
}

// A pattern that starts with a gap: the first segment of the strip yields no
// dash at all, and the next one must still go on from its end.
TEST_F(LinesTest, StripWhoseFirstSegmentFallsInAGapKeepsItsNextSegment) {
    static const sgl_line_stipple kGapFirst[1] = {{{10, 10, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, 0, 2}};
    sglLineStipplePointer(kGapFirst, 1);
    sglIndexLineStipplei(0);
    sglIndexLineWidthi(0);
    Strip({100.0f, 100.5f, 105.0f, 100.5f, 130.0f, 100.5f});
    ASSERT_EQ(2u, Context().lines.drawn_vertex_count);
    EXPECT_FLOAT_EQ(110.0f, velkor_test::VertexX(0));
    EXPECT_FLOAT_EQ(120.0f, velkor_test::VertexX(1));
    EXPECT_GT(ReadPixel(115, 100).r, 128);
    EXPECT_EQ(0, ReadPixel(125, 100).r);
}

TEST_F(LinesTest, StippledLoopIsClosedByDashes) {
    sglIndexLineWidthi(0);
    sglIndexLineStipplei(1);  // on 12, off 12
    Strip({100.0f, 100.5f, 160.0f, 100.5f, 160.0f, 160.5f}, 3);
    // Two sides of 60 and the closing diagonal of about 84.9 pixels: three
    // dashes on the first side, two on the second, four on the diagonal.
    EXPECT_EQ(18u, Context().lines.drawn_vertex_count);
    EXPECT_NEAR(160.0f - 72.0f * 0.70710678f, velkor_test::VertexX(16), 1e-3f);
    EXPECT_NEAR(160.0f - 84.0f * 0.70710678f, velkor_test::VertexX(17), 1e-3f);
}

TEST_F(LinesTest, StippledSegmentsKeepThePatternAcrossPairs) {
    sglIndexLineWidthi(0);
    sglIndexLineStipplei(3);
    Strip({100.0f, 100.5f, 110.0f, 100.5f, 100.0f, 200.5f, 110.0f, 200.5f}, 9);
    // 10 pixels: dots at 0 and 7, then 2 pixels of the gap are used; the
    // second pair goes on with the 4 left of it.
    ASSERT_EQ(6u, Context().lines.drawn_vertex_count);
    EXPECT_FLOAT_EQ(107.0f, velkor_test::VertexX(2));
    EXPECT_FLOAT_EQ(104.0f, velkor_test::VertexX(4));
    EXPECT_FLOAT_EQ(200.5f, velkor_test::VertexY(4));
}

TEST_F(LinesTest, DashesScaleWithSglScalef) {
    sglIndexLineWidthi(0);
    sglIndexLineStipplei(3);
    sglPushMatrix();
    sglScalef(2.0f, 2.0f);
    Strip({50.0f, 50.25f, 84.5f, 50.25f});
    sglPopMatrix();
    // The pattern is measured before scaling: 34.5 units give the dots of a
    // 34.5-pixel line, each twice as long on the display.
    ASSERT_EQ(10u, Context().lines.drawn_vertex_count);
    EXPECT_FLOAT_EQ(78.0f, velkor_test::VertexX(8));
    EXPECT_GT(ReadPixel(156, 100).r, 128);
    EXPECT_GT(ReadPixel(157, 100).r, 128);
    EXPECT_EQ(0, ReadPixel(160, 100).r);
}

// ---------------------------------------------------------------- limits and errors

TEST_F(LinesTest, VerticesBeyondTheBufferAreDroppedWithError20) {
    sglBegin(11);
    for (uint32_t k = 0; k < SGL_VERTEX_BUFFER_SIZE + 3; ++k) {
        sglVertex2f(100.0f + static_cast<float>(k % 2), 100.0f + static_cast<float>(k) * 0.1f);
    }
    sglEnd();
    const sgl_type_statemachine& c = Context();
    EXPECT_EQ(SGL_VERTEX_BUFFER_SIZE, c.lines.drawn_vertex_count);
    ASSERT_EQ(3u, c.errors.count);
    for (uint32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(SGL_ERROR_VERTEX_BUFFER_FULL, c.errors.entries[k].code);
    }
}

TEST_F(LinesTest, UnknownModeRecordsError1AndDrawsNothing) {
    sglIndexLineWidthi(3);
    for (uint8_t mode : {uint8_t{0}, uint8_t{6}, uint8_t{10}, uint8_t{129}}) {
        Strip({100.0f, 100.0f, 300.0f, 300.0f}, mode);
    }
    const sgl_type_statemachine& c = Context();
    ASSERT_EQ(4u, c.errors.count);
    const uint32_t values[4] = {0, 6, 10, 129};
    for (uint32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(SGL_ERROR_BEGIN, c.errors.entries[k].code);
        EXPECT_EQ(values[k], c.errors.entries[k].value);
    }
    EXPECT_EQ(0, CountCoveredPixels(90, 90, 220, 220));
    EXPECT_EQ(0u, c.begin_mode);
}

TEST_F(LinesTest, SingleVertexDrawsNothing) {
    sglIndexLineWidthi(3);
    Strip({100.0f, 100.0f});
    EXPECT_EQ(0, CountCoveredPixels(90, 90, 20, 20));
    EXPECT_EQ(0u, Context().vertex_count);
}

TEST_F(LinesTest, DepthTestDrawsTheLineOverItsHalo) {
    sglEnable(SGL_DEPTH_TEST);
    sglIndexLineWidthi(5);
    sglIndexHaloColori(velkor_test::kRed);
    sglIndexColori(velkor_test::kGreen);
    sglEnable(SGL_LINE_SMOOTH);
    Strip({100.0f, 400.0f, 300.0f, 400.0f});
    EXPECT_EQ(255, ReadPixel(200, 400).g);
    EXPECT_EQ(255, ReadPixel(200, 402).r);
    EXPECT_EQ(0.0f, Context().transform.z_offset);
}

}  // namespace
