// Static bitmaps (images fixed at a place, drawn by id) and static sequences
// (drawing recorded into a display list and replayed), with the OpenGL state
// cache checked against OpenGL itself after recording and replaying.
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

using velkor_test::CountCoveredPixels;
using velkor_test::ReadPixel;
using velkor_test::Rgba;

const float kWidths[1][3] = {{1.0f, 1.0f, 2.0f}};

class BitmapsTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        velkor_test::SglTest::SetUp();
        velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
    }
    static void ExpectOnlyError(uint32_t code, uint32_t value) {
        ASSERT_EQ(1u, Context().errors.count);
        EXPECT_EQ(code, Context().errors.entries[0].code);
        EXPECT_EQ(value, Context().errors.entries[0].value);
    }
    // A width x height RGBA picture with a different colour in every pixel.
    static std::vector<uint8_t> Picture(uint32_t width, uint32_t height) {
        std::vector<uint8_t> image(width * height * 4);
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t* p = &image[(y * width + x) * 4];
                p[0] = static_cast<uint8_t>(40 * x + 15);
                p[1] = static_cast<uint8_t>(50 * y + 20);
                p[2] = static_cast<uint8_t>(255 - 30 * x - 20 * y);
                p[3] = 255;
            }
        }
        return image;
    }
    static void Rectangle(float x0, float y0, float x1, float y1) {
        sglBegin(5);
        sglVertex2f(x0, y0);
        sglVertex2f(x1, y0);
        sglVertex2f(x1, y1);
        sglVertex2f(x0, y1);
        sglEnd();
    }
    // OpenGL's own state agrees with what the library's cache believes.
    static void ExpectCacheMatchesOpenGl(const char* when) {
        const sgl_type_statemachine& c = Context();
        EXPECT_EQ(c.gl_texture_2d != 0, glIsEnabled(GL_TEXTURE_2D) == GL_TRUE) << when;
        EXPECT_EQ(c.gl_blend != 0, glIsEnabled(GL_BLEND) == GL_TRUE) << when;
        EXPECT_EQ(c.gl_stencil_test != 0, glIsEnabled(GL_STENCIL_TEST) == GL_TRUE) << when;
        EXPECT_EQ(c.gl_scissor_test != 0, glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE) << when;
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        EXPECT_EQ(static_cast<GLint>(c.gl_tex_env[2]), mode) << when;
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(c.gl_color[i], colour[i]) << when << " colour " << i;
        if (c.gl_bound_texture != SGL_BOUND_TEXTURE_UNKNOWN) {
            GLint bound = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(static_cast<GLint>(c.gl_bound_texture), bound) << when;
        }
        float matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(c.transform.matrix[i], matrix[i]) << when << " m" << i;
    }
};

// --- static bitmaps ---------------------------------------------------------------

TEST_F(BitmapsTest, AStaticBitmapDrawsLikeTheOriginal) {
    const std::vector<uint8_t> picture = Picture(5, 4);
    const uint32_t id = sglCreateStaticBitmap(300, 200, 5, 4, static_cast<uint32_t>(picture.size()),
                                              picture.data(), 0);
    EXPECT_EQ(0u, id);
    EXPECT_EQ(0u, Context().errors.count);
    sglDrawStaticBitmap(id);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 5; ++x) {
            const uint8_t* want = &picture[(y * 5 + x) * 4];
            const Rgba got = ReadPixel(300 + static_cast<int>(x), 200 + static_cast<int>(y));
            EXPECT_EQ(want[0], got.r) << x << ", " << y;
            EXPECT_EQ(want[1], got.g) << x << ", " << y;
            EXPECT_EQ(want[2], got.b) << x << ", " << y;
        }
    }
    EXPECT_EQ(20, CountCoveredPixels(290, 190, 30, 30));

    // The same picture through a texture slot and sgluDrawBitmap: pixel for pixel alike.
    sglTexImage2Dubv(40, SGL_FORMAT_RGBA, 5, 4, picture.data(), 0);
    sgluDrawBitmap(40, 500, 200);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const Rgba a = ReadPixel(300 + x, 200 + y);
            const Rgba b = ReadPixel(500 + x, 200 + y);
            EXPECT_EQ(a.r, b.r);
            EXPECT_EQ(a.g, b.g);
            EXPECT_EQ(a.b, b.b);
        }
    }
}

TEST_F(BitmapsTest, AStaticBitmapFollowsTheMatrixInForceWhenDrawn) {
    const std::vector<uint8_t> picture = Picture(4, 4);
    const uint32_t id = sglCreateStaticBitmap(10, 20, 4, 4, static_cast<uint32_t>(picture.size()), picture.data(), 0);
    sglPushMatrixAndTranslate(100, 100);
    f081(id);
    sglPopMatrixAndTranslate();
    EXPECT_EQ(16, CountCoveredPixels(100, 110, 30, 30));
    EXPECT_EQ(picture[0], ReadPixel(110, 120).r);
}

