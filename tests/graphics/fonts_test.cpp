// Fonts on the off-screen context: loading the panel's font table into glyph
// textures, refusing malformed tables, font selection, alignment, the font
// values widgets measure with, and text widths.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_font_table.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"

namespace {

class FontsTest : public velkor_test::SglTest {
protected:
    static void ExpectErrors(const std::vector<sgl_error_entry>& expected) {
        const sgl_error_log& log = Context().errors;
        std::vector<sgl_error_entry> got(log.entries, log.entries + log.count);
        ASSERT_EQ(expected.size(), got.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].code, got[i].code) << "entry " << i;
            EXPECT_EQ(expected[i].value, got[i].value) << "entry " << i;
        }
    }
    static void ClearErrors() { Context().errors.count = 0; }
    // The bytes of the panel's table, for damaging a copy.
    static std::vector<uint8_t> PanelTableCopy() {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&Velkor_font_table);
        uint32_t size;
        std::memcpy(&size, bytes, 4);
        return std::vector<uint8_t>(bytes, bytes + size);
    }
};

TEST_F(FontsTest, PanelTableLoadsFourGlyphTextures) {
    sgluLoadFonts(&Velkor_font_table);
    ExpectErrors({});
    EXPECT_EQ(30u, Context().font_count);
    for (uint32_t t = 0; t < 4; ++t) {
        EXPECT_NE(0u, Context().font_texture_names[t]) << t;
        EXPECT_EQ(GL_TRUE, glIsTexture(Context().font_texture_names[t])) << t;
    }
    for (uint32_t t = 4; t < 1024; ++t) ASSERT_EQ(0u, Context().font_texture_names[t]) << t;
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

// What OpenGL holds must be what the table decodes to.
TEST_F(FontsTest, UploadedGlyphTextureMatchesTheDecodedTable) {
    sgluLoadFonts(&Velkor_font_table);
    const uint8_t* table = reinterpret_cast<const uint8_t*>(&Velkor_font_table);
    sgl_font_texture texture{};
    ASSERT_TRUE(sgl_font_table_texture(table, 3, &texture));
    std::vector<uint8_t> decoded(1024 * 1024), uploaded(1024 * 1024, 0xEE);
    ASSERT_TRUE(sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, decoded.data()));
    glBindTexture(GL_TEXTURE_2D, Context().font_texture_names[3]);
    Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_TRUE(decoded == uploaded);
    uint32_t ink = 0;
    for (uint8_t texel : uploaded) ink += texel != 0;
    EXPECT_GT(ink, 10000u);  // the two small fonts really are in it
}

TEST_F(FontsTest, TableWithAnotherFormatTagIsRefusedAndTheLoadedOneStays) {
    sgluLoadFonts(&Velkor_font_table);
    const uint32_t name = Context().font_texture_names[0];
    std::vector<uint8_t> copy = PanelTableCopy();
    const uint32_t tag = 660;
    std::memcpy(&copy[4], &tag, 4);
    sgluLoadFonts(copy.data());
    ExpectErrors({{SGL_ERROR_LOAD_FONTS, SGL_FONT_TABLE_BAD_HEADER}});
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&Velkor_font_table), Context().font_table);
    EXPECT_EQ(name, Context().font_texture_names[0]);
    EXPECT_EQ(7.0f, sglGetFontValue(20, '0', 3));
}

TEST_F(FontsTest, GlyphIndexOutsideTheGlyphRecordsIsRefused) {
    std::vector<uint8_t> copy = PanelTableCopy();
    const size_t slot21 = 16 + 21 * 131208;
    const uint16_t beyond = 656;
    std::memcpy(&copy[slot21 + 136 + 2 * 'A'], &beyond, 2);
    sgluLoadFonts(copy.data());
    ExpectErrors({{SGL_ERROR_LOAD_FONTS, SGL_FONT_TABLE_BAD_FONT}});
    EXPECT_EQ(nullptr, Context().font_table);
    EXPECT_EQ(0u, Context().font_count);
}

// A texture that does not decode stays empty; the others and the fonts load.
TEST_F(FontsTest, UndecodableTextureIsLeftEmpty) {
    velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
    table.texture.pop_back();
    table.AttachTexture();
    sgluLoadFonts(table.data());
    ExpectErrors({{SGL_ERROR_LOAD_FONTS, SGL_FONT_TABLE_BAD_TEXTURE}});
    EXPECT_EQ(0u, Context().font_texture_names[0]);
    EXPECT_EQ(3u, Context().font_count);
    EXPECT_EQ(11.0f, sglGetFontValue(1, 'W', 3));
}

