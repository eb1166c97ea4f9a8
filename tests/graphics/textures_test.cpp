// Textures: uploads (power-of-two sizing, run-length coded pixel words, the
// image placed in the corner or stretched, the checks that refuse an upload
// or a bind), the fill mapping and the coordinates it gives each vertex,
// explicit coordinates, and bitmaps drawn at their pixel size. Texels are
// read back from OpenGL, fills from the framebuffer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

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

// --- the fill mapping -----------------------------------------------------

// A 2 x 2 RGBA image: red, green in the bottom row, blue, white above.
const uint8_t kQuadrants[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
const velkor_test::Rgba kRedPixel{255, 0, 0, 255};
const velkor_test::Rgba kGreenPixel{0, 255, 0, 255};
const velkor_test::Rgba kBluePixel{0, 0, 255, 255};
const velkor_test::Rgba kWhitePixel{255, 255, 255, 255};
const float kWidths[1][3] = {{1.0f, 1.0f, 2.0f}};

class TextureFillTest : public TexturesTest {
protected:
    void SetUp() override {
        TexturesTest::SetUp();
        velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    }
    // A rectangle filled through sglBegin(5) with the current attributes.
    static void Rectangle(float x0, float y0, float x1, float y1) {
        sglBegin(5);
        sglVertex2f(x0, y0);
        sglVertex2f(x1, y0);
        sglVertex2f(x1, y1);
        sglVertex2f(x0, y1);
        sglEnd();
    }
    static void FormatBox(float x0, float y0, float x1, float y1, float nx, float ny, uint32_t ax, uint32_t ay) {
        const float xs[4] = {x0, x1, x1, x0};
        const float ys[4] = {y0, y0, y1, y1};
        sglFormatTexture(4, xs, ys, nx, ny, ax, ay);
    }
    static bool Near(const velkor_test::Rgba& p, const velkor_test::Rgba& q, int tolerance = 2) {
        return std::abs(p.r - q.r) <= tolerance && std::abs(p.g - q.g) <= tolerance &&
               std::abs(p.b - q.b) <= tolerance;
    }
};

struct MappingCase {
    const char* name;
    uint32_t image_width, image_height;
    uint8_t scaled;
    float box_width, box_height;
    float nx, ny;
    uint32_t ax, ay;
    float repeat_x, repeat_y, offset_x, offset_y, factor_x, factor_y;
};

TEST_F(TextureFillTest, RepetitionsOffsetsAndFactorsOfTheMapping) {
    const MappingCase cases[] = {
        {"natural size: 128 x 64 over 32 x 32", 32, 32, 0, 128, 64, 0, 0, 0, 0, 4, 2, 0, 0, 0.5f, 0.5f},
        {"negative counts are natural too", 32, 32, 0, 128, 64, -1, -3, 0, 0, 4, 2, 0, 0, 0.5f, 0.5f},
        {"both given", 32, 32, 0, 128, 64, 3, 5, 0, 0, 3, 5, 0, 0, 0.5f, 0.5f},
        {"ny given: aspect kept across", 32, 16, 0, 128, 64, 0, 2, 0, 0, 2, 2, 0, 0, 0.5f, 0.25f},
        {"nx given: aspect kept upwards", 32, 16, 0, 128, 64, 3, 0, 0, 0, 3, 3, 0, 0, 0.5f, 0.25f},
        {"ny given on a flat box", 32, 32, 0, 128, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f},
        {"nx given on a box without width", 32, 32, 0, 0, 64, 2, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f},
        {"centred", 32, 32, 0, 80, 48, 0, 0, 1, 1, 2.5f, 1.5f, -0.75f, -0.25f, 0.5f, 0.5f},
        {"ending at the right and top", 32, 32, 0, 80, 48, 0, 0, 2, 2, 2.5f, 1.5f, 0.5f, 0.5f, 0.5f, 0.5f},
        {"a stretched image fills its texture", 32, 32, 1, 128, 64, 0, 0, 0, 0, 4, 2, 0, 0, 1, 1},
    };
    std::vector<uint8_t> image(64 * 64, 200);
    for (const MappingCase& c : cases) {
        sglDisable(SGL_TEXTURE_FILL);
        sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, c.image_width, c.image_height, image.data(), c.scaled);
        sglBindTexture(SGL_TEXTURE_FILL, 11);
        FormatBox(100, 200, 100 + c.box_width, 200 + c.box_height, c.nx, c.ny, c.ax, c.ay);
        const sgl_texture_state& t = Context().texture;
        EXPECT_EQ(100.0f, t.origin_x) << c.name;
        EXPECT_EQ(200.0f, t.origin_y) << c.name;
        EXPECT_EQ(c.box_width, t.width) << c.name;
        EXPECT_EQ(c.box_height, t.height) << c.name;
        EXPECT_FLOAT_EQ(c.repeat_x, t.repeat_x) << c.name;
        EXPECT_FLOAT_EQ(c.repeat_y, t.repeat_y) << c.name;
        EXPECT_FLOAT_EQ(c.offset_x, t.offset_x) << c.name;
        EXPECT_FLOAT_EQ(c.offset_y, t.offset_y) << c.name;
        EXPECT_FLOAT_EQ(c.factor_x, t.factor_x) << c.name;
        EXPECT_FLOAT_EQ(c.factor_y, t.factor_y) << c.name;
    }
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TextureFillTest, NaturalSizeFollowsTheScaleInForce) {
    std::vector<uint8_t> image(32 * 32, 200);
    sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, 32, 32, image.data(), 0);
    sglBindTexture(SGL_TEXTURE_FILL, 11);
    sglScalef(2.0f, 4.0f);  // a unit is now 2 x 4 pixels
    FormatBox(0, 0, 128, 64, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(8.0f, Context().texture.repeat_x);
    EXPECT_FLOAT_EQ(8.0f, Context().texture.repeat_y);
}

