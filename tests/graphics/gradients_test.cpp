// Gradients: RGBA images uploaded into gradient slots (raw or run-length
// coded), selected with sglIndexGradienti, mapped once over a shape's box by
// sglFormatGradient, and the ramp a gradient fill shows on the screen.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

constexpr uint32_t kGradientSlots = 4;
const float kWidths[1][3] = {{1.0f, 1.0f, 2.0f}};

class GradientsTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        sgl_parameters parameters = HostParameters();
        parameters.gradient_table = gradients_;
        parameters.gradient_count = kGradientSlots;
        ASSERT_TRUE(sglInit(&Context(), &parameters));
        velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    }
    static const sgl_texture_slot& Slot(uint32_t slot) { return Context().gradient_table[slot]; }
    static void ExpectOnlyError(uint32_t code, uint32_t value) {
        ASSERT_EQ(1u, Context().errors.count);
        EXPECT_EQ(code, Context().errors.entries[0].code);
        EXPECT_EQ(value, Context().errors.entries[0].value);
    }
    // A 64 x 64 RGBA image whose red rises along x (blue along y): 4 per texel.
    static std::vector<uint8_t> Ramp(bool along_x) {
        std::vector<uint8_t> image(64 * 64 * 4);
        for (uint32_t y = 0; y < 64; ++y) {
            for (uint32_t x = 0; x < 64; ++x) {
                uint8_t* p = &image[(y * 64 + x) * 4];
                p[0] = along_x ? static_cast<uint8_t>(4 * x) : 0;
                p[1] = 0;
                p[2] = along_x ? 0 : static_cast<uint8_t>(4 * y);
                p[3] = 255;
            }
        }
        return image;
    }
    static void GradientRectangle(float x0, float y0, float x1, float y1) {
        const float xs[4] = {x0, x1, x1, x0};
        const float ys[4] = {y0, y0, y1, y1};
        sglFormatGradient(4, xs, ys);
        sglBegin(5);
        for (int k = 0; k < 4; ++k) sglVertex2f(xs[k], ys[k]);
        sglEnd();
    }

    sgl_texture_slot gradients_[kGradientSlots] = {};
};

// --- uploads ------------------------------------------------------------------

TEST_F(GradientsTest, RawGradientIsANewTextureWithTheImageInTheCorner) {
    const uint8_t image[8] = {10, 20, 30, 40, 50, 60, 70, 80};  // 2 x 1
    sglGradientTexture(1, 2, 1, 8, image, 0);
    EXPECT_EQ(0u, Context().errors.count);
    const sgl_texture_slot& slot = Slot(1);
    EXPECT_EQ(1, slot.loaded);
    EXPECT_EQ(2u, slot.width);
    EXPECT_EQ(1u, slot.height);
    EXPECT_EQ(64u, slot.texture_width);
    EXPECT_EQ(64u, slot.texture_height);
    ASSERT_NE(0u, slot.name);

    std::vector<uint8_t> texels(64 * 64 * 4, 0xEE);
    glBindTexture(GL_TEXTURE_2D, slot.name);
    Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(std::vector<uint8_t>(image, image + 8), std::vector<uint8_t>(texels.begin(), texels.begin() + 8));
    uint32_t outside = 0;
    for (size_t i = 8; i < texels.size(); ++i) outside += texels[i] != 0;
    EXPECT_EQ(0u, outside);
    GLint filter = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(GL_LINEAR, filter);
    EXPECT_EQ(GL_REPEAT, wrap);

    // Loading again gives a new name.
    const uint32_t first = slot.name;
    sglGradientTexture(1, 2, 1, 8, image, 0);
    EXPECT_NE(first, Slot(1).name);
}

