// Static bitmaps and static sequences (display lists), with the OpenGL state
// cache checked against OpenGL after recording and replaying.
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
  std::vector<uint8_t> picture(5 * 4 * 4, 255);  // a different colour in every pixel
  for (uint32_t k = 0; k < 20; ++k) {
    picture[4 * k] = static_cast<uint8_t>(40 * (k % 5) + 15);
    picture[4 * k + 1] = static_cast<uint8_t>(50 * (k / 5) + 20);
  }
  EXPECT_EQ(0u, sglCreateStaticBitmap(200, 100, 5, 4, static_cast<uint32_t>(picture.size()),
                                      picture.data(), 0));
  sglPushMatrixAndTranslate(100, 100);
  sglDrawStaticBitmap(0);
  sglPopMatrixAndTranslate();
  for (uint32_t k = 0; k < 20; ++k) {
    const Rgba got = ReadPixel(300 + static_cast<int>(k % 5), 200 + static_cast<int>(k / 5));
    EXPECT_EQ((std::vector<int>{picture[4 * k], picture[4 * k + 1], 255}),
              (std::vector<int>{got.r, got.g, got.b}))
        << k;
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

// While recording, every state call must land in the list, bypassing the cache.
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
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  sglVertex2f(300, 50.5f);
  sglVertex2f(400, 50.5f);
  sglEnd();
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