TEST_F(TextureFillTest, WithoutACurrentTextureTheMappingIsEmpty) {
    FormatBox(0, 0, 128, 64, 2, 2, 1, 1);
    const sgl_texture_state& t = Context().texture;
    EXPECT_EQ(128.0f, t.width);
    EXPECT_EQ(0.0f, t.repeat_x);
    EXPECT_EQ(0.0f, t.repeat_y);
    EXPECT_EQ(0.0f, t.offset_x);
    EXPECT_EQ(0.0f, t.offset_y);
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TextureFillTest, MappingsThatAreRefused) {
    const float xs[3] = {0, 10, 10}, ys[3] = {0, 0, 10};
    struct Row {
        const char* name;
        uint32_t n;
        const float* xs;
        const float* ys;
        uint32_t ax, ay;
    };
    const Row rows[] = {
        {"one point", 1, xs, ys, 0, 0},       {"4096 points", 4096, xs, ys, 0, 0},
        {"x alignment 3", 3, xs, ys, 3, 0},   {"y alignment 3", 3, xs, ys, 0, 3},
        {"no xs", 3, nullptr, ys, 0, 0},      {"no ys", 3, xs, nullptr, 0, 0},
    };
    for (const Row& row : rows) {
        Context().errors.count = 0;
        sglFormatTexture(row.n, row.xs, row.ys, 1, 1, row.ax, row.ay);
        ExpectOnlyError(SGL_ERROR_FORMAT_TEXTURE, row.n);
        EXPECT_EQ(0.0f, Context().texture.width) << row.name << ": the mapping is unchanged";
    }
    // Without a texture table at all.
    sgl_parameters parameters = HostParameters();
    parameters.texture_table = nullptr;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    sglFormatTexture(3, xs, ys, 1, 1, 0, 0);
    ExpectOnlyError(SGL_ERROR_FORMAT_TEXTURE, 3);
}

