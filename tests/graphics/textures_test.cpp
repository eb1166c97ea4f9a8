// Textures: sizes, run-length words, refused calls, the fill mapping and its
// texels, bitmaps at their pixel size, gradients, static bitmaps and static
// sequences (display lists) with the state cache checked against OpenGL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::ReadPixel;
using velkor_test::Rgba;

TEST(TextureSize, PowersOfTwoMadeSquareWhereTheMaximaAllow) {
  const struct {
    uint32_t width, height, max_width, max_height, texture_width, texture_height;
  } cases[] = {
      {32, 1, 1024, 1024, 64, 64},
      {200, 172, 1024, 1024, 256, 256},
      {2000, 10, 1024, 1024, 1024, 1024},
      // Unequal maxima: the wider side must never shrink below the image.
      {1000, 10, 1024, 64, 1024, 64},
      {10, 1000, 64, 1024, 64, 1024},
      {100, 10, 1024, 128, 128, 128},
      {10, 200, 1024, 1024, 256, 256},  // the taller side decides
  };
  for (const auto& c : cases) {
    uint32_t w = 0, h = 0;
    sgl_texture_size(c.width, c.height, c.max_width, c.max_height, &w, &h);
    EXPECT_EQ((std::vector<uint32_t>{c.texture_width, c.texture_height}),
              (std::vector<uint32_t>{w, h}))
        << c.width << " x " << c.height << " in " << c.max_width << " x " << c.max_height;
  }
}

// Decoding never writes beyond the image, whatever the words say.
TEST(TextureWords, RunsPixelLayoutsAndWordsThatDoNotMakeTheImage) {
  const uint32_t a = 0x80112233, b = 0x40AABBCC;
  const struct {
    const char* name;
    std::vector<uint32_t> words;
    uint32_t bytes_per_pixel, size;
    bool decodes;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"A A 3 B is five A then B", {a, a, 3, b}, 1, 6, true, {0x33, 0x33, 0x33, 0x33, 0x33, 0xCC}},
      {"a pair at the end stands twice", {a, b, b}, 1, 3, true, {0x33, 0xCC, 0xCC}},
      {"RGB takes red, green, blue", {a}, 3, 3, true, {0x11, 0x22, 0x33}},
      {"RGBA", {a, b}, 4, 8, true, {0x11, 0x22, 0x33, 0x80, 0xAA, 0xBB, 0xCC, 0x40}},
      {"a count of 0xFFFFFFFE gives no pixels", {a, a, 0xFFFFFFFE, b}, 1, 1, true, {0xCC}},
      {"too few pixels", {a, b}, 1, 3, false, {}},
      {"too many pixels", {a, b, a}, 1, 2, false, {}},
      {"a run past the image", {a, a, 0x7FFFFFFF}, 4, 8, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> out(c.size + 4, 0xEE);
    EXPECT_EQ(c.decodes,
              sgl_decode_texture_words(c.words.data(), static_cast<uint32_t>(c.words.size()),
                                       c.bytes_per_pixel, out.data(), c.size));
    EXPECT_EQ(std::vector<uint8_t>(4, 0xEE), std::vector<uint8_t>(out.begin() + c.size, out.end()));
    if (c.decodes) {
      EXPECT_EQ(c.bytes, std::vector<uint8_t>(out.begin(), out.begin() + c.size));
    }
  }
}

