// The drawing library's context: initialisation, reset, capabilities,
// attribute tables, the error log and the OpenGL state cache.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::ReadPixel;
using velkor_test::Rgba;
using velkor_test::SglTest;

const float kThreeColours[3][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
const float kFourWidths[4][3] = {{1, 1, 2}, {2, 1.5f, 3}, {3, 2, 4}, {4, 3, 5}};
const sgl_line_stipple kThreeStipples[3] = {
    {{1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 1, 1},
    {{4, 4, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{2, 3, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
};

class ContextTest : public SglTest {
protected:
    void InstallTestTables() {
        sglColorPointerf(&kThreeColours[0][0], 3);
        sglLineWidthPointerf(&kFourWidths[0][0], 4);
        sglLineStipplePointer(kThreeStipples, 3);
    }

    static bool Reinit() {
        sgl_parameters parameters = HostParameters();
        return sglInit(&Context(), &parameters);
    }

    uint32_t ErrorCount() { return Context().errors.count; }
    sgl_error_entry Error(uint32_t i) { return Context().errors.entries[i]; }

    static bool GlEnabled(GLenum capability) { return glIsEnabled(capability) == GL_TRUE; }

    static void ExpectGlColor(float r, float g, float b, float a) {
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(r, colour[0]);
        EXPECT_FLOAT_EQ(g, colour[1]);
        EXPECT_FLOAT_EQ(b, colour[2]);
        EXPECT_FLOAT_EQ(a, colour[3]);
    }

    // Fills a square with whatever colour OpenGL currently holds.
    static void FillWithCurrentColour(float x0, float y0, float x1, float y1) {
        glBegin(GL_QUADS);
        glVertex2f(x0, y0);
        glVertex2f(x1, y0);
        glVertex2f(x1, y1);
        glVertex2f(x0, y1);
        glEnd();
    }
};

// ---------------------------------------------------------------------------
// sglInit
// ---------------------------------------------------------------------------
TEST_F(ContextTest, InitValidatesTheRecord) {
    static uint8_t small_buffer[16];
    struct Case {
        const char* name;
        uint32_t width, height;
        uint8_t* buffer;
        uint32_t max_width, max_height;
        bool accepted;
    } cases[] = {
        {"host record", 1280, 768, small_buffer, 1024, 1024, true},
        {"maximum width 96", 1280, 768, small_buffer, 96, 1024, false},
        {"maximum height 32", 1280, 768, small_buffer, 1024, 32, false},
        {"smallest limits", 1280, 768, small_buffer, 64, 64, true},
        {"no buffer, no limits", 1280, 768, nullptr, 0, 0, true},
        {"no buffer but limits", 1280, 768, nullptr, 1024, 0, false},
        {"zero width", 0, 768, nullptr, 0, 0, false},
        {"zero height", 1280, 0, nullptr, 0, 0, false},
    };
    static sgl_type_statemachine other;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sgl_parameters parameters = HostParameters();
        parameters.width = c.width;
        parameters.height = c.height;
        parameters.texture_buffer = c.buffer == small_buffer ? HostParameters().texture_buffer : c.buffer;
        parameters.max_texture_width = c.max_width;
        parameters.max_texture_height = c.max_height;
        std::memset(&other, 0, sizeof(other));
        ASSERT_TRUE(Reinit());
        EXPECT_EQ(c.accepted, sglInit(&other, &parameters));
        // A rejected record leaves the current context where it was.
        EXPECT_EQ(c.accepted ? &other : &Context(), sglGetCurrentContext());
        EXPECT_EQ(c.accepted ? c.width : 0u, other.native_width);
    }
    sgl_parameters parameters = HostParameters();
    EXPECT_FALSE(sglInit(nullptr, &parameters));
    EXPECT_FALSE(sglInit(&Context(), nullptr));
    ASSERT_TRUE(sglInit(&Context(), &parameters));
}

TEST_F(ContextTest, InitInstallsTheDefaultTables) {
    const sgl_type_statemachine& c = Context();
    EXPECT_EQ(&c, sglGetCurrentContext());
    EXPECT_EQ(&c, glob_pr_sglStatemachine);
    ASSERT_EQ(1u, c.color_count);
    EXPECT_FLOAT_EQ(0.50196f, c.color_table[1]);
    ASSERT_EQ(8u, c.line_width_count);
    EXPECT_FLOAT_EQ(2.4f, c.line_width_table[3]);
    EXPECT_FLOAT_EQ(7.0f, c.line_width_table[23]);
    ASSERT_EQ(5u, c.stipple_count);
    EXPECT_EQ(1, c.stipple_table[0].solid);
    EXPECT_EQ(1, c.stipple_table[3].lengths[0]);
    EXPECT_EQ(6, c.stipple_table[3].lengths[1]);
    EXPECT_EQ(0u, c.font_count);
    EXPECT_STREQ("Default font", getDefaultFont());
    EXPECT_EQ(1, c.render_mode);
    EXPECT_EQ(1, c.pixel_aligned_text);
    EXPECT_EQ(1, c.line_caps);
    EXPECT_EQ(uint32_t{GL_RGB}, c.texture_format_rgb);
    EXPECT_EQ(uint32_t{GL_RGBA}, c.texture_format_rgba);
    EXPECT_EQ(velkor_test::kTextureSlotCount, c.texture_count);
    EXPECT_EQ(0u, c.gradient_count);
    EXPECT_EQ(1280u, c.native_width);
    EXPECT_EQ(1024u, c.max_texture_width);
    EXPECT_EQ(0u, c.errors.count);
    EXPECT_EQ(0, c.errors.overflow);
    EXPECT_EQ(2u, c.text.line_separator_count);
    EXPECT_EQ(10, c.text.line_separators[0]);
    EXPECT_EQ(13, c.text.line_separators[1]);
    EXPECT_EQ(' ', c.text.word_separators[0]);
    EXPECT_EQ(-1, c.appearance.values[3]);
    EXPECT_EQ(1, c.appearance.flag);
    EXPECT_EQ(uint32_t{GL_CLIP_PLANE5}, c.clipping.gl_clipplane_code[5]);
}

// Strand k of n sits at 10 + k * 160 / (n + 1) degrees.
TEST_F(ContextTest, InitComputesTheUnitCircleTables) {
    const sgl_type_statemachine& c = Context();
    for (int n = 1; n <= 15; n++) {
        for (int k = 1; k <= n; k++) {
            double radians = (10.0 + k * 160.0 / (n + 1)) * 3.14159265358979 / 180.0;
            EXPECT_NEAR(std::cos(radians), c.circle_cos[n - 1][k - 1], 2e-6) << n << " " << k;
            EXPECT_NEAR(std::sin(radians), c.circle_sin[n - 1][k - 1], 2e-6) << n << " " << k;
        }
    }
    EXPECT_NEAR(0.0, c.circle_cos[0][0], 1e-6);  // one strand: the middle
}

TEST_F(ContextTest, InitSlotsAreEmptiedAndTheErrorLogCleared) {
    sgl_parameters parameters = HostParameters();
    parameters.texture_table[3].loaded = 1;
    parameters.texture_table[3].name = 77;
    sgliSetError(1, 2);
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    EXPECT_EQ(0, parameters.texture_table[3].loaded);
    EXPECT_EQ(0u, parameters.texture_table[3].name);
    EXPECT_EQ(0u, ErrorCount());
    EXPECT_EQ(0u, Context().errors.entries[0].code);
}

// ---------------------------------------------------------------------------
// sglReset
// ---------------------------------------------------------------------------
TEST_F(ContextTest, ResetSelectsTheLastEntryOfEveryTable) {
    InstallTestTables();
    sglIndexColori(0);
    sglIndexLineWidthi(0);
    sglIndexLineStipplei(0);
    sglIndexHaloColori(1);
    sglTransparency8(10);
    sglReset();
    const sgl_type_statemachine& c = Context();
    EXPECT_EQ(2u, c.color_index);
    EXPECT_EQ(2u, c.text.color_index);
    EXPECT_EQ(3u, c.line_width_index);
    EXPECT_EQ(&kThreeStipples[2], c.stipple);
    EXPECT_EQ(1, c.stipple_active);
    EXPECT_EQ(-1, c.halo_color_index);
    EXPECT_EQ(255, c.transparency);
    ExpectGlColor(0, 0, 1, 1);
    EXPECT_EQ(velkor_test::kTextureSlotCount, c.texture.current_texture);
    EXPECT_EQ(0u, c.texture.current_gradient);
    EXPECT_EQ(SGL_FONT_NONE, c.text.font);
    // The last colour is what gets drawn until sglIndexColori is called.
    FillWithCurrentColour(10, 10, 20, 20);
    EXPECT_EQ(100, velkor_test::CountPixelsNear(10, 10, 10, 10, Rgba{0, 0, 255, 255}));
}

TEST_F(ContextTest, ResetTurnsCapabilitiesOffButKeepsPixelAlignedTextAndTheErrorLog) {
    for (uint8_t capability : {33, 35, 56, 57, 58, 59, 60}) {
        sglEnable(capability);
    }
    sglDisable(SGL_PIXEL_ALIGNED_TEXT);
    sglEnable(99);
    sglReset();
    const sgl_type_statemachine& c = Context();
    EXPECT_EQ(0, c.polygon_smooth);
    EXPECT_EQ(0, c.smoothing);
    EXPECT_EQ(0, c.texture_fill);
    EXPECT_EQ(0, c.texture_modulate);
    EXPECT_EQ(0, c.tessellation);
    EXPECT_EQ(0, c.gradient_fill);
    EXPECT_EQ(0, c.depth_test);
    EXPECT_EQ(0, c.pixel_aligned_text);
    EXPECT_EQ(1u, ErrorCount());
}

TEST_F(ContextTest, ResetPutsOpenGlIntoItsDrawingState) {
    glEnable(GL_BLEND);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_CLIP_PLANE2);
    glDisable(GL_LINE_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    sglReset();
    for (GLenum capability : {GL_BLEND, GL_TEXTURE_2D, GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_DEPTH_TEST,
                              GL_CULL_FACE, GL_LIGHTING, GL_CLIP_PLANE2}) {
        EXPECT_FALSE(GlEnabled(capability)) << std::hex << capability;
    }
    EXPECT_TRUE(GlEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(GlEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(GlEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint value = 0;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(GL_MODELVIEW, value);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(GL_LEQUAL, value);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(GL_SRC_ALPHA, value);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, value);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(GL_GREATER, value);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(GL_REPLACE, value);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, projection[i]) << i;
    }
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(Context().vertices), pointer);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(Context().texcoords), pointer);
    EXPECT_EQ(SGL_BOUND_TEXTURE_UNKNOWN, Context().gl_bound_texture);
}

TEST_F(ContextTest, ResetReturnsTheDrawingStateToIdle) {
    sgl_type_statemachine& c = Context();
    c.vertex_count = 12;
    c.segment_count = 4;
    c.texcoord_count = 12;
    c.begin_mode = 5;
    c.primitive = SGL_PRIMITIVE_LINE_LOOP;
    c.path.kind = 2;
    c.cache_bypass = 1;
    c.lines.triangle_count = 3;
    c.clipping.scissor_depth = 2;
    c.clipping.clip_plane_state[1] = 1;
    c.text.align_h = 2;
    c.transform.z_offset = 3;
    sglReset();
    EXPECT_EQ(0u, c.vertex_count);
    EXPECT_EQ(0u, c.segment_count);
    EXPECT_EQ(0u, c.texcoord_count);
    EXPECT_EQ(0u, c.begin_mode);
    EXPECT_EQ(SGL_PRIMITIVE_LINE_STRIP, c.primitive);
    EXPECT_EQ(0, c.path.kind);
    EXPECT_EQ(0, c.cache_bypass);
    EXPECT_EQ(0u, c.lines.triangle_count);
    EXPECT_EQ(0u, c.clipping.scissor_depth);
    EXPECT_EQ(0, c.clipping.clip_plane_state[1]);
    EXPECT_EQ(0u, c.text.align_h);
    EXPECT_EQ(0.0f, c.transform.z_offset);
}

// ---------------------------------------------------------------------------
// Capabilities
// ---------------------------------------------------------------------------
TEST_F(ContextTest, CapabilitiesSwitchTheirFlags) {
    struct Case {
        uint8_t capability;
        uint8_t sgl_type_statemachine::*flag;
    } cases[] = {
        {33, &sgl_type_statemachine::polygon_smooth}, {35, &sgl_type_statemachine::smoothing},
        {56, &sgl_type_statemachine::texture_fill},   {57, &sgl_type_statemachine::texture_modulate},
        {58, &sgl_type_statemachine::tessellation},   {59, &sgl_type_statemachine::gradient_fill},
        {60, &sgl_type_statemachine::depth_test},     {61, &sgl_type_statemachine::pixel_aligned_text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.capability));
        sglEnable(c.capability);
        EXPECT_EQ(1, Context().*c.flag);
        sglDisable(c.capability);
        EXPECT_EQ(0, Context().*c.flag);
    }
    EXPECT_EQ(0u, ErrorCount());
}

TEST_F(ContextTest, UnknownCapabilitiesAreRecordedWithTheirNumber) {
    for (uint8_t capability : {0, 32, 34, 36, 55, 62, 255}) {
        sglEnable(capability);
        sglDisable(capability);
    }
    ASSERT_EQ(14u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_ENABLE, Error(0).code);
    EXPECT_EQ(0u, Error(0).value);
    EXPECT_EQ(SGL_ERROR_DISABLE, Error(1).code);
    EXPECT_EQ(SGL_ERROR_ENABLE, Error(12).code);
    EXPECT_EQ(255u, Error(12).value);
    EXPECT_EQ(255u, Error(13).value);
}

TEST_F(ContextTest, TextureFillMarksTheColourUnknown) {
    Context().color_validity = 2;
    sglEnable(SGL_TEXTURE_FILL);
    EXPECT_EQ(0, Context().color_validity);
    Context().color_validity = 1;
    sglDisable(SGL_TEXTURE_FILL);
    EXPECT_EQ(0, Context().color_validity);
}

TEST_F(ContextTest, TextureModulationSetsTheTextureEnvironment) {
    GLint mode = 0;
    sglEnable(SGL_TEXTURE_MODULATE);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(GL_MODULATE, mode);
    sglDisable(SGL_TEXTURE_MODULATE);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(GL_REPLACE, mode);
}

TEST_F(ContextTest, DepthTestEnablesOpenGlAndClearsTheDepthBuffer) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    velkor_test::FillRectRaw(0, 0, 10, 10, 1, 1, 1);  // z 0 writes depth 0.5
    glDisable(GL_DEPTH_TEST);
    float depth = 0;
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    ASSERT_NEAR(0.5f, depth, 1e-3f);
    sglEnable(SGL_DEPTH_TEST);
    EXPECT_TRUE(GlEnabled(GL_DEPTH_TEST));
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(1.0f, depth);
    sglDisable(SGL_DEPTH_TEST);
    EXPECT_FALSE(GlEnabled(GL_DEPTH_TEST));
}