TEST_F(BitmapsTest, CompressedStaticBitmapAndIdsInOrder) {
    const uint32_t words[] = {0xFFFF0000, 0xFFFF0000, 4, 0xFF00FF00};  // six red, one green: 7 x 1
    const std::vector<uint8_t> picture = Picture(2, 2);
    EXPECT_EQ(0u, sglCreateStaticBitmap(0, 0, 2, 2, static_cast<uint32_t>(picture.size()), picture.data(), 0));
    EXPECT_EQ(1u, f080(100, 100, 7, 1, sizeof(words), words, 1));
    EXPECT_EQ(2u, Context().statics.bitmap_count);
    sglDrawStaticBitmap(1);
    EXPECT_EQ(6, velkor_test::CountPixelsNear(100, 100, 7, 1, Rgba{255, 0, 0, 255}));
    EXPECT_EQ(1, velkor_test::CountPixelsNear(100, 100, 7, 1, Rgba{0, 255, 0, 255}));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BitmapsTest, StaticBitmapsThatAreRefused) {
    const std::vector<uint8_t> picture = Picture(2, 2);
    const uint32_t bad_words[] = {1, 1, 5};  // 7 pixels for 2 x 2
    sglCreateStaticBitmap(0, 0, 2, 2, 16, picture.data(), 0);
    struct Row {
        const char* name;
        int32_t width, height;
        uint32_t size;
        const void* data;
        uint8_t compressed;
    };
    const Row rows[] = {
        {"width 0", 0, 2, 16, picture.data(), 0},
        {"height 0", 2, 0, 16, picture.data(), 0},
        {"negative height", 2, -1, 16, picture.data(), 0},
        {"taller than a texture", 1, 1025, 4100, picture.data(), 0},
        {"no data", 2, 2, 16, nullptr, 0},
        {"fewer bytes than the image", 2, 2, 12, picture.data(), 0},
        {"words that do not decode", 2, 2, sizeof(bad_words), bad_words, 1},
    };
    for (const Row& row : rows) {
        Context().errors.count = 0;
        EXPECT_EQ(1u, sglCreateStaticBitmap(0, 0, row.width, row.height, row.size, row.data, row.compressed))
            << row.name << ": the count comes back";
        ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 1);
        EXPECT_EQ(1u, Context().statics.bitmap_count) << row.name;
        EXPECT_EQ(0, Context().statics.bitmaps[1].used) << row.name;
    }
    // Without a scratch buffer no image can be converted.
    sgl_parameters parameters = HostParameters();
    parameters.texture_buffer = nullptr;
    parameters.max_texture_width = parameters.max_texture_height = 0;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    EXPECT_EQ(0u, sglCreateStaticBitmap(0, 0, 2, 2, 16, picture.data(), 0));
    ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 0);
}

TEST_F(BitmapsTest, The1025thStaticBitmapIsRefused) {
    const uint8_t pixel[4] = {255, 255, 255, 255};
    for (uint32_t k = 0; k < SGL_STATIC_BITMAP_COUNT; ++k) {
        ASSERT_EQ(k, sglCreateStaticBitmap(0, 0, 1, 1, 4, pixel, 0));
    }
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(1024u, sglCreateStaticBitmap(0, 0, 1, 1, 4, pixel, 0));
    ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 1024);
    EXPECT_EQ(1024u, Context().statics.bitmap_count);
    // The last one that was made draws.
    Context().errors.count = 0;
    sglDrawStaticBitmap(1023);
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(255, ReadPixel(0, 0).r);
    // The library never releases them; the test does, to keep the process small.
    for (const sgl_static_bitmap& bitmap : Context().statics.bitmaps) glDeleteTextures(1, &bitmap.name);
}

TEST_F(BitmapsTest, DrawingABitmapThatDoesNotExist) {
    const uint32_t ids[] = {0, 3, 1023, 1024, 0xFFFFFFFF};
    for (uint32_t id : ids) {
        Context().errors.count = 0;
        sglDrawStaticBitmap(id);
        ExpectOnlyError(SGL_ERROR_DRAW_STATIC_BITMAP, id);
    }
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
}

TEST_F(BitmapsTest, ModulationIsOffOnlyWhileTheBitmapDraws) {
    const std::vector<uint8_t> picture = Picture(3, 3);
    const uint32_t id = sglCreateStaticBitmap(50, 50, 3, 3, static_cast<uint32_t>(picture.size()), picture.data(), 0);
    sglIndexColori(velkor_test::kRed);
    sglEnable(SGL_TEXTURE_MODULATE);
    sglDrawStaticBitmap(id);
    EXPECT_EQ(picture[1], ReadPixel(50, 50).g) << "not tinted by the red colour";
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(GL_MODULATE, mode);
    ExpectCacheMatchesOpenGl("after a static bitmap");
    // A fill drawn next uses the library's own arrays again.
    sglDisable(SGL_TEXTURE_MODULATE);
    Rectangle(200, 200, 210, 210);
    EXPECT_EQ(100, CountCoveredPixels(195, 195, 20, 20));
}

// --- static sequences -----------------------------------------------------------