TEST_F(GradientsTest, CompressedGradientDecodesAsRgba) {
    const uint32_t words[] = {0xFF102030, 0xFF102030, 1, 0x80405060};  // three, then one
    sglGradientTexture(2, 4, 1, sizeof(words), words, 1);
    EXPECT_EQ(0u, Context().errors.count);
    std::vector<uint8_t> texels(64 * 64 * 4);
    glBindTexture(GL_TEXTURE_2D, Slot(2).name);
    Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const std::vector<uint8_t> expected = {0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30, 0xFF,
                                           0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80};
    EXPECT_EQ(expected, std::vector<uint8_t>(texels.begin(), texels.begin() + 16));
}

TEST_F(GradientsTest, GradientsThatAreRefusedLeaveTheSlotAsItWas) {
    const uint8_t image[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const uint32_t bad_words[] = {7, 7, 9};  // 11 pixels for 2 x 2
    struct Row {
        const char* name;
        int32_t slot, width;
        uint32_t height, size;
        const void* data;
        uint8_t compressed;
    };
    const Row rows[] = {
        {"negative slot", -1, 2, 2, 16, image, 0},
        {"slot beyond the table", 4, 2, 2, 16, image, 0},
        {"width 0", 0, 0, 2, 16, image, 0},
        {"negative width", 0, -2, 2, 16, image, 0},
        {"height 0", 0, 2, 0, 16, image, 0},
        {"wider than a texture", 0, 1025, 1, 4100, image, 0},
        {"no data", 0, 2, 2, 16, nullptr, 0},
        {"fewer bytes than the image", 0, 2, 2, 15, image, 0},
        {"words that do not decode", 0, 2, 2, sizeof(bad_words), bad_words, 1},
    };
    for (const Row& row : rows) {
        Context().errors.count = 0;
        sglGradientTexture(row.slot, row.width, row.height, row.size, row.data, row.compressed);
        ExpectOnlyError(SGL_ERROR_GRADIENT_TEXTURE, static_cast<uint32_t>(row.slot));
        EXPECT_EQ(0, Slot(0).loaded) << row.name;
        EXPECT_EQ(0u, Slot(0).name) << row.name;
    }
}

TEST_F(GradientsTest, WithoutAGradientTableNothingLoads) {
    sgl_parameters parameters = HostParameters();
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    const uint8_t image[4] = {1, 2, 3, 4};
    sglGradientTexture(0, 1, 1, 4, image, 0);
    ExpectOnlyError(SGL_ERROR_GRADIENT_TEXTURE, 0);
    Context().errors.count = 0;
    const float xs[2] = {0, 1}, ys[2] = {0, 1};
    sglFormatGradient(2, xs, ys);
    ExpectOnlyError(SGL_ERROR_FORMAT_GRADIENT, 2);
}

TEST_F(GradientsTest, OnlyALoadedGradientCanBeSelected) {
    sglIndexGradienti(1);
    ExpectOnlyError(SGL_ERROR_INDEX_GRADIENT, 1);
    EXPECT_EQ(kGradientSlots, Context().texture.current_gradient);
    const uint8_t image[4] = {1, 2, 3, 4};
    sglGradientTexture(1, 1, 1, 4, image, 0);
    Context().errors.count = 0;
    f121(1);
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(1u, Context().texture.current_gradient);
    sglReset();
    EXPECT_EQ(kGradientSlots, Context().texture.current_gradient) << "none after a reset";
}

// --- mapping --------------------------------------------------------------------

TEST_F(GradientsTest, FormatGradientMapsTheGradientOnceOverTheBox) {
    std::vector<uint8_t> image(32 * 16 * 4, 255);
    sglGradientTexture(0, 32, 16, static_cast<uint32_t>(image.size()), image.data(), 0);
    sglIndexGradienti(0);
    const float xs[3] = {50, 10, 30}, ys[3] = {5, 25, 45};
    f122(3, xs, ys);
    const sgl_texture_state& t = Context().texture;
    EXPECT_EQ(10.0f, t.origin_x);
    EXPECT_EQ(5.0f, t.origin_y);
    EXPECT_EQ(40.0f, t.width);
    EXPECT_EQ(40.0f, t.height);
    EXPECT_EQ(1.0f, t.repeat_x);
    EXPECT_EQ(1.0f, t.repeat_y);
    EXPECT_EQ(0.0f, t.offset_x);
    EXPECT_EQ(0.0f, t.offset_y);
    EXPECT_FLOAT_EQ(0.5f, t.factor_x);   // 32 of 64
    EXPECT_FLOAT_EQ(0.25f, t.factor_y);  // 16 of 64
    EXPECT_EQ(0u, Context().errors.count);

    // The coordinate of a vertex at the box's far corner is the image's far corner.
    sglEnable(SGL_GRADIENT_FILL);
    sglBegin(5);
    sglVertex2f(50, 45);
    ASSERT_EQ(1u, Context().texcoord_count);
    EXPECT_FLOAT_EQ(0.5f, Context().texcoords[0][0]);
    EXPECT_FLOAT_EQ(0.25f, Context().texcoords[0][1]);
    sglEnd();
}

TEST_F(GradientsTest, ATextureFillKeepsItsMapping) {
    const float xs[2] = {0, 100}, ys[2] = {0, 100};
    sglEnable(SGL_TEXTURE_FILL);
    sglFormatGradient(2, xs, ys);
    EXPECT_EQ(0.0f, Context().texture.width);
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(GradientsTest, GradientMappingsThatAreRefused) {
    const float xs[2] = {0, 1}, ys[2] = {0, 1};
    const struct {
        uint32_t n;
        const float* xs;
        const float* ys;
    } rows[] = {{1, xs, ys}, {4096, xs, ys}, {2, nullptr, ys}, {2, xs, nullptr}};
    for (const auto& row : rows) {
        Context().errors.count = 0;
        sglFormatGradient(row.n, row.xs, row.ys);
        ExpectOnlyError(SGL_ERROR_FORMAT_GRADIENT, row.n);
    }
}

// --- pixels ---------------------------------------------------------------------

TEST_F(GradientsTest, AHorizontalRampRisesFromLeftToRight) {
    const std::vector<uint8_t> ramp = Ramp(true);
    f123(0, 64, 64, static_cast<uint32_t>(ramp.size()), ramp.data(), 0);
    sglIndexGradienti(0);
    sglEnable(SGL_GRADIENT_FILL);
    GradientRectangle(100, 100, 740, 300);  // ten pixels per texel
    for (int k = 1; k < 63; ++k) {
        const velkor_test::Rgba p = velkor_test::ReadPixel(100 + 10 * k + 5, 200);
        EXPECT_NEAR(4 * k, p.r, 2) << "texel column " << k;
        EXPECT_EQ(0, p.b) << "texel column " << k;
    }
    // The same along the whole height: the gradient varies only across.
    EXPECT_NEAR(velkor_test::ReadPixel(400, 120).r, velkor_test::ReadPixel(400, 280).r, 1);
    EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 100, 768));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(GradientsTest, AVerticalRampRisesFromTheFirstRowUpwards) {
    const std::vector<uint8_t> ramp = Ramp(false);
    sglGradientTexture(3, 64, 64, static_cast<uint32_t>(ramp.size()), ramp.data(), 0);
    sglIndexGradienti(3);
    sglEnable(SGL_GRADIENT_FILL);
    GradientRectangle(100, 50, 300, 690);
    for (int k = 1; k < 63; ++k) {
        EXPECT_NEAR(4 * k, velkor_test::ReadPixel(200, 50 + 10 * k + 5).b, 2) << "texel row " << k;
    }
}

TEST_F(GradientsTest, WithoutGradientFillTheShapeIsPlain) {
    const std::vector<uint8_t> ramp = Ramp(true);
    sglGradientTexture(0, 64, 64, static_cast<uint32_t>(ramp.size()), ramp.data(), 0);
    sglIndexGradienti(0);
    sglIndexColori(velkor_test::kGreen);
    GradientRectangle(100, 100, 200, 200);
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 100, 100, velkor_test::Rgba{0, 255, 0, 255}));
}

}  // namespace
