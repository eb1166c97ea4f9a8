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

TEST_F(TextureTableTest, EverySlotUploadsWithItsSizeAndTheRampsHoldTheirBytes) {
  EXPECT_EQ(0u, Context().errors.count);
  EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
  const struct {
    uint32_t id;
    uint8_t format;
    uint32_t width, height, texture_side;
    int first, step;  // a ramp's bytes; step 0: a picture
  } cases[] = {
      {240, 7, 1, 32, 64, 7, 8},     {241, 7, 1, 32, 64, 3, 4},    {242, 7, 1, 32, 64, 1, 2},
      {243, 7, 32, 1, 64, 255, -8},  {245, 7, 32, 1, 64, 7, 8},    {247, 7, 1, 32, 64, 255, -8},
      {249, 7, 1, 32, 64, 63, -2},   {250, 7, 32, 64, 64, 0, 0},   {251, 7, 32, 32, 64, 0, 0},
      {252, 6, 200, 172, 256, 0, 0}, {253, 7, 128, 128, 128, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const sgl_texture_slot& slot = Slot(c.id);
    EXPECT_EQ(1, slot.loaded);
    EXPECT_EQ(c.format, slot.format);
    EXPECT_EQ(1, slot.scaled);
    EXPECT_EQ(c.width, slot.width);
    EXPECT_EQ(c.height, slot.height);
    EXPECT_EQ(c.texture_side, slot.texture_width);
    EXPECT_EQ(c.texture_side, slot.texture_height);
    if (c.step == 0) continue;
    // 32 bytes stretched to 64 texels, read anywhere across (37): byte k fills two.
    const std::vector<uint8_t> texels = Texels(c.id);
    for (int along = 0; along < 64; ++along) {
      const int at = c.width == 1 ? along * 64 + 37 : 37 * 64 + along;
      EXPECT_EQ(c.first + c.step * (along / 2), texels[at]) << "texel " << along;
    }
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

}  // namespace