// A 2 x 2 RGBA image: red, green in the bottom row, blue, white above.
const uint8_t kQuadrants[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
const Rgba kRedPixel{255, 0, 0, 255};
const Rgba kGreenPixel{0, 255, 0, 255};
const Rgba kBluePixel{0, 0, 255, 255};
const Rgba kWhitePixel{255, 255, 255, 255};
const float kWidths[1][3] = {{1.0f, 1.0f, 2.0f}};
constexpr uint32_t kGradientSlots = 4;

class TexturesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
  }
  static void FormatBox(float x0, float y0, float x1, float y1, float nx, float ny, uint32_t ax,
                        uint32_t ay) {
    const float xs[4] = {x0, x1, x1, x0};
    const float ys[4] = {y0, y0, y1, y1};
    sglFormatTexture(4, xs, ys, nx, ny, ax, ay);
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
using BitmapsTest = TexturesTest;

class GradientsTest : public TexturesTest {
 protected:
  void SetUp() override {
    TexturesTest::SetUp();
    sgl_parameters parameters = HostParameters();
    parameters.gradient_table = gradients_;
    parameters.gradient_count = kGradientSlots;
    ASSERT_TRUE(sglInit(&Context(), &parameters));
    velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
  }
  static const sgl_texture_slot& Slot(uint32_t slot) { return Context().gradient_table[slot]; }
  static std::vector<uint8_t> Texels(uint32_t slot) {
    std::vector<uint8_t> texels(Slot(slot).texture_width * Slot(slot).texture_height * 4);
    glBindTexture(GL_TEXTURE_2D, Slot(slot).name);
    Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  sgl_texture_slot gradients_[kGradientSlots] = {};
};

TEST_F(TexturesTest, RefusedCallsRecordTheirErrorAndChangeNothing) {
  const uint8_t data[16] = {};
  const uint32_t short_words[] = {0xFF, 0xFF, 10};  // 12 pixels for a 4 x 2 image
  const float xs[3] = {0, 10, 10}, ys[3] = {0, 0, 10};
  const uint32_t map_error = SGL_ERROR_FORMAT_TEXTURE;
  const struct {
    const char* name;  // slot 3 is loaded and in use by the fill, 9 never loaded
    std::function<void()> call;
    uint32_t code, value;
  } cases[] = {
      {"format 4", [&] { sglTexImage2Dubv(1, 4, 2, 2, data, 0); }, SGL_ERROR_TEX_IMAGE, 1},
      {"height 1025", [&] { sglTexImage2Dubv(1, 7, 2, 1025, data, 0); }, SGL_ERROR_TEX_IMAGE, 1},
      {"slot -1", [&] { sglTexImage2Dubv(-1, 7, 2, 2, data, 0); }, SGL_ERROR_TEX_IMAGE, ~0u},
      {"slot 254", [&] { sglTexImage2Dubv(254, 7, 2, 2, data, 0); }, SGL_ERROR_TEX_IMAGE, 254},
      {"no data", [] { sglTexImage2Dubv(1, 7, 2, 2, nullptr, 0); }, SGL_ERROR_TEX_IMAGE, 1},
      {"short words", [&] { sglCompressedTexImage2D(1, 7, 4, 2, 3, short_words, 0); },
       SGL_ERROR_COMPRESSED_TEX_IMAGE, 1},
      {"in use", [&] { sglTexImage2Dubv(3, 7, 1, 1, data, 0); }, SGL_ERROR_TEX_IMAGE, 3},
      {"bind 9", [] { sglBindTexture(SGL_TEXTURE_FILL, 9); }, SGL_ERROR_BIND_TEXTURE, 9},
      {"bind 254", [] { sglBindTexture(SGL_TEXTURE_FILL, 254); }, SGL_ERROR_BIND_TEXTURE, 254},
      {"4096 points", [&] { sglFormatTexture(4096, xs, ys, 1, 1, 0, 0); }, map_error, 4096},
      {"alignment 3", [&] { sglFormatTexture(3, xs, ys, 1, 1, 0, 3); }, map_error, 3},
      {"no xs", [&] { sglFormatTexture(3, nullptr, ys, 1, 1, 0, 0); }, map_error, 3},
      {"bitmap 254", [] { sgluDrawBitmap(254, 0, 0); }, SGL_ERROR_DRAW_BITMAP, 254},
  };
  sglTexImage2Dubv(3, SGL_FORMAT_ALPHA, 2, 2, data, 0);
  sglBindTexture(SGL_TEXTURE_FILL, 3);
  sglEnable(SGL_TEXTURE_FILL);
  sglEnable(SGL_TEXTURE_MODULATE);
  const sgl_texture_state mapping = Context().texture;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Context().errors.count = 0;
    c.call();
    ExpectOnlyError(c.code, c.value);
    EXPECT_EQ(0, Context().texture_table[1].loaded);
    EXPECT_EQ(2u, Context().texture_table[3].width);
    EXPECT_EQ(3u, Context().texture.current_texture);
    EXPECT_EQ(mapping.width, Context().texture.width);
  }
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 100, 100));
  // Without a texture table no mapping is made.
  sgl_parameters parameters = HostParameters();
  parameters.texture_table = nullptr;
  ASSERT_TRUE(sglInit(&Context(), &parameters));
  sglFormatTexture(3, xs, ys, 1, 1, 0, 0);
  ExpectOnlyError(SGL_ERROR_FORMAT_TEXTURE, 3);
}

