// The generated font table: its layout, the characters it maps, and a full
// decode compared with the generator's own glyph bitmaps. The metrics
// widgets measure with are checked through sglGetFontValue in
// tests/graphics/fonts_test.cpp.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "graphics/sgl_font.h"
#include "panel/Velkor_font_table.h"

namespace {

const uint8_t* Table() {
  return reinterpret_cast<const uint8_t*>(&Velkor_font_table);
}

TEST(FontTableLayout, ThirtySlotsOfWhichTwentyToTwentyFiveHoldTheFonts) {
  ASSERT_EQ(0u, sgl_font_table_check(Table()));
  EXPECT_EQ(30u, sgl_font_table_font_count(Table()));
  for (uint32_t slot = 0; slot < 30; ++slot) {
    sgl_font font{};
    const bool bitmap = sgl_font_table_font(Table(), slot, &font);
    ASSERT_EQ(slot >= 20 && slot <= 25, bitmap) << "slot " << slot;
    const char* names[] = {"Liberation Sans12", "Liberation Sans16", "Liberation Sans20",
                           "Liberation Sans26", "Liberation Sans34", "Liberation Sans52"};
    if (bitmap) {
      EXPECT_STREQ(names[slot - 20], sgl_font_name(font));
      EXPECT_EQ(656u, font.glyph_count) << "655 codes and the missing-character box";
    }
  }
}

// Printable ASCII from 32 up, the German letters and the punctuation the
// single-byte Windows-1252 texts write as 0x80 .. 0x9F.
TEST(FontTableCharacters, GermanTextsAndWindows1252PunctuationAreCovered) {
  sgl_font font{};
  ASSERT_TRUE(sgl_font_table_font(Table(), 21, &font));
  const uint32_t mapped[][2] = {{' ', ' '},     {'~', '~'},       {0xE4, 0xE4},   {0xDC, 0xDC},
                                {0xDF, 0xDF},   {0x20AC, 0x20AC}, {0x80, 0x20AC}, {0x84, 0x201E},
                                {0x93, 0x201C}, {0x96, 0x2013},   {0x4E00, 0}};
  for (const auto& m : mapped) {
    sgl_glyph glyph{};
    sgl_font_glyph(font, m[0], &glyph);
    EXPECT_EQ(m[1], glyph.code) << "code " << m[0];
    EXPECT_EQ(m[0] != ' ', glyph.width > 0) << "code " << m[0] << ": ink";
  }
}

// The generator's bitmaps ("VFB1", font count; per font its slot and glyph
// count; per glyph its code, width, height and 4-bit values, top row first)
// against the decoded table.
TEST(FontTableRoundTrip, DecodedTexturesGiveBackEveryGeneratedGlyph) {
  FILE* in = std::fopen(VELKOR_FONT_BITMAPS, "rb");
  ASSERT_NE(nullptr, in) << VELKOR_FONT_BITMAPS;
  std::vector<uint8_t> file;
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in))
    file.push_back(static_cast<uint8_t>(c));
  std::fclose(in);
  size_t at = 4;
  auto next = [&]() {
    uint32_t value = 0;
    if (at + 4 <= file.size()) std::memcpy(&value, &file[at], 4);
    at += 4;
    return value;
  };
  ASSERT_EQ(0, std::memcmp(file.data(), "VFB1", 4));
  ASSERT_EQ(6u, next());

  // Four 1024 x 1024 textures.
  ASSERT_EQ(4u, sgl_font_table_texture_count(Table()));
  std::vector<std::vector<uint8_t>> textures(4, std::vector<uint8_t>(1024 * 1024));
  uint64_t decoded_ink = 0, generated_ink = 0;
  for (uint32_t t = 0; t < 4; ++t) {
    sgl_font_texture texture{};
    ASSERT_TRUE(sgl_font_table_texture(Table(), t, &texture));
    ASSERT_EQ(1024u * 1024u, texture.width * texture.height) << t;
    ASSERT_TRUE(
        sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, textures[t].data()))
        << t;
    for (uint8_t texel : textures[t]) decoded_ink += texel;
  }
  for (uint32_t f = 0; f < 6; ++f) {
    const uint32_t slot = next();
    sgl_font font{};
    ASSERT_TRUE(sgl_font_table_font(Table(), slot, &font));
    ASSERT_EQ(font.glyph_count, next());
    for (uint32_t number = 0; number < font.glyph_count; ++number) {
      const uint32_t code = next(), width = next(), height = next();
      ASSERT_LE(at + width * height, file.size());
      const uint8_t* alpha = &file[at];
      at += width * height;
      sgl_glyph glyph{};
      sgl_font_glyph(font, code, &glyph);
      ASSERT_EQ(code, glyph.code);
      ASSERT_EQ(width, glyph.width) << "slot " << slot << " code " << code;
      ASSERT_EQ(height, glyph.height) << "slot " << slot << " code " << code;
      if (width == 0 || height == 0) continue;
      // The texture coordinates frame the bitmap exactly.
      const uint32_t x = static_cast<uint32_t>(glyph.s0 * 1024),
                     y = static_cast<uint32_t>(glyph.t0 * 1024);
      ASSERT_EQ(glyph.s1, (x + width) / 1024.0f);
      ASSERT_EQ(glyph.t1, (y + height) / 1024.0f);
      const std::vector<uint8_t>& texels = textures.at(glyph.texture);
      // Each glyph starts on a texel divisible by four with four clear texels all round: the
      // half- and quarter-size levels never mix two glyphs, and reduced text reads that margin.
      EXPECT_EQ(0u, x % 4 + y % 4)
          << "slot " << slot << " code " << code << " at " << x << ", " << y;
      ASSERT_TRUE(x >= 4 && y >= 4 && x + width + 4 <= 1024 && y + height + 4 <= 1024);
      uint32_t margin_ink = 0;
      for (uint32_t ty = y - 4; ty < y + height + 4; ++ty) {
        for (uint32_t tx = x - 4; tx < x + width + 4; ++tx) {
          const bool inside = tx >= x && tx < x + width && ty >= y && ty < y + height;
          margin_ink += inside ? 0 : texels[ty * 1024 + tx];
        }
      }
      EXPECT_EQ(0u, margin_ink) << "slot " << slot << " code " << code;
      uint32_t mismatches = 0;
      for (uint32_t row = 0; row < height; ++row) {
        const uint32_t ty = y + height - 1 - row;  // texture rows run bottom first
        for (uint32_t col = 0; col < width; ++col) {
          const uint8_t expected = static_cast<uint8_t>(alpha[row * width + col] * 17);
          generated_ink += expected;
          mismatches += texels[ty * 1024 + x + col] != expected;
        }
      }
      EXPECT_EQ(0u, mismatches) << "slot " << slot << " code " << code;
    }
  }
  // Texels not covered by any glyph must stay clear.
  EXPECT_EQ(generated_ink, decoded_ink);
}

}  // namespace
