// font_table_builder.h - a small font table for the text tests.
//
// Three font slots; slot 1 holds "Test Sans8" (font values 4..9 = 0, 0, 12,
// 8, 11, 3), slots 0 and 2 are empty. Its glyphs, each with an opaque
// rectangle as bitmap in one 32 x 16 alpha texture:
//   glyph 0  missing-character box  ink 5 x 8, advance 6
//   ' '      no bitmap              ink 4 x 8, advance 4
//   'a'      5 x 8 at (1, 1)        ink 5 x 8, advance 6
//   'i'      2 x 8 at (7, 1)        ink 2 x 8, advance 3
//   'W'      10 x 8 at (10, 1)      ink 10 x 8, advance 11
// (the box's bitmap is 5 x 8 at (21, 1)). Offsets into the bytes are exposed
// so that a test can break one field and see the table refused.
#ifndef VELKOR_TESTS_GRAPHICS_FONT_TABLE_BUILDER_H
#define VELKOR_TESTS_GRAPHICS_FONT_TABLE_BUILDER_H

#include <cstdint>
#include <cstring>
#include <vector>

namespace velkor_test {

struct TestFontTable {
    static constexpr uint32_t kSlots = 3;
    static constexpr uint32_t kFontSlot = 1;
    static constexpr uint32_t kGlyphs = 5;
    static constexpr uint32_t kTextureWidth = 32;
    static constexpr uint32_t kTextureHeight = 16;
    static constexpr size_t kFontsAt = 16;
    static constexpr size_t kFontRecordSize = 131208;
    static constexpr size_t kTexturesAt = kFontsAt + kSlots * kFontRecordSize;
    static constexpr size_t kGlyphsAt = kTexturesAt + 24;
    static constexpr size_t kGlyphSize = 76;

    std::vector<uint8_t> bytes;
    std::vector<uint8_t> texture;  // run-length coded
    std::vector<uint8_t> texels;   // the texture as it should decode (0 or 255)

    const void* data() const { return bytes.data(); }
    static size_t FontAt(uint32_t slot) { return kFontsAt + slot * kFontRecordSize; }
    static size_t GlyphAt(uint32_t number) { return kGlyphsAt + number * kGlyphSize; }

    void PutU16(size_t at, uint16_t value) { std::memcpy(&bytes[at], &value, 2); }
    void PutU32(size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }
    void PutF32(size_t at, float value) { std::memcpy(&bytes[at], &value, 4); }
    void PutPointer(size_t at, const void* value) { std::memcpy(&bytes[at], &value, sizeof value); }
    // Points the texture record at the builder's own texture data again
    // (needed after copying the table).
    void AttachTexture() {
        PutPointer(kTexturesAt, texture.data());
        PutU32(kTexturesAt + 16, static_cast<uint32_t>(texture.size()));
    }
};

// Run-length codes bytes the way the font textures are stored.
inline std::vector<uint8_t> RunLengthCode(const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> coded;
    size_t i = 0;
    while (i < packed.size()) {
        size_t run = 1;
        while (i + run < packed.size() && packed[i + run] == packed[i] && run < 65537) ++run;
        coded.push_back(packed[i]);
        if (run >= 2) {
            coded.push_back(packed[i]);
            coded.push_back(static_cast<uint8_t>((run - 2) >> 8));
            coded.push_back(static_cast<uint8_t>((run - 2) & 0xFF));
        }
        i += run;
    }
    return coded;
}

inline TestFontTable MakeTestFontTable() {
    TestFontTable t;
    t.bytes.assign(TestFontTable::kGlyphsAt + TestFontTable::kGlyphs * TestFontTable::kGlyphSize, 0);
    t.PutU32(0, static_cast<uint32_t>(t.bytes.size()));
    t.PutU32(4, 661);
    t.PutU32(8, TestFontTable::kSlots);
    t.PutU32(12, 1);
    for (uint32_t slot = 0; slot < TestFontTable::kSlots; ++slot) {
        t.PutU16(TestFontTable::FontAt(slot) + 68, 2);  // empty
    }
    const size_t font = TestFontTable::FontAt(TestFontTable::kFontSlot);
    std::memcpy(&t.bytes[font], "Test Sans8", 11);
    t.PutU16(font + 64, TestFontTable::kGlyphSize);
    t.PutU16(font + 68, 0);
    const float values[6] = {0, 0, 12, 8, 11, 3};
    for (int v = 0; v < 6; ++v) t.PutF32(font + 104 + 4 * v, values[v]);
    t.PutU32(font + 128, static_cast<uint32_t>(TestFontTable::kGlyphsAt - font));
    t.PutU32(font + 132, TestFontTable::kGlyphs);

    struct Glyph {
        uint32_t code;
        float ink_width, advance;
        uint16_t x, width;  // bitmap at (x, 1), 8 high; width 0: none
    };
    const Glyph glyphs[TestFontTable::kGlyphs] = {
        {0, 5, 6, 21, 5}, {' ', 4, 4, 0, 0}, {'a', 5, 6, 1, 5}, {'i', 2, 3, 7, 2}, {'W', 10, 11, 10, 10},
    };
    t.texels.assign(TestFontTable::kTextureWidth * TestFontTable::kTextureHeight, 0);
    for (uint32_t n = 0; n < TestFontTable::kGlyphs; ++n) {
        const Glyph& g = glyphs[n];
        const size_t at = TestFontTable::GlyphAt(n);
        t.PutU32(at, g.code);
        t.PutF32(at + 4, g.ink_width);
        t.PutF32(at + 8, 8);
        t.PutF32(at + 12, g.advance);
        t.PutU16(at + 24, g.width);
        t.PutU16(at + 26, g.width ? 8 : 0);
        if (n > 0) t.PutU16(font + 136 + 2 * g.code, static_cast<uint16_t>(n));
        if (g.width == 0) continue;
        t.PutF32(at + 32, g.x / 32.0f);
        t.PutF32(at + 36, 1 / 16.0f);
        t.PutF32(at + 40, (g.x + g.width) / 32.0f);
        t.PutF32(at + 44, 9 / 16.0f);
        for (uint32_t y = 1; y < 9; ++y) {
            for (uint32_t x = g.x; x < g.x + g.width; ++x) t.texels[y * TestFontTable::kTextureWidth + x] = 255;
        }
    }
    std::vector<uint8_t> packed(t.texels.size() / 2);
    for (size_t i = 0; i < packed.size(); ++i) {
        packed[i] = static_cast<uint8_t>((t.texels[2 * i] & 0xF0) | (t.texels[2 * i + 1] >> 4));
    }
    t.texture = RunLengthCode(packed);
    t.PutU32(TestFontTable::kTexturesAt + 8, TestFontTable::kTextureWidth);
    t.PutU32(TestFontTable::kTexturesAt + 12, TestFontTable::kTextureHeight);
    t.AttachTexture();
    return t;
}

}  // namespace velkor_test

#endif  // VELKOR_TESTS_GRAPHICS_FONT_TABLE_BUILDER_H