TEST_F(TexturesTest, RepetitionsOffsetsAndFactorsOfTheMapping) {
  const struct {
    uint32_t image_width, image_height;
    uint8_t scaled;
    float box_width, box_height, nx, ny;
    uint32_t ax, ay;
    float repeat_x, repeat_y, offset_x, offset_y, factor_x, factor_y;
  } cases[] = {
      {32, 32, 0, 128, 64, -1, 0, 0, 0, 4, 2, 0, 0, 0.5f, 0.5f},  // natural size
      {32, 32, 0, 128, 64, 3, 5, 0, 0, 3, 5, 0, 0, 0.5f, 0.5f},   // both given
      {32, 16, 0, 128, 64, 0, 2, 0, 0, 2, 2, 0, 0, 0.5f, 0.25f},  // ny: aspect kept across
      {32, 16, 0, 128, 64, 3, 0, 0, 0, 3, 3, 0, 0, 0.5f, 0.25f},  // nx: aspect kept upwards
      {32, 32, 0, 128, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f},    // ny on a flat box
      {32, 32, 0, 80, 48, 0, 0, 1, 1, 2.5f, 1.5f, -0.75f, -0.25f, 0.5f, 0.5f},  // centred
      {32, 32, 0, 80, 48, 0, 0, 2, 2, 2.5f, 1.5f, 0.5f, 0.5f, 0.5f, 0.5f},      // at the right, top
      {32, 32, 1, 128, 64, 0, 0, 0, 0, 4, 2, 0, 0, 1, 1},  // a stretched image fills its texture
  };
  std::vector<uint8_t> image(64 * 64, 200);
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    sglDisable(SGL_TEXTURE_FILL);
    sglTexImage2Dubv(11, SGL_FORMAT_ALPHA, c.image_width, c.image_height, image.data(), c.scaled);
    sglBindTexture(SGL_TEXTURE_FILL, 11);
    FormatBox(100, 200, 100 + c.box_width, 200 + c.box_height, c.nx, c.ny, c.ax, c.ay);
    const sgl_texture_state& t = Context().texture;
    EXPECT_EQ((std::vector<float>{100, 200, c.box_width, c.box_height, c.repeat_x, c.repeat_y,
                                  c.offset_x, c.offset_y, c.factor_x, c.factor_y}),
              (std::vector<float>{t.origin_x, t.origin_y, t.width, t.height, t.repeat_x, t.repeat_y,
                                  t.offset_x, t.offset_y, t.factor_x, t.factor_y}));
  }
  // The natural size follows the scale in force: a unit is now 2 x 4 pixels.
  sglScalef(2.0f, 4.0f);
  FormatBox(0, 0, 128, 64, 0, 0, 0, 0);
  EXPECT_EQ(8.0f, Context().texture.repeat_x);
  EXPECT_EQ(8.0f, Context().texture.repeat_y);
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TexturesTest, TexelsLandWhereTheMappingPutsThemInQuadsAndConcaveFills) {
  sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
  sglBindTexture(SGL_TEXTURE_FILL, 12);
  sglEnable(SGL_TEXTURE_FILL);
  FormatBox(100, 100, 300, 300, 1, 1, 0, 0);
  velkor_test::FillQuad(100, 100, 300, 300);
  // Each quadrant is exactly 100 x 100 pixels: nearest texels, clamped.
  for (const Rgba& colour : {kRedPixel, kGreenPixel, kBluePixel, kWhitePixel}) {
    EXPECT_EQ(10000, CountPixelsNear(100, 100, 200, 200, colour));
  }
  EXPECT_EQ(1, CountPixelsNear(250, 150, 1, 1, kGreenPixel, 2));
  EXPECT_EQ(1, CountPixelsNear(150, 250, 1, 1, kBluePixel, 2));

  // An L over three quadrants of the box, cut into triangles by ear clipping.
  velkor_test::ClearDisplay();
  sglEnable(SGL_TESSELLATION);
  const float xs[6] = {100, 300, 300, 200, 200, 100};
  const float ys[6] = {100, 100, 200, 200, 300, 300};
  sglFormatTexture(6, xs, ys, 1, 1, 0, 0);
  sglBegin(5);
  for (int k = 0; k < 6; ++k) sglVertex2f(xs[k], ys[k]);
  sglEnd();
  EXPECT_EQ(10000, CountPixelsNear(100, 100, 200, 200, kBluePixel));
  EXPECT_EQ(0, CountCoveredPixels(200, 200, 100, 100)) << "the L's notch";
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TexturesTest, BitmapsCoverTheirOwnPixelsScaledOrNot) {
  // 3 x 2: red, green, blue / white, red, green.
  const uint8_t image[24] = {255, 0,   0,   255, 0,   255, 0, 255, 0, 0,   255, 255,
                             255, 255, 255, 255, 255, 0,   0, 255, 0, 255, 0,   255};
  sglTexImage2Dubv(20, SGL_FORMAT_RGBA, 3, 2, image, 0);
  sgluDrawBitmap(20, 200, 300);
  const Rgba expected[2][3] = {{kRedPixel, kGreenPixel, kBluePixel},
                               {kWhitePixel, kRedPixel, kGreenPixel}};
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(1, CountPixelsNear(200 + i, 300 + j, 1, 1, expected[j][i], 0)) << i << ", " << j;
    }
  }
  EXPECT_EQ(6, CountCoveredPixels(190, 290, 20, 20));
  // Stretched over its texture and mapped back once: the 2 x 2 pixels.
  sglTexImage2Dubv(21, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 1);
  sgluDrawBitmap(21, 400, 400);
  EXPECT_EQ(1, CountPixelsNear(400, 400, 1, 1, kRedPixel, 8));
  EXPECT_EQ(1, CountPixelsNear(401, 401, 1, 1, kWhitePixel, 8));
  EXPECT_EQ(4, CountCoveredPixels(390, 390, 20, 20));
  // In a half-size viewport 16 x 8 native pixels are 8 x 4 viewport pixels.
  std::vector<uint8_t> white(16 * 8 * 4, 255);
  sglTexImage2Dubv(22, SGL_FORMAT_RGBA, 16, 8, white.data(), 0);
  velkor_test::ClearDisplay();
  sglViewport(0, 0, 640, 384);
  sgluDrawBitmap(22, 200, 200);
  EXPECT_EQ(32, CountCoveredPixels(90, 90, 40, 40));
  EXPECT_EQ(32, CountPixelsNear(100, 100, 8, 4, kWhitePixel));
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(TexturesTest, DrawingABitmapKeepsTheCallersTextureState) {
  sglTexImage2Dubv(12, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
  sglTexImage2Dubv(13, SGL_FORMAT_RGBA, 2, 2, kQuadrants, 0);
  sglBindTexture(SGL_TEXTURE_FILL, 13);
  sglEnable(SGL_TEXTURE_MODULATE);
  FormatBox(0, 0, 64, 32, 3, 2, 2, 1);
  const sgl_texture_state before = Context().texture;
  for (uint8_t fill : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "texture fill " << int{fill});
    fill ? sglEnable(SGL_TEXTURE_FILL) : sglDisable(SGL_TEXTURE_FILL);
    sgluDrawBitmap(12, 20, 10);
    const sgl_texture_state& after = Context().texture;
    EXPECT_EQ(
        (std::vector<float>{13, before.repeat_x, before.offset_x, before.factor_y, before.width}),
        (std::vector<float>{static_cast<float>(after.current_texture), after.repeat_x,
                            after.offset_x, after.factor_y, after.width}));
    EXPECT_EQ(fill, Context().texture_fill);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(GL_MODULATE, mode);
    // Modulation was off while it was drawn: the white colour did not tint it.
    EXPECT_EQ(1, CountPixelsNear(20, 10, 1, 1, kRedPixel, 0));
  }
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(GradientsTest, AGradientIsANewRepeatingTextureWithTheImageInTheCorner) {
  const uint8_t image[8] = {10, 20, 30, 40, 50, 60, 70, 80};  // 2 x 1
  sglGradientTexture(1, 2, 1, 8, image, 0);
  const std::vector<uint8_t> texels = Texels(1);
  ASSERT_EQ(64u * 64u * 4u, texels.size());
  std::vector<uint8_t> expected(texels.size(), 0);
  std::copy(image, image + 8, expected.begin());
  EXPECT_EQ(expected, texels);
  GLint filter = 0, wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(GL_LINEAR, filter);
  EXPECT_EQ(GL_REPEAT, wrap);
  // Loading again gives a new texture; run-length words decode as RGBA.
  const uint32_t first = Slot(1).name;
  const uint32_t words[] = {0xFF102030, 0xFF102030, 1, 0x80405060};  // three, then one
  sglGradientTexture(1, 4, 1, sizeof(words), words, 1);
  EXPECT_NE(first, Slot(1).name);
  const std::vector<uint8_t> decoded = {0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30, 0xFF,
                                        0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80};
  const std::vector<uint8_t> coded = Texels(1);
  EXPECT_EQ(decoded, std::vector<uint8_t>(coded.begin(), coded.begin() + 16));
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(GradientsTest, AHorizontalRampRisesFromLeftToRightOnlyWithGradientFill) {
  // 64 x 64 RGBA whose red rises along x, 4 per texel.
  std::vector<uint8_t> ramp(64 * 64 * 4, 0);
  for (uint32_t i = 0; i < 64 * 64; ++i) {
    ramp[4 * i] = static_cast<uint8_t>(4 * (i % 64));
    ramp[4 * i + 3] = 255;
  }
  sglGradientTexture(0, 64, 64, static_cast<uint32_t>(ramp.size()), ramp.data(), 0);
  sglIndexGradienti(0);
  const float xs[4] = {100, 740, 740, 100}, ys[4] = {100, 100, 300, 300};  // ten pixels per texel
  for (bool fill : {false, true}) {
    SCOPED_TRACE(fill ? "gradient fill" : "plain");
    sglIndexColori(velkor_test::kGreen);
    if (fill) {
      sglEnable(SGL_GRADIENT_FILL);
    }
    sglFormatGradient(4, xs, ys);
    sglBegin(5);
    for (int k = 0; k < 4; ++k) sglVertex2f(xs[k], ys[k]);
    sglEnd();
    for (int k = 1; k < 63; ++k) {
      const Rgba p = ReadPixel(100 + 10 * k + 5, 200);
      EXPECT_NEAR(fill ? 4 * k : 0, p.r, 2) << "texel column " << k;
      EXPECT_EQ(fill ? 0 : 255, p.g) << "texel column " << k;
    }
  }
  // The same along the whole height: the gradient varies only across.
  EXPECT_NEAR(ReadPixel(400, 120).r, ReadPixel(400, 280).r, 1);
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 100, 768));
  EXPECT_EQ(0u, Context().errors.count);
}

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
  EXPECT_EQ(6, CountPixelsNear(100, 100, 7, 1, kRedPixel));
  EXPECT_EQ(1, CountPixelsNear(100, 100, 7, 1, kGreenPixel));
  EXPECT_EQ(0u, Context().errors.count);
}

// While recording, every state call must land in the list, bypassing the cache.
TEST_F(BitmapsTest, TheStateCacheStaysTrueAfterRecordingAndReplaying) {
  sglIndexColori(velkor_test::kWhite);
  velkor_test::FillQuad(700, 700, 701, 701);
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
  EXPECT_EQ(100, CountPixelsNear(310, 60, 100, 1, kGreenPixel, 8));
  sglIndexColori(velkor_test::kBlue);
  velkor_test::FillQuad(600, 100, 610, 110);
  EXPECT_EQ(100, CountPixelsNear(600, 100, 10, 10, kBluePixel))
      << "where the library's matrix says";
  EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
