// Stencil masks and clip planes: identifiers and their allocation, masks
// that restrict drawing to their shape (or, inverted, to the outside), clip
// boxes under the current matrix, several masks at once, clip planes cutting
// where their line says, the plane states, the per-frame reset, the numbered
// entries, and every error code of these operations.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_masks_geometry.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::FillRectRaw;
using velkor_test::ReadPixel;
using velkor_test::ReadStencil;
using velkor_test::SglTest;

constexpr int kDisplayArea = velkor_test::kDisplayWidth * velkor_test::kDisplayHeight;

// ---------------------------------------------------------------- identifiers

TEST(MaskIdentifiers, FirstFreeBitOfEachKind) {
    struct Case {
        uint32_t allocated;
        uint32_t stencil;
        uint32_t plane;
    };
    const Case cases[] = {
        {0x0000, 1, 256},      {0x0001, 2, 256},      {0x00FB, 4, 256},
        {0x00FF, 0, 256},      {0x0100, 1, 512},      {0x1F00, 1, 8192},
        {0x2F00, 1, 4096},     {0x3FFF, 0, 0},        {0xFFFFC0FF, 0, 256},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.stencil, sgl_first_free_stencil_id(c.allocated)) << std::hex << c.allocated;
        EXPECT_EQ(c.plane, sgl_first_free_clip_plane_id(c.allocated)) << std::hex << c.allocated;
    }
}

TEST(MaskIdentifiers, PlaneNumberAlwaysIndexesTheSixPlanes) {
    const uint32_t ids[] = {256, 512, 1024, 2048, 4096, 8192, 0, 1, 300, 16384, 0xFFFFFFFF};
    const uint32_t numbers[] = {0, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5};
    for (size_t k = 0; k < sizeof(ids) / sizeof(ids[0]); ++k) {
        EXPECT_EQ(numbers[k], sgl_get_clip_plane_number(ids[k])) << ids[k];
    }
}

// The sign of a*X + b*Y + d tells which side OpenGL keeps (>= 0).
TEST(ClipPlaneEquation, KeepsTheRightSideOfTheDirectedLine) {
    struct Case {
        float angle;
        uint8_t side;
        float kept_x, kept_y;   // a point that must be kept
        float cut_x, cut_y;     // a point that must be cut
    };
    // All lines pass through (100, 50).
    const Case cases[] = {
        {0.0f, 0, 0.0f, 40.0f, 0.0f, 60.0f},       // running +x: below is right
        {0.0f, 1, 0.0f, 60.0f, 0.0f, 40.0f},
        {90.0f, 0, 110.0f, 0.0f, 90.0f, 0.0f},     // running +y: right is +x
        {180.0f, 0, 0.0f, 60.0f, 0.0f, 40.0f},
        {270.0f, 0, 90.0f, 0.0f, 110.0f, 0.0f},
        {270.0f, 1, 110.0f, 0.0f, 90.0f, 0.0f},
        {45.0f, 0, 110.0f, 50.0f, 90.0f, 50.0f},
        {135.0f, 0, 110.0f, 50.0f, 90.0f, 50.0f},  // running up-left: right is +x
        {225.0f, 2, 90.0f, 50.0f, 110.0f, 50.0f},  // side 2 counts as 0
    };
    for (const Case& c : cases) {
        double e[4];
        sgl_clip_plane_equation(100.0f, 50.0f, c.angle, c.side, e);
        EXPECT_EQ(0.0, e[2]);
        EXPECT_GT(e[0] * c.kept_x + e[1] * c.kept_y + e[3], 0.0) << c.angle << " side " << int(c.side);
        EXPECT_LT(e[0] * c.cut_x + e[1] * c.cut_y + e[3], 0.0) << c.angle << " side " << int(c.side);
        EXPECT_NEAR(0.0, e[0] * 100.0 + e[1] * 50.0 + e[3], 1e-4) << "the line passes the point";
    }
    // Quarter turns are exact, not the degree approximation's near-zeros.
    double e[4];
    sgl_clip_plane_equation(100.0f, 50.0f, 90.0f, 0, e);
    EXPECT_EQ(1.0, e[0]);
    EXPECT_EQ(0.0, e[1]);
    EXPECT_EQ(-100.0, e[3]);
    sgl_clip_plane_equation(100.0f, 50.0f, 0.0f, 1, e);
    EXPECT_EQ(0.0, e[0]);
    EXPECT_EQ(1.0, e[1]);
    EXPECT_EQ(-50.0, e[3]);
}

// ---------------------------------------------------------------- on the context

