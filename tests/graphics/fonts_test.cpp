// Fonts on the off-screen context: refusing malformed tables, unloading, and
// single-line text read back in pixels.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_font_table.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ErrorList;
using velkor_test::TakeErrors;

const uint8_t* PanelTable() {
  return reinterpret_cast<const uint8_t*>(&Velkor_font_table);
}

class FontsTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    static const float colours[2][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}};
    sglColorPointerf(&colours[0][0], 2);
    sglIndexColori(1);
    sgluLoadFonts(PanelTable());
    sglIndexFonti(20);
  }

  // Expects the glyph of `code` in slot 20 drawn in white with its pen at
  // pixel (x, y): every pixel of its bitmap as bright as the glyph's texel,
  // and nothing else lit within `margin` pixels around it.
  static void ExpectGlyphAt(uint16_t code, int x, int y, int margin = 12) {
    sgl_font font{};
    ASSERT_TRUE(sgl_font_table_font(PanelTable(), 20, &font));
    sgl_glyph glyph{};
    sgl_font_glyph(font, code, &glyph);
    sgl_font_texture texture{};
    ASSERT_TRUE(sgl_font_table_texture(PanelTable(), glyph.texture, &texture));
    static std::vector<uint8_t> texels(1024 * 1024);
    ASSERT_TRUE(sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, texels.data()));
    const int tx = static_cast<int>(glyph.s0 * 1024), ty = static_cast<int>(glyph.t0 * 1024);
    const int left = x + glyph.x_offset, bottom = y + glyph.y_offset;
    int wrong = 0;
    for (int r = 0; r < glyph.height; ++r) {
      for (int c = 0; c < glyph.width; ++c) {
        const int want = texels[(ty + r) * 1024 + tx + c];
        wrong += std::abs(want - velkor_test::ReadPixel(left + c, bottom + r).r) > 1;
      }
    }
    EXPECT_EQ(0, wrong) << "glyph " << code << " at " << x << ", " << y;
    EXPECT_EQ(velkor_test::CountCoveredPixels(left, bottom, glyph.width, glyph.height),
              velkor_test::CountCoveredPixels(left - margin, bottom - margin,
                                              glyph.width + 2 * margin, glyph.height + 2 * margin))
        << "pixels lit outside the glyph of " << code;
  }
};

// A refused table leaves the loaded one in place; a texture that does not
// decode stays empty while the fonts load; no table unloads the fonts and
// deletes their textures.
TEST_F(FontsTest, RefusedTablesAndUnloading) {
  const uint32_t name = Context().font_texture_names[0];
  std::vector<uint8_t> copy(PanelTable(), PanelTable() + 64);
  const uint32_t tag = 660;
  std::memcpy(&copy[4], &tag, 4);
  sgluLoadFonts(copy.data());
  EXPECT_EQ((ErrorList{{SGL_ERROR_LOAD_FONTS, kSglFontTableBadHeader}}), TakeErrors());
  EXPECT_EQ(PanelTable(), Context().font_table);
  EXPECT_EQ(name, Context().font_texture_names[0]);

  velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
  table.texture.pop_back();
  table.AttachTexture();
  sgluLoadFonts(table.data());
  EXPECT_EQ((ErrorList{{SGL_ERROR_LOAD_FONTS, kSglFontTableBadTexture}}), TakeErrors());
  EXPECT_EQ(0u, Context().font_texture_names[0]);
  EXPECT_EQ(GL_FALSE, glIsTexture(name));
  EXPECT_EQ(11.0f, sglGetFontValue(1, 'W', 3));

  sgluLoadFonts(nullptr);
  EXPECT_EQ(0u, Context().font_count);
  EXPECT_EQ(0.0f, sglGetFontValue(1, 'W', 3));
  EXPECT_EQ((ErrorList{{SGL_ERROR_FONT_VALUE, 1}}), TakeErrors());
}

TEST_F(FontsTest, GlyphsLandAtTheirPensAndLinesOneLineHeightLower) {
  sgluWriteText(300, 300, "0A", 2);
  ExpectGlyphAt('0', 300, 300, 0);
  ExpectGlyphAt('A', 307, 300, 0);  // '0' advances 7
  EXPECT_EQ(velkor_test::CountCoveredPixels(290, 290, 40, 30),
            velkor_test::CountCoveredPixels(300, 300, 15, 9));
  // The line height of slot 20 is 9 + 6; CR LF is one break.
  velkor_test::ClearDisplay();
  sgluWriteText(100, 400, "A\r\n0\n\nA", 100);
  ExpectGlyphAt('A', 100, 400, 2);
  ExpectGlyphAt('0', 100, 385, 2);
  ExpectGlyphAt('A', 100, 355, 2);
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

}  // namespace
