// Text areas on the off-screen context: word wrapping read back in pixels,
// the vertical and horizontal placement of the lines, the 16-bit and wchar_t
// texts, and the limits with their error codes.
//
// Most tests write with the small test font, whose glyphs are opaque
// rectangles (see font_table_builder.h): 'a' 5 x 8 advancing 6, 'i' 2 x 8
// advancing 3, 'W' 10 x 8 advancing 11, the space advancing 4; ascent 8,
// descent 3. Its ink can be read back to the pixel.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_font_table.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"

namespace {

struct Box {
    int x1, y1, x2, y2;  // lit pixels: x1 <= x < x2, y1 <= y < y2
    int count;
};

// The extent of the lit pixels of a region (count 0: none).
Box LitExtent(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    Box box = {x + width, y + height, x, y, 0};
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const uint8_t* p = &pixels[(static_cast<size_t>(r) * width + c) * 4];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            ++box.count;
            box.x1 = std::min(box.x1, x + c);
            box.y1 = std::min(box.y1, y + r);
            box.x2 = std::max(box.x2, x + c + 1);
            box.y2 = std::max(box.y2, y + r + 1);
        }
    }
    return box;
}

class TextAreaTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        SglTest::SetUp();
        static const float colours[2][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}};
        sglColorPointerf(&colours[0][0], 2);
        sglIndexColori(1);
        static const velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
        sgluLoadFonts(table.data());
        sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
        Context().errors.count = 0;
    }

    static void ExpectErrors(const std::vector<sgl_error_entry>& expected) {
        const sgl_error_log& log = Context().errors;
        ASSERT_EQ(expected.size(), log.count);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].code, log.entries[i].code) << "entry " << i;
            EXPECT_EQ(expected[i].value, log.entries[i].value) << "entry " << i;
        }
    }

    // Expects the lit pixels of one text line (rows y .. y + 8 of the
    // region's columns) to be exactly the boxes of `glyphs` starting at x.
    static void ExpectLine(const std::string& glyphs, int x, int y, int region_x, int region_width) {
        int pen = x;
        int expected = 0;
        for (char c : glyphs) {
            const int width = c == 'a' ? 5 : c == 'i' ? 2 : c == 'W' ? 10 : 0;
            const int advance = c == 'a' ? 6 : c == 'i' ? 3 : c == 'W' ? 11 : 4;
            if (width > 0) {
                EXPECT_EQ(width * 8, velkor_test::CountCoveredPixels(pen, y, width, 8))
                    << "'" << c << "' of \"" << glyphs << "\" at " << pen << ", " << y;
            }
            expected += width * 8;
            pen += advance;
        }
        EXPECT_EQ(expected, velkor_test::CountCoveredPixels(region_x, y, region_width, 8))
            << "\"" << glyphs << "\" at " << x << ", " << y;
    }
};

// --- wrapping ---------------------------------------------------------------

