// Fonts and text in pixels: loading and refusing tables, glyph placement,
// rich text, bounding boxes and bounded reads, mostly with the small test
// font of font_table_builder.h.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_font.h"
#include "graphics/sgl_internal.h"
#include "panel/Velkor_font_table.h"
#include "tests/graphics/font_table_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::ErrorList;
using velkor_test::Rgba;
using velkor_test::TakeErrors;

constexpr Rgba kWhite = {255, 255, 255, 255};
constexpr Rgba kBlack = {0, 0, 0, 255};
constexpr Rgba kRed = {255, 0, 0, 255};
constexpr Rgba kBlue = {0, 0, 255, 255};

std::vector<uint8_t> Snapshot() {
  std::vector<uint8_t> pixels(static_cast<size_t>(velkor_test::kDisplayWidth) *
                              velkor_test::kDisplayHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight, GL_RGBA,
               GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// The extent x1, y1, x2, y2 (far edges exclusive) of the display's pixels
// whose red, green, blue `pick` chooses; all 0 for none.
template <typename Pick>
std::vector<float> Extent(Pick pick) {
  const std::vector<uint8_t> pixels = Snapshot();
  int x1 = velkor_test::kDisplayWidth, y1 = velkor_test::kDisplayHeight, x2 = 0, y2 = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (!pick(pixels[i], pixels[i + 1], pixels[i + 2])) continue;
    const int x = int(i / 4) % velkor_test::kDisplayWidth,
              y = int(i / 4) / velkor_test::kDisplayWidth;
    x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x + 1), y2 = std::max(y2, y + 1);
  }
  return x2 == 0 ? std::vector<float>(4, 0.0f)
                 : std::vector<float>{float(x1), float(y1), float(x2), float(y2)};
}

// Collected bounds, converted to viewport pixels, rounded to 1/1000.
std::vector<float> Rounded(float x1, float y1, float x2, float y2) {
  std::vector<float> box = {x1, y1, x2, y2};
  for (float& v : box) v = std::round(v * 1000.0f) / 1000.0f;
  return box;
}

const uint8_t* PanelTable() {
  return reinterpret_cast<const uint8_t*>(&Velkor_font_table);
}

class TextTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    SglTest::SetUp();
    static const float colours[5][4] = {
        {0, 0, 0, 1}, {1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    sglColorPointerf(&colours[0][0], 5);
    sglIndexColori(1);
    static const velkor_test::TestFontTable table = velkor_test::MakeTestFontTable();
    sgluLoadFonts(table.data());
    sglIndexFonti(velkor_test::TestFontTable::kFontSlot);
  }

  static void Rich(const std::string& text) {
    sgluWriteRichText(100, 200, text.c_str(), int32_t(text.size()));
  }
};

class FontsTest : public TextTest {
 protected:
  void SetUp() override {
    TextTest::SetUp();
    sgluLoadFonts(PanelTable());
    sglIndexFonti(20);
  }

