// Rich text, numbers, bounding boxes, 16-bit and wchar_t texts and pixel
// alignment on the off-screen context, read back in pixels.
//
// Most tests write with the small test font, whose glyphs are opaque
// rectangles (see font_table_builder.h): 'a' 5 x 8 advancing 6, 'i' 2 x 8
// advancing 3, 'W' 10 x 8 advancing 11, the space advancing 4; ascent 8,
// descent 3. Numbers are written with the panel's fonts and compared with
// the same glyphs written as plain text.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_font_table.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::Rgba;

constexpr Rgba kWhite = {255, 255, 255, 255};
constexpr Rgba kBlack = {0, 0, 0, 255};
constexpr Rgba kRed = {255, 0, 0, 255};
constexpr Rgba kGreen = {0, 255, 0, 255};
constexpr Rgba kBlue = {0, 0, 255, 255};

struct Box {
    int x1, y1, x2, y2;  // lit pixels: x1 <= x < x2, y1 <= y < y2
    int count;
};

std::vector<uint8_t> ReadRegion(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The extent of the lit pixels of the whole display (count 0: none).
Box LitExtent() {
    const std::vector<uint8_t> pixels = ReadRegion(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
    Box box = {velkor_test::kDisplayWidth, velkor_test::kDisplayHeight, 0, 0, 0};
    for (int y = 0; y < velkor_test::kDisplayHeight; ++y) {
        for (int x = 0; x < velkor_test::kDisplayWidth; ++x) {
            const uint8_t* p = &pixels[(static_cast<size_t>(y) * velkor_test::kDisplayWidth + x) * 4];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            ++box.count;
            box.x1 = std::min(box.x1, x);
            box.y1 = std::min(box.y1, y);
            box.x2 = std::max(box.x2, x + 1);
            box.y2 = std::max(box.y2, y + 1);
        }
    }
    return box;
}

// Pixels partly covered: neither black nor full white (glyph edges that do
// not sit on whole pixels).
int CountPartlyCovered(int x, int y, int width, int height) {
    const std::vector<uint8_t> pixels = ReadRegion(x, y, width, height);
    int count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) count += pixels[i] > 10 && pixels[i] < 245;
    return count;
}

// Collected bounds pass through the conversion to viewport pixels, whose
// floats are off by a few units in the last place.
constexpr float kPixelTolerance = 1e-3f;

void ExpectBoxNear(const Box& lit, float x1, float y1, float x2, float y2, const char* name) {
    EXPECT_NEAR(static_cast<float>(lit.x1), x1, kPixelTolerance) << name;
    EXPECT_NEAR(static_cast<float>(lit.y1), y1, kPixelTolerance) << name;
    EXPECT_NEAR(static_cast<float>(lit.x2), x2, kPixelTolerance) << name;
    EXPECT_NEAR(static_cast<float>(lit.y2), y2, kPixelTolerance) << name;
}

std::vector<uint8_t> Snapshot() {
    return ReadRegion(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight);
}

class TextTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        SglTest::SetUp();
        static const float colours[5][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
        sglColorPointerf(&colours[0][0], 5);
        sglIndexColori(1);
        static const velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
        sgluLoadFonts(table.data());
        sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
        ClearErrors();
    }

    static void ClearErrors() { Context().errors.count = 0; }

    static void ExpectErrors(const std::vector<sgl_error_entry>& expected) {
        const sgl_error_log& log = Context().errors;
        ASSERT_EQ(expected.size(), log.count);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].code, log.entries[i].code) << "entry " << i;
            EXPECT_EQ(expected[i].value, log.entries[i].value) << "entry " << i;
        }
    }

    static void UsePanelFonts() {
        sgluLoadFonts(&Velkor_font_table);
        sglIndexFonti(20);
        ClearErrors();
    }
};

// --- rich text ----------------------------------------------------------------

// "a", then "a" inverted, then "a": the inverted one is a white box the
// height of the line (descent 3 below the baseline, ascent 8 above) and its
// advance wide, with the glyph cut out in black.
TEST_F(TextTest, InvertedSpanIsDrawnInverted) {
    sgluWriteRichText(100, 200, "a\x1b" "Da\x1b" "Ea", 100);
    ExpectErrors({});
    EXPECT_EQ(40, CountPixelsNear(100, 200, 5, 8, kWhite));  // plain glyph
    EXPECT_EQ(40, CountPixelsNear(106, 200, 5, 8, kBlack));  // the inverted glyph
    EXPECT_EQ(6 * 11 - 40, CountPixelsNear(106, 197, 6, 11, kWhite));
    EXPECT_EQ(40, CountPixelsNear(112, 200, 5, 8, kWhite));  // plain again
    const Box lit = LitExtent();
    EXPECT_EQ(100, lit.x1);
    EXPECT_EQ(197, lit.y1);
    EXPECT_EQ(117, lit.x2);
    EXPECT_EQ(208, lit.y2);
    EXPECT_EQ(40 + 26 + 40, lit.count);
}