TEST_F(TextureFillTest, EachVertexGetsItsPlaceInTheMapping) {
    std::vector<uint8_t> image(32 * 32, 200);
    sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, 32, 32, image.data(), 0);
    sglBindTexture(SGL_TEXTURE_FILL, 11);
    sglEnable(SGL_TEXTURE_FILL);
    sglEnable(SGL_TEXTURE_MODULATE);
    FormatBox(100, 100, 228, 164, 0, 0, 1, 0);  // 4 x 2 images, centred across: dx = -1.5
    sglBegin(5);
    sglVertex2f(100, 100);
    sglVertex2f(228, 100);
    sglVertex2f(228, 164);
    sglVertex2f(164, 132);
    const sgl_type_statemachine& c = Context();
    ASSERT_EQ(4u, c.texcoord_count);
    const float expected[4][2] = {{0.5f * -1.5f, 0.0f}, {0.5f * 2.5f, 0.0f}, {0.5f * 2.5f, 1.0f}, {0.5f * 0.5f, 0.5f}};
    for (uint32_t k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(expected[k][0], c.texcoords[k][0]) << "vertex " << k;
        EXPECT_FLOAT_EQ(expected[k][1], c.texcoords[k][1]) << "vertex " << k;
    }
    sglEnd();
    EXPECT_EQ(0u, c.errors.count);
}

TEST_F(TextureFillTest, AFlatBoxUsesTheFactorAlongItsFlatAxis) {
    std::vector<uint8_t> image(16 * 8, 200);
    sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, 16, 8, image.data(), 0);  // 64 x 64: factors 1/4, 1/8
    sglBindTexture(SGL_TEXTURE_FILL, 11);
    sglEnable(SGL_TEXTURE_FILL);
    FormatBox(0, 50, 64, 50, 1, 1, 0, 0);
    sgliSetTextureCoordinates(32, 50);
    ASSERT_EQ(1u, Context().texcoord_count);
    EXPECT_FLOAT_EQ(0.125f, Context().texcoords[0][0]);
    EXPECT_FLOAT_EQ(0.125f, Context().texcoords[0][1]);
}

TEST_F(TextureFillTest, CoordinatesStopAtTheBufferSize) {
    std::vector<uint8_t> image(4, 200);
    sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, 2, 2, image.data(), 0);
    sglBindTexture(SGL_TEXTURE_FILL, 11);
    FormatBox(0, 0, 10, 10, 1, 1, 0, 0);
    for (uint32_t k = 0; k < SGL_VERTEX_BUFFER_SIZE + 10; ++k) sgliSetGradientCoordinates(1, 1);
    EXPECT_EQ(SGL_VERTEX_BUFFER_SIZE, Context().texcoord_count);
}

TEST_F(TextureFillTest, ATexturedQuadShowsTheTexelsWhereTheMappingPutsThem) {
    sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
    sglBindTexture(SGL_TEXTURE_FILL, 12);
    sglEnable(SGL_TEXTURE_FILL);
    FormatBox(100, 100, 300, 300, 1, 1, 0, 0);
    Rectangle(100, 100, 300, 300);
    EXPECT_TRUE(Near(kRedPixel, velkor_test::ReadPixel(150, 150)));
    EXPECT_TRUE(Near(kGreenPixel, velkor_test::ReadPixel(250, 150)));
    EXPECT_TRUE(Near(kBluePixel, velkor_test::ReadPixel(150, 250)));
    EXPECT_TRUE(Near(kWhitePixel, velkor_test::ReadPixel(250, 250)));
    // Each quadrant is exactly 100 x 100 pixels: nearest texels, clamped.
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kRedPixel));
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kWhitePixel));
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 100, 768));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TextureFillTest, ConcaveAndPathFillsKeepTheirTexelsInPlace) {
    sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
    sglBindTexture(SGL_TEXTURE_FILL, 12);
    sglEnable(SGL_TEXTURE_FILL);
    // An L over three quadrants of the box, cut into triangles by ear clipping.
    sglEnable(SGL_TESSELLATION);
    const float xs[6] = {100, 300, 300, 200, 200, 100};
    const float ys[6] = {100, 100, 200, 200, 300, 300};
    sglFormatTexture(6, xs, ys, 1, 1, 0, 0);
    sglBegin(5);
    for (int k = 0; k < 6; ++k) sglVertex2f(xs[k], ys[k]);
    sglEnd();
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kRedPixel));
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kGreenPixel));
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kBluePixel));
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(200, 200, 100, 100)) << "the L's notch";
    sglDisable(SGL_TESSELLATION);

    // A closed fill path: the closing vertex is dropped with its coordinate.
    velkor_test::ClearDisplay();
    sglFormatTexture(6, xs, ys, 1, 1, 0, 0);
    sglBeginPath(2);
    sglMoveTo(100, 100);
    sglLineTo(300, 100);
    sglLineTo(300, 300);
    sglLineTo(100, 300);
    sglClosePath();
    sglEndPath();
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kWhitePixel));
    EXPECT_TRUE(Near(kGreenPixel, velkor_test::ReadPixel(250, 150)));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TextureFillTest, RepetitionsRepeatAStretchedImage) {
    const uint8_t red_green[6] = {255, 0, 0, 0, 255, 0};  // RGB, one row
    sglTexImage2Dubv(13, SGL_FORMAT_RGB, 2, 1, red_green, 1);
    sglBindTexture(SGL_TEXTURE_FILL, 13);
    sglEnable(SGL_TEXTURE_FILL);
    FormatBox(0, 100, 400, 200, 2, 1, 0, 0);
    Rectangle(0, 100, 400, 200);
    const int xs[4] = {50, 150, 250, 350};
    for (int i = 0; i < 4; ++i) {
        const velkor_test::Rgba p = velkor_test::ReadPixel(xs[i], 150);
        EXPECT_TRUE(Near(i % 2 == 0 ? kRedPixel : kGreenPixel, p))
            << "x " << xs[i] << ": " << int(p.r) << " " << int(p.g) << " " << int(p.b);
    }
}