class MasksTest : public SglTest {
protected:
    const sgl_clipping_state& Clipping() { return Context().clipping; }
    sgl_error_entry LastError() { return Context().errors.entries[Context().errors.count - 1]; }

    static void FillDisplay() { FillRectRaw(0, 0, 1280, 768, 1, 0, 0); }

    static void Rectangle(float x0, float y0, float x1, float y1) {
        sglBegin(5);
        sglVertex2f(x0, y0);
        sglVertex2f(x1, y0);
        sglVertex2f(x1, y1);
        sglVertex2f(x0, y1);
        sglEnd();
    }

    static bool ColourWritesOn() {
        GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        return mask[0] && mask[1] && mask[2] && mask[3];
    }
};

TEST_F(MasksTest, NineStencilMasksAndSevenPlanes) {
    const uint32_t stencil[] = {1, 2, 4, 8, 16, 32, 64, 128, 0};
    for (uint32_t expected : stencil) {
        EXPECT_EQ(expected, sglAllocateMaskID(1));
    }
    sglFreeMaskID(4);
    EXPECT_EQ(4u, sglAllocateMaskID(2)) << "kind 2 is a stencil mask as well";
    const uint32_t planes[] = {256, 512, 1024, 2048, 4096, 8192, 0};
    for (uint32_t expected : planes) {
        EXPECT_EQ(expected, sglAllocateMaskID(0));
    }
    EXPECT_EQ(0x3FFFu, Clipping().allocated_masks);
    EXPECT_EQ(0u, Context().errors.count) << "running out is no error";

    EXPECT_EQ(0u, sglAllocateMaskID(3));
    ASSERT_EQ(1u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_ALLOCATE_MASK, LastError().code);
    EXPECT_EQ(3u, LastError().value);
}

TEST_F(MasksTest, FreeingAnIdBeyond14BitsFreesOnlyItsLowBits) {
    for (int k = 0; k < 3; ++k) {
        sglAllocateMaskID(1);  // 1, 2, 4
    }
    sglFreeMaskID(16384 + 2);
    ASSERT_EQ(1u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_FREE_MASK, LastError().code);
    EXPECT_EQ(16386u, LastError().value);
    EXPECT_EQ(5u, Clipping().allocated_masks);
}