TEST_F(FontsTest, NoTableUnloadsTheFontsAndTheirTextures) {
    sgluLoadFonts(&Velkor_font_table);
    const uint32_t name = Context().font_texture_names[2];
    sgluLoadFonts(nullptr);
    EXPECT_EQ(0u, Context().font_count);
    EXPECT_EQ(0u, Context().font_texture_names[2]);
    EXPECT_EQ(GL_FALSE, glIsTexture(name));
    EXPECT_EQ(0.0f, sglGetFontValue(20, '0', 3));
    ExpectErrors({{SGL_ERROR_FONT_VALUE, 20}});
}

struct SlotValues {
    uint32_t slot;
    float values[4];  // font values 6..9
};

TEST_F(FontsTest, FontValuesOfEverySlot) {
    sgluLoadFonts(&Velkor_font_table);
    const SlotValues rows[] = {
        {20, {19, 9, 18, 6}},    {21, {19, 12, 18, 8}},   {22, {23, 14, 23, 9}},
        {23, {29, 18, 29, 12}},  {24, {38, 23, 38, 15}},  {25, {58, 36, 58, 24}},
    };
    for (const SlotValues& row : rows) {
        EXPECT_EQ(0.0f, sglGetFontValue(row.slot, '0', 4)) << row.slot;
        EXPECT_EQ(0.0f, sglGetFontValue(row.slot, '0', 5)) << row.slot;
        for (uint32_t kind = 6; kind <= 9; ++kind) {
            EXPECT_EQ(row.values[kind - 6], sglGetFontValue(row.slot, '0', kind)) << row.slot << " kind " << kind;
        }
    }
    ExpectErrors({});
}

TEST_F(FontsTest, GlyphValuesOfTheSmallestFont) {
    sgluLoadFonts(&Velkor_font_table);
    struct Row {
        uint32_t character, kind;
        float value;
    };
    const Row rows[] = {
        {'0', 0, 6}, {'0', 1, 9}, {'0', 3, 7}, {'A', 0, 8}, {'A', 1, 9}, {'A', 3, 8},
        {' ', 0, 3}, {' ', 1, 9}, {' ', 3, 3}, {'0', 7, 9},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.value, sglGetFontValue(20, row.character, row.kind))
            << "character " << row.character << " kind " << row.kind;
    }
    ExpectErrors({});
}

TEST_F(FontsTest, BadKindsAndSlotsGiveZeroWithError88) {
    sgluLoadFonts(&Velkor_font_table);
    EXPECT_EQ(0.0f, sglGetFontValue(20, '0', 10));
    EXPECT_EQ(0.0f, sglGetFontValue(30, '0', 3));
    ExpectErrors({{SGL_ERROR_FONT_VALUE, 10}, {SGL_ERROR_FONT_VALUE, 30}});
    // An empty slot answers with the default font, the first one in the table.
    ClearErrors();
    EXPECT_EQ(7.0f, sglGetFontValue(0, '0', 3));
    EXPECT_EQ(9.0f, sglGetFontValue(29, '0', 7));
    ExpectErrors({});
}

TEST_F(FontsTest, FontSelection) {
    sgluLoadFonts(&Velkor_font_table);
    EXPECT_EQ(SGL_FONT_NONE, Context().text.font);
    sglIndexFonti(22);
    EXPECT_EQ(22u, Context().text.font);
    sglIndexFonti(30);
    EXPECT_EQ(SGL_FONT_NONE, Context().text.font);
    sglIndexFonti(-1);
    EXPECT_EQ(SGL_FONT_NONE, Context().text.font);
    ExpectErrors({{SGL_ERROR_INDEX_FONT, 30}, {SGL_ERROR_INDEX_FONT, 0xFFFFFFFFu}});
}

TEST_F(FontsTest, FontLineWidthIsClampedOrKept) {
    struct Row {
        int32_t index;
        uint32_t width;
        int32_t step;
        bool error;
    };
    const Row rows[] = {{3, 3, 2, false}, {-1, 3, 2, true}, {9, 7, 6, true}, {0, 0, 0, false}, {1, 1, 0, false}};
    for (const Row& row : rows) {
        ClearErrors();
        sglIndexFontLineWidthi(row.index);
        EXPECT_EQ(row.width, Context().text.font_line_width) << row.index;
        EXPECT_EQ(row.step, Context().text.outline_width_step) << row.index;
        EXPECT_EQ(row.error ? 1u : 0u, Context().errors.count) << row.index;
        if (row.error) {
            EXPECT_EQ(SGL_ERROR_FONT_LINE_WIDTH, Context().errors.entries[0].code) << row.index;
        }
    }
}