TEST_F(ContextTest, RenderModeAndLineCaps) {
    Context().gl_line_width = 3;
    sglSetRenderMode(0);
    EXPECT_EQ(0, Context().render_mode);
    EXPECT_EQ(3.0f, Context().gl_line_width);
    sglSetRenderMode(2);
    EXPECT_EQ(0, Context().render_mode);
    sglSetRenderMode(1);
    EXPECT_EQ(1, Context().render_mode);
    EXPECT_EQ(0.0f, Context().gl_line_width);
    sglSetLineCaps(0);
    EXPECT_EQ(0, Context().line_caps);
    sglSetLineCaps(7);
    EXPECT_EQ(1, Context().line_caps);
}

// ---------------------------------------------------------------------------
// Attribute selection
// ---------------------------------------------------------------------------
struct SelectionCase {
    const char* name;
    std::function<void()> call;
    std::function<int64_t()> selected;
    int64_t expected;
    uint32_t error_code;  // 0: none
    uint32_t error_value;
};

TEST_F(ContextTest, SelectionsClampAndRecord) {
    auto& c = Context();
    auto colour = [&c] { return static_cast<int64_t>(c.color_index); };
    auto halo = [&c] { return static_cast<int64_t>(c.halo_color_index); };
    auto width = [&c] { return static_cast<int64_t>(c.line_width_index); };
    auto stipple = [&c] { return static_cast<int64_t>(c.stipple - c.stipple_table); };
    auto alpha = [&c] { return static_cast<int64_t>(c.transparency); };
    const SelectionCase cases[] = {
        {"colour 5 of 3", [] { sglIndexColori(5); }, colour, 2, 49, 5},
        {"colour -1", [] { sglIndexColori(-1); }, colour, 2, 49, 0xFFFFFFFF},
        {"colour 1", [] { sglIndexColori(1); }, colour, 1, 0, 0},
        {"colour 3", [] { sglIndexColori(3); }, colour, 2, 49, 3},
        {"halo -1 is black", [] { sglIndexHaloColori(-1); }, halo, -1, 0, 0},
        {"halo -7 is black", [] { sglIndexHaloColori(-7); }, halo, -7, 0, 0},
        {"halo 3 of 3", [] { sglIndexHaloColori(3); }, halo, 2, 102, 3},
        {"halo 0", [] { sglIndexHaloColori(0); }, halo, 0, 0, 0},
        {"width -1 keeps", [] { sglIndexLineWidthi(-1); }, width, 1, 51, 0xFFFFFFFF},
        {"width 9 of 4", [] { sglIndexLineWidthi(9); }, width, 3, 51, 9},
        {"width 0", [] { sglIndexLineWidthi(0); }, width, 0, 0, 0},
        {"stipple -2 keeps", [] { sglIndexLineStipplei(-2); }, stipple, 1, 50, 0xFFFFFFFE},
        {"stipple 3 of 3", [] { sglIndexLineStipplei(3); }, stipple, 2, 50, 3},
        {"stipple 0", [] { sglIndexLineStipplei(0); }, stipple, 0, 0, 0},
        {"transparency 256 keeps", [] { sglTransparency8(256); }, alpha, 100, 55, 256},
        {"transparency 0", [] { sglTransparency8(0); }, alpha, 0, 0, 0},
        {"transparency 255", [] { sglTransparency8(255); }, alpha, 255, 0, 0},
    };
    InstallTestTables();
    for (const SelectionCase& s : cases) {
        SCOPED_TRACE(s.name);
        // A known previous selection for the "keeps" cases.
        sglIndexLineWidthi(1);
        sglIndexLineStipplei(1);
        sglTransparency8(100);
        c.errors.count = 0;
        s.call();
        EXPECT_EQ(s.expected, s.selected());
        if (s.error_code == 0) {
            EXPECT_EQ(0u, ErrorCount());
        } else {
            ASSERT_EQ(1u, ErrorCount());
            EXPECT_EQ(s.error_code, Error(0).code);
            EXPECT_EQ(s.error_value, Error(0).value);
        }
    }
}