  // The glyph of `code` in slot 20 drawn in white with its pen at (x, y):
  // its texels' brightness, and nothing else lit within `margin` pixels.
  static void ExpectGlyphAt(uint16_t code, int x, int y, int margin) {
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
    EXPECT_EQ(CountCoveredPixels(left, bottom, glyph.width, glyph.height),
              CountCoveredPixels(left - margin, bottom - margin, glyph.width + 2 * margin,
                                 glyph.height + 2 * margin))
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

// Text drawn smaller than its font (a thumbnail at 0.5 or 0.45, a window
// below the native size) keeps every letter: each glyph's ink, summed over
// the pixels around where it lands, is what its texels hold scaled by the
// area, whatever fraction of a pixel the glyph starts at. Sampled from the
// full-size texels alone, a thin stem that falls between two pixel centres
// vanished ("Immed ate"); blurred over two pixels it would keep half.
TEST_F(FontsTest, SmallerTextKeepsTheInkOfEveryGlyph) {
  sgl_font font{};
  ASSERT_TRUE(sgl_font_table_font(PanelTable(), 20, &font));
  static std::vector<uint8_t> texels(1024 * 1024);
  // Three blanks apart, so that no glyph's pixels reach those counted for the next.
  std::string text;
  for (const char ch : std::string("ilIi.:!jiftriQume")) text += std::string(1, ch) + "   ";
  for (const float scale : {0.5f, 0.45f, 0.4f, 0.625f, 0.75f}) {
    SCOPED_TRACE(scale);
    ClearDisplay();
    sglPushMatrix();
    sglTranslatef(100, 300);
    sglScalef(scale, scale);
    sgluWriteText(0, 0, text.c_str(), int32_t(text.size()));
    sglPopMatrix();
    const std::vector<uint8_t> pixels = Snapshot();
    float pen = 0;
    for (const char ch : text) {
      sgl_glyph glyph{};
      sgl_font_glyph(font, uint8_t(ch), &glyph);
      if (glyph.width > 0) {
        sgl_font_texture texture{};
        ASSERT_TRUE(sgl_font_table_texture(PanelTable(), glyph.texture, &texture));
        ASSERT_TRUE(
            sgl_decode_font_texture(texture.data, texture.length, 1024, 1024, texels.data()));
        const int tx = int(glyph.s0 * 1024), ty = int(glyph.t0 * 1024);
        double want = 0;
        for (int r = 0; r < glyph.height; ++r)
          for (int c = 0; c < glyph.width; ++c) want += texels[(ty + r) * 1024 + tx + c];
        want *= double(scale) * scale;
        // The pixels the glyph touches, one more on every side.
        const int x1 = int(std::floor(100 + (pen + glyph.x_offset) * scale)) - 1;
        const int x2 = int(std::ceil(100 + (pen + glyph.x_offset + glyph.width) * scale)) + 1;
        const int y1 = int(std::floor(300 + glyph.y_offset * scale)) - 1;
        const int y2 = int(std::ceil(300 + (glyph.y_offset + glyph.height) * scale)) + 1;
        double got = 0;
        for (int y = y1; y < y2; ++y)
          for (int x = x1; x < x2; ++x)
            got += pixels[(size_t(y) * velkor_test::kDisplayWidth + x) * 4];
        EXPECT_NEAR(1.0, got / want, 0.2) << "'" << ch << "' at " << pen * scale;
      }
      pen += glyph.advance;
    }
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// The filtered levels of a glyph texture: each texel the rounded mean of the
// 2 x 2 block below it, an odd side's last texels left out, down to 1 x 1.
TEST(GlyphLevels, EachTexelIsTheRoundedMeanOfItsBlock) {
  struct Row {
    const char* name;
    uint32_t width, height;
    std::vector<uint8_t> texels;
    std::vector<uint8_t> half;
  };
  const Row rows[] = {
      {"a stem one texel wide keeps half its strength",
       4,
       2,
       {0, 255, 0, 0, 0, 255, 0, 0},
       {128, 0}},
      {"rounded half up", 2, 2, {1, 0, 0, 1}, {1}},
      {"blocks read apart",
       4,
       4,
       {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160},
       {35, 55, 115, 135}},
      {"an odd width drops its last column", 3, 2, {4, 8, 255, 4, 8, 255}, {6}},
      {"one row halves only across", 4, 1, {0, 100, 200, 255}, {50, 228}},
      {"one texel stays", 1, 1, {77}, {77}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> texels = row.texels;
    sgl_halve_alpha_texels(texels.data(), row.width, row.height);
    texels.resize(row.half.size());
    EXPECT_EQ(row.half, texels);
  }
}

// Byte 27 and a letter, then an argument byte when given.
std::string Esc(char letter, int argument = -1) {
  std::string e = {'\x1b', letter};
  if (argument >= 0) e += static_cast<char>(argument);
  return e;
}

// "a", then a second "a" in the style the escapes give it: its glyph and
// the box of its advance by the line height (descent 3, ascent 8) behind it.
TEST_F(TextTest, ColourEscapesAndInversion) {
  const struct {
    const char* name;
    std::string text;
    Rgba box, glyph;
  } cases[] = {
      {"text colour", "a" + Esc('A', 2) + "a", kBlack, kRed},
      {"background", "a" + Esc('B', 4) + "a", kBlue, kWhite},
      {"inverted: cut out of a text-colour box", "a" + Esc('D') + "a" + Esc('E'), kWhite, kBlack},
      {"inverted on a background", "a" + Esc('B', 4) + Esc('D') + "a", kWhite, kBlue},
      {"inverted red text", "a" + Esc('A', 2) + Esc('D') + "a", kRed, {0, 255, 255, 255}},
      {"end of inversion", "a" + Esc('D') + Esc('E') + "a", kBlack, kWhite},
  };
  for (const auto& c : cases) {
    ClearDisplay();
    Rich(c.text);
    EXPECT_EQ(ErrorList{}, TakeErrors());
    EXPECT_EQ(40, CountPixelsNear(100, 200, 5, 8, kWhite)) << c.name;  // the first 'a' is plain
    EXPECT_EQ(40, CountPixelsNear(106, 200, 5, 8, c.glyph)) << c.name;
    EXPECT_EQ(6 * 11 - 40, CountPixelsNear(106, 197, 6, 11, c.box)) << c.name;
  }
}

// Accented capitals rise above the ascent (font 21: ascent 12, "\xc4" 13
// high). Inverted on grey, all ink must lie inside the white box, or it is lost.
TEST_F(FontsTest, InvertedBoxCoversTheInkOfTallGlyphs) {
  for (int32_t font : {20, 21, 22}) {
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    sglIndexFonti(font);
    const std::string text = Esc('D') + "\xc4\xd6\xdc\xe4\xf6\xfc";
    sgluWriteRichText(100, 200, text.c_str(), int32_t(text.size()));
    EXPECT_EQ(Extent([](int r, int g, int b) { return r + g + b == 3 * 255; }),
              Extent([](int r, int, int) { return r != 128 && r != 127; }))
        << "font " << font;
  }
  glClearColor(0, 0, 0, 1);
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// Centred rich text: each line on x by its own width, the first ascent
// centred on y, the next line a descent and an ascent lower.
TEST_F(TextTest, RichLinesCentreLineByLine) {
  sglSetTextAlignment(1, 1);
  sgluWriteRichText(640, 400, "W\raai", 100);
  EXPECT_EQ(80, CountPixelsNear(635, 396, 10, 8, kWhite));  // 10 wide, ascent 8 centred on 400
  EXPECT_EQ(96, CountPixelsNear(633, 385, 14, 8, kWhite));  // 14 wide, 3 + 8 lower
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(TextTest, RichTextLimits) {
  sgluWriteRichText(100, 200, nullptr, 3);
  // A colour beyond the table takes the last one (blue); a font beyond it
  // the default font.
  Rich(Esc('A', 9) + "a" + Esc('C', 7) + "a");
  EXPECT_EQ(80, CountPixelsNear(100, 200, 11, 8, kBlue));
  Rich(std::string(300, '\r') + "a");
  Rich(std::string(5000, 'i'));
  Rich("\x1bP\\uFFFFaa\x1bQ");  // repeats cannot multiply a text beyond 4096 characters
  ErrorList expected;
  for (uint32_t value : {0, 9, 7, 256, 5000, 4096})
    expected.push_back({SGL_ERROR_RICH_TEXT, value});
  EXPECT_EQ(expected, TakeErrors());
}

// Every writer's box is the extent of what it drew.
TEST_F(TextTest, EveryWithBBoxVariantMeasuresWhatItDraws) {
  sglSetSecondFontAttributes(1, 0, -1);
  static const uint16_t kUnits[] = {'W', ' ', 'a', 0};
  static const sgl_float_format kFormat = {2, 1, 0, 1, '.', 0};
  static const std::string kRich = "a" + Esc('D') + "a" + Esc('E') + "\r" + Esc('H') + "W";
  const std::pair<const char*, void (*)()> variants[] = {
      {"text", [] { sgluWriteTextWithBBox(100, 200, "W a\raa", 100); }},
      {"unicode", [] { sgluWriteTextUnicodeWithBBox(100, 200, kUnits, 3); }},
      {"wide", [] { sgluWriteWideTextWithBBox(100, 200, L"aW", 2); }},
      {"area", [] { sgluWriteTextAreaWithBBox(100, 200, 117, 300, "aa aa a", 7); }},
      {"unicode area", [] { sgluWriteTextAreaUnicodeWithBBox(100, 200, 110, 300, kUnits, 3); }},
      {"wide area", [] { sgluWriteWideTextAreaWithBBox(100, 200, 130, 300, L"W\na", 3); }},
      {"rich", [] { sgluWriteRichTextWithBBox(100, 200, kRich.c_str(), 100); }},
      {"float", [] { sgluWriteFloatWithBBox(100, 200, 5.0f, &kFormat); }},
  };
  for (const auto& v : variants) {
    ClearDisplay();
    sglBeginTextBounds();
    v.second();
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_TRUE(sglEndTextBounds(&x1, &y1, &x2, &y2)) << v.first;
    EXPECT_EQ(Extent([](int r, int g, int b) { return (r | g | b) != 0; }), Rounded(x1, y1, x2, y2))
        << v.first;
  }
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  EXPECT_FALSE(sglEndTextBounds(&x1, &y1, &x2, &y2)) << "collection over";
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// The queries measure as the writers do, but draw nothing; collected
// bounds are in viewport pixels, across transformations.
TEST_F(TextTest, BoundsQueriesDrawNothingAndCollectedBoundsAreInPixels) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  const std::string rich = "W\ra" + Esc('D') + "a";
  ASSERT_TRUE(sglGetRichTextBounds(100, 200, rich.c_str(), 100, &x1, &y1, &x2, &y2));
  EXPECT_EQ(Rounded(100, 186, 112, 208), Rounded(x1, y1, x2, y2));  // the inverted box's advance
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
  x1 = -1;
  EXPECT_FALSE(sglGetTextMultilineBounds(100, 200, "   ", 3, &x1, &y1, &x2, &y2)) << "no ink";
  EXPECT_EQ(-1.0f, x1);
  sglBeginTextBounds();
  sglPushMatrixAndTranslate(300, 100);
  sgluWriteTextWithBBox(0, 0, "a", 1);
  sglPopMatrixAndTranslate();
  sgluWriteTextWithBBox(100, 200, "i", 1);
  sgluWriteText(900, 700, "W", 1);  // not a WithBBox writer
  ASSERT_TRUE(sglEndTextBounds(&x1, &y1, &x2, &y2));
  EXPECT_EQ(Rounded(100, 100, 305, 208), Rounded(x1, y1, x2, y2));
}

// A copy of `size` bytes that ends where an unreadable page begins: reading
// one byte past the end of it faults (and ASan reports the heap copy).
class GuardedText {
 public:
  GuardedText(const void* data, size_t size)
      : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))),
        base_(static_cast<uint8_t*>(
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {
    mprotect(base_ + page_, page_, PROT_NONE);
    std::memcpy(base_ + page_ - size, data, size);
    size_ = size;
  }
  ~GuardedText() { munmap(base_, 2 * page_); }
  template <typename T>
  const T* as() const {
    return reinterpret_cast<const T*>(base_ + page_ - size_);
  }

 private:
  size_t page_, size_ = 0;
  uint8_t* base_;
};

// Texts without a terminator, cut inside an escape, a UTF-8 or double-byte
// sequence or a surrogate pair: the writers read only the given length and
// draw what a terminated text of that length draws.
TEST_F(TextTest, WritersNeverReadPastTheGivenLength) {
  const struct {
    uint8_t encoding;
    std::string bytes;
  } byte_cases[] = {{0, "A\\"}, {0, "A\\u00e"}, {1, "A\xc3"}, {1, "A\xe2\x82"}, {2, "A\x84"}};
  for (const auto& c : byte_cases) {
    Context().text.encoding = c.encoding;
    const GuardedText guarded(c.bytes.data(), c.bytes.size());
    auto drawn = [&c](const char* text) {  // what writing it leaves on a cleared display
      const int32_t length = int32_t(c.bytes.size());
      ClearDisplay();
      sgluWriteText(100, 200, text, length);
      sgluWriteTextArea(100, 300, 400, 400, text, length);
      sgluWriteRichText(100, 500, text, length);
      return Snapshot();
    };
    EXPECT_TRUE(drawn(c.bytes.c_str()) == drawn(guarded.as<char>())) << c.bytes;
  }
  const uint16_t units[] = {'a', 0xD800};
  const GuardedText text(units, sizeof units);
  sgluWriteUnicodeText(100, 200, text.as<uint16_t>(), 2);
  sgluWriteUnicodeTextArea(100, 300, 400, 400, text.as<uint16_t>(), 2);
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

}  // namespace