// "aaaa" is 6 + 6 + 6 + 5 = 23 wide; in 13 the third 'a' (ink end 17) does
// not fit, so the word breaks before it.
TEST_F(TextAreaTest, WordWiderThanTheAreaBreaksBeforeTheFirstCharacterThatDoesNotFit) {
    sglSetTextAlignment(0, 2);
    sgluWriteTextArea(100, 300, 113, 400, "aaaa", 4);
    ExpectErrors({});
    ExpectLine("aa", 100, 392, 90, 60);  // top line: baseline = top - ascent
    ExpectLine("aa", 100, 381, 90, 60);  // one ascent + descent lower
    EXPECT_EQ(2 * 2 * 40, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(2u, Context().text.line_count);
}

TEST_F(TextAreaTest, WordsWrapAfterTheLastSpaceThatFits) {
    sglSetTextAlignment(0, 2);
    sgluWriteTextArea(100, 300, 130, 400, "aa aa aaaa", 10);
    // "aa aa" ends its ink at 6 + 6 + 4 + 6 + 5 = 27 <= 30; the space after
    // it does not fit (32) and is where the line breaks.
    ExpectLine("aa aa", 100, 392, 90, 60);
    ExpectLine("aaaa", 100, 381, 90, 60);
    ExpectErrors({});
}

// The same rule with the panel's font: '0' of "Liberation Sans12" advances 7
// with ink 6, so in 20 pixels "000" (ink end 20) fits and a fourth does not.
TEST_F(TextAreaTest, PanelFontWordBreaksAtTheAreasWidth) {
    sgluLoadFonts(&Velkor_font_table);
    sglIndexFonti(20);
    sglSetTextAlignment(0, 2);
    sgluWriteTextArea(100, 300, 120, 400, "00000", 5);
    ExpectErrors({});
    // Lines 9 + 6 apart, the first baseline 9 under the top.
    const Box first = LitExtent(90, 391, 60, 9);
    const Box second = LitExtent(90, 376, 60, 9);
    EXPECT_GE(first.x1, 100);
    EXPECT_LE(first.x1, 101);
    // "000" ends its outline's ink at 20; the antialiased bitmap of '0' is
    // one column wider than that ink.
    EXPECT_LE(first.x2, 121);
    EXPECT_EQ(7, first.x2 - second.x2);  // three digits above, two below
    EXPECT_EQ(first.count + second.count, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
}

TEST_F(TextAreaTest, LineSeparatorsBreakAndCrLfIsOneBreak) {
    sglSetTextAlignment(0, 2);
    sgluWriteTextArea(100, 300, 200, 400, "a\r\nW\n\ni", 100);
    ExpectLine("a", 100, 392, 90, 120);
    ExpectLine("W", 100, 381, 90, 120);
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(90, 370, 120, 8));  // the empty line
    ExpectLine("i", 100, 359, 90, 120);
    EXPECT_EQ(4u, Context().text.line_count);
}

// --- placement ----------------------------------------------------------------

struct PlacementCase {
    uint32_t align_h, align_v;
    int first_x, second_x;  // pens of "aa" (11 wide) and "Wi" (13 wide)
    int first_y;            // baseline of the first line; the second is 11 lower
};

TEST_F(TextAreaTest, LinesArePlacedByTheAlignmentInsideTheRectangle) {
    // Rectangle x 100 .. 121, y 300 .. 400; two lines of 8 + 3.
    const PlacementCase cases[] = {
        {0, 2, 100, 100, 392},  // left, from the top down
        {2, 2, 110, 108, 392},  // right: each line's ink ends on the right edge
        {1, 0, 105, 104, 314},  // centred, from the bottom up: the last descent sits on the bottom
        {0, 1, 100, 100, 353},  // the block of 22 centred: top at 361
    };
    for (const PlacementCase& c : cases) {
        velkor_test::ClearDisplay();
        sglSetTextAlignment(c.align_h, c.align_v);
        sgluWriteTextArea(100, 300, 121, 400, "aa Wi", 5);
        SCOPED_TRACE(testing::Message() << "alignment " << c.align_h << ", " << c.align_v);
        ExpectLine("aa", c.first_x, c.first_y, 90, 60);
        ExpectLine("Wi", c.second_x, c.first_y - 11, 90, 60);
    }
    ExpectErrors({});
}

TEST_F(TextAreaTest, CornersMayBeGivenInAnyOrder) {
    sglSetTextAlignment(0, 2);
    sgluWriteTextArea(113, 400, 100, 300, "aaaa", 4);
    ExpectLine("aa", 100, 392, 90, 60);
    ExpectLine("aa", 100, 381, 90, 60);
}

// --- other text forms ---------------------------------------------------------

TEST_F(TextAreaTest, SixteenBitAndWideTextsWrapTheSame) {
    sglSetTextAlignment(0, 2);
    const uint16_t units[] = {'a', 'a', ' ', 'a', 'a', 0};
    sgluWriteUnicodeTextArea(100, 300, 113, 400, units, 5);
    ExpectLine("aa", 100, 392, 90, 60);
    ExpectLine("aa", 100, 381, 90, 60);
    velkor_test::ClearDisplay();
    sgluWriteWideTextArea(100, 300, 113, 400, L"aa aa", 5);
    ExpectLine("aa", 100, 392, 90, 60);
    ExpectLine("aa", 100, 381, 90, 60);
    ExpectErrors({});
}

// --- limits -------------------------------------------------------------------

TEST_F(TextAreaTest, MissingTextAndNegativeLengthsDrawNothing) {
    const uint16_t units[] = {'a', 0};
    sgluWriteTextArea(100, 300, 200, 400, nullptr, 3);
    sgluWriteTextArea(100, 300, 200, 400, "a", -2);
    sgluWriteUnicodeTextArea(100, 300, 200, 400, nullptr, 1);
    sgluWriteUnicodeTextArea(100, 300, 200, 400, units, -1);
    sgluWriteWideTextArea(100, 300, 200, 400, nullptr, 1);
    sgluWriteWideTextArea(100, 300, 200, 400, L"a", -3);
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
    ExpectErrors({{SGL_ERROR_WRITE_TEXT_AREA, 0},
                  {SGL_ERROR_WRITE_TEXT_AREA, static_cast<uint32_t>(-2)},
                  {SGL_ERROR_WRITE_UNICODE_TEXT_AREA, 0},
                  {SGL_ERROR_WRITE_UNICODE_TEXT_AREA, static_cast<uint32_t>(-1)},
                  {SGL_ERROR_WRITE_WIDE_TEXT_AREA, 0},
                  {SGL_ERROR_WRITE_WIDE_TEXT_AREA, static_cast<uint32_t>(-3)}});
}

TEST_F(TextAreaTest, LongTextsAreCutTo4096CharactersAnd256Lines) {
    sglSetTextAlignment(0, 2);
    // 4100 'i' in lines of 12 (3 x 12 - 1 = 35 <= 36): the first 4096 form
    // 342 lines, of which 256 are written.
    const std::string text(4100, 'i');
    sgluWriteTextArea(0, 0, 36, 767, text.c_str(), 4100);
    ExpectErrors({{SGL_ERROR_WRITE_TEXT_AREA, 4100}, {SGL_ERROR_WRITE_TEXT_AREA, 256}});
    EXPECT_EQ(256u, Context().text.line_count);
    // 256 lines of 11 reach below the display: the top lines are all there.
    EXPECT_EQ(12 * 2 * 8, velkor_test::CountCoveredPixels(0, 759, 40, 8));

    Context().errors.count = 0;
    velkor_test::ClearDisplay();
    const std::string lines(300, '\n');
    const std::u16string units(300, u'\n');
    sgluWriteUnicodeTextArea(0, 0, 100, 767, reinterpret_cast<const uint16_t*>(units.c_str()), 300);
    sgluWriteWideTextArea(0, 0, 100, 767, std::wstring(300, L'\n').c_str(), 300);
    sgluWriteTextArea(0, 0, 100, 767, lines.c_str(), 300);
    ExpectErrors({{SGL_ERROR_WRITE_UNICODE_TEXT_AREA, 256},
                  {SGL_ERROR_WRITE_WIDE_TEXT_AREA, 256},
                  {SGL_ERROR_WRITE_TEXT_AREA, 256}});
}

TEST_F(TextAreaTest, StateComesBackAfterwards) {
    sglTransparency8(90);
    sgluWriteTextArea(100, 300, 200, 400, "aa", 2);
    EXPECT_EQ(90, Context().transparency);
    EXPECT_EQ(0, Context().gl_texture_2d);
    EXPECT_EQ(GL_FALSE, glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

}  // namespace
