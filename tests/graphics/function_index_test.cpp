// The numbered entry points: every number the generated display code uses
// exists, and each reaches its own operation - shown by the error only that
// operation records, or by doing exactly what the operation does when
// called directly.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::VertexX;
using velkor_test::VertexY;

const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};

class FunctionIndexTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    }

    static uint32_t Drawn() { return Context().lines.drawn_vertex_count; }
};

using Entry = void (*)();
template <typename F>
Entry AsEntry(F* f) {
    return reinterpret_cast<Entry>(f);
}

// Every number of the index, in order.
struct Numbered {
    int number;
    Entry entry;
};
const Numbered kIndex[] = {
    {1, AsEntry(f001)},   {2, AsEntry(f002)},   {3, AsEntry(f003)},   {5, AsEntry(f005)},   {6, AsEntry(f006)},
    {8, AsEntry(f008)},   {9, AsEntry(f009)},   {13, AsEntry(f013)},  {14, AsEntry(f014)},  {15, AsEntry(f015)},
    {16, AsEntry(f016)},  {19, AsEntry(f019)},  {20, AsEntry(f020)},  {22, AsEntry(f022)},  {23, AsEntry(f023)},
    {27, AsEntry(f027)},  {30, AsEntry(f030)},  {31, AsEntry(f031)},  {34, AsEntry(f034)},  {35, AsEntry(f035)},
    {36, AsEntry(f036)},  {37, AsEntry(f037)},  {39, AsEntry(f039)},  {41, AsEntry(f041)},  {42, AsEntry(f042)},
    {43, AsEntry(f043)},  {44, AsEntry(f044)},  {45, AsEntry(f045)},  {46, AsEntry(f046)},  {47, AsEntry(f047)},
    {48, AsEntry(f048)},  {49, AsEntry(f049)},  {50, AsEntry(f050)},  {51, AsEntry(f051)},  {52, AsEntry(f052)},
    {53, AsEntry(f053)},  {54, AsEntry(f054)},  {55, AsEntry(f055)},  {56, AsEntry(f056)},  {57, AsEntry(f057)},
    {58, AsEntry(f058)},  {59, AsEntry(f059)},  {60, AsEntry(f060)},  {61, AsEntry(f061)},  {62, AsEntry(f062)},
    {63, AsEntry(f063)},  {64, AsEntry(f064)},  {65, AsEntry(f065)},  {66, AsEntry(f066)},  {67, AsEntry(f067)},
    {68, AsEntry(f068)},  {69, AsEntry(f069)},  {70, AsEntry(f070)},  {71, AsEntry(f071)},  {72, AsEntry(f072)},
    {73, AsEntry(f073)},  {74, AsEntry(f074)},  {75, AsEntry(f075)},  {76, AsEntry(f076)},  {77, AsEntry(f077)},
    {78, AsEntry(f078)},  {79, AsEntry(f079)},  {80, AsEntry(f080)},  {81, AsEntry(f081)},  {83, AsEntry(f083)},
    {84, AsEntry(f084)},  {85, AsEntry(f085)},  {86, AsEntry(f086)},  {87, AsEntry(f087)},  {89, AsEntry(f089)},
    {90, AsEntry(f090)},  {91, AsEntry(f091)},  {92, AsEntry(f092)},  {93, AsEntry(f093)},  {94, AsEntry(f094)},
    {95, AsEntry(f095)},  {96, AsEntry(f096)},  {97, AsEntry(f097)},  {98, AsEntry(f098)},  {99, AsEntry(f099)},
    {100, AsEntry(f100)}, {120, AsEntry(f120)}, {121, AsEntry(f121)}, {122, AsEntry(f122)}, {123, AsEntry(f123)},
    {124, AsEntry(f124)}, {125, AsEntry(f125)}, {126, AsEntry(f126)}, {127, AsEntry(f127)},
};