TEST_F(MasksTest, MaskRestrictsDrawingToItsShape) {
    const uint32_t id = sglBeginMaskDefinition(0);
    EXPECT_EQ(1u, id);
    EXPECT_EQ(1u, Clipping().mask_under_definition);
    Rectangle(100, 100, 200, 150);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "a mask's shape never reaches the colours";
    sglEndMaskDefinition();
    EXPECT_EQ(0u, Clipping().mask_under_definition);
    EXPECT_TRUE(ColourWritesOn());
    EXPECT_EQ(1, ReadStencil(150, 120));
    EXPECT_EQ(0, ReadStencil(250, 120));

    sglSetActiveMasks(1);
    FillDisplay();
    EXPECT_EQ(100 * 50, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(100 * 50, CountCoveredPixels(100, 100, 100, 50));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, InvertedMaskRestrictsDrawingToTheOutside) {
    ASSERT_EQ(1u, sglBeginMaskDefinition(1));
    Rectangle(100, 100, 200, 150);
    sglEndMaskDefinition();
    sglSetActiveMasks(1);
    FillDisplay();
    EXPECT_EQ(kDisplayArea - 100 * 50, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0, CountCoveredPixels(100, 100, 100, 50));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, ClipBoxFollowsTheCurrentMatrixAndEitherCornerOrder) {
    struct Case {
        float degrees;
        float x1, y1, x2, y2;
        int left, bottom, width, height;  // pixels let through
    };
    // Drawn at the origin (600, 400).
    const Case cases[] = {
        {0.0f, 0, 0, 100, 50, 600, 400, 100, 50},
        {0.0f, 100, 50, 0, 0, 600, 400, 100, 50},
        {90.0f, 0, 0, 100, 50, 550, 400, 50, 100},
        {180.0f, 0, 0, 100, 50, 500, 350, 100, 50},
    };
    for (const Case& c : cases) {
        ClearDisplay();
        sglSetActiveMasks(0);
        const uint32_t id = sglAllocateMaskID(1);
        sglPushMatrix();
        sglTranslatef(600, 400);
        sglRotatef(c.degrees);
        sglClipBox(id, 0, c.x1, c.y1, c.x2, c.y2);
        sglPopMatrix();
        EXPECT_TRUE(ColourWritesOn());
        sglSetActiveMasks(id);
        FillDisplay();
        EXPECT_EQ(c.width * c.height, CountCoveredPixels(0, 0, 1280, 768)) << c.degrees;
        EXPECT_EQ(c.width * c.height, CountCoveredPixels(c.left, c.bottom, c.width, c.height)) << c.degrees;
        sglFreeMaskID(id);
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, SeveralActiveMasksLetThroughOnlyWhereAllAgree) {
    const uint32_t a = sglAllocateMaskID(1);
    const uint32_t b = sglAllocateMaskID(1);
    const uint32_t c = sglAllocateMaskID(1);
    sglClipBox(a, 0, 100, 100, 300, 200);
    sglClipBox(b, 0, 200, 150, 400, 300);   // defining b leaves a's bit alone
    sglClipBox(c, 1, 250, 0, 260, 768);     // inverted: a slit cut out
    sglSetActiveMasks(a | b);
    FillDisplay();
    EXPECT_EQ(100 * 50, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(100 * 50, CountCoveredPixels(200, 150, 100, 50));

    ClearDisplay();
    sglClipBox(a, 0, 100, 100, 300, 200);
    sglClipBox(b, 0, 200, 150, 400, 300);
    sglClipBox(c, 1, 250, 0, 260, 768);
    sglSetActiveMasks(a | b | c);
    FillDisplay();
    EXPECT_EQ(90 * 50, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0, CountCoveredPixels(250, 0, 10, 768));

    // Freeing a mask drops it from the active set and from the stencil test.
    sglFreeMaskID(c);
    EXPECT_EQ(a | b, sglGetActiveMasks());
    ClearDisplay();
    sglClipBox(a, 0, 100, 100, 300, 200);
    sglClipBox(b, 0, 200, 150, 400, 300);
    FillDisplay();
    EXPECT_EQ(100 * 50, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, RefusedClipBoxesRecordError4AndDrawNothing) {
    struct Case {
        uint32_t id;
        uint8_t inverted;
        float x1, y1, x2, y2;
    };
    const Case cases[] = {
        {1, 0, 100, 100, 100, 200},         // no width
        {1, 0, 0.5f, 100, 0.5000005f, 200}, // width within 1e-6
        {2, 0, 100, 100, 200, 100},         // no height
        {4, 2, 100, 100, 200, 200},         // inverted must be 0 or 1
        {3, 0, 100, 100, 200, 200},         // two bits
        {256, 0, 100, 100, 200, 200},       // a clip plane
        {0, 0, 100, 100, 200, 200},
    };
    for (const Case& c : cases) {
        const uint32_t before = Context().errors.count;
        sglClipBox(c.id, c.inverted, c.x1, c.y1, c.x2, c.y2);
        ASSERT_EQ(before + 1, Context().errors.count);
        EXPECT_EQ(SGL_ERROR_CLIP_BOX, LastError().code);
        EXPECT_EQ(c.id, LastError().value);
        EXPECT_TRUE(ColourWritesOn());
        EXPECT_EQ(0, ReadStencil(150, 150)) << c.id;
    }
    EXPECT_EQ(0u, Clipping().allocated_masks);
    FillDisplay();
    EXPECT_EQ(kDisplayArea, CountCoveredPixels(0, 0, 1280, 768));
}

TEST_F(MasksTest, MaskDefinitionRefusesInvertedAboveOneAndRunsOutQuietly) {
    EXPECT_EQ(0u, sglBeginMaskDefinition(2));
    ASSERT_EQ(1u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_BEGIN_MASK_DEFINITION, LastError().code);
    EXPECT_EQ(0u, LastError().value);
    EXPECT_TRUE(ColourWritesOn());

    for (uint32_t k = 0; k < 8; ++k) {
        EXPECT_EQ(1u << k, sglBeginMaskDefinition(0));
        sglEndMaskDefinition();
    }
    EXPECT_EQ(0u, sglBeginMaskDefinition(0));
    EXPECT_EQ(1u, Context().errors.count);
    EXPECT_TRUE(ColourWritesOn()) << "no mask left: drawing stays in colour";
}

TEST_F(MasksTest, SettingTheSameSetAgainTouchesNoOpenGlState) {
    const uint32_t id = sglAllocateMaskID(1);
    sglClipBox(id, 0, 100, 100, 200, 200);
    sglSetActiveMasks(id);
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    glDisable(GL_STENCIL_TEST);  // behind the library's back
    sglSetActiveMasks(id);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    sglSetActiveMasks(0);
    sglSetActiveMasks(id);
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, SetAbove16383IsRecordedAndStillUsed) {
    const uint32_t id = sglAllocateMaskID(1);
    sglClipBox(id, 0, 100, 100, 200, 200);
    sglSetActiveMasks(16384 | id);
    ASSERT_EQ(1u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_ACTIVE_MASKS, LastError().code);
    EXPECT_EQ(16385u, LastError().value);
    EXPECT_EQ(16385u, sglGetActiveMasks());
    FillDisplay();
    EXPECT_EQ(100 * 100, CountCoveredPixels(0, 0, 1280, 768));
}

// ---------------------------------------------------------------- clip planes

TEST_F(MasksTest, ClipPlanesCutWhereTheirLineSays) {
    struct Case {
        float x, y, angle;
        uint8_t side;
        int kept_x0, kept_y0, kept_w, kept_h;  // the rectangle left on the display
    };
    const Case cases[] = {
        {300, 0, 90, 0, 300, 0, 980, 768},
        {300, 0, 90, 1, 0, 0, 300, 768},
        {300, 0, 270, 0, 0, 0, 300, 768},
        {0, 200, 0, 0, 0, 0, 1280, 200},
        {0, 200, 0, 1, 0, 200, 1280, 568},
        {0, 200, 180, 0, 0, 200, 1280, 568},
    };
    for (const Case& c : cases) {
        ClearDisplay();
        sglSetActiveMasks(0);
        const uint32_t id = sglAllocateMaskID(0);
        ASSERT_EQ(256u, id);
        sglClipPlane(id, c.x, c.y, c.angle, c.side);
        sglSetActiveMasks(id);
        FillDisplay();
        const int area = c.kept_w * c.kept_h;
        EXPECT_EQ(area, CountCoveredPixels(0, 0, 1280, 768)) << c.angle << " side " << int(c.side);
        EXPECT_EQ(area, CountCoveredPixels(c.kept_x0, c.kept_y0, c.kept_w, c.kept_h)) << c.angle;
        sglFreeMaskID(id);
        EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0)) << "freed: dropped from the active set";
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, DiagonalPlaneAndPlaneUnderTheMatrix) {
    // Through the display's centre running up-right: the lower-right half stays.
    const uint32_t diagonal = sglAllocateMaskID(0);
    sglClipPlane(diagonal, 640, 384, 45, 0);
    sglSetActiveMasks(diagonal);
    FillDisplay();
    EXPECT_EQ(255, ReadPixel(1000, 100).r);
    EXPECT_EQ(255, ReadPixel(700, 400).r);
    EXPECT_EQ(0, ReadPixel(600, 400).r);
    EXPECT_EQ(0, ReadPixel(100, 700).r);
    int below = 0;  // pixel centres with x - y > 256
    for (int y = 0; y < 768; ++y) {
        const int from = y + 257 > 0 ? y + 257 : 0;
        below += from < 1280 ? 1280 - from : 0;
    }
    EXPECT_NEAR(below, CountCoveredPixels(0, 0, 1280, 768), 768);

    // A plane is given in drawing units: translated by 100, x = 200 is pixel 300.
    sglSetActiveMasks(0);
    ClearDisplay();
    const uint32_t shifted = sglAllocateMaskID(0);
    ASSERT_EQ(512u, shifted);
    sglPushMatrix();
    sglTranslatef(100, 0);
    sglClipPlane(shifted, 200, 0, 90, 0);
    sglPopMatrix();
    sglSetActiveMasks(shifted);
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE1));
    FillDisplay();
    EXPECT_EQ(980 * 768, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, PlaneStatesAndAnEnabledPlaneKeepsItsDefinition) {
    const uint32_t id = sglAllocateMaskID(0);
    EXPECT_EQ(0, Clipping().clip_plane_state[0]);
    sglClipPlane(id, 300, 0, 90, 0);
    EXPECT_EQ(2, Clipping().clip_plane_state[0]);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0)) << "defined, not yet active";
    sglSetActiveMasks(id);
    EXPECT_EQ(1, Clipping().clip_plane_state[0]);
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));

    sglClipPlane(id, 600, 0, 90, 0);  // ignored while enabled
    FillDisplay();
    EXPECT_EQ(980 * 768, CountCoveredPixels(0, 0, 1280, 768));

    sglSetActiveMasks(0);
    EXPECT_EQ(2, Clipping().clip_plane_state[0]);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    sglClipPlane(id, 600, 0, 90, 0);  // disabled: redefined
    sglSetActiveMasks(id);
    ClearDisplay();
    FillDisplay();
    EXPECT_EQ(680 * 768, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, PlaneErrors) {
    sglClipPlane(300, 0, 0, 0, 0);
    ASSERT_EQ(1u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_CLIP_PLANE, LastError().code);
    EXPECT_EQ(300u, LastError().value);
    sglClipPlane(1, 0, 0, 0, 0);  // a stencil identifier
    ASSERT_EQ(2u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_CLIP_PLANE, LastError().code);
    EXPECT_EQ(1u, LastError().value);
    for (uint8_t state : Clipping().clip_plane_state) {
        EXPECT_EQ(0, state);
    }

    // Making an undefined plane active: error 66 with its id, left off.
    sglAllocateMaskID(0);
    const uint32_t undefined = sglAllocateMaskID(0);
    sglSetActiveMasks(undefined);
    ASSERT_EQ(3u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_ACTIVE_MASKS, LastError().code);
    EXPECT_EQ(512u, LastError().value);
    EXPECT_EQ(0, Clipping().clip_plane_state[1]);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE1));
}

