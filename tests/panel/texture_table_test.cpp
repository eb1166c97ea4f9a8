// The panel's texture table: every slot uploads through the drawing library
// without an error, the ramps hold their bytes exactly, and the pictures
// have their sizes and kinds. Texels are read back from OpenGL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/sgl.h"
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
    // The library caches its bound texture: put the binding back so that
    // the cache stays true without reaching into the library's internals.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, slot.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
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
      {240, 7, 1, 32, 64},  {241, 7, 1, 32, 64},     {242, 7, 1, 32, 64},     {243, 7, 32, 1, 64},
      {245, 7, 32, 1, 64},  {247, 7, 1, 32, 64},     {249, 7, 1, 32, 64},     {250, 7, 32, 64, 64},
      {251, 7, 32, 32, 64}, {252, 6, 200, 172, 256}, {253, 7, 128, 128, 128},
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
  // Loading again replaces the images in the same textures.
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
      {240, true, 7, 8},  {241, true, 3, 4},    {242, true, 1, 2},   {243, false, 255, -8},
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

// Image pixel (x, y) of a stretched picture lies at texel (x * tw / w, y * th / h).
TEST_F(TextureTableTest, PicturesHaveTheirShapes) {
  const std::vector<uint8_t> band = Texels(250);  // 32 x 64 on 64 x 64
  auto band_at = [&band](int x, int y) { return static_cast<int>(band[y * 64 + 2 * x]); };
  EXPECT_EQ((std::vector<int>{255, 255, 0, 0}),
            (std::vector<int>{band_at(4, 4), band_at(20, 20), band_at(20, 4), band_at(4, 20)}))
      << "two blocks in a checker below";
  for (int k = 0; k < 32; ++k) EXPECT_EQ(255, band_at(k, 32 + k)) << "on the diagonal at " << k;
  EXPECT_EQ(0, band_at(31, 32)) << "far from the diagonal";

  const std::vector<uint8_t> quarter = Texels(251);  // 32 x 32 on 64 x 64
  auto quarter_at = [&quarter](int x, int y) {
    return static_cast<int>(quarter[2 * y * 64 + 2 * x]);
  };
  EXPECT_GT(quarter_at(0, 0), 240);
  for (int k = 1; k < 23; ++k)
    EXPECT_LT(quarter_at(k, k), quarter_at(k - 1, k - 1)) << "fading at " << k;
  EXPECT_EQ(quarter_at(10, 3), quarter_at(3, 10)) << "round, not square";
  EXPECT_EQ(0, quarter_at(31, 5)) << "beyond the radius";

  const std::vector<uint8_t> alpha = Texels(252, 3);  // 200 x 172 RGBA on 256 x 256
  const std::vector<uint8_t> green = Texels(252, 1);
  const std::vector<uint8_t> blue = Texels(252, 2);
  EXPECT_EQ(std::vector<uint8_t>(alpha.size(), 255), alpha) << "opaque";
  EXPECT_GT(blue[250 * 256 + 20], green[250 * 256 + 20]) << "sky at the top";
  EXPECT_GT(green[5 * 256 + 128], blue[5 * 256 + 128]) << "grass at the bottom";

  const std::vector<uint8_t> glow = Texels(253);  // 128 x 128, the texture is the image
  auto glow_at = [&glow](int x, int y) { return static_cast<int>(glow[y * 128 + x]); };
  EXPECT_GT(glow_at(64, 64), 245);
  for (int r = 4; r <= 60; r += 4)
    EXPECT_LT(glow_at(64 + r, 64), glow_at(60 + r, 64)) << "falling at " << r;
  EXPECT_EQ(0, glow_at(64 + 61, 64));
  EXPECT_EQ(glow_at(64 + 30, 64), glow_at(63 - 30, 64)) << "centred";
  EXPECT_EQ(glow_at(64 + 30, 64), glow_at(64, 64 + 30)) << "round";
}

}  // namespace
