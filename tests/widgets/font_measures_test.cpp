// Font measures of the string library, read through the drawing library
// from a small font table: "Test Sans8" in slot 1 with ascent 8, digit width
// 11, descent 3; advances ' ' 4, 'a' 6, 'i' 3, 'W' 11, and 6 for a missing
// character.
#include <gtest/gtest.h>

#include <string>

#include "graphics/sgl.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "widgets/lib_strings.h"

namespace {

class FontMeasures : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    table_ = velkor_test::MakeTestFontTable();
    sgluLoadFonts(table_.data());
  }
  void TearDown() override {
    sgluLoadFonts(nullptr);
    velkor_test::SglTest::TearDown();
  }
  velkor_test::TestFontTable table_;
  static constexpr uint32_t kFont = velkor_test::TestFontTable::kFontSlot;
};

TEST_F(FontMeasures, FontSizeAndLineHeight) {
  float width = 0, height = 0;
  GetFontSize_Strings(kFont, &width, &height);
  EXPECT_EQ(11.0f, width);
  EXPECT_EQ(8.0f, height);
  GetFontSize_Strings(kFont, nullptr, nullptr);
  float lineHeight = 0;
  GetFontSizeY(kFont, &lineHeight);
  EXPECT_EQ(11.0f, lineHeight);
}

TEST_F(FontMeasures, StringLengthCountsEscapesAndBreaksAsOneCharacter) {
  struct Case {
    std::string text;
    float length;
  } const cases[] = {
      {"", 0},
      {"aiW", 20},
      {"a i", 13},
      {"a\\u0069", 9},     // the escape of 'i'
      {"a\r\ni", 15},      // the line break measures as one missing character
      {"a\\u00", 30},      // a broken escape is five characters: a, \, u, 0, 0
  };
  for (const Case& c : cases) {
    char text[TEXT_SIZE_Strings] = {};
    c.text.copy(text, sizeof text);
    float length = -1;
    GetStringScreenLength(kFont, text, &length);
    EXPECT_EQ(c.length, length) << c.text;
  }
}

TEST_F(FontMeasures, StringLengthReadsAtMostOneTextBuffer) {
  char text[TEXT_SIZE_Strings];
  std::string(TEXT_SIZE_Strings, 'i').copy(text, sizeof text);  // no terminator
  float length = 0;
  GetStringScreenLength(kFont, text, &length);
  EXPECT_EQ(3.0f * TEXT_SIZE_Strings, length);
}

}  // namespace
