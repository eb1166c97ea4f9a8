// font_table_builder.h - a small font table for the text tests: slot 1 holds
// "Test Sans8" (ascent 8, descent 3), slots 0 and 2 are empty. Each glyph's
// bitmap is an opaque rectangle 8 high in one 32 x 16 alpha texture:
// glyph 0 (missing-character box) 5 wide advancing 6, ' ' none advancing 4,
// 'a' 5 wide advancing 6, 'i' 2 advancing 3, 'W' 10 advancing 11.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace velkor_test {

struct TestFontTable {
  static constexpr uint32_t kSlots = 3;
  static constexpr uint32_t kFontSlot = 1;
  static constexpr uint32_t kGlyphs = 5;
  static constexpr size_t kTexturesAt = 16 + kSlots * 131208;
  static constexpr size_t kGlyphsAt = kTexturesAt + 24;

  std::vector<uint8_t> bytes;
  std::vector<uint8_t> texture;  // run-length coded

  const void* data() const { return bytes.data(); }
  static size_t FontAt(uint32_t slot) { return 16 + slot * 131208; }
  static size_t GlyphAt(uint32_t number) { return kGlyphsAt + number * 76; }

  template <typename T>
  void Put(size_t at, T value) {
    std::memcpy(&bytes[at], &value, sizeof value);
  }
  void PutU16(size_t at, uint16_t value) { Put(at, value); }
  void PutU32(size_t at, uint32_t value) { Put(at, value); }
  // After copying the table or changing the texture.
  void AttachTexture() {
    Put(kTexturesAt, static_cast<const void*>(texture.data()));
    PutU32(kTexturesAt + 16, static_cast<uint32_t>(texture.size()));
  }
};

inline TestFontTable MakeTestFontTable() {
  TestFontTable t;
  t.bytes.assign(TestFontTable::GlyphAt(TestFontTable::kGlyphs), 0);
  const uint32_t header[4] = {static_cast<uint32_t>(t.bytes.size()), 661, TestFontTable::kSlots, 1};
  std::memcpy(&t.bytes[0], header, sizeof header);
  for (uint32_t slot = 0; slot < TestFontTable::kSlots; ++slot)
    t.PutU16(TestFontTable::FontAt(slot) + 68, 2);
  const size_t font = TestFontTable::FontAt(TestFontTable::kFontSlot);
  std::memcpy(&t.bytes[font], "Test Sans8", 11);
  t.PutU16(font + 64, 76);
  t.PutU16(font + 68, 0);  // bitmap
  const float values[6] = {0, 0, 12, 8, 11, 3};
  std::memcpy(&t.bytes[font + 104], values, sizeof values);
  t.PutU32(font + 128, static_cast<uint32_t>(TestFontTable::kGlyphsAt - font));
  t.PutU32(font + 132, TestFontTable::kGlyphs);

  struct Glyph {
    uint32_t code;
    float ink_width, advance;
    uint16_t x, width;  // bitmap at (x, 1), 8 high; width 0: none
  };
  const Glyph glyphs[TestFontTable::kGlyphs] = {
      {0, 5, 6, 21, 5},  {' ', 4, 4, 0, 0},     {'a', 5, 6, 1, 5},
      {'i', 2, 3, 7, 2}, {'W', 10, 11, 10, 10},
  };
  std::vector<uint8_t> texels(32 * 16, 0);  // 4-bit alpha
  for (uint32_t n = 0; n < TestFontTable::kGlyphs; ++n) {
    const Glyph& g = glyphs[n];
    const size_t at = TestFontTable::GlyphAt(n);
    const float metrics[4] = {g.ink_width, 8, g.advance, 0};
    t.PutU32(at, g.code);
    std::memcpy(&t.bytes[at + 4], metrics, sizeof metrics);
    t.PutU16(at + 24, g.width);
    t.PutU16(at + 26, g.width ? 8 : 0);
    if (n > 0) t.PutU16(font + 136 + 2 * g.code, static_cast<uint16_t>(n));
    const float st[4] = {g.x / 32.0f, 1 / 16.0f, (g.x + g.width) / 32.0f, 9 / 16.0f};
    if (g.width > 0) std::memcpy(&t.bytes[at + 32], st, sizeof st);
    for (uint32_t y = 1; g.width > 0 && y < 9; ++y) {
      for (uint32_t x = g.x; x < g.x + g.width; ++x) texels[y * 32 + x] = 15;
    }
  }
  // Two texels a byte, high nibble first; a byte that repeats is written
  // twice followed by a big-endian count of the further repetitions.
  for (size_t i = 0; i < texels.size();) {
    const uint8_t byte = static_cast<uint8_t>(texels[i] << 4 | texels[i + 1]);
    size_t run = 1;
    while (i + 2 * run < texels.size() &&
           (texels[i + 2 * run] << 4 | texels[i + 2 * run + 1]) == byte)
      ++run;
    t.texture.push_back(byte);
    if (run >= 2)
      t.texture.insert(t.texture.end(),
                       {byte, static_cast<uint8_t>((run - 2) >> 8), static_cast<uint8_t>(run - 2)});
    i += 2 * run;
  }
  const uint32_t size[2] = {32, 16};
  std::memcpy(&t.bytes[TestFontTable::kTexturesAt + 8], size, sizeof size);
  t.AttachTexture();
  return t;
}

}  // namespace velkor_test
