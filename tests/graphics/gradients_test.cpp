// Gradients: RGBA images uploaded into gradient slots, placed in the corner
// of a repeating texture, and the ramp a gradient fill shows on the screen.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "graphics/sgl.h"
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
  static std::vector<uint8_t> Texels(uint32_t slot) {
    std::vector<uint8_t> texels(Slot(slot).texture_width * Slot(slot).texture_height * 4);
    glBindTexture(GL_TEXTURE_2D, Slot(slot).name);
    Context().gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  sgl_texture_slot gradients_[kGradientSlots] = {};
};

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
      const velkor_test::Rgba p = velkor_test::ReadPixel(100 + 10 * k + 5, 200);
      EXPECT_NEAR(fill ? 4 * k : 0, p.r, 2) << "texel column " << k;
      EXPECT_EQ(fill ? 0 : 255, p.g) << "texel column " << k;
    }
  }
  // The same along the whole height: the gradient varies only across.
  EXPECT_NEAR(velkor_test::ReadPixel(400, 120).r, velkor_test::ReadPixel(400, 280).r, 1);
  EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 100, 768));
  EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