// ---------------------------------------------------------------- reset

TEST_F(MasksTest, ResetFreesEverythingAndLeavesNothingActive) {
    const uint32_t mask = sglAllocateMaskID(1);
    const uint32_t plane = sglAllocateMaskID(0);
    sglClipBox(mask, 0, 100, 100, 500, 200);
    sglClipPlane(plane, 300, 0, 90, 0);
    sglSetActiveMasks(mask | plane);
    sglReset();
    EXPECT_EQ(0u, Clipping().allocated_masks);
    EXPECT_EQ(0u, sglGetActiveMasks()) << "OpenGL has no mask and no plane after the reset";
    EXPECT_EQ(0, Clipping().clip_plane_state[0]);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));

    // The next frame sets up the same set again and it clips: with a stale
    // active set this call would be skipped and nothing would be cut.
    EXPECT_EQ(mask, sglAllocateMaskID(1));
    EXPECT_EQ(plane, sglAllocateMaskID(0));
    sglClipBox(mask, 0, 100, 100, 500, 200);
    sglClipPlane(plane, 300, 0, 90, 0);
    sglSetActiveMasks(mask | plane);
    EXPECT_TRUE(glIsEnabled(GL_CLIP_PLANE0));
    FillDisplay();
    EXPECT_EQ(200 * 100, CountCoveredPixels(0, 0, 1280, 768));
}