TEST_F(FontsTest, TextAlignmentKeepsTheValidAxis) {
    sglSetTextAlignment(1, 2);
    EXPECT_EQ(0.5f, Context().text.align_factor_h);
    EXPECT_EQ(1.0f, Context().text.align_factor_v);
    sglSetTextAlignment(2, 3);
    EXPECT_EQ(2u, Context().text.align_h);
    EXPECT_EQ(1.0f, Context().text.align_factor_h);
    EXPECT_EQ(2u, Context().text.align_v);
    sglSetTextAlignment(5, 0);
    EXPECT_EQ(2u, Context().text.align_h);
    EXPECT_EQ(0.0f, Context().text.align_factor_v);
    ExpectErrors({{SGL_ERROR_TEXT_ALIGNMENT, 3}, {SGL_ERROR_TEXT_ALIGNMENT, 5}});
    sglReset();
    EXPECT_EQ(0u, Context().text.align_h);
    EXPECT_EQ(0.0f, Context().text.align_factor_v);
}

TEST_F(FontsTest, WidthOfZeroInTheSmallestFontIsSevenPixels) {
    sgluLoadFonts(&Velkor_font_table);
    sglIndexFonti(20);
    const uint16_t zero[] = {'0'};
    EXPECT_EQ(7.0f, sgli_get_string_width(zero, 1, false));
    EXPECT_EQ(6.0f, sgli_get_string_width(zero, 1, true));
    const uint16_t digits[] = {'0', '1', '2', '3'};
    EXPECT_EQ(28.0f, sgli_get_string_width(digits, 4, false));
    // Drawing units of half a pixel: the text keeps its size in pixels.
    sglOrtho(0.0f, 640.0f, 0.0f, 384.0f);
    EXPECT_EQ(3.5f, sgli_get_string_width(zero, 1, false));
}

TEST_F(FontsTest, CharactersDecodeInTheContextsEncoding) {
    uint16_t code = 0;
    EXPECT_EQ(6u, sgli_get_char_index(&code, "\\u00e4x", 7));
    EXPECT_EQ(0xE4, code);
    Context().text.encoding = 1;
    EXPECT_EQ(2u, sgli_get_char_index(&code, "\xC3\xA4", 2));
    EXPECT_EQ(0xE4, code);
}

// --- writing text -----------------------------------------------------------

class WriteTextTest : public FontsTest {
protected:
    void SetUp() override {
        FontsTest::SetUp();
        static const float colours[2][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}};
        sglColorPointerf(&colours[0][0], 2);
        sglIndexColori(1);
        sgluLoadFonts(&Velkor_font_table);
        sglIndexFonti(20);
        ClearErrors();
    }

    // Expects the glyph of `code` in slot 20 drawn in white with its pen at
    // pixel (x, y): every pixel of its bitmap as bright as the glyph's texel,
    // and nothing else lit within `margin` pixels around it.
    static void ExpectGlyphAt(uint16_t code, int x, int y, int margin = 12) {
        const uint8_t* table = reinterpret_cast<const uint8_t*>(&Velkor_font_table);
        sgl_font font{};
        ASSERT_TRUE(sgl_font_table_font(table, 20, &font));
        sgl_glyph glyph{};
        sgl_font_glyph(font, code, &glyph);
        sgl_font_texture texture{};
        ASSERT_TRUE(sgl_font_table_texture(table, glyph.texture, &texture));
        static std::vector<uint8_t> texels(1024 * 1024);
        ASSERT_TRUE(sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, texels.data()));
        const int tx = static_cast<int>(glyph.s0 * 1024), ty = static_cast<int>(glyph.t0 * 1024);
        const int left = x + glyph.x_offset, bottom = y + glyph.y_offset;
        int wrong = 0, lit = 0;
        for (int r = 0; r < glyph.height; ++r) {
            for (int c = 0; c < glyph.width; ++c) {
                const int want = texels[(ty + r) * 1024 + tx + c];
                const int got = velkor_test::ReadPixel(left + c, bottom + r).r;
                if (got < want - 1 || got > want + 1) ++wrong;
                lit += want > 0;
            }
        }
        EXPECT_EQ(0, wrong) << "glyph " << code << " at " << x << ", " << y;
        EXPECT_GT(lit, 0);
        const int around = velkor_test::CountCoveredPixels(left - margin, bottom - margin, glyph.width + 2 * margin,
                                                           glyph.height + 2 * margin);
        const int inside = velkor_test::CountCoveredPixels(left, bottom, glyph.width, glyph.height);
        EXPECT_EQ(inside, around) << "pixels lit outside the glyph of " << code;
    }
};