TEST_F(ContextTest, ColourSelectionAlsoSetsTheTextColourAndMarksTheColourUnknown) {
    InstallTestTables();
    Context().color_validity = 2;
    sglIndexColori(1);
    EXPECT_EQ(1u, Context().text.color_index);
    EXPECT_EQ(0, Context().color_validity);
    Context().color_validity = 1;
    sglTransparency8(20);
    EXPECT_EQ(0, Context().color_validity);
}

TEST_F(ContextTest, StippleSelectionFollowsTheSolidFlag) {
    InstallTestTables();
    sglIndexLineStipplei(0);
    EXPECT_EQ(0, Context().stipple_active);
    sglIndexLineStipplei(2);
    EXPECT_EQ(1, Context().stipple_active);
}

TEST_F(ContextTest, GradientSelectionNeedsALoadedSlot) {
    static sgl_texture_slot gradients[2];
    sgl_parameters parameters = HostParameters();
    parameters.gradient_table = gradients;
    parameters.gradient_count = 2;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    EXPECT_EQ(2u, Context().texture.current_gradient);  // none
    gradients[1].loaded = 1;
    sglIndexGradienti(1);
    EXPECT_EQ(1u, Context().texture.current_gradient);
    EXPECT_EQ(0u, ErrorCount());
    f121(0);   // not loaded
    sglIndexGradienti(2);
    sglIndexGradienti(-1);
    EXPECT_EQ(1u, Context().texture.current_gradient);
    ASSERT_EQ(3u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_INDEX_GRADIENT, Error(0).code);
    EXPECT_EQ(0u, Error(0).value);
    EXPECT_EQ(2u, Error(1).value);

    ASSERT_TRUE(Reinit());  // no gradient table
    sglIndexGradienti(0);
    ASSERT_EQ(1u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_INDEX_GRADIENT, Error(0).code);
}