struct ColourCase {
    const char* name;
    std::string text;
    Rgba box;    // around the second 'a' (advance 6 by line height 11)
    Rgba glyph;  // the second 'a' itself
};

TEST_F(TextTest, ColourEscapesAndInversion) {
    const ColourCase cases[] = {
        {"text colour", "a\x1b" "A\x02" "a", kBlack, kRed},
        {"background", "a\x1b" "B\x04" "a", kBlue, kWhite},
        {"inverted with a background: glyph in the background colour", "a\x1b" "B\x04\x1b" "Da", kWhite, kBlue},
        {"inverted red text", "a\x1b" "A\x02\x1b" "Da", kRed, {0, 255, 255, 255}},
        {"end of inversion", "a\x1b" "D\x1b" "Ea", kBlack, kWhite},
    };
    for (const ColourCase& c : cases) {
        velkor_test::ClearDisplay();
        ClearErrors();
        sgluWriteRichText(100, 200, c.text.c_str(), static_cast<int32_t>(c.text.size()));
        ExpectErrors({});
        EXPECT_EQ(40, CountPixelsNear(100, 200, 5, 8, kWhite)) << c.name;  // the first 'a' is plain
        EXPECT_EQ(40, CountPixelsNear(106, 200, 5, 8, c.glyph)) << c.name;
        EXPECT_EQ(6 * 11 - 40, CountPixelsNear(106, 197, 6, 11, c.box)) << c.name;
    }
}

TEST_F(TextTest, UnderlineStrikeThroughAndHiddenText) {
    // Underline: a bar one pixel thick one pixel under the baseline, the
    // run's advance long.
    sgluWriteRichText(100, 200, "\x1b" "Haa\x1b" "Ia", 100);
    EXPECT_EQ(12, CountPixelsNear(100, 198, 20, 1, kWhite));
    EXPECT_EQ(12, CountCoveredPixels(90, 190, 40, 10));
    // Strike-through: at 0.35 of the ascent (3 pixels) above the baseline.
    velkor_test::ClearDisplay();
    sgluWriteRichText(100, 200, "\x1b" "L\x1b" "Ha\x1b" "Oa", 100);
    EXPECT_EQ(6, CountPixelsNear(100, 198, 20, 1, kWhite));      // underline of the first only
    // The bar crosses the first glyph and shows in the gap after it.
    EXPECT_EQ(40 + 40 + 1, CountCoveredPixels(90, 200, 40, 8));
    EXPECT_EQ(1, CountPixelsNear(105, 203, 1, 1, kWhite));
    EXPECT_EQ(0, CountCoveredPixels(105, 200, 1, 3));
    // Hidden text keeps its place.
    velkor_test::ClearDisplay();
    sgluWriteRichText(100, 200, "\x1b" "Ja\x1b" "Ka", 100);
    EXPECT_EQ(0, CountCoveredPixels(100, 200, 6, 8));
    EXPECT_EQ(40, CountPixelsNear(106, 200, 5, 8, kWhite));
    ExpectErrors({});
}

TEST_F(TextTest, OutlineRingsTheGlyphsInItsColour) {
    sgluWriteRichText(100, 200, "\x1b@\x02\x1bNi", 100);
    EXPECT_EQ(16, CountPixelsNear(100, 200, 2, 8, kWhite));
    EXPECT_EQ(8, CountPixelsNear(99, 200, 1, 8, kRed));
    EXPECT_EQ(8, CountPixelsNear(102, 200, 1, 8, kRed));
    EXPECT_EQ(2, CountPixelsNear(100, 199, 2, 1, kRed));
    EXPECT_EQ(2, CountPixelsNear(100, 208, 2, 1, kRed));
    EXPECT_EQ(16 + 20, CountCoveredPixels(90, 190, 30, 30));
    ExpectErrors({});
}

// While smoothing is on, every writer draws the halo first: the glyphs one
// pixel off in each direction in the halo colour, the glyphs over it.
TEST_F(TextTest, HaloWhileSmoothing) {
    sglEnable(SGL_LINE_SMOOTH);
    sglIndexHaloColori(2);
    sgluWriteRichText(100, 200, "i", 1);
    const std::vector<uint8_t> rich = Snapshot();
    EXPECT_EQ(16, CountPixelsNear(100, 200, 2, 8, kWhite));
    EXPECT_EQ(20, CountPixelsNear(98, 198, 6, 12, kRed));
    velkor_test::ClearDisplay();
    sgluWriteText(100, 200, "i", 1);
    EXPECT_TRUE(rich == Snapshot());
    ExpectErrors({});
}