TEST_F(FunctionIndexTest, EveryNumberHasItsEntry) {
    EXPECT_EQ(89u, sizeof kIndex / sizeof kIndex[0]);
    for (size_t k = 0; k < sizeof kIndex / sizeof kIndex[0]; ++k) {
        EXPECT_NE(nullptr, kIndex[k].entry) << "f" << kIndex[k].number;
        if (k > 0) {
            EXPECT_LT(kIndex[k - 1].number, kIndex[k].number);
            EXPECT_NE(kIndex[k - 1].entry, kIndex[k].entry) << "f" << kIndex[k].number << " shares an entry";
        }
    }
}

// Each entry given an argument that only its own operation refuses: the
// error code names the operation that ran.
TEST_F(FunctionIndexTest, EntriesReachTheOperationWhoseErrorTheyRecord) {
    struct Case {
        const char* entry;
        uint32_t code;
        void (*call)();
    };
    const Case cases[] = {
        {"f001 sglBegin", SGL_ERROR_BEGIN, [] { f001(200); }},
        {"f003 sglBindTexture", SGL_ERROR_BIND_TEXTURE, [] { f003(55, 0); }},
        {"f005 sglClipBox", SGL_ERROR_CLIP_BOX, [] { f005(3, 0, 0.0f, 0.0f, 1.0f, 1.0f); }},
        {"f006 sglClipPlane", SGL_ERROR_CLIP_PLANE, [] { f006(7, 0.0f, 0.0f, 0.0f, 0); }},
        {"f008 sglEnable", SGL_ERROR_ENABLE, [] { f008(99); }},
        {"f009 sglDisable", SGL_ERROR_DISABLE, [] { f009(99); }},
        {"f013 sglIndexColori", SGL_ERROR_INDEX_COLOR, [] { f013(99); }},
        {"f014 sglIndexLineStipplei", SGL_ERROR_INDEX_LINE_STIPPLE, [] { f014(99); }},
        {"f015 sglIndexLineWidthi", SGL_ERROR_INDEX_LINE_WIDTH, [] { f015(99); }},
        {"f020 sglPopMatrix", SGL_ERROR_POP_MATRIX, [] { f020(); }},
        {"f030 sgluArcSector2f", SGL_ERROR_ARC_SECTOR, [] { f030(0, 0, 10, 0, 90, 0, 9); }},
        {"f031 sgluCrown2f", SGL_ERROR_CROWN, [] { f031(0, 0, 5, 10, 0, 90, 0, 9); }},
        {"f034 sgluWriteTextWithBBox", SGL_ERROR_WRITE_TEXT, [] { f034(0, 0, nullptr, 1); }},
        {"f036 sglTransparency8", SGL_ERROR_TRANSPARENCY, [] { f036(256); }},
        {"f037 sglTexImage2Dubv", SGL_ERROR_TEX_IMAGE, [] { f037(0, 9, 1, 1, nullptr, 0); }},
        {"f039 sglCompressedTexImage2D", SGL_ERROR_COMPRESSED_TEX_IMAGE, [] { f039(0, 9, 1, 1, 0, nullptr, 0); }},
        {"f048 sglIndexFonti", SGL_ERROR_INDEX_FONT, [] { f048(99); }},
        {"f049 sglSetSecondFontAttributes", SGL_ERROR_INDEX_FONT, [] { f049(99, 0, 0); }},
        {"f050 sglSetTextAlignment", SGL_ERROR_TEXT_ALIGNMENT, [] { f050(3, 0); }},
        {"f051 sgluArcSegment", SGL_ERROR_ARC_SEGMENT, [] { f051(2, 90); }},
        {"f052 sglFormatTexture", SGL_ERROR_FORMAT_TEXTURE, [] { f052(0, nullptr, nullptr, 0, 0, 0, 0); }},
        {"f053 sgluWriteTextAreaWithBBox", SGL_ERROR_WRITE_TEXT_AREA, [] { f053(0, 0, 9, 9, nullptr, 1); }},
        {"f054 sgluWriteFloatWithBBox", SGL_ERROR_WRITE_FLOAT, [] { f054(0, 0, 1.0f, nullptr); }},
        {"f055 sgluDrawBitmap", SGL_ERROR_DRAW_BITMAP, [] { f055(-1, 0, 0); }},
        {"f056 sglSetActiveMasks", SGL_ERROR_ACTIVE_MASKS, [] { f056(20000); }},
        {"f058 sglEndScissor", SGL_ERROR_END_SCISSOR, [] { f058(); }},
        {"f059 sglConvertPointToScreen", SGL_ERROR_POINT_TO_SCREEN, [] { f059(0, 0, nullptr, nullptr); }},
        {"f060 sglAllocateMaskID", SGL_ERROR_ALLOCATE_MASK, [] { f060(5); }},
        {"f061 sglFreeMaskID", SGL_ERROR_FREE_MASK, [] { f061(20000); }},
        {"f062 sgluWriteTextUnicodeWithBBox", SGL_ERROR_WRITE_UNICODE_TEXT, [] { f062(0, 0, nullptr, 1); }},
        {"f063 sgluWriteTextAreaUnicodeWithBBox", SGL_ERROR_WRITE_UNICODE_TEXT_AREA,
         [] { f063(0, 0, 9, 9, nullptr, 1); }},
        {"f066 sgluWriteRichTextWithBBox", SGL_ERROR_RICH_TEXT, [] { f066(0, 0, nullptr, 1); }},
        {"f067 sglTexVertex4f", SGL_ERROR_TEX_VERTEX, [] { f067(0, 0, 0, 0); }},
        {"f069 sgluWriteTextWithBBox", SGL_ERROR_WRITE_TEXT, [] { f069(0, 0, nullptr, 1); }},
        {"f070 sgluWriteTextUnicodeWithBBox", SGL_ERROR_WRITE_UNICODE_TEXT, [] { f070(0, 0, nullptr, 1); }},
        {"f071 sglGetArcSegmentBounds", SGL_ERROR_ARC_SEGMENT_BOUNDS,
         [] { f071(0, 0, 1, 1, 2, 90, nullptr, nullptr, nullptr, nullptr); }},
        {"f072 sgluArcEllipse2f", SGL_ERROR_ARC_ELLIPSE, [] { f072(0, 0, 10, 5, 0, 90, 0, 2); }},
        {"f074 sglPopMatrixAndTranslate", SGL_ERROR_POP_TRANSLATE, [] { f074(); }},
        {"f075 sglIndexFontLineWidthi", SGL_ERROR_FONT_LINE_WIDTH, [] { f075(-1); }},
        {"f079 sglConvertScreenToPoint", SGL_ERROR_SCREEN_TO_POINT, [] { f079(0, 0, nullptr, nullptr); }},
        {"f080 sglCreateStaticBitmap", SGL_ERROR_CREATE_STATIC_BITMAP,
         [] { (void)f080(0, 0, -1, 1, 0, nullptr, 0); }},
        {"f081 sglDrawStaticBitmap", SGL_ERROR_DRAW_STATIC_BITMAP, [] { f081(12345); }},
        {"f083 sgluWriteWideTextWithBBox", SGL_ERROR_WRITE_WIDE_TEXT, [] { f083(0, 0, nullptr, 1); }},
        {"f084 sgluWriteWideTextAreaWithBBox", SGL_ERROR_WRITE_WIDE_TEXT_AREA, [] { f084(0, 0, 9, 9, nullptr, 1); }},
        {"f085 sglIndexHaloColori", SGL_ERROR_INDEX_HALO_COLOR, [] { f085(99); }},
        {"f095 sglBeginPath", SGL_ERROR_BEGIN_PATH, [] { f095(3); }},
        {"f097 sglCubicBezierBounds", SGL_ERROR_CUBIC_BEZIER_BOUNDS,
         [] { f097(0, 0, 1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
        {"f098 sglSmoothCubicBezierBounds", SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS,
         [] { f098(1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
        {"f099 sglQuadraticBezierBounds", SGL_ERROR_QUADRATIC_BEZIER_BOUNDS,
         [] { f099(1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
        {"f100 sglSmoothQuadraticBezierBounds", SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS,
         [] { f100(2, 2, nullptr, nullptr, nullptr, nullptr); }},
        {"f120 sglEllipticalArcBounds", SGL_ERROR_ELLIPTICAL_ARC_BOUNDS,
         [] { f120(5, 5, 0, 0, 0, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
        {"f121 sglIndexGradienti", SGL_ERROR_INDEX_GRADIENT, [] { f121(0); }},
        {"f122 sglFormatGradient", SGL_ERROR_FORMAT_GRADIENT, [] { f122(0, nullptr, nullptr); }},
        {"f123 sglGradientTexture", SGL_ERROR_GRADIENT_TEXTURE, [] { f123(-1, 1, 1, 0, nullptr, 0); }},
        {"f126 sglBeginMaskDefinition", SGL_ERROR_BEGIN_MASK_DEFINITION, [] { (void)f126(2); }},
    };
    for (const Case& c : cases) {
        sgl_type_statemachine& context = Context();
        context.errors.count = 0;
        c.call();
        ASSERT_GE(context.errors.count, 1u) << c.entry;
        EXPECT_EQ(c.code, context.errors.entries[0].code) << c.entry;
    }
}

// Entries that record nothing do what their operation does when called
// directly.
TEST_F(FunctionIndexTest, TransformationEntriesMoveTheMatrixAsTheirOperations) {
    auto matrix_after = [](bool numbered) {
        if (numbered) {
            f019();
            f027(10.0f, 20.0f);
            f022(30.0f);
            f023(2.0f, 3.0f);
            f073(5.0f, 6.0f);
        } else {
            sglPushMatrix();
            sglTranslatef(10.0f, 20.0f);
            sglRotatef(30.0f);
            sglScalef(2.0f, 3.0f);
            sglPushMatrixAndTranslate(5.0f, 6.0f);
        }
        float m[16];
        std::memcpy(m, Context().transform.matrix, sizeof m);
        EXPECT_EQ(2u, Context().ortho.depth);
        float sx = 0.0f, sy = 0.0f, px = 0.0f, py = 0.0f;
        numbered ? f059(1.0f, 1.0f, &sx, &sy) : sglConvertPointToScreen(1.0f, 1.0f, &sx, &sy);
        numbered ? f079(sx, sy, &px, &py) : sglConvertScreenToPoint(sx, sy, &px, &py);
        EXPECT_NEAR(1.0f, px, 1e-3f);
        EXPECT_NEAR(1.0f, py, 1e-3f);
        if (numbered) {
            f074();
            f020();
            f016();
        } else {
            sglPopMatrixAndTranslate();
            sglPopMatrix();
            sglLoadIdentity();
        }
        EXPECT_EQ(0u, Context().ortho.depth);
        return std::vector<float>(m, m + 16);
    };
    EXPECT_EQ(matrix_after(false), matrix_after(true));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(FunctionIndexTest, DrawingEntriesDrawAsTheirOperations) {
    // A filled square through f001 / f035 / f002.
    f013(velkor_test::kWhite);
    f001(5);
    f035(100.0f, 100.0f);
    f035(150.0f, 100.0f);
    f035(150.0f, 150.0f);
    f035(100.0f, 150.0f);
    f002();
    EXPECT_EQ(2500, CountCoveredPixels(100, 100, 50, 50));

    struct Case {
        const char* name;
        void (*numbered)();
        void (*direct)();
    };
    const Case cases[] = {
        {"f030 sector", [] { f030(300, 300, 50, 0, 270, 0, 1); },
         [] { sgluArcSector2f(300, 300, 50, 0, 270, 0, 1); }},
        {"f031 crown", [] { f031(300, 300, 20, 50, 0, 270, 1, 2); },
         [] { sgluCrown2f(300, 300, 20, 50, 0, 270, 1, 2); }},
        {"f072 ellipse", [] { f072(300, 300, 80, 40, 10, 200, 0, 1); },
         [] { sgluArcEllipse2f(300, 300, 80, 40, 10, 200, 0, 1); }},
        {"path entries",
         [] {
             f095(1);
             f086(100, 100);
             f087(200, 100);
             f124(250);
             f125(150);
             f089(260, 200, 300, 200, 320, 150);
             f090(400, 100, 420, 150);
             f091(450, 200, 480, 150);
             f092(520, 150);
             f093(40, 30, 15, 1, 0, 560, 180);
             f051(0, 90);
             f087(600, 100);
             f094();
             f096();
         },
         [] {
             sglBeginPath(1);
             sglMoveTo(100, 100);
             sglLineTo(200, 100);
             sglHorizontalLineTo(250);
             sglVerticalLineTo(150);
             sglCubicBezier(260, 200, 300, 200, 320, 150);
             sglSmoothCubicBezier(400, 100, 420, 150);
             sglQuadraticBezier(450, 200, 480, 150);
             sglSmoothQuadraticBezier(520, 150);
             sglEllipticalArc(40, 30, 15, 1, 0, 560, 180);
             sgluArcSegment(0, 90);
             sglLineTo(600, 100);
             sglClosePath();
             sglEndPath();
         }},
    };
    for (const Case& c : cases) {
        c.direct();
        const uint32_t n = Drawn();
        std::vector<float> direct;
        for (uint32_t k = 0; k < n; ++k) {
            direct.push_back(VertexX(k));
            direct.push_back(VertexY(k));
        }
        c.numbered();
        ASSERT_EQ(n, Drawn()) << c.name;
        std::vector<float> numbered;
        for (uint32_t k = 0; k < n; ++k) {
            numbered.push_back(VertexX(k));
            numbered.push_back(VertexY(k));
        }
        EXPECT_EQ(direct, numbered) << c.name;
        EXPECT_GT(n, 10u) << c.name;
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(FunctionIndexTest, QueryEntriesAnswerAsTheirOperations) {
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    EXPECT_EQ(sglCircleActiveAreaGetStatus(645, 390, 640, 384, 10), f041(645, 390, 640, 384, 10));
    EXPECT_EQ(sglCircleActiveAreaGetRate(645, 390, 640, 384, 10), f042(645, 390, 640, 384, 10));
    EXPECT_EQ(sglCircleActiveAreaGetAngle(645, 390, 640, 384), f043(645, 390, 640, 384));
    EXPECT_EQ(sglRectangleActiveAreaGetStatus(5, 5, 0, 0, 10, 10), f044(5, 5, 0, 0, 10, 10));
    EXPECT_TRUE(f044(5, 5, 0, 0, 10, 10));
    EXPECT_EQ(sglRectangleActiveAreaGetWidthRate(3, 5, 0, 0, 10, 10), f045(3, 5, 0, 0, 10, 10));
    EXPECT_EQ(sglRectangleActiveAreaGetHeightRate(3, 7, 0, 0, 10, 10), f046(3, 7, 0, 0, 10, 10));
    EXPECT_FLOAT_EQ(0.7f, f046(3, 7, 0, 0, 10, 10));
    EXPECT_EQ(sglShapeActiveAreaGetStatus(5, 5, 4, square), f047(5, 5, 4, square));
    EXPECT_TRUE(f047(5, 5, 4, square));

    float a[4] = {}, b[4] = {};
    EXPECT_TRUE(f071(0, 0, 100, 0, 0, 180, &a[0], &a[1], &a[2], &a[3]));
    sglGetArcSegmentBounds(0, 0, 100, 0, 0, 180, &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(std::vector<float>(b, b + 4), std::vector<float>(a, a + 4));

    sglBeginPath(1);
    sglMoveTo(0, 0);
    sglCubicBezier(0, 100, 100, 100, 100, 0);
    struct Case {
        const char* name;
        bool (*numbered)(float*);
        bool (*direct)(float*);
    };
    const Case cases[] = {
        {"f097", [](float* o) { return f097(0, 50, 50, 50, 200, 0, &o[0], &o[1], &o[2], &o[3]); },
         [](float* o) { return sglCubicBezierBounds(0, 50, 50, 50, 200, 0, &o[0], &o[1], &o[2], &o[3]); }},
        {"f098", [](float* o) { return f098(150, -80, 200, 0, &o[0], &o[1], &o[2], &o[3]); },
         [](float* o) { return sglSmoothCubicBezierBounds(150, -80, 200, 0, &o[0], &o[1], &o[2], &o[3]); }},
        {"f099", [](float* o) { return f099(150, 90, 200, 0, &o[0], &o[1], &o[2], &o[3]); },
         [](float* o) { return sglQuadraticBezierBounds(150, 90, 200, 0, &o[0], &o[1], &o[2], &o[3]); }},
        {"f100", [](float* o) { return f100(200, 30, &o[0], &o[1], &o[2], &o[3]); },
         [](float* o) { return sglSmoothQuadraticBezierBounds(200, 30, &o[0], &o[1], &o[2], &o[3]); }},
        {"f120", [](float* o) { return f120(80, 60, 20, 1, 1, 200, 0, &o[0], &o[1], &o[2], &o[3]); },
         [](float* o) { return sglEllipticalArcBounds(80, 60, 20, 1, 1, 200, 0, &o[0], &o[1], &o[2], &o[3]); }},
    };
    for (const Case& c : cases) {
        float n[4] = {}, d[4] = {};
        ASSERT_TRUE(c.numbered(n)) << c.name;
        ASSERT_TRUE(c.direct(d)) << c.name;
        EXPECT_EQ(std::vector<float>(d, d + 4), std::vector<float>(n, n + 4)) << c.name;
    }
    sglEndPath();
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(FunctionIndexTest, StateEntriesSetTheirState) {
    sgl_type_statemachine& context = Context();
    f013(2);
    EXPECT_EQ(2u, context.color_index);
    f036(100);
    EXPECT_EQ(100u, context.transparency);
    f085(1);
    EXPECT_EQ(1, context.halo_color_index);
    f008(SGL_TESSELLATION);
    EXPECT_EQ(1u, context.tessellation);
    f009(SGL_TESSELLATION);
    EXPECT_EQ(0u, context.tessellation);
    f068(0);
    EXPECT_EQ(0u, context.line_caps);
    f014(0);
    EXPECT_EQ(&context.stipple_table[0], context.stipple);
    f015(0);
    EXPECT_EQ(0u, context.line_width_index);
    f050(2, 1);
    EXPECT_EQ(2u, context.text.align_h);
    EXPECT_EQ(1u, context.text.align_v);
    f075(3);
    EXPECT_EQ(3u, context.text.font_line_width);

    // Masks and scissors.
    const uint32_t stencil = f060(1);
    EXPECT_EQ(1u, stencil);
    const uint32_t plane = f060(0);
    EXPECT_EQ(256u, plane);
    f006(plane, 0, 0, 0, 0);
    f056(stencil | plane);
    EXPECT_EQ(stencil | plane, f065());
    f061(plane);
    EXPECT_EQ(stencil, f065());
    f056(0);
    const uint32_t defined = f126(0);
    EXPECT_EQ(2u, defined);
    EXPECT_EQ(defined, context.clipping.mask_under_definition);
    f127();
    EXPECT_EQ(0u, context.clipping.mask_under_definition);
    f005(stencil, 0, 10, 10, 50, 50);
    f057(100, 100);
    EXPECT_EQ(1u, context.clipping.scissor_depth);
    f058();
    EXPECT_EQ(0u, context.clipping.scissor_depth);

    // Static sequences record and replay; restoring states keeps OpenGL quiet.
    const uint32_t list = f076(0, 0, 100, 100);
    EXPECT_NE(0u, list);
    f077();
    f078(list);
    f064();
    EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
    EXPECT_EQ(0u, context.errors.count);
}

}  // namespace
