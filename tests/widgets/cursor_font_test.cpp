// The caret and the font size helpers on a real graphics context, measuring
// with the drawing library's font values of a small known font ("Test Sans8":
// ascent 8, descent 3, font value 8 = 11; advances 'a' 6, 'i' 3, 'W' 11).
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/sgl.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "widgets/CursorBehavior.h"

namespace {

class CursorFontTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    table = velkor_test::MakeTestFontTable();
    table.AttachTexture();
    sgluLoadFonts(table.data());
  }
  velkor_test::TestFontTable table;
  static constexpr uint32_t kFont = velkor_test::TestFontTable::kFontSlot;
};

TEST_F(CursorFontTest, CaretAndFontSizesUseTheLibrarysFontValues) {
  // A click at x 7 falls in the 'i' (6..9): the caret goes after it, one
  // line height (ascent 8 + descent 3) down.
  char text[256] = "aiW";
  float x = -1, y = -1, width = -1, height = -1, lineHeight = -1, length = -1;
  int32_t newIndex = -1;
  CursorBehavior(1, 0, 100.0f, 20.0f, text, 0, kFont, 0.07f, 0.5f, 1, CURSOR_ALIGN_LEFT, &x, &y,
                 nullptr, nullptr, nullptr, nullptr, nullptr, &newIndex);
  EXPECT_EQ(2, newIndex);
  EXPECT_EQ(9.0f, x);
  EXPECT_EQ(-11.0f, y);
  GetFontSize_Strings(kFont, &width, &height);
  EXPECT_EQ(11.0f, width);
  EXPECT_EQ(8.0f, height);
  GetFontSizeY(kFont, &lineHeight);
  EXPECT_EQ(11.0f, lineHeight);
  GetStringScreenLength(kFont, "aiW a", &length);
  EXPECT_EQ(6.0f + 3.0f + 11.0f + 4.0f + 6.0f, length);
  char full[255];
  std::memset(full, 'i', sizeof full);  // no terminating zero: 255 characters at most
  GetStringScreenLength(kFont, full, &length);
  EXPECT_EQ(255.0f * 3.0f, length);
}

}  // namespace
