// Texture uploads: power-of-two sizing, run-length coded pixel words, the
// image placed in the corner or stretched, and the checks that refuse an
// upload or a bind. Texels are read back from OpenGL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"

namespace {

// --- sizing and decoding, on numbers ----------------------------------------

struct SizeCase {
    uint32_t width, height, max_width, max_height;
    uint32_t texture_width, texture_height;
};

TEST(TextureSize, PowersOfTwoMadeSquareWhereTheMaximaAllow) {
    const SizeCase cases[] = {
        {32, 1, 1024, 1024, 64, 64},       // at least 64
        {200, 172, 1024, 1024, 256, 256},  // the larger side wins
        {1, 300, 1024, 1024, 512, 512},
        {1024, 1024, 1024, 1024, 1024, 1024},
        {2000, 10, 1024, 1024, 1024, 1024},  // capped at the maximum
        // Unequal maxima: the wider side must never shrink below the image.
        {1000, 10, 1024, 64, 1024, 64},
        {10, 1000, 64, 1024, 64, 1024},
        {100, 10, 1024, 128, 128, 128},
    };
    for (const SizeCase& c : cases) {
        uint32_t w = 0, h = 0;
        sgl_texture_size(c.width, c.height, c.max_width, c.max_height, &w, &h);
        EXPECT_EQ(c.texture_width, w) << c.width << " x " << c.height << " in " << c.max_width << " x " << c.max_height;
        EXPECT_EQ(c.texture_height, h) << c.width << " x " << c.height << " in " << c.max_width << " x " << c.max_height;
    }
}

struct WordsCase {
    const char* name;
    std::vector<uint32_t> words;
    uint32_t bytes_per_pixel;
    uint32_t size;
    bool decodes;
    std::vector<uint8_t> bytes;
};

TEST(TextureWords, RunsAndPixelLayouts) {
    const uint32_t a = 0x80112233, b = 0x40AABBCC;
    const WordsCase cases[] = {
        {"A A 3 B is five A then B", {a, a, 3, b}, 1, 6, true, {0x33, 0x33, 0x33, 0x33, 0x33, 0xCC}},
        {"a pair at the end stands twice", {a, b, b}, 1, 3, true, {0x33, 0xCC, 0xCC}},
        {"RGB takes red, green, blue", {a}, 3, 3, true, {0x11, 0x22, 0x33}},
        {"RGBA adds alpha last", {a, b}, 4, 8, true, {0x11, 0x22, 0x33, 0x80, 0xAA, 0xBB, 0xCC, 0x40}},
        {"a count of 0xFFFFFFFE gives no pixels", {a, a, 0xFFFFFFFE, b}, 1, 1, true, {0xCC}},
        {"too few pixels", {a, b}, 1, 3, false, {}},
        {"too many pixels", {a, b, a}, 1, 2, false, {}},
        {"a run past the image", {a, a, 0x7FFFFFFF}, 4, 8, false, {}},
    };
    for (const WordsCase& c : cases) {
        std::vector<uint8_t> out(c.size + 4, 0xEE);
        const bool decodes = sgl_decode_texture_words(c.words.data(), static_cast<uint32_t>(c.words.size()),
                                                      c.bytes_per_pixel, out.data(), c.size);
        EXPECT_EQ(c.decodes, decodes) << c.name;
        for (uint32_t i = c.size; i < out.size(); ++i) EXPECT_EQ(0xEE, out[i]) << c.name << " guard " << i;
        if (c.decodes) {
            EXPECT_EQ(c.bytes, std::vector<uint8_t>(out.begin(), out.begin() + c.size)) << c.name;
        }
    }
}

TEST(TextureEnlarge, InPlaceCornerAndStretch) {
    // A 2 x 2 image of two bytes per pixel, enlarged to 4 x 4.
    const std::vector<uint8_t> image = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> buffer(32, 0xEE);
    std::copy(image.begin(), image.end(), buffer.begin());
    sgl_enlarge_image(buffer.data(), 2, 2, 4, 4, 2, false);
    const std::vector<uint8_t> corner = {1, 2, 3, 4, 0, 0, 0, 0, 5, 6, 7, 8, 0, 0, 0, 0,
                                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(corner, buffer);

    std::fill(buffer.begin(), buffer.end(), 0xEE);
    std::copy(image.begin(), image.end(), buffer.begin());
    sgl_enlarge_image(buffer.data(), 2, 2, 4, 4, 2, true);
    const std::vector<uint8_t> stretched = {1, 2, 1, 2, 3, 4, 3, 4, 1, 2, 1, 2, 3, 4, 3, 4,
                                            5, 6, 5, 6, 7, 8, 7, 8, 5, 6, 5, 6, 7, 8, 7, 8};
    EXPECT_EQ(stretched, buffer);
}

// --- uploads on the off-screen context ---------------------------------------

class TexturesTest : public velkor_test::SglTest {
protected:
    static const sgl_texture_slot& Slot(uint32_t slot) { return Context().texture_table[slot]; }
    // The texels of a slot's texture as OpenGL holds them.
    static std::vector<uint8_t> ReadTexture(uint32_t slot, GLenum layout, uint32_t bytes_per_pixel) {
        const sgl_texture_slot& entry = Slot(slot);
        std::vector<uint8_t> texels(static_cast<size_t>(entry.texture_width) * entry.texture_height *
                                    bytes_per_pixel);
        glBindTexture(GL_TEXTURE_2D, entry.name);
        Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, layout, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
    static void ExpectOnlyError(uint32_t code, uint32_t value) {
        ASSERT_EQ(1u, Context().errors.count);
        EXPECT_EQ(code, Context().errors.entries[0].code);
        EXPECT_EQ(value, Context().errors.entries[0].value);
    }
};

TEST_F(TexturesTest, UnscaledAlphaRowLandsInTheCornerOf64By64) {
    uint8_t row[32];
    for (int k = 0; k < 32; ++k) row[k] = static_cast<uint8_t>(8 * k + 7);
    sglTexImage2Dubv(243, SGL_FORMAT_ALPHA, 32, 1, row, 0);
    EXPECT_EQ(0u, Context().errors.count);
    const sgl_texture_slot& slot = Slot(243);
    EXPECT_EQ(1, slot.loaded);
    EXPECT_EQ(SGL_FORMAT_ALPHA, slot.format);
    EXPECT_EQ(32u, slot.width);
    EXPECT_EQ(1u, slot.height);
    EXPECT_EQ(64u, slot.texture_width);
    EXPECT_EQ(64u, slot.texture_height);
    // The image covers s 0 .. 0.5 and t 0 .. 1/64.
    EXPECT_EQ(0.5f, static_cast<float>(slot.width) / static_cast<float>(slot.texture_width));
    EXPECT_EQ(1.0f / 64.0f, static_cast<float>(slot.height) / static_cast<float>(slot.texture_height));

    const std::vector<uint8_t> texels = ReadTexture(243, GL_ALPHA, 1);
    for (int x = 0; x < 64; ++x) EXPECT_EQ(x < 32 ? row[x] : 0, texels[x]) << "x " << x;
    uint32_t outside = 0;
    for (size_t i = 64; i < texels.size(); ++i) outside += texels[i] != 0;
    EXPECT_EQ(0u, outside);
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

TEST_F(TexturesTest, ScaledRampIsStretchedOverTheTexture) {
    uint8_t column[32];
    for (int k = 0; k < 32; ++k) column[k] = static_cast<uint8_t>(8 * k + 7);
    sglTexImage2Dubv(240, SGL_FORMAT_ALPHA, 1, 32, column, 1);
    const std::vector<uint8_t> texels = ReadTexture(240, GL_ALPHA, 1);
    ASSERT_EQ(64u * 64u, texels.size());
    for (int y = 0; y < 64; ++y) {
        EXPECT_EQ(column[y / 2], texels[y * 64]) << "row " << y;
        EXPECT_EQ(column[y / 2], texels[y * 64 + 63]) << "row " << y;
    }
}

TEST_F(TexturesTest, CompressedRgbaPictureGetsA256Texture) {
    // 200 x 172: a run for the lower half, single words (a gradient) above.
    std::vector<uint32_t> words = {0xFF0000FF, 0xFF0000FF, 200 * 86 - 2};
    for (uint32_t y = 86; y < 172; ++y) {
        for (uint32_t x = 0; x < 200; ++x) words.push_back(0xFF000000u | (x << 8) | y);
    }
    sglCompressedTexImage2D(252, SGL_FORMAT_RGBA, 200, 172, static_cast<uint32_t>(words.size()), words.data(), 0);
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(256u, Slot(252).texture_width);
    EXPECT_EQ(256u, Slot(252).texture_height);
    const std::vector<uint8_t> texels = ReadTexture(252, GL_RGBA, 4);
    auto texel = [&texels](uint32_t x, uint32_t y, uint32_t channel) { return texels[(y * 256 + x) * 4 + channel]; };
    EXPECT_EQ(0xFF, texel(0, 0, 2));     // blue, from the run
    EXPECT_EQ(0xFF, texel(199, 85, 3));
    EXPECT_EQ(150, texel(150, 100, 1));  // green carries x
    EXPECT_EQ(100, texel(150, 100, 2));  // blue carries y
    EXPECT_EQ(0, texel(200, 100, 3));    // beside the image
    EXPECT_EQ(0, texel(10, 172, 3));     // above it
}

TEST_F(TexturesTest, ReloadingASlotKeepsItsTextureName) {
    const uint8_t a[4] = {1, 2, 3, 4};
    sglTexImage2Dubv(5, SGL_FORMAT_ALPHA, 2, 2, a, 0);
    const uint32_t name = Slot(5).name;
    sglTexImage2Dubv(5, SGL_FORMAT_ALPHA, 2, 2, a, 1);
    EXPECT_EQ(name, Slot(5).name);
    EXPECT_EQ(1, Slot(5).scaled);
}

TEST_F(TexturesTest, RawUploadsThatAreRefused) {
    const uint8_t data[16] = {};
    struct Row {
        const char* name;
        int32_t slot;
        uint8_t format;
        uint32_t width, height;
        const uint8_t* data;
        uint8_t scaled;
    };
    const Row rows[] = {
        {"format 4", 1, 4, 2, 2, data, 0},        {"format 8", 1, 8, 2, 2, data, 0},
        {"width 0", 1, 7, 0, 2, data, 0},         {"height above the maximum", 1, 7, 2, 1025, data, 0},
        {"negative slot", -1, 7, 2, 2, data, 0},  {"slot beyond the table", 254, 7, 2, 2, data, 0},
        {"scaled 2", 1, 7, 2, 2, data, 2},        {"no data", 1, 7, 2, 2, nullptr, 0},
    };
    for (const Row& row : rows) {
        Context().errors.count = 0;
        sglTexImage2Dubv(row.slot, row.format, row.width, row.height, row.data, row.scaled);
        ExpectOnlyError(SGL_ERROR_TEX_IMAGE, static_cast<uint32_t>(row.slot));
        EXPECT_EQ(0, Slot(1).loaded) << row.name;
    }
}

TEST_F(TexturesTest, CompressedUploadThatDoesNotDecodeChangesNothing) {
    const uint32_t words[] = {0xFF, 0xFF, 10};  // 12 pixels for a 4 x 2 image
    sglCompressedTexImage2D(7, SGL_FORMAT_ALPHA, 4, 2, 3, words, 0);
    ExpectOnlyError(SGL_ERROR_COMPRESSED_TEX_IMAGE, 7);
    EXPECT_EQ(0, Slot(7).loaded);
    EXPECT_EQ(0u, Slot(7).name);
    Context().errors.count = 0;
    sglCompressedTexImage2D(7, SGL_FORMAT_ALPHA, 4, 2, 3, nullptr, 0);
    ExpectOnlyError(SGL_ERROR_COMPRESSED_TEX_IMAGE, 7);
}

TEST_F(TexturesTest, TheTextureInUseByAFillCannotBeReplaced) {
    const uint8_t data[4] = {9, 9, 9, 9};
    sglTexImage2Dubv(3, SGL_FORMAT_ALPHA, 2, 2, data, 0);
    sglBindTexture(SGL_TEXTURE_FILL, 3);
    sglEnable(SGL_TEXTURE_FILL);
    Context().errors.count = 0;
    sglTexImage2Dubv(3, SGL_FORMAT_ALPHA, 1, 1, data, 0);
    ExpectOnlyError(SGL_ERROR_TEX_IMAGE, 3);
    const uint32_t words[] = {7};
    Context().errors.count = 0;
    sglCompressedTexImage2D(3, SGL_FORMAT_ALPHA, 1, 1, 1, words, 0);
    ExpectOnlyError(SGL_ERROR_COMPRESSED_TEX_IMAGE, 3);
    EXPECT_EQ(2u, Slot(3).width);
}

TEST_F(TexturesTest, BindingNeedsTheFillTargetAndALoadedSlot) {
    sglBindTexture(SGL_TEXTURE_FILL, 9);
    ExpectOnlyError(SGL_ERROR_BIND_TEXTURE, 9);
    Context().errors.count = 0;
    sglBindTexture(3, 0);
    ExpectOnlyError(SGL_ERROR_BIND_TEXTURE, 3);
    Context().errors.count = 0;
    sglBindTexture(SGL_TEXTURE_FILL, 254);
    ExpectOnlyError(SGL_ERROR_BIND_TEXTURE, 254);
    EXPECT_EQ(Context().texture_count, Context().texture.current_texture);

    const uint8_t data[1] = {1};
    sglTexImage2Dubv(9, SGL_FORMAT_ALPHA, 1, 1, data, 0);
    Context().errors.count = 0;
    sglBindTexture(SGL_TEXTURE_FILL, 9);
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(9u, Context().texture.current_texture);
}

}  // namespace