// ---------------------------------------------------------------------------
// Table installation
// ---------------------------------------------------------------------------
TEST_F(ContextTest, ColourTableNeedsEntries) {
    sglColorPointerf(nullptr, 3);
    sglColorPointerf(&kThreeColours[0][0], 0);
    ASSERT_EQ(2u, ErrorCount());
    EXPECT_EQ(SGL_ERROR_COLOR_POINTER, Error(0).code);
    EXPECT_EQ(1u, Context().color_count);
    sglColorPointerf(&kThreeColours[0][0], 3);
    EXPECT_EQ(3u, Context().color_count);
    EXPECT_EQ(2u, ErrorCount());
}

TEST_F(ContextTest, LineWidthTableRejectsAnyValueOutside0To15) {
    struct Case {
        const char* name;
        float value;
        bool accepted;
    } cases[] = {
        {"15.5", 15.5f, false}, {"-0.1", -0.1f, false},
        {"NaN", std::numeric_limits<float>::quiet_NaN(), false},
        {"15", 15.0f, true},    {"0", 0.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Reinit());
        static float table[2][3];
        std::memcpy(table, kFourWidths, sizeof(table));
        table[1][2] = c.value;
        sglLineWidthPointerf(&table[0][0], 2);
        if (c.accepted) {
            EXPECT_EQ(0u, ErrorCount());
            EXPECT_EQ(&table[0][0], Context().line_width_table);
        } else {
            ASSERT_EQ(1u, ErrorCount());
            EXPECT_EQ(SGL_ERROR_LINE_WIDTH_POINTER, Error(0).code);
            EXPECT_EQ(&font_line_width[0][0], Context().line_width_table);
            EXPECT_EQ(8u, Context().line_width_count);
        }
    }
    sglLineWidthPointerf(nullptr, 2);
    sglLineWidthPointerf(&kFourWidths[0][0], 0);
    EXPECT_EQ(SGL_ERROR_LINE_WIDTH_POINTER, Error(ErrorCount() - 1).code);
}