TEST_F(TextTest, RepeatedSections) {
    struct Case {
        std::string text;
        int glyphs;  // 'a's written
    };
    const Case cases[] = {
        {"\x1bP\x03" "a\x1bQ", 3},
        {"\x1bP\x01" "a\x1bQ", 1},
        {std::string("\x1bP") + '\0' + "a", 0},  // the 0 byte ends the text before the argument
        {"a\x1bP0", 1},                          // a count of 48 with nothing to repeat
    };
    for (const Case& c : cases) {
        velkor_test::ClearDisplay();
        sgluWriteRichText(100, 200, c.text.c_str(), static_cast<int32_t>(c.text.size()));
        EXPECT_EQ(c.glyphs * 40, CountCoveredPixels(0, 0, 1280, 768)) << c.glyphs;
    }
    ExpectErrors({});
}

// A count of 0 (written as an escape, a 0 byte would end the text) skips
// the section, its escapes included.
TEST_F(TextTest, RichTextSkipsAZeroCountSection) {
    const char text[] = {27, 'P', '\\', 'u', '0', '0', '0', '0', 27, 'A', 2, 'a', 'a', 27, 'Q', 'i', 0};
    sgluWriteRichText(100, 200, text, sizeof text - 1);
    EXPECT_EQ(16, CountPixelsNear(100, 200, 2, 8, kWhite));
    EXPECT_EQ(16, CountCoveredPixels(0, 0, 1280, 768));
    ExpectErrors({});
}

TEST_F(TextTest, RichLinesStackByTheirTallestFont) {
    sgluWriteRichText(100, 200, "a\r\na\ra", 100);
    EXPECT_EQ(40, CountPixelsNear(100, 200, 5, 8, kWhite));
    EXPECT_EQ(40, CountPixelsNear(100, 189, 5, 8, kWhite));  // 3 + 8 lower
    EXPECT_EQ(40, CountPixelsNear(100, 178, 5, 8, kWhite));
    EXPECT_EQ(120, CountCoveredPixels(0, 0, 1280, 768));
    // Centred: each line on x by its own width, the first ascent centred on y.
    velkor_test::ClearDisplay();
    sglSetTextAlignment(1, 1);
    sgluWriteRichText(640, 400, "W\raai", 100);
    EXPECT_EQ(80, CountPixelsNear(635, 396, 10, 8, kWhite));  // 10 wide, ascent 8 centred on 400
    EXPECT_EQ(96, CountPixelsNear(633, 385, 14, 8, kWhite));  // 14 wide, 3 + 8 lower
    EXPECT_EQ(176, CountCoveredPixels(0, 0, 1280, 768));
    ExpectErrors({});
}

TEST_F(TextTest, FontEscapeChangesTheFontAndTheLineHeight) {
    UsePanelFonts();
    // Slot 20 "0", slot 25 "0" (ascent 36), a new line back in 25.
    sgluWriteRichText(100, 400, "0\x1b" "C\x19" "0\r0", 100);
    ExpectErrors({});
    const std::vector<uint8_t> rich = Snapshot();
    velkor_test::ClearDisplay();
    sglIndexFonti(20);
    sgluWriteText(100, 400, "0", 1);
    sglIndexFonti(25);
    sgluWriteText(107, 400, "0", 1);  // after the small one's advance of 7
    sgluWriteText(100, 400 - 24 - 36, "0", 1);  // the second line: descent 24 of the first, ascent 36
    EXPECT_TRUE(rich == Snapshot());
}

TEST_F(TextTest, RichTextErrors) {
    sgluWriteRichText(100, 200, nullptr, 3);
    sgluWriteRichText(100, 200, "a", -1);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
    ExpectErrors({{SGL_ERROR_RICH_TEXT, 0}, {SGL_ERROR_RICH_TEXT, static_cast<uint32_t>(-1)}});

    // A colour beyond the table takes the last one (blue); a font beyond it
    // the default font.
    ClearErrors();
    sgluWriteRichText(100, 200, "\x1b" "A\x09" "a\x1b" "C\x07" "a", 100);
    EXPECT_EQ(40, CountPixelsNear(100, 200, 5, 8, kBlue));
    EXPECT_EQ(40, CountPixelsNear(106, 200, 5, 8, kBlue));
    ExpectErrors({{SGL_ERROR_RICH_TEXT, 9}, {SGL_ERROR_RICH_TEXT, 7}});

    ClearErrors();
    const std::string lines(300, '\r');
    sgluWriteRichText(100, 700, (lines + "a").c_str(), 301);
    ExpectErrors({{SGL_ERROR_RICH_TEXT, 256}});

    ClearErrors();
    const std::string long_text(5000, 'i');
    sgluWriteRichText(0, 100, long_text.c_str(), 5000);
    ExpectErrors({{SGL_ERROR_RICH_TEXT, 5000}});

    // Repeats cannot multiply a text beyond 4096 characters.
    ClearErrors();
    velkor_test::ClearDisplay();
    const std::string repeated = std::string("\x1bP\\uFFFF") + "aa\x1bQ";
    sgluWriteRichText(0, 100, repeated.c_str(), static_cast<int32_t>(repeated.size()));
    ExpectErrors({{SGL_ERROR_RICH_TEXT, 4096}});
    EXPECT_GT(CountCoveredPixels(0, 100, 1280, 8), 0);
}

