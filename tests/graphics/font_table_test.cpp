// Reading font tables and laying out text on numbers: texture decoding,
// character decoding, the checks that refuse a malformed table, glyph
// lookup, line breaking and the text of numbers.
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

TEST(FontTextureDecoding, RunsPairsAndSizes) {
  const struct {
    const char* name;
    std::vector<uint8_t> data;
    uint32_t width;
    bool decodes;
    std::vector<uint8_t> texels;
  } cases[] = {
      {"high nibble first", {0x12, 0x34}, 4, true, {0x11, 0x22, 0x33, 0x44}},
      {"a pair, count 1: 3 times", {0xF0, 0xF0, 0, 1}, 6, true, {0xFF, 0, 0xFF, 0, 0xFF, 0}},
      {"a pair at the end: twice", {0x5A, 0x5A}, 4, true, {0x55, 0xAA, 0x55, 0xAA}},
      {"big-endian count", {0x77, 0x77, 1, 0}, 516, true, std::vector<uint8_t>(516, 0x77)},
      {"odd texel count", {0x12, 0x30}, 3, true, {0x11, 0x22, 0x33}},
      {"too little data", {0x12}, 4, false, {}},
      {"too much data", {0x12, 0x34, 0x56}, 4, false, {}},
      {"a run past the image", {0x12, 0x12, 0xFF, 0xFF}, 4, false, {}},
  };
  for (const auto& c : cases) {
    // A guard after the image: decoding must never write past it.
    std::vector<uint8_t> out(c.width + 8, 0xEE);
    EXPECT_EQ(c.decodes,
              sgl_decode_font_texture(c.data.data(), static_cast<uint32_t>(c.data.size()), c.width,
                                      1, out.data()))
        << c.name;
    EXPECT_EQ(std::vector<uint8_t>(8, 0xEE), std::vector<uint8_t>(out.begin() + c.width, out.end()))
        << c.name;
    if (c.decodes) {
      EXPECT_EQ(c.texels, std::vector<uint8_t>(out.begin(), out.begin() + c.width)) << c.name;
    }
  }
}

TEST(CharacterDecoding, ThreeEncodingsNeverStepOverTheEnd) {
  const struct {
    const char* name;
    uint8_t encoding;
    std::string bytes;
    uint16_t code;
    uint32_t used;
  } cases[] = {
      {"escape", 0, "\\u00e9B", 233, 6},
      {"escape at the very end", 0, "\\u00E9", 233, 6},
      {"escape with a non-hex digit", 0, "\\u00zz", '\\', 1},
      {"escape cut short", 0, "\\u00e", '\\', 1},
      {"UTF-8 two bytes", 1, "\xC3\xA4", 0xE4, 2},
      {"UTF-8 three bytes", 1, "\xE2\x82\xAC", 0x20AC, 3},
      {"UTF-8 four bytes give 0", 1, "\xF0\x9F\x98\x80", 0, 4},
      {"UTF-8 cut by the end of text", 1, "\xE2\x82", 0xE2, 1},
      {"UTF-8 cut by a 0 byte", 1, std::string("\xC3\0", 2), 0xC3, 1},
      {"double byte", 2, "\x84\x1E", 0x841E, 2},
      {"double byte cut short", 2, "\x84", 0x84, 1},
  };
  for (const auto& c : cases) {
    uint16_t code = 0xFFFF;
    EXPECT_EQ(c.used, sgl_decode_char(c.encoding, reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                      static_cast<uint32_t>(c.bytes.size()), &code))
        << c.name;
    EXPECT_EQ(c.code, code) << c.name;
  }
}