TEST_F(MasksTest, FrameEndingInsideAMaskDefinitionDoesNotBlankTheNext) {
    ASSERT_EQ(1u, sglBeginMaskDefinition(0));
    Rectangle(100, 100, 200, 200);
    sglReset();
    EXPECT_EQ(0u, Clipping().mask_under_definition);
    EXPECT_TRUE(ColourWritesOn());
    FillDisplay();
    EXPECT_EQ(kDisplayArea, CountCoveredPixels(0, 0, 1280, 768));
}

// A scissor only limits what a mask's shape covers, not the clearing of its
// bit: an earlier use of the identifier elsewhere must not leak through.
TEST_F(MasksTest, MaskDefinedUnderAScissorStartsFromAnEmptyBit) {
    const uint32_t first = sglAllocateMaskID(1);
    sglClipBox(first, 0, 100, 100, 200, 200);
    sglFreeMaskID(first);

    sglPushMatrixAndTranslate(500, 100);
    sglBeginScissor(100, 100);
    ASSERT_EQ(first, sglBeginMaskDefinition(0));
    Rectangle(0, 0, 100, 100);
    sglEndMaskDefinition();
    sglEndScissor();
    sglPopMatrixAndTranslate();

    sglSetActiveMasks(first);
    FillDisplay();
    EXPECT_EQ(100 * 100, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(0, CountCoveredPixels(100, 100, 100, 100));
}

// ---------------------------------------------------------------- numbered entries

TEST_F(MasksTest, NumberedEntriesForwardToTheMaskOperations) {
    const uint32_t mask = f060(1);
    const uint32_t plane = f060(0);
    EXPECT_EQ(1u, mask);
    EXPECT_EQ(256u, plane);
    f005(mask, 0, 100, 100, 500, 200);
    f006(plane, 300, 0, 90, 0);
    f056(mask | plane);
    EXPECT_EQ(mask | plane, f065());
    f057(250, 768);  // scissor up to x = 250
    FillDisplay();
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "the plane keeps x >= 300";
    f058();
    FillDisplay();
    EXPECT_EQ(200 * 100, CountCoveredPixels(0, 0, 1280, 768));

    f061(mask);
    EXPECT_EQ(plane, f065());
    ClearDisplay();
    const uint32_t defined = f126(1);
    EXPECT_EQ(1u, defined);
    Rectangle(400, 0, 1280, 768);
    f127();
    f056(plane | defined);
    FillDisplay();
    EXPECT_EQ(100 * 768, CountCoveredPixels(0, 0, 1280, 768)) << "x from 300 to 400";
    EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
