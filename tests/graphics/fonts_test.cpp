// Fonts on the off-screen context: loading the panel's font table into glyph
// textures, refusing malformed tables, the font values widgets measure with,
// text widths, and single-line text read back in pixels.
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

// ---------------------------------------------------------------- loading

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

// ---------------------------------------------------------------- values

TEST_F(FontsTest, FontValuesOfEverySlotAndTheSmallestFontsGlyphs) {
  const float slots[6][4] = {{19, 9, 18, 6},   {19, 12, 18, 8},  {23, 14, 23, 9},
                             {29, 18, 29, 12}, {38, 23, 38, 15}, {58, 36, 58, 24}};
  for (uint32_t slot = 20; slot <= 25; ++slot) {
    for (uint32_t kind = 6; kind <= 9; ++kind) {
      EXPECT_EQ(slots[slot - 20][kind - 6], sglGetFontValue(slot, '0', kind))
          << slot << " kind " << kind;
    }
  }
  // ink width, ink height, advance of "Liberation Sans12"
  const uint32_t glyphs[3][4] = {{'0', 6, 9, 7}, {'A', 8, 9, 8}, {' ', 3, 9, 3}};
  for (const auto& g : glyphs) {
    EXPECT_EQ(static_cast<float>(g[1]), sglGetFontValue(20, g[0], 0)) << g[0];
    EXPECT_EQ(static_cast<float>(g[2]), sglGetFontValue(20, g[0], 1)) << g[0];
    EXPECT_EQ(static_cast<float>(g[3]), sglGetFontValue(20, g[0], 3)) << g[0];
  }
  // An empty slot answers with the first font of the table; a bad kind or
  // slot gives 0 with error 88.
  EXPECT_EQ(7.0f, sglGetFontValue(0, '0', 3));
  EXPECT_EQ(ErrorList{}, TakeErrors());
  EXPECT_EQ(0.0f, sglGetFontValue(20, '0', 10));
  EXPECT_EQ(0.0f, sglGetFontValue(30, '0', 3));
  EXPECT_EQ((ErrorList{{SGL_ERROR_FONT_VALUE, 10}, {SGL_ERROR_FONT_VALUE, 30}}), TakeErrors());
}

TEST_F(FontsTest, WidthOfZeroInTheSmallestFontIsSevenPixels) {
  const uint16_t zero[] = {'0'};
  EXPECT_EQ(7.0f, sgli_get_string_width(zero, 1, false));
  EXPECT_EQ(6.0f, sgli_get_string_width(zero, 1, true));
  // Drawing units of half a pixel: the text keeps its size in pixels.
  sglOrtho(0.0f, 640.0f, 0.0f, 384.0f);
  EXPECT_EQ(3.5f, sgli_get_string_width(zero, 1, false));
}

// ---------------------------------------------------------------- writing

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

// Centred both ways: the ink width (6 for '0') is centred on x and the
// ascent (9) on y, then the pen snaps to the nearest whole pixel.
TEST_F(FontsTest, CentredTextIsCentredOnThePoint) {
  sglSetTextAlignment(1, 1);
  sgluWriteText(640, 384, "0", 1);
  ExpectGlyphAt('0', 637, 380);  // 640 - 3, round(384 - 4.5) = 380 (half away from zero)
  velkor_test::ClearDisplay();
  sglSetTextAlignment(2, 2);
  sgluWriteText(640, 384, "0", 1);
  ExpectGlyphAt('0', 634, 375);  // right edge of the ink and top of the ascent on the point
}

TEST_F(FontsTest, BadTextsAreReportedAndStateComesBack) {
  sgluWriteText(100, 200, nullptr, 3);
  sgluWriteText(100, 200, "A", -1);
  EXPECT_EQ(0, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
  std::vector<char> long_text(1100, 'A');
  long_text.push_back(0);
  sgluWriteText(0, 100, long_text.data(), 1100);
  EXPECT_EQ((ErrorList{{SGL_ERROR_WRITE_TEXT, 0},
                       {SGL_ERROR_WRITE_TEXT, 0xFFFFFFFFu},
                       {SGL_ERROR_WRITE_TEXT, 1100}}),
            TakeErrors());
  velkor_test::ClearDisplay();
  sglTransparency8(100);
  sgluWriteText(100, 200, "A0", 1);  // the length limits, the transparency does not apply
  ExpectGlyphAt('A', 100, 200);
  EXPECT_EQ(100, Context().transparency);
  EXPECT_EQ(GL_FALSE, glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(GLenum{GL_NO_ERROR}, velkor_test::TakeGlError());
}

}  // namespace
