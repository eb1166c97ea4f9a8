// Static bitmaps (images fixed at a place, drawn by id) and static sequences
// (drawing recorded into a display list and replayed), with the OpenGL state
// cache checked against OpenGL itself after recording and replaying.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::ReadPixel;
using velkor_test::Rgba;

const float kWidths[1][3] = {{1.0f, 1.0f, 2.0f}};
const Rgba kGreen{0, 255, 0, 255};

class BitmapsTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
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
  static void Line(float x0, float x1, float y) {
    sglBegin(11);
    sglVertex2f(x0, y);
    sglVertex2f(x1, y);
    sglEnd();
  }
  // OpenGL's own state agrees with what the library's cache believes.
  static void ExpectCacheMatchesOpenGl(const char* when) {
    SCOPED_TRACE(when);
    const sgl_type_statemachine& c = Context();
    const std::pair<uint8_t, GLenum> enables[] = {{c.gl_texture_2d, GL_TEXTURE_2D},
                                                  {c.gl_blend, GL_BLEND},
                                                  {c.gl_stencil_test, GL_STENCIL_TEST},
                                                  {c.gl_scissor_test, GL_SCISSOR_TEST}};
    for (const auto& [cached, capability] : enables) {
      EXPECT_EQ(cached != 0, glIsEnabled(capability) == GL_TRUE) << std::hex << capability;
    }
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(static_cast<GLint>(c.gl_tex_env[2]), mode);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(c.gl_color, c.gl_color + 4),
              std::vector<float>(colour, colour + 4));
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(std::vector<float>(c.transform.matrix, c.transform.matrix + 16),
              std::vector<float>(matrix, matrix + 16));
  }
};

// ---------------------------------------------------------------- static bitmaps

TEST_F(BitmapsTest, AStaticBitmapDrawsPixelForPixelUnderTheMatrixInForce) {
  const std::vector<uint8_t> picture = Picture(5, 4);
  EXPECT_EQ(0u, sglCreateStaticBitmap(200, 100, 5, 4, static_cast<uint32_t>(picture.size()),
                                      picture.data(), 0));
  sglPushMatrixAndTranslate(100, 100);
  sglDrawStaticBitmap(0);
  sglPopMatrixAndTranslate();
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 5; ++x) {
      const uint8_t* want = &picture[(y * 5 + x) * 4];
      const Rgba got = ReadPixel(300 + static_cast<int>(x), 200 + static_cast<int>(y));
      EXPECT_EQ((std::vector<int>{want[0], want[1], want[2]}),
                (std::vector<int>{got.r, got.g, got.b}))
          << x << ", " << y;
    }
  }
  EXPECT_EQ(20, CountCoveredPixels(290, 190, 30, 30));
  // Run-length coded: six red, one green.
  const uint32_t words[] = {0xFFFF0000, 0xFFFF0000, 4, 0xFF00FF00};
  EXPECT_EQ(1u, sglCreateStaticBitmap(100, 100, 7, 1, sizeof(words), words, 1));
  sglDrawStaticBitmap(1);
  EXPECT_EQ(6, CountPixelsNear(100, 100, 7, 1, Rgba{255, 0, 0, 255}));
  EXPECT_EQ(1, CountPixelsNear(100, 100, 7, 1, kGreen));
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BitmapsTest, RefusedStaticBitmapsGiveTheCountBackAndNamesThatAreNoneDrawNothing) {
  const std::vector<uint8_t> picture = Picture(2, 2);
  const uint32_t bad_words[] = {1, 1, 5};  // 7 pixels for 2 x 2
  sglCreateStaticBitmap(0, 0, 2, 2, 16, picture.data(), 0);
  const struct {
    const char* name;
    int32_t width, height;
    uint32_t size;
    const void* data;
    uint8_t compressed;
  } rows[] = {
      {"negative height", 2, -1, 16, picture.data(), 0},
      {"taller than a texture", 1, 1025, 4100, picture.data(), 0},
      {"no data", 2, 2, 16, nullptr, 0},
      {"words that do not decode", 2, 2, sizeof(bad_words), bad_words, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Context().errors.count = 0;
    EXPECT_EQ(
        1u, sglCreateStaticBitmap(0, 0, row.width, row.height, row.size, row.data, row.compressed));
    ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 1);
    EXPECT_EQ(1u, Context().statics.bitmap_count);
  }
  for (uint32_t id : {1u, 1024u, 0xFFFFFFFFu}) {
    Context().errors.count = 0;
    sglDrawStaticBitmap(id);
    ExpectOnlyError(SGL_ERROR_DRAW_STATIC_BITMAP, id);
  }
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
  // Without a scratch buffer no image can be converted.
  sgl_parameters parameters = HostParameters();
  parameters.texture_buffer = nullptr;
  parameters.max_texture_width = parameters.max_texture_height = 0;
  ASSERT_TRUE(sglInit(&Context(), &parameters));
  EXPECT_EQ(0u, sglCreateStaticBitmap(0, 0, 2, 2, 16, picture.data(), 0));
  ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 0);
}

