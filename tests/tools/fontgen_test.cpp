// The generated font table: its layout, the metrics widgets rely on, the
// characters it maps, and a full decode compared with the generator's own
// glyph bitmaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/sgl_font.h"
#include "panel/Velkor_font_table.h"

namespace {

const uint8_t* Table() {
    return reinterpret_cast<const uint8_t*>(&Velkor_font_table);
}

uint32_t HeaderU32(uint32_t offset) {
    uint32_t value;
    std::memcpy(&value, Table() + offset, sizeof value);
    return value;
}

sgl_font Font(uint32_t slot) {
    sgl_font font{};
    EXPECT_TRUE(sgl_font_table_font(Table(), slot, &font)) << "slot " << slot;
    return font;
}

struct SlotRow {
    uint32_t slot;
    const char* name;
    float values[6];  // font values 4..9
};

const SlotRow kSlots[] = {
    {20, "Liberation Sans12", {0, 0, 19, 9, 18, 6}},
    {21, "Liberation Sans16", {0, 0, 19, 12, 18, 8}},
    {22, "Liberation Sans20", {0, 0, 23, 14, 23, 9}},
    {23, "Liberation Sans26", {0, 0, 29, 18, 29, 12}},
    {24, "Liberation Sans34", {0, 0, 38, 23, 38, 15}},
    {25, "Liberation Sans52", {0, 0, 58, 36, 58, 24}},
};

TEST(FontTableLayout, HeaderCountsAndSize) {
    EXPECT_EQ(4235488u, HeaderU32(0));
    EXPECT_EQ(661u, HeaderU32(4));
    EXPECT_EQ(30u, HeaderU32(8));
    EXPECT_EQ(4u, HeaderU32(12));
    EXPECT_EQ(0u, sgl_font_table_check(Table()));
}

TEST(FontTableLayout, SlotsTwentyToTwentyFiveHoldTheFontsAndTheRestAreEmpty) {
    for (uint32_t slot = 0; slot < 30; ++slot) {
        sgl_font font{};
        const bool bitmap = sgl_font_table_font(Table(), slot, &font);
        EXPECT_EQ(slot >= 20 && slot <= 25, bitmap) << "slot " << slot;
    }
    for (const SlotRow& row : kSlots) {
        const sgl_font font = Font(row.slot);
        EXPECT_STREQ(row.name, sgl_font_name(font));
        EXPECT_EQ(656u, font.glyph_count) << row.name;
        EXPECT_EQ(76u, font.glyph_record_size) << row.name;
        for (uint32_t kind = 4; kind <= 9; ++kind) {
            EXPECT_EQ(row.values[kind - 4], sgl_font_value(font, kind)) << row.name << " value " << kind;
        }
    }
}

TEST(FontTableLayout, FourSquareTexturesOf1024) {
    for (uint32_t t = 0; t < 4; ++t) {
        sgl_font_texture texture{};
        ASSERT_TRUE(sgl_font_table_texture(Table(), t, &texture));
        EXPECT_EQ(1024u, texture.width);
        EXPECT_EQ(1024u, texture.height);
        EXPECT_GT(texture.length, 0u);
    }
    const unsigned char* arrays[] = {Velkor_font_table_texture0, Velkor_font_table_texture1,
                                     Velkor_font_table_texture2, Velkor_font_table_texture3};
    for (uint32_t t = 0; t < 4; ++t) {
        sgl_font_texture texture{};
        sgl_font_table_texture(Table(), t, &texture);
        EXPECT_EQ(arrays[t], texture.data) << "texture " << t;
    }
    sgl_font_texture beyond{};
    EXPECT_FALSE(sgl_font_table_texture(Table(), 4, &beyond));
}

struct MetricRow {
    uint32_t code;
    float ink_width, ink_height, advance;
};

// The smallest font as the widgets measure it: the ink width of '0' comes
// from the outline (6), not from the antialiased bitmap's columns (7).
TEST(FontTableMetrics, LiberationSans12) {
    const MetricRow rows[] = {{'0', 6, 9, 7}, {'A', 8, 9, 8}, {' ', 3, 9, 3}};
    const sgl_font font = Font(20);
    for (const MetricRow& row : rows) {
        EXPECT_EQ(row.ink_width, sgl_font_glyph_value(font, row.code, 0)) << "code " << row.code;
        EXPECT_EQ(row.ink_height, sgl_font_glyph_value(font, row.code, 1)) << "code " << row.code;
        EXPECT_EQ(row.advance, sgl_font_glyph_value(font, row.code, 3)) << "code " << row.code;
    }
    sgl_glyph a{};
    sgl_font_glyph(font, 'A', &a);
    EXPECT_EQ(8, a.width);
    EXPECT_EQ(9, a.height);
    EXPECT_EQ(0, a.y_offset);  // 'A' stands on the baseline
}

// Advances grow with the size, and every printable ASCII character has ink
// except the space.
TEST(FontTableMetrics, AdvancesGrowWithSizeAndAsciiHasInk) {
    for (uint32_t code = 33; code < 127; ++code) {
        float previous = 0;
        for (const SlotRow& row : kSlots) {
            const sgl_font font = Font(row.slot);
            sgl_glyph glyph{};
            sgl_font_glyph(font, code, &glyph);
            EXPECT_EQ(code, glyph.code);
            EXPECT_GE(glyph.advance, previous) << row.name << " code " << code;
            EXPECT_GT(glyph.width, 0) << row.name << " code " << code;
            previous = glyph.advance;
        }
    }
}

TEST(FontTableCharacters, SixHundredFiftyFiveCodesFromThirtyTwoEachMappedToItsOwnGlyph) {
    for (const SlotRow& row : kSlots) {
        const sgl_font font = Font(row.slot);
        uint32_t previous = 31;
        for (uint32_t number = 1; number < font.glyph_count; ++number) {
            uint32_t code;
            std::memcpy(&code, font.glyphs + number * font.glyph_record_size, sizeof code);
            EXPECT_GT(code, previous) << row.name << " glyph " << number;
            sgl_glyph glyph{};
            sgl_font_glyph(font, code, &glyph);
            EXPECT_EQ(code, glyph.code) << row.name;
            previous = code;
        }
        sgl_glyph first{};
        sgl_font_glyph(font, 32, &first);
        EXPECT_EQ(32u, first.code);
    }
}

TEST(FontTableCharacters, GermanTextsAndWindows1252PunctuationAreCovered) {
    const sgl_font font = Font(21);
    const uint32_t needed[] = {0xE4, 0xF6, 0xFC, 0xC4, 0xD6, 0xDC, 0xDF, 0xB0, 0x20AC, 0x201E, 0x201C,
                               0x2013, 0x2014, 0x2026, 0x2022};
    for (uint32_t code : needed) {
        sgl_glyph glyph{};
        sgl_font_glyph(font, code, &glyph);
        EXPECT_EQ(code, glyph.code);
    }
    // Single-byte German texts write "„" as 0x84 and "€" as 0x80.
    const uint32_t aliases[][2] = {{0x80, 0x20AC}, {0x84, 0x201E}, {0x93, 0x201C}, {0x96, 0x2013}};
    for (const auto& alias : aliases) {
        sgl_glyph glyph{};
        sgl_font_glyph(font, alias[0], &glyph);
        EXPECT_EQ(alias[1], glyph.code) << "byte " << alias[0];
    }
    // An unmapped code gets the missing-character box, which has ink.
    sgl_glyph missing{};
    sgl_font_glyph(font, 0x4E00, &missing);
    EXPECT_EQ(0u, missing.code);
    EXPECT_GT(missing.width, 0);
}

// The generator's bitmaps: per font its slot and glyph count; per glyph its
// code, width, height and 4-bit values, top row first.
struct GeneratedGlyph {
    uint32_t code, width, height;
    std::vector<uint8_t> alpha;
};

bool ReadU32(FILE* in, uint32_t* out) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, in) != 4) return false;
    *out = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool ReadGeneratedBitmaps(std::vector<uint32_t>* slots, std::vector<std::vector<GeneratedGlyph>>* fonts) {
    FILE* in = std::fopen(VELKOR_FONT_BITMAPS, "rb");
    if (!in) return false;
    char magic[4];
    uint32_t count = 0;
    bool ok = std::fread(magic, 1, 4, in) == 4 && std::memcmp(magic, "VFB1", 4) == 0 && ReadU32(in, &count);
    for (uint32_t f = 0; ok && f < count; ++f) {
        uint32_t slot = 0, glyphs = 0;
        ok = ReadU32(in, &slot) && ReadU32(in, &glyphs);
        slots->push_back(slot);
        fonts->emplace_back();
        for (uint32_t g = 0; ok && g < glyphs; ++g) {
            GeneratedGlyph glyph;
            ok = ReadU32(in, &glyph.code) && ReadU32(in, &glyph.width) && ReadU32(in, &glyph.height);
            glyph.alpha.resize(static_cast<size_t>(glyph.width) * glyph.height);
            if (ok && !glyph.alpha.empty()) ok = std::fread(glyph.alpha.data(), 1, glyph.alpha.size(), in) == glyph.alpha.size();
            fonts->back().push_back(std::move(glyph));
        }
    }
    std::fclose(in);
    return ok;
}

