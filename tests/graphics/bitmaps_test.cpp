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

}  // namespace