TEST_F(ContextTest, StippleTableRejectsSevenSegmentsAndEndlessPatterns) {
    struct Case {
        const char* name;
        sgl_line_stipple entry;
        bool accepted;
    } cases[] = {
        {"six segments", {{1, 1, 1, 1, 1, 1}, {1, 0, 1, 0, 1, 0}, 0, 6}, true},
        {"seven segments", {{1, 1, 1, 1, 1, 1}, {1, 0, 1, 0, 1, 0}, 0, 7}, false},
        {"solid with seven", {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 7}, false},
        {"solid without segments", {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0}, true},
        // A dashed pattern that never advances would hang the dash splitter.
        {"dashed, no segments", {{4, 4, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 0}, false},
        {"dashed, zero lengths", {{0, 0, 9, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Reinit());
        const sgl_line_stipple table[2] = {kThreeStipples[1], c.entry};
        sglLineStipplePointer(table, 2);
        if (c.accepted) {
            EXPECT_EQ(0u, ErrorCount());
            EXPECT_EQ(2u, Context().stipple_count);
        } else {
            ASSERT_EQ(1u, ErrorCount());
            EXPECT_EQ(SGL_ERROR_LINE_STIPPLE_POINTER, Error(0).code);
            EXPECT_EQ(default_line_stipple_table, Context().stipple_table);
        }
    }
}

// Indices chosen under a longer table must not outlive it.
TEST_F(ContextTest, InstallingAShorterTableKeepsSelectionsInside) {
    static const float eight_colours[8][4] = {};
    sglColorPointerf(&eight_colours[0][0], 8);
    sglIndexColori(7);
    sglIndexHaloColori(6);
    sglIndexLineStipplei(4);
    sglColorPointerf(&kThreeColours[0][0], 3);
    EXPECT_EQ(2u, Context().color_index);
    EXPECT_EQ(2u, Context().text.color_index);
    EXPECT_EQ(2, Context().halo_color_index);
    sglLineWidthPointerf(&kFourWidths[0][0], 4);
    EXPECT_EQ(3u, Context().line_width_index);
    sglLineStipplePointer(kThreeStipples, 3);
    EXPECT_EQ(&kThreeStipples[2], Context().stipple);
    sglLineStipplePointer(default_line_stipple_table, 5);
    EXPECT_EQ(&default_line_stipple_table[2], Context().stipple);
    EXPECT_EQ(0u, ErrorCount());
}

// ---------------------------------------------------------------------------
// Error log
// ---------------------------------------------------------------------------
TEST_F(ContextTest, ErrorLogKeeps32EntriesThenOnlyFlagsOverflow) {
    for (uint32_t i = 0; i < 32; i++) {
        sgliSetError(100 + i, i);
    }
    EXPECT_EQ(32u, ErrorCount());
    EXPECT_EQ(0, Context().errors.overflow);
    sglIndexColori(9);  // the 33rd
    EXPECT_EQ(32u, ErrorCount());
    EXPECT_EQ(1, Context().errors.overflow);
    EXPECT_EQ(131u, Error(31).code);
    EXPECT_EQ(31u, Error(31).value);
    sglReset();
    EXPECT_EQ(32u, ErrorCount());
    EXPECT_EQ(1, Context().errors.overflow);
}

// ---------------------------------------------------------------------------
// Colour
// ---------------------------------------------------------------------------
TEST_F(ContextTest, UpdateColourAppliesTransparencyInverseVideoAndClamps) {
    static const float colours[2][4] = {{0.2f, 0.4f, 0.6f, 0.5f}, {1, 1, 0, 1}};
    sglColorPointerf(&colours[0][0], 2);
    sglTransparency8(51);
    sgliUpdateColor(0);
    ExpectGlColor(0.2f, 0.4f, 0.6f, 0.5f * 0.2f);
    Context().appearance.inverse_video = 1;
    sgliUpdateColor(0);
    ExpectGlColor(0.8f, 0.6f, 0.4f, 0.2f);
    Context().appearance.inverse_video = 0;
    sglTransparency8(255);
    sgliUpdateColor(40);
    ExpectGlColor(1, 1, 0, 1);
}

TEST_F(ContextTest, TransparencyBlendsTheDrawnColour) {
    static const float white[1][4] = {{1, 1, 1, 1}};
    sglColorPointerf(&white[0][0], 1);
    sglTransparency8(128);
    sgliUpdateColor(0);
    sgliEnable(GL_BLEND);
    FillWithCurrentColour(0, 0, 4, 4);
    Rgba pixel = ReadPixel(1, 1);
    EXPECT_NEAR(128, pixel.r, 1);
    EXPECT_NEAR(128, pixel.b, 1);
}

// ---------------------------------------------------------------------------
// The OpenGL state cache. A value changed behind the cache's back shows
// whether a cached call reached OpenGL.
// ---------------------------------------------------------------------------
TEST_F(ContextTest, ColourCacheSkipsRepeatsUnlessBypassed) {
    sgliColor4f(0.25f, 0.5f, 0.75f, 1);
    ExpectGlColor(0.25f, 0.5f, 0.75f, 1);
    glColor4f(0, 0, 0, 0);
    sgliColor4f(0.25f, 0.5f, 0.75f, 1);
    ExpectGlColor(0, 0, 0, 0);  // no call issued
    const float same[4] = {0.25f, 0.5f, 0.75f, 1};
    sgliColor4fv(same);
    ExpectGlColor(0, 0, 0, 0);
    Context().cache_bypass = 1;
    sgliColor4fv(same);
    ExpectGlColor(0.25f, 0.5f, 0.75f, 1);
    Context().cache_bypass = 0;
    // Bit-for-bit: negative zero is a different colour.
    glColor4f(1, 1, 1, 1);
    sgliColor4f(-0.0f, 0.5f, 0.75f, 1);
    ExpectGlColor(0, 0.5f, 0.75f, 1);
}

TEST_F(ContextTest, EnableCacheSkipsRepeatsUnlessBypassed) {
    struct Case {
        GLenum asked;
        GLenum real;
    } cases[] = {
        {GL_TEXTURE_2D, GL_TEXTURE_2D}, {GL_STENCIL_TEST, GL_STENCIL_TEST},
        {GL_SCISSOR_TEST, GL_SCISSOR_TEST}, {GL_DEPTH_TEST, GL_DEPTH_TEST},
        {GL_BLEND, GL_BLEND}, {GL_LINE_STIPPLE, GL_BLEND},  // anything else is blend
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.asked));
        sglReset();
        sgliEnable(c.asked);
        EXPECT_TRUE(GlEnabled(c.real));
        glDisable(c.real);
        sgliEnable(c.asked);
        EXPECT_FALSE(GlEnabled(c.real));
        Context().cache_bypass = 1;
        sgliEnable(c.asked);
        EXPECT_TRUE(GlEnabled(c.real));
        Context().cache_bypass = 0;
        sgliDisable(c.asked);
        EXPECT_FALSE(GlEnabled(c.real));
        glEnable(c.real);
        sgliDisable(c.asked);
        EXPECT_TRUE(GlEnabled(c.real));
        glDisable(c.real);
    }
    EXPECT_FALSE(GlEnabled(GL_LINE_STIPPLE));
}

TEST_F(ContextTest, TextureEnvironmentBindingAndLineWidthCaches) {
    GLint value = 0;
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(GL_REPLACE, value);

    GLuint names[2];
    glGenTextures(2, names);
    sgliBindTexture(names[0]);
    glBindTexture(GL_TEXTURE_2D, names[1]);
    sgliBindTexture(names[0]);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLint>(names[1]), value);
    Context().cache_bypass = 1;
    sgliBindTexture(names[0]);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLint>(names[0]), value);
    Context().cache_bypass = 0;
    glDeleteTextures(2, names);

    float width = 0;
    sgliLineWidth(2.0f);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(2.0f, width);
    glLineWidth(5.0f);
    sgliLineWidth(2.0f);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(5.0f, width);
}