// --- numbers ------------------------------------------------------------------

class WriteFloatTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        UsePanelFonts();
    }
    // The image of the two pieces written as plain text, the second at the
    // first's advance in `second_font`.
    static std::vector<uint8_t> PiecesAsText(float x, float y, const char* first, const char* second,
                                             int32_t second_font) {
        velkor_test::ClearDisplay();
        const uint32_t font = Context().text.font;
        sgluWriteText(x, y, first, 100);
        float advance = 0.0f;
        for (const char* c = first; *c != 0; ++c) advance += sglGetFontValue(font, static_cast<uint8_t>(*c), 3);
        sglIndexFonti(second_font);
        sgluWriteText(x + advance, y, second, 100);
        if (font == SGL_FONT_NONE) {
            Context().text.font = SGL_FONT_NONE;
        } else {
            sglIndexFonti(static_cast<int32_t>(font));
        }
        return Snapshot();
    }
};

TEST_F(WriteFloatTest, DigitsInTheCurrentAndTheSecondFont) {
    sglSetSecondFontAttributes(25, 0, -1);
    const sgl_float_format format = {3, 2, 0, 1, '.', 0};
    sgluWriteFloat(100, 300, 12.5f, &format);
    ExpectErrors({});
    const std::vector<uint8_t> written = Snapshot();
    EXPECT_TRUE(written == PiecesAsText(100, 300, "12", ".50", 25));
    EXPECT_GT(CountCoveredPixels(0, 0, 1280, 768), 0);
}

TEST_F(WriteFloatTest, SplitsAndSigns) {
    struct Case {
        float value;
        sgl_float_format format;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {-3.25f, {2, 2, 2, 0, ',', 1}, "-03,2", "5"},
        {1234.0f, {4, 0, -2, 2, '.', 0}, "12", "34"},
        {0.5f, {1, 1, 0, 0, '.', 0}, "+0", ".5"},
    };
    sglSetSecondFontAttributes(22, 0, -1);
    for (const Case& c : cases) {
        velkor_test::ClearDisplay();
        sgluWriteFloat(200, 300, c.value, &c.format);
        const std::vector<uint8_t> written = Snapshot();
        EXPECT_TRUE(written == PiecesAsText(200, 300, c.first, c.second, 22)) << c.first << " | " << c.second;
    }
    ExpectErrors({});
}

TEST_F(WriteFloatTest, SecondPieceTakesTheSecondColour) {
    sglSetSecondFontAttributes(20, 0, 2);
    const sgl_float_format format = {2, 1, 0, 1, '.', 0};
    sgluWriteFloat(100, 300, 10.5f, &format);
    float split_x = 100 + 2 * sglGetFontValue(20, '0', 3);
    const int split = static_cast<int>(split_x);
    EXPECT_EQ(0, CountPixelsNear(split, 290, 40, 30, kWhite, 60));
    EXPECT_EQ(0, CountPixelsNear(90, 290, split - 90, 30, kRed, 60));
    EXPECT_GT(CountPixelsNear(split, 290, 40, 30, kRed, 60), 0);
    EXPECT_GT(CountPixelsNear(90, 290, split - 90, 30, kWhite, 60), 0);
    ExpectErrors({});
}

// With the second font equal to the first, a number is the plain text of
// its digits; centred alignment centres the whole on the point.
TEST_F(WriteFloatTest, AlignmentPlacesTheWholeNumber) {
    sglSetSecondFontAttributes(20, 0, -1);
    sglSetTextAlignment(1, 1);
    const sgl_float_format format = {3, 1, 0, 2, '.', 0};
    sgluWriteFloat(640, 384, -42.25f, &format);
    const std::vector<uint8_t> written = Snapshot();
    velkor_test::ClearDisplay();
    sgluWriteText(640, 384, "-42.3", 5);
    EXPECT_TRUE(written == Snapshot());
}