TEST_F(TextureFillTest, ModulateTintsTheColourAndReplaceIgnoresIt) {
    const uint8_t grey[4] = {128, 128, 128, 255};
    sglTexImage2Dubv(14, SGL_FORMAT_RGBA, 1, 1, grey, 1);
    sglBindTexture(SGL_TEXTURE_FILL, 14);
    sglEnable(SGL_TEXTURE_FILL);
    sglIndexColori(velkor_test::kRed);
    FormatBox(100, 100, 200, 200, 1, 1, 0, 0);
    Rectangle(100, 100, 200, 200);
    const velkor_test::Rgba replaced = velkor_test::ReadPixel(150, 150);
    EXPECT_TRUE(Near(velkor_test::Rgba{128, 128, 128, 255}, replaced))
        << int(replaced.r) << " " << int(replaced.g) << " " << int(replaced.b);
    sglEnable(SGL_TEXTURE_MODULATE);
    FormatBox(300, 100, 400, 200, 1, 1, 0, 0);
    Rectangle(300, 100, 400, 200);
    const velkor_test::Rgba modulated = velkor_test::ReadPixel(350, 150);
    EXPECT_TRUE(Near(velkor_test::Rgba{128, 0, 0, 255}, modulated))
        << int(modulated.r) << " " << int(modulated.g) << " " << int(modulated.b);
}

TEST_F(TextureFillTest, AnAlphaRampShapesTheModulatedColour) {
    uint8_t ramp[32];
    for (int k = 0; k < 32; ++k) ramp[k] = static_cast<uint8_t>(8 * k + 7);
    sglTexImage2Dubv(240, SGL_FORMAT_ALPHA, 1, 32, ramp, 1);
    sglBindTexture(SGL_TEXTURE_FILL, 240);
    sglEnable(SGL_TEXTURE_FILL);
    sglEnable(SGL_TEXTURE_MODULATE);
    FormatBox(100, 100, 164, 420, 1, 1, 0, 0);
    Rectangle(100, 100, 164, 420);
    // 320 pixels up for 32 texels: ten rows each; rising from bottom to top.
    int previous = -1;
    for (int k = 1; k < 31; ++k) {
        const int red = velkor_test::ReadPixel(130, 100 + 10 * k + 5).r;
        EXPECT_NEAR(8 * k + 7, red, 4) << "texel row " << k;
        EXPECT_GT(red, previous);
        previous = red;
    }
}

// --- explicit coordinates ---------------------------------------------------

