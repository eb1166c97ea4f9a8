// Font tables too short for what they claim: the check reads no byte beyond
// the table's own size field, and the loader refuses such a table with
// error 9 and keeps the fonts it had. Each table lives in a buffer of
// exactly its size, so a read past it shows under AddressSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ErrorList;
using velkor_test::TakeErrors;

// A table of `size` bytes whose header says size `size`, format 661 and the
// given counts, as far as those fields fit into it.
std::vector<uint8_t> ShortTable(uint32_t size, uint32_t fonts, uint32_t textures) {
  std::vector<uint8_t> bytes(size, 0);
  const uint32_t header[4] = {size, kSglFontTableFormat, fonts, textures};
  std::memcpy(bytes.data(), header, std::min<size_t>(size, sizeof header));
  return bytes;
}

TEST(FontTableCheck, NothingIsReadBeyondTheSizeField) {
  struct Case {
    const char* name;
    uint32_t size;
    uint32_t fonts;
    uint32_t textures;
    uint32_t problem;
  };
  const Case cases[] = {
      {"only the size field", 4, 0, 0, kSglFontTableBadHeader},
      {"size and tag", 8, 0, 0, kSglFontTableBadHeader},
      {"one byte short of the header", 15, 0, 0, kSglFontTableBadHeader},
      {"the bare header", 16, 0, 0, 0},
      {"a font record that does not fit", 16 + 100, 1, 0, kSglFontTableBadHeader},
      {"a texture record that does not fit", 16 + 23, 0, 1, kSglFontTableBadHeader},
      {"one texture record", 16 + 24, 0, 1, 0},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> table = ShortTable(c.size, c.fonts, c.textures);
    EXPECT_EQ(c.problem, sgl_font_table_check(table.data())) << c.name;
  }
}

// A size field smaller than the real table is believed: what lies beyond
// it is not part of the table.
TEST(FontTableCheck, ASizeFieldBelowTheContentsRefusesTheTable) {
  velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
  ASSERT_EQ(0u, sgl_font_table_check(table.bytes.data()));
  table.PutU32(0, 12);
  EXPECT_EQ(kSglFontTableBadHeader, sgl_font_table_check(table.bytes.data()));
  table.PutU32(0, static_cast<uint32_t>(velkor_test::TestFontTable::GlyphAt(2)));
  EXPECT_EQ(kSglFontTableBadFont, sgl_font_table_check(table.bytes.data()));
}

class FontTableRefusalTest : public velkor_test::SglTest {};

TEST_F(FontTableRefusalTest, AShortTableIsRefusedAndTheLoadedFontsStay) {
  const velkor_test::TestFontTable loaded = velkor_test::MakeTestFontTable();
  sgluLoadFonts(loaded.data());
  ASSERT_EQ(ErrorList{}, TakeErrors());
  const uint32_t texture = Context().font_texture_names[0];
  ASSERT_NE(0u, texture);

  const std::vector<uint8_t> table = ShortTable(8, 0, 0);
  sgluLoadFonts(table.data());
  EXPECT_EQ((ErrorList{{SGL_ERROR_LOAD_FONTS, kSglFontTableBadHeader}}), TakeErrors());
  EXPECT_EQ(loaded.data(), static_cast<const void*>(Context().font_table));
  EXPECT_EQ(texture, Context().font_texture_names[0]);
  EXPECT_EQ(11.0f, sglGetFontValue(1, 'W', 3));
  sgluLoadFonts(nullptr);
}

}  // namespace
