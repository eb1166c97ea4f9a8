// Reading font tables and laying out text on numbers: texture decoding,
// character decoding, the checks that refuse a malformed table, glyph
// lookup, text width, line breaking and alignment.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/sgl_font.h"
#include "tests/graphics/font_table_builder.h"

namespace {

using velkor_test::MakeTestFontTable;
using velkor_test::TestFontTable;

// --- glyph texture decoding ------------------------------------------------

struct TextureCase {
    const char* name;
    std::vector<uint8_t> data;
    uint32_t width;
    bool decodes;
    std::vector<uint8_t> texels;
};

TEST(FontTextureDecoding, RunsPairsAndSizes) {
    const TextureCase cases[] = {
        {"single bytes, high nibble first", {0x12, 0x34}, 4, true, {0x11, 0x22, 0x33, 0x44}},
        {"a pair with a count of 1 stands 3 times", {0xF0, 0xF0, 0x00, 0x01}, 6, true,
         {0xFF, 0, 0xFF, 0, 0xFF, 0}},
        {"a pair at the very end stands twice", {0x5A, 0x5A}, 4, true, {0x55, 0xAA, 0x55, 0xAA}},
        {"a pair followed by one byte stands twice", {0x5A, 0x5A, 0x01}, 6, true,
         {0x55, 0xAA, 0x55, 0xAA, 0x00, 0x11}},
        {"a big-endian count", {0x77, 0x77, 0x01, 0x00}, 516, true, std::vector<uint8_t>(516, 0x77)},
        {"an odd texel count drops the last low nibble", {0x12, 0x30}, 3, true, {0x11, 0x22, 0x33}},
        {"too little data", {0x12}, 4, false, {}},
        {"too much data", {0x12, 0x34, 0x56}, 4, false, {}},
        {"a run past the image", {0x12, 0x12, 0xFF, 0xFF}, 4, false, {}},
        {"no data", {}, 2, false, {}},
    };
    for (const TextureCase& c : cases) {
        // A guard after the image: decoding must never write past it.
        std::vector<uint8_t> out(c.width + 8, 0xEE);
        const bool decodes = sgl_decode_font_texture(c.data.data(), static_cast<uint32_t>(c.data.size()), c.width,
                                                     1, out.data());
        EXPECT_EQ(c.decodes, decodes) << c.name;
        for (uint32_t i = c.width; i < out.size(); ++i) EXPECT_EQ(0xEE, out[i]) << c.name << " guard " << i;
        if (c.decodes) {
            EXPECT_EQ(c.texels, std::vector<uint8_t>(out.begin(), out.begin() + c.width)) << c.name;
        }
    }
}

// --- character decoding ----------------------------------------------------

struct CharCase {
    const char* name;
    uint8_t encoding;
    std::string bytes;
    uint32_t available;
    uint16_t code;
    uint32_t used;
};

TEST(CharacterDecoding, ThreeEncodings) {
    const CharCase cases[] = {
        {"plain byte", 0, "A", 1, 'A', 1},
        {"escape, lower case", 0, "\\u00e9", 6, 233, 6},
        {"escape, upper case", 0, "\\u20AC", 6, 0x20AC, 6},
        {"escape with a non-hex digit", 0, "\\u00zz", 6, '\\', 1},
        {"escape cut short", 0, "\\u00e", 5, '\\', 1},
        {"backslash alone", 0, "\\x", 2, '\\', 1},
        {"byte above 127 is its own code", 0, "\xE4", 1, 0xE4, 1},
        {"UTF-8 two bytes", 1, "\xC3\xA4", 2, 0xE4, 2},
        {"UTF-8 three bytes", 1, "\xE2\x82\xAC", 3, 0x20AC, 3},
        {"UTF-8 four bytes give 0", 1, "\xF0\x9F\x98\x80", 4, 0, 4},
        {"UTF-8 ASCII", 1, "z", 1, 'z', 1},
        {"UTF-8 cut by the end of text", 1, "\xE2\x82", 2, 0xE2, 1},
        {"UTF-8 cut by a 0 byte", 1, std::string("\xC3\0", 2), 2, 0xC3, 1},
        {"double byte", 2, "\x84\x1E", 2, 0x841E, 2},
        {"double byte, ASCII", 2, "A", 1, 'A', 1},
        {"double byte cut short", 2, "\x84", 1, 0x84, 1},
    };
    for (const CharCase& c : cases) {
        uint16_t code = 0xFFFF;
        const uint32_t used = sgl_decode_char(c.encoding, reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                              c.available, &code);
        EXPECT_EQ(c.code, code) << c.name;
        EXPECT_EQ(c.used, used) << c.name;
    }
}

TEST(CharacterDecoding, EscapeBetweenLettersTakesEightBytes) {
    const std::string text = "A\\u00e9B";
    std::vector<uint16_t> codes;
    uint32_t at = 0;
    while (at < text.size()) {
        uint16_t code;
        at += sgl_decode_char(0, reinterpret_cast<const uint8_t*>(text.data()) + at,
                              static_cast<uint32_t>(text.size()) - at, &code);
        codes.push_back(code);
    }
    EXPECT_EQ((std::vector<uint16_t>{65, 233, 66}), codes);
    EXPECT_EQ(8u, at);
}

// --- table checks ----------------------------------------------------------

struct BrokenTable {
    const char* name;
    std::function<void(TestFontTable&)> damage;
    uint32_t problem;
};

TEST(FontTableCheck, MalformedTablesAreRefusedWithTheirReason) {
    const size_t font = TestFontTable::FontAt(TestFontTable::kFontSlot);
    const BrokenTable cases[] = {
        {"sound table", [](TestFontTable&) {}, 0},
        {"format tag 660", [](TestFontTable& t) { t.PutU32(4, 660); }, SGL_FONT_TABLE_BAD_HEADER},
        {"1025 textures", [](TestFontTable& t) { t.PutU32(12, 1025); }, SGL_FONT_TABLE_BAD_HEADER},
        {"size smaller than its records", [](TestFontTable& t) { t.PutU32(0, 1000); }, SGL_FONT_TABLE_BAD_HEADER},
        {"more fonts than bytes", [](TestFontTable& t) { t.PutU32(8, 40); }, SGL_FONT_TABLE_BAD_HEADER},
        {"index entry beyond the glyphs", [font](TestFontTable& t) { t.PutU16(font + 136 + 2 * 'q', 5); },
         SGL_FONT_TABLE_BAD_FONT},
        {"glyph records past the end", [font](TestFontTable& t) { t.PutU32(font + 128, 0x7FFFFFF0); },
         SGL_FONT_TABLE_BAD_FONT},
        {"glyph record too small", [font](TestFontTable& t) { t.PutU16(font + 64, 40); }, SGL_FONT_TABLE_BAD_FONT},
        {"no glyphs", [font](TestFontTable& t) { t.PutU32(font + 132, 0); }, SGL_FONT_TABLE_BAD_FONT},
        {"glyph in a missing texture", [](TestFontTable& t) { t.PutU16(TestFontTable::GlyphAt(2) + 28, 1); },
         SGL_FONT_TABLE_BAD_FONT},
        {"name without its terminator", [font](TestFontTable& t) { std::memset(&t.bytes[font], 'x', 64); },
         SGL_FONT_TABLE_BAD_FONT},
        {"garbage in an empty slot is not read",
         [](TestFontTable& t) { t.PutU32(TestFontTable::FontAt(0) + 132, 0xFFFFFFFF); }, 0},
        {"another font type is not read", [font](TestFontTable& t) {
             t.PutU16(font + 68, 1);
             t.PutU16(font + 136 + 2 * 'q', 500);
         }, 0},
    };
    for (const BrokenTable& c : cases) {
        TestFontTable table = MakeTestFontTable();
        c.damage(table);
        EXPECT_EQ(c.problem, sgl_font_table_check(table.bytes.data())) << c.name;
    }
    EXPECT_EQ(SGL_FONT_TABLE_BAD_HEADER, sgl_font_table_check(nullptr));
}

// --- lookup ----------------------------------------------------------------

TEST(FontTableLookup, SlotsGlyphsAndValues) {
    const TestFontTable table = MakeTestFontTable();
    const uint8_t* bytes = table.bytes.data();
    sgl_font font{};
    EXPECT_FALSE(sgl_font_table_font(bytes, 0, &font));
    EXPECT_FALSE(sgl_font_table_font(bytes, 3, &font));
    ASSERT_TRUE(sgl_font_table_font(bytes, 1, &font));
    EXPECT_STREQ("Test Sans8", sgl_font_name(font));
    sgl_font first{};
    ASSERT_TRUE(sgl_font_table_first_font(bytes, &first));
    EXPECT_EQ(font.record, first.record);

    const float values[10] = {0, 0, 0, 0, 0, 0, 12, 8, 11, 3};
    for (uint32_t kind = 4; kind <= 9; ++kind) EXPECT_EQ(values[kind], sgl_font_value(font, kind)) << kind;
    EXPECT_EQ(0.0f, sgl_font_value(font, 3));
    EXPECT_EQ(0.0f, sgl_font_value(font, 10));

    EXPECT_EQ(10.0f, sgl_font_glyph_value(font, 'W', 0));
    EXPECT_EQ(8.0f, sgl_font_glyph_value(font, 'W', 1));
    EXPECT_EQ(11.0f, sgl_font_glyph_value(font, 'W', 3));
    sgl_glyph glyph{};
    sgl_font_glyph(font, 'i', &glyph);
    EXPECT_EQ('i', glyph.code);
    EXPECT_EQ(2, glyph.width);
    EXPECT_EQ(7 / 32.0f, glyph.s0);
    EXPECT_EQ(9 / 16.0f, glyph.t1);
    // Unmapped codes, and codes beyond 16 bits, get the missing-character box.
    for (uint32_t code : {uint32_t{'z'}, uint32_t{0x10000 + 'a'}}) {
        sgl_font_glyph(font, code, &glyph);
        EXPECT_EQ(0u, glyph.code) << code;
        EXPECT_EQ(6.0f, glyph.advance) << code;
    }
}

// --- layout ----------------------------------------------------------------

std::vector<uint16_t> Codes(const std::string& text) {
    return std::vector<uint16_t>(text.begin(), text.end());
}

TEST(TextLayout, WidthSumsAdvancesAndOptionallyEndsAtTheInk) {
    const TestFontTable table = MakeTestFontTable();
    sgl_font font{};
    ASSERT_TRUE(sgl_font_table_font(table.bytes.data(), 1, &font));
    const std::vector<uint16_t> text = Codes("aiW");
    EXPECT_EQ(20.0f, sgl_text_width(font, text.data(), 3, 1.0f, false));
    EXPECT_EQ(19.0f, sgl_text_width(font, text.data(), 3, 1.0f, true));
    EXPECT_EQ(40.0f, sgl_text_width(font, text.data(), 3, 2.0f, false));
    EXPECT_EQ(0.0f, sgl_text_width(font, text.data(), 0, 1.0f, true));
}

struct BreakCase {
    const char* name;
    std::string text;
    float width;
    std::vector<std::pair<uint32_t, uint32_t>> lines;  // start, length
};

TEST(TextLayout, LineBreaking) {
    const TestFontTable table = MakeTestFontTable();
    sgl_font font{};
    ASSERT_TRUE(sgl_font_table_font(table.bytes.data(), 1, &font));
    const uint8_t words[] = {' '};
    const uint8_t breaks[] = {10, 13};
    const sgl_text_separators separators = {words, 1, breaks, 2};
    // 'a' advances 6 with ink 5, ' ' 4, 'W' 11 with ink 10.
    const BreakCase cases[] = {
        {"fits", "aa aa", 100, {{0, 5}}},
        {"ink end decides: aa is 11 wide", "aa", 11, {{0, 2}}},
        {"one word wider than the area breaks before the first misfit", "aaaa", 13, {{0, 2}, {2, 2}}},
        {"the space where a line breaks is dropped", "aa aa", 13, {{0, 2}, {3, 2}}},
        {"breaks after the last space that fits", "a a aaa", 21, {{0, 3}, {4, 3}}},
        {"a space that does not fit breaks there, keeping the word before it", "aa aa aaaa", 30,
         {{0, 5}, {6, 4}}},
        {"a glyph wider than the area still takes a line", "WW", 5, {{0, 1}, {1, 1}}},
        {"line feed", "a\na", 100, {{0, 1}, {2, 1}}},
        {"CR LF is one break", "a\r\na", 100, {{0, 1}, {3, 1}}},
        {"LF CR is one break", "a\n\ra", 100, {{0, 1}, {3, 1}}},
        {"two LFs leave an empty line", "a\n\na", 100, {{0, 1}, {2, 0}, {3, 1}}},
        {"a break at the end opens a last empty line", "a\n", 100, {{0, 1}, {2, 0}}},
        {"empty text has no lines", "", 100, {}},
    };
    for (const BreakCase& c : cases) {
        const std::vector<uint16_t> codes = Codes(c.text);
        sgl_text_line lines[16];
        bool overflow = true;
        const uint32_t count = sgl_text_break_lines(font, 1.0f, codes.data(), static_cast<uint32_t>(codes.size()),
                                                    c.width, separators, lines, 16, &overflow);
        std::vector<std::pair<uint32_t, uint32_t>> got;
        for (uint32_t i = 0; i < count; ++i) got.emplace_back(lines[i].start, lines[i].length);
        EXPECT_EQ(c.lines, got) << c.name;
        EXPECT_FALSE(overflow) << c.name;
    }
}

TEST(TextLayout, LineWidthsEndAtTheInkAndTooManyLinesAreCut) {
    const TestFontTable table = MakeTestFontTable();
    sgl_font font{};
    ASSERT_TRUE(sgl_font_table_font(table.bytes.data(), 1, &font));
    const uint8_t words[] = {' '};
    const uint8_t breaks[] = {10, 13};
    const sgl_text_separators separators = {words, 1, breaks, 2};
    const std::vector<uint16_t> two = Codes("aW aa");
    sgl_text_line lines[4];
    bool overflow = true;
    ASSERT_EQ(2u, sgl_text_break_lines(font, 2.0f, two.data(), 5, 40, separators, lines, 4, &overflow));
    EXPECT_EQ(2.0f * (6 + 10), lines[0].width);  // the space the line broke at is not part of it
    EXPECT_EQ(2.0f * (6 + 5), lines[1].width);

    const std::vector<uint16_t> many(300, 10);
    sgl_text_line cut[256];
    EXPECT_EQ(256u, sgl_text_break_lines(font, 1.0f, many.data(), 300, 100, separators, cut, 256, &overflow));
    EXPECT_TRUE(overflow);
}

TEST(TextLayout, AlignmentOrigins) {
    float x = 0, y = 0;
    sgl_text_line_origin(100, 50, 0.5f, 0.5f, 20, 8, &x, &y);
    EXPECT_EQ(90.0f, x);
    EXPECT_EQ(46.0f, y);
    sgl_text_line_origin(100, 50, 1.0f, 1.0f, 20, 8, &x, &y);
    EXPECT_EQ(80.0f, x);
    EXPECT_EQ(42.0f, y);

    struct AreaCase {
        uint32_t align_h, align_v, index;
        float x, y;
    };
    // Rectangle (0, 0) - (100, 60), two lines 20 wide, ascent 8, descent 3.
    const AreaCase cases[] = {
        {0, 2, 0, 0, 52}, {0, 2, 1, 0, 41},   // from the top down
        {1, 0, 0, 40, 14}, {1, 0, 1, 40, 3},  // from the bottom up: the last baseline sits a descent up
        {2, 1, 0, 80, 33}, {2, 1, 1, 80, 22}, // the block of 22 centred
    };
    for (const AreaCase& c : cases) {
        sgl_text_area_line_origin(c.align_h, c.align_v, 100, 60, 0, 0, c.index, 2, 20, 8, 3, &x, &y);
        EXPECT_EQ(c.x, x) << c.align_h << "," << c.align_v << " line " << c.index;
        EXPECT_EQ(c.y, y) << c.align_h << "," << c.align_v << " line " << c.index;
    }
}

// --- numbers -----------------------------------------------------------------

struct NumberCase {
    const char* name;
    float value;
    sgl_float_format format;  // integer, fraction, split, sign mode, separator, leading zeros
    const char* first;
    const char* second;
};

TEST(NumberText, DigitsSignSeparatorAndSplit) {
    const NumberCase cases[] = {
        {"split 0: the separator and the fraction form the second piece", 12.345f, {3, 2, 0, 1, '.', 0}, "12",
         ".35"},
        {"leading zeros pad to the integer digits", 12.345f, {4, 2, 0, 1, '.', 1}, "0012", ".35"},
        {"only the last integer digits are kept", 12345.0f, {3, 0, 0, 1, '.', 1}, "345", ""},
        {"split 2 keeps the separator and one fraction digit in front", 3.14159f, {1, 3, 2, 1, ',', 0}, "3,1",
         "42"},
        {"split past the fraction leaves the second piece empty", 3.14159f, {1, 3, 4, 1, ',', 0}, "3,142", ""},
        {"split -2 moves the last two integral digits", 123.5f, {3, 1, -2, 1, '.', 0}, "1", "23.5"},
        {"split -k without fraction digits has no separator", 123.0f, {3, 0, -1, 1, '.', 0}, "12", "3"},
        {"sign always: plus", 5.0f, {2, 0, 1, 0, '.', 0}, "+5", ""},
        {"sign always: minus before the first digit", -5.25f, {2, 1, 0, 0, '.', 1}, "-05", ".3"},
        {"minus only: no plus", 5.0f, {1, 0, 0, 2, '.', 0}, "5", ""},
        {"minus only: a minus", -7.0f, {1, 0, 0, 2, '.', 0}, "-7", ""},
        {"no sign mode drops the minus", -7.0f, {1, 0, 0, 1, '.', 0}, "7", ""},
        {"a value rounding to zero has no minus", -0.004f, {1, 2, 0, 2, '.', 0}, "0", ".00"},
        {"half away from zero, up", 2.5f, {1, 0, 0, 2, '.', 0}, "3", ""},
        {"half away from zero, down", -2.5f, {1, 0, 0, 2, '.', 0}, "-3", ""},
        {"a float just below a half is the half", 0.45f, {1, 1, 0, 1, '.', 0}, "0", ".5"},
        {"below the half stays down", 0.44f, {1, 1, 0, 1, '.', 0}, "0", ".4"},
        {"fraction digits keep their leading zeros", 1.05f, {1, 2, 0, 1, '.', 0}, "1", ".05"},
        {"no integer digits", 0.5f, {0, 1, 0, 1, '.', 0}, "", ".5"},
        {"the largest value", 2147483520.0f, {9, 0, 0, 1, '.', 0}, "147483520", ""},
        {"nine fraction digits", 1.0f, {1, 9, 0, 1, '.', 0}, "1", ".000000000"},
        {"a zero separator writes none", 1.5f, {1, 1, 0, 1, 0, 0}, "1", "5"},
        {"the sign stays in front when every digit moves", -12.0f, {2, 0, -2, 0, '.', 0}, "-", "12"},
    };
    for (const NumberCase& c : cases) {
        ASSERT_TRUE(sgl_float_format_valid(c.format)) << c.name;
        sgl_number_text text;
        std::memset(&text, 0x55, sizeof text);
        sgl_format_number(c.value, c.format, &text);
        EXPECT_EQ(std::string(c.first), std::string(text.first)) << c.name;
        EXPECT_EQ(std::string(c.second), std::string(text.second)) << c.name;
    }
}

TEST(NumberText, FormatBounds) {
    struct Case {
        sgl_float_format format;
        bool valid;
    };
    const Case cases[] = {
        {{9, 9, 0, 0, '.', 1}, true},    {{10, 2, 0, 0, '.', 1}, false}, {{2, 10, 0, 0, '.', 1}, false},
        {{2, -1, 0, 0, '.', 1}, false},  {{2, 2, 3, 0, '.', 1}, true},   {{2, 2, 4, 0, '.', 1}, false},
        {{2, 2, -2, 0, '.', 1}, true},   {{2, 2, -3, 0, '.', 1}, false}, {{2, 2, 0, 3, '.', 1}, false},
        {{0, 0, 1, 2, '.', 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.valid, sgl_float_format_valid(c.format))
            << c.format.integer_digits << " " << c.format.fraction_digits << " " << c.format.split << " "
            << c.format.sign_mode;
    }
}

}  // namespace