TEST_F(TextureFillTest, TexVertexCountsCoordinatesInImagesOfTheMapping) {
    sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
    sglBindTexture(SGL_TEXTURE_FILL, 12);
    sglEnable(SGL_TEXTURE_FILL);
    FormatBox(0, 0, 10, 10, 3, 2, 1, 0);  // nx + dx = 3 - 1 = 2, ny + dy = 2
    sglBegin(5);
    sglTexVertex4f(5, 6, 0.25f, 0.5f);
    const sgl_type_statemachine& c = Context();
    ASSERT_EQ(1u, c.vertex_count);
    ASSERT_EQ(1u, c.texcoord_count);
    EXPECT_EQ(5.0f, c.vertices[0][0]);
    EXPECT_EQ(6.0f, c.vertices[0][1]);
    EXPECT_FLOAT_EQ(0.5f, c.texcoords[0][0]);
    EXPECT_FLOAT_EQ(1.0f, c.texcoords[0][1]);
    // sglTexCoord2f gives the next vertex the same kind of coordinate.
    sglTexCoord2f(0.5f, 0.25f);
    sglVertex2f(7, 8);
    sglVertex2f(10, 10);
    ASSERT_EQ(3u, c.texcoord_count);
    EXPECT_FLOAT_EQ(1.0f, c.texcoords[1][0]);
    EXPECT_FLOAT_EQ(0.5f, c.texcoords[1][1]);
    EXPECT_FLOAT_EQ(2.0f / 64.0f * (3.0f - 1.0f), c.texcoords[2][0]) << "mapped again";
    sglEnd();
    EXPECT_EQ(0u, c.errors.count);
}

TEST_F(TextureFillTest, TexVertexDrawsTheImageWhereItsCoordinatesSay) {
    sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
    sglBindTexture(SGL_TEXTURE_FILL, 12);
    sglEnable(SGL_TEXTURE_FILL);
    const float s = 2.0f / 64.0f;
    sglBegin(5);
    sglTexVertex4f(100, 100, 0, 0);
    sglTexVertex4f(300, 100, s, 0);
    sglTexVertex4f(300, 300, s, s);
    sglTexVertex4f(100, 300, 0, s);
    sglEnd();
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 200, 200, kRedPixel));
    EXPECT_TRUE(Near(kWhitePixel, velkor_test::ReadPixel(250, 250)));
}

TEST_F(TextureFillTest, TexVertexNeedsAFillAndRoom) {
    sglBegin(5);
    sglTexVertex4f(1, 2, 0, 0);
    ExpectOnlyError(SGL_ERROR_TEX_VERTEX, 0);
    EXPECT_EQ(0u, Context().vertex_count);
    sglEnd();

    Context().errors.count = 0;
    sglEnable(SGL_GRADIENT_FILL);
    sglBegin(5);
    for (uint32_t k = 0; k < SGL_VERTEX_BUFFER_SIZE; ++k) sglTexVertex4f(1, 2, 0, 0);
    EXPECT_EQ(0u, Context().errors.count) << "a gradient fill takes them too";
    sglTexVertex4f(1, 2, 0, 0);
    ExpectOnlyError(SGL_ERROR_TEX_VERTEX, 0);
    EXPECT_EQ(SGL_VERTEX_BUFFER_SIZE, Context().vertex_count);
    sglEnd();
}

// --- bitmaps at their pixel size ------------------------------------------

TEST_F(TextureFillTest, AnUnscaledBitmapCoversItsOwnPixels) {
    // 3 x 2: red, green, blue / white, red, green.
    const uint8_t image[24] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                               255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255};
    sglTexImage2Dubv(20, SGL_FORMAT_RGBA, 3, 2, image, 0);
    sgluDrawBitmap(20, 200, 300);
    EXPECT_EQ(0u, Context().errors.count);
    const velkor_test::Rgba expected[2][3] = {{kRedPixel, kGreenPixel, kBluePixel},
                                              {kWhitePixel, kRedPixel, kGreenPixel}};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(Near(expected[j][i], velkor_test::ReadPixel(200 + i, 300 + j), 0)) << i << ", " << j;
        }
    }
    EXPECT_EQ(6, velkor_test::CountCoveredPixels(190, 290, 20, 20));
}