TEST_F(WriteFloatTest, BadFormatsAndValues) {
    sglSetSecondFontAttributes(20, 0, -1);
    sgluWriteFloat(100, 300, 1.0f, nullptr);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
    ExpectErrors({{SGL_ERROR_WRITE_FLOAT, 0}});

    // Out of range: 9 and 9 digits, split 0, a sign, leading zeros.
    ClearErrors();
    const sgl_float_format bad = {10, 2, 0, 1, ',', 0};
    sgluWriteFloat(100, 300, 12.5f, &bad);
    ExpectErrors({{SGL_ERROR_WRITE_FLOAT, 0}});
    const std::vector<uint8_t> written = Snapshot();
    velkor_test::ClearDisplay();
    sgluWriteText(100, 300, "+000000012,500000000", 100);
    EXPECT_TRUE(written == Snapshot());

    // A value beyond the range is written as 0 in the default font (slot 20
    // of the panel's table), whatever fonts are selected.
    for (const float value : {3.0e9f, -2147483648.0f, std::nanf("")}) {
        ClearErrors();
        velkor_test::ClearDisplay();
        sglIndexFonti(25);
        sglSetSecondFontAttributes(24, 0, -1);
        const sgl_float_format format = {2, 0, 0, 1, '.', 0};
        sgluWriteFloat(100, 300, value, &format);
        ExpectErrors({{SGL_ERROR_WRITE_FLOAT, 0}});
        EXPECT_EQ(25u, Context().text.font);  // the selection is kept
        const std::vector<uint8_t> zero = Snapshot();
        velkor_test::ClearDisplay();
        sglIndexFonti(20);
        sgluWriteText(100, 300, "0", 1);
        EXPECT_TRUE(zero == Snapshot()) << value;
    }
}

TEST_F(WriteFloatTest, SecondFontAttributesAreChecked) {
    struct Case {
        int32_t font, line_width, colour;
        uint32_t font_after, width_after, colour_after;
        uint8_t colour_given;
        std::vector<sgl_error_entry> errors;
    };
    const Case cases[] = {
        {22, 3, 2, 22, 3, 2, 1, {}},
        {30, 3, 2, SGL_FONT_NONE, 3, 2, 1, {{SGL_ERROR_INDEX_FONT, 30}}},
        {-1, -1, -1, SGL_FONT_NONE, 3, 2, 0,
         {{SGL_ERROR_INDEX_FONT, 0xFFFFFFFFu}, {SGL_ERROR_FONT_LINE_WIDTH, 0xFFFFFFFFu}}},
        {21, 9, 7, 21, 7, 4, 1, {{SGL_ERROR_FONT_LINE_WIDTH, 9}, {SGL_ERROR_INDEX_COLOR, 7}}},
    };
    for (const Case& c : cases) {
        ClearErrors();
        sglSetSecondFontAttributes(c.font, c.line_width, c.colour);
        EXPECT_EQ(c.font_after, Context().text.second_font) << c.font;
        EXPECT_EQ(c.width_after, Context().text.second_font_line_width) << c.font;
        EXPECT_EQ(c.colour_given, Context().text.second_color_given) << c.font;
        if (c.colour_given) {
            EXPECT_EQ(c.colour_after, Context().text.second_color_index) << c.font;
        }
        ExpectErrors(c.errors);
    }
}

// --- bounding boxes -----------------------------------------------------------

TEST_F(TextTest, WithBBoxBoxIsTheDrawnInk) {
    sglBeginTextBounds();
    sgluWriteTextWithBBox(100, 200, "ai", 2);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(sglEndTextBounds(&x1, &y1, &x2, &y2));
    ExpectBoxNear(LitExtent(), x1, y1, x2, y2, "ai");
    EXPECT_NEAR(108.0f, x2, kPixelTolerance);
    EXPECT_FALSE(sglEndTextBounds(&x1, &y1, &x2, &y2));  // collection over
    ExpectErrors({});
}