TEST_F(BitmapsTest, The1025thStaticBitmapIsRefusedWithError98) {
  const uint8_t pixel[4] = {255, 255, 255, 255};
  for (uint32_t k = 0; k < SGL_STATIC_BITMAP_COUNT; ++k) {
    ASSERT_EQ(k, sglCreateStaticBitmap(0, 0, 1, 1, 4, pixel, 0));
  }
  EXPECT_EQ(0u, Context().errors.count);
  EXPECT_EQ(1024u, sglCreateStaticBitmap(0, 0, 1, 1, 4, pixel, 0));
  ExpectOnlyError(SGL_ERROR_CREATE_STATIC_BITMAP, 1024);
  // The last one that was made draws.
  sglDrawStaticBitmap(1023);
  EXPECT_EQ(255, ReadPixel(0, 0).r);
  EXPECT_EQ(1u, Context().errors.count);
  // The library never releases them; the test does, to keep the process small.
  for (const sgl_static_bitmap& bitmap : Context().statics.bitmaps)
    glDeleteTextures(1, &bitmap.name);
}

TEST_F(BitmapsTest, ModulationIsOffOnlyWhileAStaticBitmapDraws) {
  const std::vector<uint8_t> picture = Picture(3, 3);
  const uint32_t id =
      sglCreateStaticBitmap(50, 50, 3, 3, static_cast<uint32_t>(picture.size()), picture.data(), 0);
  sglIndexColori(velkor_test::kRed);
  sglEnable(SGL_TEXTURE_MODULATE);
  sglDrawStaticBitmap(id);
  EXPECT_EQ(picture[1], ReadPixel(50, 50).g) << "not tinted by the red colour";
  ExpectCacheMatchesOpenGl("after a static bitmap");
  EXPECT_EQ(uint32_t{GL_MODULATE}, Context().gl_tex_env[2]);
  // A fill drawn next uses the library's own arrays again.
  sglDisable(SGL_TEXTURE_MODULATE);
  velkor_test::FillQuad(200, 200, 210, 210);
  EXPECT_EQ(100, CountCoveredPixels(195, 195, 20, 20));
}

// ---------------------------------------------------------------- static sequences

TEST_F(BitmapsTest, ASequenceRecordsWithoutDrawingAndReplaysItsDrawing) {
  const uint32_t list = sglBeginStaticSequence(0, 0, 400, 400);
  ASSERT_NE(0u, list);
  sglIndexColori(velkor_test::kGreen);
  velkor_test::FillQuad(100, 100, 200, 200);
  sglIndexColori(velkor_test::kBlue);
  Line(100, 300, 300.5f);
  sglEndStaticSequence();
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 400, 400)) << "recorded, not drawn";
  // Other drawing in between reuses the buffers; the list keeps its own copy.
  sglIndexColori(velkor_test::kRed);
  velkor_test::FillQuad(600, 600, 610, 610);
  for (int call = 0; call < 2; ++call) {
    velkor_test::ClearDisplay();
    sglCallStaticSequence(list);
    EXPECT_EQ(10000, CountPixelsNear(100, 100, 100, 100, kGreen)) << call;
    EXPECT_EQ(200, CountPixelsNear(100, 300, 200, 1, Rgba{0, 0, 255, 255}, 8)) << call;
    EXPECT_EQ(0, CountCoveredPixels(590, 590, 30, 30)) << call;
  }
  EXPECT_EQ(0u, Context().errors.count);
}