TEST_F(TextureFillTest, AScaledBitmapCoversItsOwnPixelsToo) {
    sglTexImage2Dubv(21, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 1);
    sgluDrawBitmap(21, 400, 400);
    // Stretched over the texture and mapped back once: the 2 x 2 pixels.
    EXPECT_TRUE(Near(kRedPixel, velkor_test::ReadPixel(400, 400), 8));
    EXPECT_TRUE(Near(kWhitePixel, velkor_test::ReadPixel(401, 401), 8));
    EXPECT_EQ(4, velkor_test::CountCoveredPixels(390, 390, 20, 20));
}

TEST_F(TextureFillTest, ABitmapKeepsItsPixelSizeInASmallerViewport) {
    std::vector<uint8_t> white(16 * 8 * 4, 255);
    sglTexImage2Dubv(22, SGL_FORMAT_RGBA, 16, 8, white.data(), 0);
    sglViewport(0, 0, 640, 384);  // half the native size
    sgluDrawBitmap(22, 200, 200);
    // 16 x 8 native pixels are 8 x 4 pixels of this viewport, at (100, 100).
    EXPECT_EQ(32, velkor_test::CountCoveredPixels(90, 90, 40, 40));
    EXPECT_EQ(32, velkor_test::CountPixelsNear(100, 100, 8, 4, kWhitePixel));
}

TEST_F(TextureFillTest, DrawingABitmapKeepsTheCallersTextureState) {
    sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
    sglTexImage2Dubv(21, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 1);
    sglBindTexture(SGL_TEXTURE_FILL, 12);
    sglEnable(SGL_TEXTURE_MODULATE);
    FormatBox(0, 0, 64, 32, 3, 2, 2, 1);
    const sgl_texture_state before = Context().texture;
    sgluDrawBitmap(21, 10, 10);
    sgluDrawBitmap(12, 20, 10);
    const sgl_texture_state& after = Context().texture;
    EXPECT_EQ(12u, after.current_texture);
    EXPECT_EQ(before.repeat_x, after.repeat_x);
    EXPECT_EQ(before.offset_x, after.offset_x);
    EXPECT_EQ(before.width, after.width);
    EXPECT_EQ(0, Context().texture_fill);
    EXPECT_EQ(1, Context().texture_modulate);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(GL_MODULATE, mode);
    // Modulation was off while they were drawn: the white colour did not tint them.
    EXPECT_TRUE(Near(kRedPixel, velkor_test::ReadPixel(20, 10), 0));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TextureFillTest, BitmapsThatAreRefused) {
    const int32_t slots[] = {-1, 5, 254};  // negative, not loaded, beyond the table
    for (int32_t slot : slots) {
        Context().errors.count = 0;
        sgluDrawBitmap(slot, 0, 0);
        ExpectOnlyError(SGL_ERROR_DRAW_BITMAP, static_cast<uint32_t>(slot));
    }
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 100, 100));
}

TEST_F(TextureFillTest, NumberedEntriesReachTheTextureOperations) {
    uint8_t row[32];
    for (int k = 0; k < 32; ++k) row[k] = static_cast<uint8_t>(255 - 8 * k);
    f037(243, SGL_FORMAT_ALPHA, 32, 1, row, 1);
    const uint32_t words[] = {0xFFFFFFFF, 0xFFFFFFFF, 2};
    f039(30, SGL_FORMAT_RGBA, 2, 2, 3, words, 0);
    f003(SGL_TEXTURE_FILL, 30);
    EXPECT_EQ(30u, Context().texture.current_texture);
    EXPECT_EQ(1, Slot(243).loaded);
    sglEnable(SGL_TEXTURE_FILL);
    const float xs[2] = {0, 64}, ys[2] = {0, 64};
    f052(2, xs, ys, 1, 1, 0, 0);
    EXPECT_EQ(64.0f, Context().texture.width);
    sglBegin(5);
    f067(1, 1, 0, 0);
    EXPECT_EQ(1u, Context().vertex_count);
    sglEnd();
    f055(30, 500, 500);
    EXPECT_EQ(4, velkor_test::CountPixelsNear(490, 490, 20, 20, kWhitePixel));
    EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
