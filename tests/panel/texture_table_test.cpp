// The panel's texture table: every slot uploads through the drawing library
// without an error, the ramps hold their bytes exactly, and the pictures
// have their sizes and kinds. Texels are read back from OpenGL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_texture_table.h"
#include "tests/support/gl_fixture.h"

namespace {

class TextureTableTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        Velkor_texture_table();
    }
    static const sgl_texture_slot& Slot(uint32_t id) { return Context().texture_table[id]; }
    // The whole texture of a slot, one channel per texel (alpha, or the
    // given channel of RGBA).
    static std::vector<uint8_t> Texels(uint32_t id, int channel = 3) {
        const sgl_texture_slot& slot = Slot(id);
        std::vector<uint8_t> rgba(static_cast<size_t>(slot.texture_width) * slot.texture_height * 4);
        glBindTexture(GL_TEXTURE_2D, slot.name);
        Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<uint8_t> texels(rgba.size() / 4);
        for (size_t i = 0; i < texels.size(); ++i) texels[i] = rgba[4 * i + channel];
        return texels;
    }
};

struct SlotCase {
    uint32_t id;
    uint8_t format;
    uint32_t width, height, texture_side;
};

TEST_F(TextureTableTest, EverySlotUploadsWithItsSize) {
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
    const SlotCase cases[] = {
        {240, 7, 1, 32, 64},    {241, 7, 1, 32, 64},    {242, 7, 1, 32, 64},   {243, 7, 32, 1, 64},
        {245, 7, 32, 1, 64},    {247, 7, 1, 32, 64},    {249, 7, 1, 32, 64},   {250, 7, 32, 64, 64},
        {251, 7, 32, 32, 64},   {252, 6, 200, 172, 256}, {253, 7, 128, 128, 128},
    };
    for (const SlotCase& c : cases) {
        const sgl_texture_slot& slot = Slot(c.id);
        EXPECT_EQ(1, slot.loaded) << c.id;
        EXPECT_EQ(c.format, slot.format) << c.id;
        EXPECT_EQ(1, slot.scaled) << c.id;
        EXPECT_EQ(c.width, slot.width) << c.id;
        EXPECT_EQ(c.height, slot.height) << c.id;
        EXPECT_EQ(c.texture_side, slot.texture_width) << c.id;
        EXPECT_EQ(c.texture_side, slot.texture_height) << c.id;
    }
    // Nothing else is touched.
    uint32_t others = 0;
    for (uint32_t id = 0; id < velkor_test::kTextureSlotCount; ++id) {
        others += (id < 240 || id == 244 || id == 246 || id == 248) && Slot(id).loaded;
    }
    EXPECT_EQ(0u, others);
}

TEST_F(TextureTableTest, LoadingAgainKeepsTheTextureNames) {
    const uint32_t name = Slot(252).name;
    Velkor_texture_table();
    EXPECT_EQ(name, Slot(252).name);
    EXPECT_EQ(0u, Context().errors.count);
}

struct RampCase {
    uint32_t id;
    bool upwards;  // 1 x 32 (a column) rather than 32 x 1 (a row)
    int first, step;
};

TEST_F(TextureTableTest, RampsHoldTheirBytesExactly) {
    const RampCase cases[] = {
        {240, true, 7, 8}, {241, true, 3, 4},   {242, true, 1, 2},  {243, false, 255, -8},
        {245, false, 7, 8}, {247, true, 255, -8}, {249, true, 63, -2},
    };
    for (const RampCase& c : cases) {
        // Stretched from 32 texels to 64: texel k of the ramp fills two.
        const std::vector<uint8_t> texels = Texels(c.id);
        for (int k = 0; k < 32; ++k) {
            const int expected = c.first + c.step * k;
            for (int copy = 0; copy < 2; ++copy) {
                const int along = 2 * k + copy;
                const int across = 37;  // any place across the ramp
                const int at = c.upwards ? along * 64 + across : across * 64 + along;
                EXPECT_EQ(expected, texels[at]) << "slot " << c.id << " byte " << k;
            }
        }
    }
}

TEST_F(TextureTableTest, BandAndCheckerPicture) {
    // 32 x 64 stretched to 64 x 64: image pixel (x, y) at texel (2x, y).
    const std::vector<uint8_t> t = Texels(250);
    auto pixel = [&t](int x, int y) { return static_cast<int>(t[y * 64 + 2 * x]); };
    EXPECT_EQ(255, pixel(4, 4)) << "lower-left block";
    EXPECT_EQ(255, pixel(20, 20)) << "upper-right block";
    EXPECT_EQ(0, pixel(20, 4));
    EXPECT_EQ(0, pixel(4, 20));
    for (int k = 0; k < 32; ++k) EXPECT_EQ(255, pixel(k, 32 + k)) << "on the diagonal at " << k;
    EXPECT_EQ(0, pixel(31, 32)) << "far below the diagonal";
    EXPECT_EQ(0, pixel(0, 63)) << "far above it";
}

TEST_F(TextureTableTest, QuarterCircleShadesOutFromItsCorner) {
    // 32 x 32 stretched to 64 x 64: image pixel (x, y) at texel (2x, 2y).
    const std::vector<uint8_t> t = Texels(251);
    auto pixel = [&t](int x, int y) { return static_cast<int>(t[2 * y * 64 + 2 * x]); };
    EXPECT_GT(pixel(0, 0), 240);
    int previous = 256;
    for (int k = 0; k < 23; ++k) {
        EXPECT_LT(pixel(k, k), previous) << "along the diagonal at " << k;
        previous = pixel(k, k);
    }
    EXPECT_EQ(pixel(10, 3), pixel(3, 10)) << "round, not square";
    EXPECT_EQ(0, pixel(31, 31));
    EXPECT_EQ(0, pixel(31, 5)) << "beyond the radius";
}

TEST_F(TextureTableTest, LandscapeIsAnOpaqueColourPicture) {
    // 200 x 172 stretched to 256 x 256 by nearest pixel.
    const std::vector<uint8_t> alpha = Texels(252, 3);
    const std::vector<uint8_t> red = Texels(252, 0);
    const std::vector<uint8_t> green = Texels(252, 1);
    const std::vector<uint8_t> blue = Texels(252, 2);
    uint32_t transparent = 0;
    for (uint8_t a : alpha) transparent += a != 255;
    EXPECT_EQ(0u, transparent);
    const int sky = 250 * 256 + 20, ground = 5 * 256 + 128;
    EXPECT_GT(blue[sky], red[sky]) << "sky at the top";
    EXPECT_GT(green[ground], blue[ground]) << "grass at the bottom";
    EXPECT_GT(red[ground], 0);
}

TEST_F(TextureTableTest, GlowIsFullInTheCentreAndGoneAtSixty) {
    // 128 x 128: the texture is the image.
    const std::vector<uint8_t> t = Texels(253);
    auto pixel = [&t](int x, int y) { return static_cast<int>(t[y * 128 + x]); };
    EXPECT_GT(pixel(63, 63), 245);
    EXPECT_GT(pixel(64, 64), 245);
    int previous = 256;
    for (int r = 0; r <= 60; r += 4) {
        const int a = pixel(64 + r, 64);
        EXPECT_LT(a, previous) << "falling at radius " << r;
        previous = a;
    }
    EXPECT_EQ(0, pixel(64 + 61, 64));
    EXPECT_EQ(0, pixel(0, 0));
    EXPECT_EQ(pixel(64 + 30, 64), pixel(64, 64 + 30)) << "round";
    EXPECT_EQ(pixel(64 + 30, 64), pixel(63 - 30, 64)) << "centred";
}

}  // namespace