// While recording, the cache is bypassed so that every state call lands in
// the list; afterwards the cache must again say what OpenGL holds.
TEST_F(BitmapsTest, TheStateCacheStaysTrueAfterRecordingAndReplaying) {
  sglIndexColori(velkor_test::kWhite);
  velkor_test::FillQuad(700, 700, 701, 701);
  ExpectCacheMatchesOpenGl("before");
  uint8_t ramp[32];
  for (int k = 0; k < 32; ++k) ramp[k] = static_cast<uint8_t>(8 * k + 7);
  sglTexImage2Dubv(240, SGL_FORMAT_ALPHA, 1, 32, ramp, 1);
  const uint32_t list = sglBeginStaticSequence(0, 0, 100, 100);
  ASSERT_NE(0u, list);
  EXPECT_EQ(1, Context().cache_bypass);
  // Inside: a modulated texture fill under a translation, then a green line.
  sglEnable(SGL_TEXTURE_MODULATE);
  sglBindTexture(SGL_TEXTURE_FILL, 240);
  sglEnable(SGL_TEXTURE_FILL);
  sglIndexColori(velkor_test::kRed);
  sglTranslatef(10, 10);
  const float xs[2] = {100, 164}, ys[2] = {100, 420};
  sglFormatTexture(2, xs, ys, 1, 1, 0, 0);
  velkor_test::FillQuad(100, 100, 164, 420);
  sglDisable(SGL_TEXTURE_FILL);
  sglIndexColori(velkor_test::kGreen);
  Line(300, 400, 50.5f);
  sglEndStaticSequence();
  EXPECT_EQ(0, Context().cache_bypass);
  EXPECT_EQ(0, Context().texture_modulate) << "the end turns modulation off";
  ExpectCacheMatchesOpenGl("after recording");

  sglLoadIdentity();
  velkor_test::ClearDisplay();
  sglCallStaticSequence(list);
  ExpectCacheMatchesOpenGl("after replaying");
  // The recorded translation was replayed inside the list only.
  EXPECT_GT(ReadPixel(140, 300).r, 100);
  EXPECT_EQ(0, CountCoveredPixels(100, 100, 5, 320)) << "drawn 10 units to the right";
  EXPECT_EQ(100, CountPixelsNear(310, 60, 100, 1, kGreen, 8));
  sglIndexColori(velkor_test::kBlue);
  velkor_test::FillQuad(600, 100, 610, 110);
  EXPECT_EQ(100, CountPixelsNear(600, 100, 10, 10, Rgba{0, 0, 255, 255}))
      << "where the library's matrix says";
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(BitmapsTest, SequencesThatDoNotStartAndMisuseThatDoesNothing) {
  EXPECT_EQ(0u, sglBeginStaticSequence(10, 0, 9, 5)) << "x1 < x0";
  EXPECT_EQ(0u, sglBeginStaticSequence(0, 10, 5, 9)) << "y1 < y0";
  const uint32_t list = sglBeginStaticSequence(5, 5, 5, 5);  // an empty box is fine
  ASSERT_NE(0u, list);
  EXPECT_EQ(0u, sglBeginStaticSequence(0, 0, 10, 10)) << "one is recording already";
  sglEndStaticSequence();
  sglEndStaticSequence();
  sglCallStaticSequence(list + 1000);
  EXPECT_EQ(0, Context().cache_bypass);
  EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
  EXPECT_EQ(0u, Context().errors.count);
  ExpectCacheMatchesOpenGl("after the misuse");
}

}  // namespace