TEST_F(BitmapsTest, ASequenceRecordsWithoutDrawingAndReplaysItsDrawing) {
    const uint32_t list = sglBeginStaticSequence(0, 0, 400, 400);
    ASSERT_NE(0u, list);
    EXPECT_EQ(1, Context().cache_bypass);
    sglIndexColori(velkor_test::kGreen);
    Rectangle(100, 100, 200, 200);
    sglIndexColori(velkor_test::kBlue);
    sglBegin(11);
    sglVertex2f(100, 300.5f);
    sglVertex2f(300, 300.5f);
    sglEnd();
    sglEndStaticSequence();
    EXPECT_EQ(0, Context().cache_bypass);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 400, 400)) << "recorded, not drawn";

    // Other drawing in between reuses the buffers; the list keeps its own copy.
    sglIndexColori(velkor_test::kRed);
    Rectangle(600, 600, 610, 610);
    velkor_test::ClearDisplay();
    sglCallStaticSequence(list);
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 100, 100, Rgba{0, 255, 0, 255}));
    EXPECT_EQ(200, velkor_test::CountPixelsNear(100, 300, 200, 1, Rgba{0, 0, 255, 255}, 8));
    EXPECT_EQ(0, CountCoveredPixels(590, 590, 30, 30));
    // A second call draws it again.
    velkor_test::ClearDisplay();
    f078(list);
    EXPECT_EQ(10000, velkor_test::CountPixelsNear(100, 100, 100, 100, Rgba{0, 255, 0, 255}));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BitmapsTest, TheStateCacheStaysTrueAfterRecordingAndReplaying) {
    // Before: no blend, no texture, the white colour issued.
    sglIndexColori(velkor_test::kWhite);
    Rectangle(700, 700, 701, 701);
    sgliDisable(GL_BLEND);
    sgliDisable(GL_TEXTURE_2D);
    ExpectCacheMatchesOpenGl("before");

    uint8_t ramp[32];
    for (int k = 0; k < 32; ++k) ramp[k] = static_cast<uint8_t>(8 * k + 7);
    sglTexImage2Dubv(240, SGL_FORMAT_ALPHA, 1, 32, ramp, 1);
    const uint32_t list = f076(0, 0, 100, 100);
    ASSERT_NE(0u, list);
    // Inside: a modulated texture fill under a translation, then a green line.
    sglEnable(SGL_TEXTURE_MODULATE);
    sglBindTexture(SGL_TEXTURE_FILL, 240);
    sglEnable(SGL_TEXTURE_FILL);
    sglIndexColori(velkor_test::kRed);
    sglTranslatef(10, 10);
    const float xs[2] = {100, 164}, ys[2] = {100, 420};
    sglFormatTexture(2, xs, ys, 1, 1, 0, 0);
    Rectangle(100, 100, 164, 420);
    sglDisable(SGL_TEXTURE_FILL);
    sglIndexColori(velkor_test::kGreen);
    sglBegin(11);
    sglVertex2f(300, 50.5f);
    sglVertex2f(400, 50.5f);
    sglEnd();
    f077();
    EXPECT_EQ(0, Context().texture_modulate) << "the end turns modulation off";
    ExpectCacheMatchesOpenGl("after recording");

    sglLoadIdentity();
    velkor_test::ClearDisplay();
    sglCallStaticSequence(list);
    ExpectCacheMatchesOpenGl("after replaying");
    // The recorded translation was replayed inside the list only.
    EXPECT_GT(ReadPixel(140, 300).r, 100);
    EXPECT_EQ(0, CountCoveredPixels(100, 100, 5, 320)) << "drawn 10 units to the right";
    EXPECT_EQ(100, velkor_test::CountPixelsNear(310, 60, 100, 1, Rgba{0, 255, 0, 255}, 8));
    // Drawing after the replay goes where the library's matrix says.
    sglIndexColori(velkor_test::kBlue);
    Rectangle(600, 100, 610, 110);
    EXPECT_EQ(100, velkor_test::CountPixelsNear(600, 100, 10, 10, Rgba{0, 0, 255, 255}));
    EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BitmapsTest, SequencesThatDoNotStart) {
    EXPECT_EQ(0u, sglBeginStaticSequence(10, 0, 9, 5)) << "x1 < x0";
    EXPECT_EQ(0u, sglBeginStaticSequence(0, 10, 5, 9)) << "y1 < y0";
    EXPECT_EQ(0, Context().cache_bypass);
    const uint32_t list = sglBeginStaticSequence(5, 5, 5, 5);  // an empty box is fine
    ASSERT_NE(0u, list);
    EXPECT_EQ(0u, sglBeginStaticSequence(0, 0, 10, 10)) << "one is recording already";
    EXPECT_EQ(list, Context().statics.sequence_list);
    sglEndStaticSequence();
    // Ending twice, or calling a list that was never made, does nothing.
    sglEndStaticSequence();
    sglCallStaticSequence(list + 1000);
    EXPECT_EQ(0, Context().cache_bypass);
    EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
    EXPECT_EQ(0u, Context().errors.count);
    ExpectCacheMatchesOpenGl("after the misuse");
}

}  // namespace