TEST(FontTableRoundTrip, DecodedTexturesGiveBackEveryGeneratedGlyph) {
    std::vector<uint32_t> slots;
    std::vector<std::vector<GeneratedGlyph>> generated;
    ASSERT_TRUE(ReadGeneratedBitmaps(&slots, &generated)) << VELKOR_FONT_BITMAPS;
    ASSERT_EQ(6u, slots.size());

    std::vector<std::vector<uint8_t>> textures(4, std::vector<uint8_t>(1024 * 1024));
    for (uint32_t t = 0; t < 4; ++t) {
        sgl_font_texture texture{};
        ASSERT_TRUE(sgl_font_table_texture(Table(), t, &texture));
        ASSERT_TRUE(sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, textures[t].data()))
            << "texture " << t;
    }
    // Texels not covered by any glyph must stay clear, so count the ink.
    uint64_t generated_ink = 0, decoded_ink = 0;
    for (const auto& texture : textures) {
        for (uint8_t texel : texture) decoded_ink += texel;
    }
    for (size_t f = 0; f < slots.size(); ++f) {
        const sgl_font font = Font(slots[f]);
        ASSERT_EQ(font.glyph_count, generated[f].size());
        for (uint32_t number = 0; number < font.glyph_count; ++number) {
            const GeneratedGlyph& want = generated[f][number];
            uint32_t code;
            std::memcpy(&code, font.glyphs + number * font.glyph_record_size, sizeof code);
            sgl_glyph glyph{};
            sgl_font_glyph(font, code, &glyph);
            ASSERT_EQ(want.code, glyph.code);
            ASSERT_EQ(want.width, glyph.width) << "slot " << slots[f] << " code " << code;
            ASSERT_EQ(want.height, glyph.height) << "slot " << slots[f] << " code " << code;
            if (want.width == 0 || want.height == 0) continue;
            // The texture coordinates frame the bitmap exactly.
            const uint32_t x = static_cast<uint32_t>(glyph.s0 * 1024);
            const uint32_t y = static_cast<uint32_t>(glyph.t0 * 1024);
            EXPECT_EQ(glyph.s1, (x + glyph.width) / 1024.0f);
            EXPECT_EQ(glyph.t1, (y + glyph.height) / 1024.0f);
            ASSERT_LE(x + glyph.width, 1024u);
            ASSERT_LE(y + glyph.height, 1024u);
            const std::vector<uint8_t>& texels = textures.at(glyph.texture);
            uint32_t mismatches = 0;
            for (uint32_t row = 0; row < want.height; ++row) {
                const uint32_t ty = y + want.height - 1 - row;  // texture rows run bottom first
                for (uint32_t col = 0; col < want.width; ++col) {
                    const uint8_t expected = static_cast<uint8_t>(want.alpha[row * want.width + col] * 17);
                    generated_ink += expected;
                    if (texels[ty * 1024 + x + col] != expected) ++mismatches;
                }
            }
            EXPECT_EQ(0u, mismatches) << "slot " << slots[f] << " code " << code;
        }
    }
    EXPECT_EQ(generated_ink, decoded_ink);
}

}  // namespace