// Every writer's box is the extent of what it drew: checked against the
// lit pixels for each WithBBox variant, and the query without drawing
// gives the same box.
TEST_F(TextTest, EveryWithBBoxVariantMeasuresWhatItDraws) {
    const uint16_t units[] = {'W', ' ', 'a', 0};
    const sgl_float_format format = {2, 1, 0, 1, '.', 0};
    struct Variant {
        const char* name;
        void (*write)(const sgl_float_format&, const uint16_t*);
    };
    sglSetSecondFontAttributes(1, 0, -1);
    const Variant variants[] = {
        {"text", [](const sgl_float_format&, const uint16_t*) { sgluWriteTextWithBBox(100, 200, "W a\raa", 100); }},
        {"unicode", [](const sgl_float_format&, const uint16_t* u) { sgluWriteTextUnicodeWithBBox(100, 200, u, 3); }},
        {"wide", [](const sgl_float_format&, const uint16_t*) { sgluWriteWideTextWithBBox(100, 200, L"aW", 2); }},
        {"area", [](const sgl_float_format&, const uint16_t*) {
             sgluWriteTextAreaWithBBox(100, 200, 117, 300, "aa aa a", 7);
         }},
        {"unicode area", [](const sgl_float_format&, const uint16_t* u) {
             sgluWriteTextAreaUnicodeWithBBox(100, 200, 110, 300, u, 3);
         }},
        {"wide area", [](const sgl_float_format&, const uint16_t*) {
             sgluWriteWideTextAreaWithBBox(100, 200, 130, 300, L"W\na", 3);
         }},
        {"rich", [](const sgl_float_format&, const uint16_t*) {
             sgluWriteRichTextWithBBox(100, 200, "a\x1b" "Da\x1b" "E\r\x1bHW", 100);
         }},
        {"float", [](const sgl_float_format& f, const uint16_t*) { sgluWriteFloatWithBBox(100, 200, 5.0f, &f); }},
    };
    for (const Variant& v : variants) {
        velkor_test::ClearDisplay();
        sglBeginTextBounds();
        v.write(format, units);
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ASSERT_TRUE(sglEndTextBounds(&x1, &y1, &x2, &y2)) << v.name;
        const Box lit = LitExtent();
        ASSERT_GT(lit.count, 0) << v.name;
        ExpectBoxNear(lit, x1, y1, x2, y2, v.name);
    }
    ExpectErrors({});
}

TEST_F(TextTest, BoundsQueriesDrawNothing) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(sglGetTextMultilineBounds(100, 200, "W\ra", 3, &x1, &y1, &x2, &y2));
    EXPECT_EQ(100.0f, x1);
    EXPECT_EQ(189.0f, y1);
    EXPECT_EQ(110.0f, x2);
    EXPECT_EQ(208.0f, y2);
    ASSERT_TRUE(sglGetTextAreaBounds(100, 200, 113, 300, "aaaa", 4, &x1, &y1, &x2, &y2));
    EXPECT_EQ(111.0f, x2);  // two lines of "aa"
    EXPECT_EQ(200.0f + 3.0f, y1);
    ASSERT_TRUE(sglGetRichTextBounds(100, 200, "\x1b" "Da", 100, &x1, &y1, &x2, &y2));
    EXPECT_EQ(106.0f, x2);  // the inverted box spans the advance
    EXPECT_EQ(197.0f, y1);
    const sgl_float_format format = {1, 0, 0, 1, '.', 0};
    ASSERT_TRUE(sglGetFloatBounds(100, 200, 7.0f, &format, &x1, &y1, &x2, &y2));  // the missing-glyph box
    EXPECT_EQ(105.0f, x2);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
    // Nothing with ink: no box, outputs untouched.
    x1 = -1;
    EXPECT_FALSE(sglGetTextMultilineBounds(100, 200, "   ", 3, &x1, &y1, &x2, &y2));
    EXPECT_EQ(-1.0f, x1);
    ExpectErrors({});
    EXPECT_FALSE(sglGetTextMultilineBounds(100, 200, nullptr, 3, &x1, &y1, &x2, &y2));
    ExpectErrors({{SGL_ERROR_WRITE_TEXT, 0}});
}

// Bounds are collected in viewport pixels, across transformations.
TEST_F(TextTest, CollectedBoundsAreInViewportPixels) {
    sglBeginTextBounds();
    sglPushMatrixAndTranslate(300, 100);
    sgluWriteTextWithBBox(0, 0, "a", 1);
    sglPopMatrixAndTranslate();
    sgluWriteTextWithBBox(100, 200, "i", 1);
    sgluWriteText(900, 700, "W", 1);  // not a WithBBox writer
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(sglEndTextBounds(&x1, &y1, &x2, &y2));
    ExpectBoxNear({100, 100, 305, 208, 1}, x1, y1, x2, y2, "a and i");
}