TEST_F(ContextTest, ArrayPointerAndEnableCachesSkipRepeatsUnlessBypassed) {
    static float other[8];
    void* pointer = nullptr;
    sgliVertexPointer(&Context().vertices[0][0]);  // already set by the reset
    glVertexPointer(2, GL_FLOAT, 0, other);
    sgliVertexPointer(&Context().vertices[0][0]);
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(other), pointer);
    sgliTexCoordPointer(other);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(other), pointer);
    Context().cache_bypass = 1;
    sgliVertexPointer(&Context().vertices[0][0]);
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(Context().vertices), pointer);
    Context().cache_bypass = 0;

    EXPECT_TRUE(GlEnabled(GL_TEXTURE_COORD_ARRAY));  // marked enabled by the reset
    sgliTexCoordArray(false);
    EXPECT_FALSE(GlEnabled(GL_TEXTURE_COORD_ARRAY));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    sgliTexCoordArray(false);
    EXPECT_TRUE(GlEnabled(GL_TEXTURE_COORD_ARRAY));
}

// Widths are given for the native display and follow the viewport's scale.
TEST_F(ContextTest, LineWidthFollowsTheViewportRatio) {
    sglViewport(0, 0, 640, 384);
    sgliLineWidth(4.0f);
    float width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(2.0f, width);
    EXPECT_EQ(2.0f, Context().gl_line_width);
}