TEST(FontTableCheck, MalformedTablesAreRefusedWithTheirReason) {
  const size_t font = TestFontTable::FontAt(TestFontTable::kFontSlot);
  auto textures = [](uint32_t n) {  // n texture records, with room for them all
    return [n](TestFontTable& t) {
      t.bytes.resize(TestFontTable::kTexturesAt + 24 * n);
      t.PutU32(0, static_cast<uint32_t>(t.bytes.size()));
      t.PutU32(12, n);
    };
  };
  const struct {
    const char* name;
    std::function<void(TestFontTable&)> damage;
    uint32_t problem;
  } cases[] = {
      {"sound table", [](TestFontTable&) {}, 0},
      {"format tag 660", [](TestFontTable& t) { t.PutU32(4, 660); }, kSglFontTableBadHeader},
      {"1024 textures", textures(1024), 0},
      {"1025 textures", textures(1025), kSglFontTableBadHeader},
      {"texture records past the end", [](TestFontTable& t) { t.PutU32(12, 100); },
       kSglFontTableBadHeader},
      {"index entry beyond the glyphs",
       [font](TestFontTable& t) { t.PutU16(font + 136 + 2 * 'q', 5); }, kSglFontTableBadFont},
      {"glyph records past the end", [font](TestFontTable& t) { t.PutU32(font + 128, 0x7FFFFFF0); },
       kSglFontTableBadFont},
      {"glyph in a missing texture",
       [](TestFontTable& t) { t.PutU16(TestFontTable::GlyphAt(2) + 28, 1); }, kSglFontTableBadFont},
      {"name without its terminator",
       [font](TestFontTable& t) { std::memset(&t.bytes[font], 'x', 64); }, kSglFontTableBadFont},
      {"garbage in an empty slot is not read",
       [](TestFontTable& t) { t.PutU32(TestFontTable::FontAt(0) + 132, 0xFFFFFFFF); }, 0},
  };
  for (const auto& c : cases) {
    TestFontTable table = MakeTestFontTable();
    c.damage(table);
    EXPECT_EQ(c.problem, sgl_font_table_check(table.bytes.data())) << c.name;
  }
}

// Unmapped codes, and codes beyond 16 bits, get the missing-character box.
TEST(FontTableLookup, UnmappedCodesGetTheMissingCharacterBox) {
  const TestFontTable table = MakeTestFontTable();
  sgl_font font{};
  ASSERT_TRUE(sgl_font_table_first_font(table.bytes.data(), &font));
  for (uint32_t code : {uint32_t{'z'}, uint32_t{0x10000 + 'a'}}) {
    sgl_glyph glyph{};
    sgl_font_glyph(font, code, &glyph);
    EXPECT_EQ(0u, glyph.code) << code;
    EXPECT_EQ(6.0f, glyph.advance) << code;
  }
}

std::vector<uint16_t> Codes(const std::string& text) {
  return std::vector<uint16_t>(text.begin(), text.end());
}