// Written while a stencil mask is being defined, the whole box of the text
// joins the mask and its box.
TEST_F(TextTest, WithBBoxTextFillsItsBoxIntoAMaskBeingDefined) {
    const uint32_t mask = sglBeginMaskDefinition(0);
    ASSERT_NE(0u, mask);
    sgli_bounding_box_begin_mask(mask, 0);
    sgluWriteTextWithBBox(100, 200, "a i", 3);  // ink from 100 to 112, 200 to 208, with gaps
    sglEndMaskDefinition();
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
    sgl_bounds_box box{};
    uint8_t inverted = 1;
    ASSERT_TRUE(sgli_bounding_box_get_mask(mask, &box, &inverted));
    EXPECT_NEAR(100.0f, box.x1, kPixelTolerance);
    EXPECT_NEAR(112.0f, box.x2, kPixelTolerance);
    EXPECT_NEAR(208.0f, box.y2, kPixelTolerance);
    sglSetActiveMasks(mask);
    velkor_test::FillRectRaw(0, 0, 1280, 768, 1, 1, 1);
    sglSetActiveMasks(0);
    EXPECT_EQ(12 * 8, CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(12 * 8, CountPixelsNear(100, 200, 12, 8, kWhite));
    ExpectErrors({});
}

// --- 16-bit and wchar_t texts ---------------------------------------------------

TEST_F(TextTest, SixteenBitAndWideTextsDrawTheSameGlyphs) {
    UsePanelFonts();
    sgluWriteText(100, 300, "A\\u00e4\\u20ac\r\nz", 100);
    const std::vector<uint8_t> bytes = Snapshot();
    velkor_test::ClearDisplay();
    const uint16_t units[] = {'A', 0xE4, 0x20AC, 13, 10, 'z', 0};
    sgluWriteUnicodeText(100, 300, units, 100);
    EXPECT_TRUE(bytes == Snapshot());
    velkor_test::ClearDisplay();
    sgluWriteWideText(100, 300, L"A\u00e4\u20ac\r\nz", 100);
    EXPECT_TRUE(bytes == Snapshot());
    ExpectErrors({});
    // A surrogate pair, a lone surrogate and a code beyond 16 bits are each
    // one replacement character.
    velkor_test::ClearDisplay();
    sgluWriteText(100, 300, "\\ufffdA\\ufffd\\ufffd", 100);
    const std::vector<uint8_t> replaced = Snapshot();
    velkor_test::ClearDisplay();
    const uint16_t broken[] = {0xD83D, 0xDE00, 'A', 0xDC00, 0xD800, 0};
    sgluWriteUnicodeText(100, 300, broken, 100);
    EXPECT_TRUE(replaced == Snapshot());
    velkor_test::ClearDisplay();
    const wchar_t beyond[] = {0x1F600, 'A', 0x10000, 0x10FFFF, 0};
    sgluWriteWideText(100, 300, beyond, 100);
    EXPECT_TRUE(replaced == Snapshot());
}

TEST_F(TextTest, SixteenBitAndWideTextErrors) {
    const uint16_t units[] = {'a', 0};
    sgluWriteUnicodeText(100, 200, nullptr, 1);
    sgluWriteUnicodeText(100, 200, units, -4);
    sgluWriteWideText(100, 200, nullptr, 1);
    sgluWriteWideText(100, 200, L"a", -5);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
    const std::vector<uint16_t> long_units(1100, 'i');
    std::vector<uint16_t> terminated = long_units;
    terminated.push_back(0);
    sgluWriteUnicodeText(0, 100, terminated.data(), 1100);
    sgluWriteWideText(0, 120, std::wstring(1100, L'i').c_str(), 1100);
    ExpectErrors({{SGL_ERROR_WRITE_UNICODE_TEXT, 0},
                  {SGL_ERROR_WRITE_UNICODE_TEXT, static_cast<uint32_t>(-4)},
                  {SGL_ERROR_WRITE_WIDE_TEXT, 0},
                  {SGL_ERROR_WRITE_WIDE_TEXT, static_cast<uint32_t>(-5)},
                  {SGL_ERROR_WRITE_UNICODE_TEXT, 1100},
                  {SGL_ERROR_WRITE_WIDE_TEXT, 1100}});
    // 1024 'i' of advance 3 run to x = 3072: the visible ones are all drawn.
    EXPECT_EQ(427 * 16, CountCoveredPixels(0, 100, 1280, 8));
    EXPECT_EQ(427 * 16, CountCoveredPixels(0, 120, 1280, 8));
}

// --- numbered entries ---------------------------------------------------------

TEST_F(TextTest, NumberedEntriesSelectFontsAndAlignment) {
    f048(0);  // an empty slot of the test table is still a slot
    EXPECT_EQ(0u, Context().text.font);
    f048(3);
    EXPECT_EQ(SGL_FONT_NONE, Context().text.font);
    f050(2, 1);
    EXPECT_EQ(2u, Context().text.align_h);
    EXPECT_EQ(1u, Context().text.align_v);
    f075(5);
    EXPECT_EQ(5u, Context().text.font_line_width);
    f049(1, 2, 3);
    EXPECT_EQ(1u, Context().text.second_font);
    EXPECT_EQ(2u, Context().text.second_font_line_width);
    EXPECT_EQ(3u, Context().text.second_color_index);
    ExpectErrors({{SGL_ERROR_INDEX_FONT, 3}});
}

// Each writing entry draws what its operation draws and adds its box.
TEST_F(TextTest, NumberedEntriesWriteAsTheirOperations) {
    const uint16_t units[] = {'a', 'W', 0};
    const sgl_float_format format = {1, 0, 0, 1, '.', 0};
    sglSetSecondFontAttributes(1, 0, -1);
    struct Entry {
        const char* name;
        void (*entry)(const uint16_t*, const sgl_float_format*);
        void (*operation)(const uint16_t*, const sgl_float_format*);
    };
    const Entry entries[] = {
        {"f034", [](const uint16_t*, const sgl_float_format*) { f034(100, 200, "aW", 2); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteTextWithBBox(100, 200, "aW", 2); }},
        {"f069", [](const uint16_t*, const sgl_float_format*) { f069(100, 200, "Wa", 2); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteTextWithBBox(100, 200, "Wa", 2); }},
        {"f053", [](const uint16_t*, const sgl_float_format*) { f053(100, 200, 110, 300, "a a", 3); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteTextAreaWithBBox(100, 200, 110, 300, "a a", 3); }},
        {"f054", [](const uint16_t*, const sgl_float_format* f) { f054(100, 200, 4.0f, f); },
         [](const uint16_t*, const sgl_float_format* f) { sgluWriteFloatWithBBox(100, 200, 4.0f, f); }},
        {"f062", [](const uint16_t* u, const sgl_float_format*) { f062(100, 200, u, 2); },
         [](const uint16_t* u, const sgl_float_format*) { sgluWriteTextUnicodeWithBBox(100, 200, u, 2); }},
        {"f070", [](const uint16_t* u, const sgl_float_format*) { f070(100, 200, u, 1); },
         [](const uint16_t* u, const sgl_float_format*) { sgluWriteTextUnicodeWithBBox(100, 200, u, 1); }},
        {"f063", [](const uint16_t* u, const sgl_float_format*) { f063(100, 200, 105, 300, u, 2); },
         [](const uint16_t* u, const sgl_float_format*) {
             sgluWriteTextAreaUnicodeWithBBox(100, 200, 105, 300, u, 2);
         }},
        {"f066", [](const uint16_t*, const sgl_float_format*) { f066(100, 200, "\x1b" "Da", 3); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteRichTextWithBBox(100, 200, "\x1b" "Da", 3); }},
        {"f083", [](const uint16_t*, const sgl_float_format*) { f083(100, 200, L"Wi", 2); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteWideTextWithBBox(100, 200, L"Wi", 2); }},
        {"f084", [](const uint16_t*, const sgl_float_format*) { f084(100, 200, 105, 300, L"ia", 2); },
         [](const uint16_t*, const sgl_float_format*) { sgluWriteWideTextAreaWithBBox(100, 200, 105, 300, L"ia", 2); }},
    };
    for (const Entry& e : entries) {
        velkor_test::ClearDisplay();
        sglBeginTextBounds();
        e.operation(units, &format);
        float want[4] = {}, got[4] = {};
        ASSERT_TRUE(sglEndTextBounds(&want[0], &want[1], &want[2], &want[3])) << e.name;
        const std::vector<uint8_t> expected = Snapshot();
        velkor_test::ClearDisplay();
        sglBeginTextBounds();
        e.entry(units, &format);
        ASSERT_TRUE(sglEndTextBounds(&got[0], &got[1], &got[2], &got[3])) << e.name;
        EXPECT_TRUE(expected == Snapshot()) << e.name;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(want[i], got[i]) << e.name << " " << i;
        EXPECT_GT(CountCoveredPixels(0, 0, 1280, 768), 0) << e.name;
    }
    ExpectErrors({});
}

// --- pixel alignment ----------------------------------------------------------

TEST_F(TextTest, PixelAlignedTextSnapsOnlyWhileEnabledAndUnrotated) {
    // On a half pixel the glyph's edges blur over two columns without the
    // capability; with it the glyph sits on whole pixels.
    sgluWriteText(100.5f, 200, "a", 1);
    EXPECT_EQ(40, CountPixelsNear(100, 200, 6, 8, kWhite));
    EXPECT_EQ(40, CountCoveredPixels(90, 190, 30, 30));
    EXPECT_EQ(0, CountPartlyCovered(90, 190, 30, 30));
    velkor_test::ClearDisplay();
    sglDisable(SGL_PIXEL_ALIGNED_TEXT);
    sgluWriteText(100.5f, 200, "a", 1);
    EXPECT_EQ(8, CountPartlyCovered(90, 190, 30, 30));  // one blurred column
    sglEnable(SGL_PIXEL_ALIGNED_TEXT);
    // A rotated drawing is not snapped: the quarter turn keeps the half pixel.
    velkor_test::ClearDisplay();
    sglPushMatrixAndTranslate(300.0f, 300.5f);
    sglRotatef(90.0f);
    sgluWriteText(0, 0, "a", 1);
    sglPopMatrixAndTranslate();
    EXPECT_EQ(8, CountPartlyCovered(280, 290, 40, 30));
    ExpectErrors({});
}

}  // namespace