TEST_F(WriteTextTest, GlyphLandsWithItsPenOnTheGivenPoint) {
    sgluWriteText(100, 200, "A", 1);
    ExpectGlyphAt('A', 100, 200);
    ExpectErrors({});
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

TEST_F(WriteTextTest, PenAdvancesByEachGlyphsAdvance) {
    sgluWriteText(300, 300, "0A", 2);
    ExpectGlyphAt('0', 300, 300, 0);
    ExpectGlyphAt('A', 307, 300, 0);  // '0' advances 7
    EXPECT_EQ(velkor_test::CountCoveredPixels(290, 290, 40, 30),
              velkor_test::CountCoveredPixels(300, 300, 15, 9));
}

// Centred both ways: the ink width (6 for '0') is centred on x and the
// ascent (9) on y, then the pen snaps to the nearest whole pixel.
TEST_F(WriteTextTest, CentredTextIsCentredOnThePoint) {
    sglSetTextAlignment(1, 1);
    sgluWriteText(640, 384, "0", 1);
    ExpectGlyphAt('0', 637, 380);  // 640 - 3, round(384 - 4.5) = 380 (half away from zero)
    sglSetTextAlignment(2, 2);
    ClearErrors();
    velkor_test::ClearDisplay();
    sgluWriteText(640, 384, "0", 1);
    ExpectGlyphAt('0', 634, 375);  // right edge of the ink and top of the ascent on the point
}

TEST_F(WriteTextTest, OffPixelPointsSnapToTheNearestPixel) {
    sgluWriteText(100.6f, 200.4f, "A", 1);
    ExpectGlyphAt('A', 101, 200);
}

TEST_F(WriteTextTest, LineBreaksStartLinesOneLineHeightLower) {
    // The line height of slot 20 is 9 + 6; CR LF is one break.
    sgluWriteText(100, 400, "A\r\n0\n\nA", 100);
    ExpectGlyphAt('A', 100, 400, 2);
    ExpectGlyphAt('0', 100, 385, 2);
    ExpectGlyphAt('A', 100, 355, 2);
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(100, 366, 20, 15));  // the empty line
}

TEST_F(WriteTextTest, LengthLimitsTheCharactersAndTheTextEndsAtItsZero) {
    sgluWriteText(100, 200, "A0", 1);
    ExpectGlyphAt('A', 100, 200);
    velkor_test::ClearDisplay();
    sgluWriteText(100, 200, "A", 50);
    ExpectGlyphAt('A', 100, 200);
    ExpectErrors({});
}

TEST_F(WriteTextTest, MissingTextAndBadLengthsAreReported) {
    sgluWriteText(100, 200, nullptr, 3);
    sgluWriteText(100, 200, "A", -1);
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
    std::vector<char> long_text(1100, 'A');
    long_text.push_back(0);
    sgluWriteText(0, 100, long_text.data(), 1100);
    ExpectErrors({{SGL_ERROR_WRITE_TEXT, 0}, {SGL_ERROR_WRITE_TEXT, 0xFFFFFFFFu}, {SGL_ERROR_WRITE_TEXT, 1100}});
    // 1024 characters of 8 pixels run off the display: only the first ones show.
    EXPECT_GT(velkor_test::CountCoveredPixels(0, 100, 1280, 9), 0);
}

TEST_F(WriteTextTest, ColourAndStateComeBackAfterwards) {
    sglTransparency8(100);
    sgluWriteText(100, 200, "A", 1);
    ExpectGlyphAt('A', 100, 200);  // text ignores the transparency
    EXPECT_EQ(100, Context().transparency);
    EXPECT_EQ(0, Context().gl_texture_2d);
    EXPECT_EQ(GL_FALSE, glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

}  // namespace