TEST_F(ContextTest, RestoreStatesReissuesTheCacheAfterForeignCode) {
    GLuint name = 0;
    glGenTextures(1, &name);
    sgliEnable(GL_BLEND);
    sgliEnable(GL_SCISSOR_TEST);
    sgliBindTexture(name);
    sgliLineWidth(3.0f);
    sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    sgliColor4f(0.5f, 0.25f, 1, 1);
    sgliTexCoordArray(false);
    // Foreign code.
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glLineWidth(7.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glColor4f(0, 0, 0, 0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    static float other[8];
    glVertexPointer(2, GL_FLOAT, 0, other);
    glMatrixMode(GL_TEXTURE);

    f064();
    EXPECT_TRUE(GlEnabled(GL_BLEND));
    EXPECT_TRUE(GlEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(GlEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(GlEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLint>(name), value);
    float width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(3.0f, width);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(GL_MODULATE, value);
    ExpectGlColor(0.5f, 0.25f, 1, 1);
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(static_cast<void*>(Context().vertices), pointer);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(GL_MODELVIEW, value);
    glDeleteTextures(1, &name);
}

// ---------------------------------------------------------------------------
// Numbered entry points forward to their operations
// ---------------------------------------------------------------------------
TEST_F(ContextTest, NumberedEntriesForwardTheirArguments) {
    InstallTestTables();
    f013(5);
    EXPECT_EQ(2u, Context().color_index);
    EXPECT_EQ(SGL_ERROR_INDEX_COLOR, Error(0).code);
    EXPECT_EQ(5u, Error(0).value);
    f014(0);
    EXPECT_EQ(&kThreeStipples[0], Context().stipple);
    f015(2);
    EXPECT_EQ(2u, Context().line_width_index);
    f085(1);
    EXPECT_EQ(1, Context().halo_color_index);
    f036(77);
    EXPECT_EQ(77, Context().transparency);
    f008(SGL_TESSELLATION);
    EXPECT_EQ(1, Context().tessellation);
    f009(SGL_TESSELLATION);
    EXPECT_EQ(0, Context().tessellation);
    f068(0);
    EXPECT_EQ(0, Context().line_caps);
    f073(10, 20);
    EXPECT_EQ(1u, Context().ortho.depth);
    f019();
    f027(5, 0);
    f022(90);
    EXPECT_EQ(90.0f, Context().transform.rotation);
    f023(2, 2);
    EXPECT_EQ(2.0f, Context().transform.scale_x);
    f016();
    EXPECT_EQ(1.0f, Context().transform.scale_x);
    f020();
    f074();
    EXPECT_EQ(0u, Context().ortho.depth);
    EXPECT_EQ(-1.0f, Context().transform.matrix[12]);
    EXPECT_EQ(1u, ErrorCount());
}

}  // namespace