// 'a' advances 6 with ink 5, ' ' 4, 'W' 11 with ink 10.
TEST(TextLayout, LineBreaking) {
  const TestFontTable table = MakeTestFontTable();
  sgl_font font{};
  ASSERT_TRUE(sgl_font_table_font(table.bytes.data(), 1, &font));
  const uint8_t words[] = {' '};
  const uint8_t breaks[] = {10, 13};
  const sgl_text_separators separators = {words, 1, breaks, 2};
  const struct {
    const char* name;
    std::string text;
    float width;
    std::vector<std::pair<uint32_t, uint32_t>> lines;  // start, length
  } cases[] = {
      {"ink end decides: aa is 11 wide", "aa", 11, {{0, 2}}},
      {"a word too wide breaks before the misfit", "aaaa", 13, {{0, 2}, {2, 2}}},
      {"the space at a break is dropped", "aa aa", 13, {{0, 2}, {3, 2}}},
      {"after the last space that fits", "a a aaa", 21, {{0, 3}, {4, 3}}},
      {"a space that does not fit breaks there", "aa aa aaaa", 30, {{0, 5}, {6, 4}}},
      {"a glyph wider than the area takes a line", "WW", 5, {{0, 1}, {1, 1}}},
      {"CR LF is one break", "a\r\na", 100, {{0, 1}, {3, 1}}},
      {"two LFs leave an empty line", "a\n\na", 100, {{0, 1}, {2, 0}, {3, 1}}},
      {"a break at the end opens an empty line", "a\n", 100, {{0, 1}, {2, 0}}},
  };
  for (const auto& c : cases) {
    const std::vector<uint16_t> codes = Codes(c.text);
    sgl_text_line lines[16];
    bool overflow = true;
    const uint32_t count =
        sgl_text_break_lines(font, 1.0f, codes.data(), static_cast<uint32_t>(codes.size()), c.width,
                             separators, lines, 16, &overflow);
    std::vector<std::pair<uint32_t, uint32_t>> got;
    for (uint32_t i = 0; i < count; ++i) got.emplace_back(lines[i].start, lines[i].length);
    EXPECT_EQ(c.lines, got) << c.name;
    EXPECT_FALSE(overflow) << c.name;
  }
  // Widths end at the ink, without the space the line broke at.
  const std::vector<uint16_t> two = Codes("aW aa");
  sgl_text_line lines[256];
  bool overflow = true;
  ASSERT_EQ(2u,
            sgl_text_break_lines(font, 2.0f, two.data(), 5, 40, separators, lines, 4, &overflow));
  EXPECT_EQ(2.0f * (6 + 10), lines[0].width);
  const std::vector<uint16_t> many(300, 10);
  EXPECT_EQ(256u, sgl_text_break_lines(font, 1.0f, many.data(), 300, 100, separators, lines, 256,
                                       &overflow));
  EXPECT_TRUE(overflow);
}

TEST(NumberText, DigitsSignSeparatorAndSplit) {
  const struct {
    const char* name;
    float value;
    sgl_float_format format;  // integer, fraction, split, sign mode, separator, leading zeros
    const char* first;
    const char* second;
  } cases[] = {
      {"split 0: separator and fraction apart", 12.345f, {3, 2, 0, 1, '.', 0}, "12", ".35"},
      {"the last integer digits", 12345.0f, {3, 0, 0, 1, '.', 1}, "345", ""},
      {"split 2: separator and a digit in front", 3.14159f, {1, 3, 2, 1, ',', 0}, "3,1", "42"},
      {"split -2: two integral digits move", 123.5f, {3, 1, -2, 1, '.', 0}, "1", "23.5"},
      {"split -k, no fraction: no separator", 123.0f, {3, 0, -1, 1, '.', 0}, "12", "3"},
      {"sign always, minus first", -5.25f, {2, 1, 0, 0, '.', 1}, "-05", ".3"},
      {"rounding to zero: no minus", -0.004f, {1, 2, 0, 2, '.', 0}, "0", ".00"},
      {"half away from zero", -2.5f, {1, 0, 0, 2, '.', 0}, "-3", ""},
      {"a float just below a half", 0.45f, {1, 1, 0, 1, '.', 0}, "0", ".5"},
      {"the largest value", 2147483520.0f, {9, 0, 0, 1, '.', 0}, "147483520", ""},
      {"sign stays when all digits move", -12.0f, {2, 0, -2, 0, '.', 0}, "-", "12"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(sgl_float_format_valid(c.format)) << c.name;
    sgl_number_text text;
    sgl_format_number(c.value, c.format, &text);
    EXPECT_EQ(std::string(c.first), text.first) << c.name;
    EXPECT_EQ(std::string(c.second), text.second) << c.name;
  }
  // The bounds: integer digits below 10, fraction 0..9, split from
  // -integer to fraction + 1, sign mode at most 2.
  const sgl_float_format bad[] = {{10, 2, 0, 0, '.', 1}, {2, 10, 0, 0, '.', 1},
                                  {2, -1, 0, 0, '.', 1}, {2, 2, 4, 0, '.', 1},
                                  {2, 2, -3, 0, '.', 1}, {2, 2, 0, 3, '.', 1}};
  for (const sgl_float_format& f : bad) {
    EXPECT_FALSE(sgl_float_format_valid(f))
        << f.integer_digits << " " << f.fraction_digits << " " << f.split;
  }
}

}  // namespace
