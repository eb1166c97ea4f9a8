// Text areas on the off-screen context: word wrapping read back in pixels
// and the limits with their error codes. The placement rules themselves are
// checked on numbers in font_table_test.cpp.
//
// The small test font's glyphs are opaque rectangles (see
// font_table_builder.h): 'a' 5 x 8 advancing 6, 'i' 2 x 8 advancing 3, the
// space advancing 4; ascent 8, descent 3.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::CountCoveredPixels;

class TextAreaTest : public velkor_test::SglTest {
protected:
    void SetUp() override {
        SglTest::SetUp();
        static const float colours[2][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}};
        sglColorPointerf(&colours[0][0], 2);
        sglIndexColori(1);
        static const velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
        sgluLoadFonts(table.data());
        sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
        sglSetTextAlignment(0, 2);
    }
};

// "aaaa" is 6 + 6 + 6 + 5 = 23 wide; in 13 the third 'a' (ink end 17) does
// not fit, so the word breaks before it. Corners may come in any order.
TEST_F(TextAreaTest, WordWiderThanTheAreaBreaksBeforeTheFirstCharacterThatDoesNotFit) {
    sgluWriteTextArea(113, 400, 100, 300, "aaaa", 4);
    EXPECT_EQ(velkor_test::ErrorList{}, velkor_test::TakeErrors());
    EXPECT_EQ(2u, Context().text.line_count);
    for (int baseline : {392, 381}) {  // the top line's ascent under the top, the next 8 + 3 lower
        EXPECT_EQ(40, CountCoveredPixels(100, baseline, 5, 8)) << baseline;
        EXPECT_EQ(40, CountCoveredPixels(106, baseline, 5, 8)) << baseline;
    }
    EXPECT_EQ(2 * 2 * 40, CountCoveredPixels(0, 0, 1280, 768));
}

TEST_F(TextAreaTest, LongTextsAreCutTo4096CharactersAnd256Lines) {
    // 4100 'i' in lines of 12 (3 x 12 - 1 = 35 <= 36): the first 4096 form
    // 342 lines, of which 256 are written.
    const std::string text(4100, 'i');
    sgluWriteTextArea(0, 0, 36, 767, text.c_str(), 4100);
    EXPECT_EQ(256u, Context().text.line_count);
    EXPECT_EQ(12 * 2 * 8, CountCoveredPixels(0, 759, 40, 8)) << "the top line is all there";
    sgluWriteWideTextArea(0, 0, 100, 767, std::wstring(300, L'\n').c_str(), 300);
    sgluWriteTextArea(0, 0, 100, 767, nullptr, 3);
    EXPECT_EQ((velkor_test::ErrorList{{SGL_ERROR_WRITE_TEXT_AREA, 4100},
                                      {SGL_ERROR_WRITE_TEXT_AREA, 256},
                                      {SGL_ERROR_WRITE_WIDE_TEXT_AREA, 256},
                                      {SGL_ERROR_WRITE_TEXT_AREA, 0}}),
              velkor_test::TakeErrors());
    EXPECT_EQ(GL_FALSE, glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
