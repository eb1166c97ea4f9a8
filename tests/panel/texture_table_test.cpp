// The panel's texture table: every slot uploads through the drawing library
// without an error with its size and kind, and the ramps hold their bytes
// exactly. Texels are read back from OpenGL.
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
  // The alpha of every texel of a slot's texture.
  static std::vector<uint8_t> Texels(uint32_t id) {
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
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = rgba[4 * i + 3];
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

}  // namespace
