// Caret placement on a fixed-metric font: caret coordinates over wraps and
// line breaks, clicks turned into indices, alignment, overflow, and inputs
// at the edges of the 255-byte text.
#include "widgets/CursorBehavior.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Every character advances 10 units, 'W' 20; ascent 15, descent 5, so a line
// is 20 units high.
float FixedFont(uint32_t /*font*/, uint32_t character, uint32_t kind) {
  switch (kind) {
    case 3: return character == 'W' ? 20.0f : 10.0f;
    case 7: return 15.0f;
    case 9: return 5.0f;
    default: return 0.0f;
  }
}

// A font whose metrics are all zero (an empty or broken font slot).
float ZeroFont(uint32_t, uint32_t, uint32_t) { return 0.0f; }

// A text buffer of the panel's size.
struct Text {
  char bytes[256];
  explicit Text(const char* s) {
    std::memset(bytes, 0, sizeof bytes);
    std::strncpy(bytes, s, 255);
  }
};

struct Caret {
  float x = -1.0f;
  float y = -1.0f;
  uint8_t overflow = 9;
  float textWidth = -1.0f;
  float lineHeight = -1.0f;
  int32_t lineCount = -1;
  float ascent = -1.0f;
  int32_t newIndex = -1;
};

Caret Place(const char* text, uint32_t index, float width, float height = 20.0f,
            uint32_t alignment = CURSOR_ALIGN_LEFT) {
  Text t(text);
  Caret c;
  CursorBehaviorWithFont(FixedFont, 1, 0, width, height, t.bytes, index, 0, 0.0f, 0.0f, 0,
                         alignment, &c.x, &c.y, &c.overflow, &c.textWidth, &c.lineHeight,
                         &c.lineCount, &c.ascent, &c.newIndex);
  return c;
}

Caret Click(const char* text, float width, float height, float xRate, float yRate,
            uint32_t alignment = CURSOR_ALIGN_LEFT) {
  Text t(text);
  Caret c;
  CursorBehaviorWithFont(FixedFont, 1, 0, width, height, t.bytes, 0, 0, xRate, yRate, 1,
                         alignment, &c.x, &c.y, &c.overflow, &c.textWidth, &c.lineHeight,
                         &c.lineCount, &c.ascent, &c.newIndex);
  return c;
}

TEST(CursorBehaviorTest, EmptyTextPutsTheCaretOnTheFirstLine) {
  const Caret c = Place("", 0, 100.0f);
  EXPECT_EQ(0.0f, c.x);
  EXPECT_EQ(-20.0f, c.y);
  EXPECT_EQ(1, c.lineCount);
  EXPECT_EQ(20.0f, c.lineHeight);
  EXPECT_EQ(15.0f, c.ascent);
  EXPECT_EQ(0.0f, c.textWidth);
  EXPECT_EQ(0, c.overflow);
  EXPECT_EQ(-1, c.newIndex) << "no click, no new index";
}

struct CaretCase {
  const char* text;
  uint32_t index;
  float width;
  float x;
  float y;
  int32_t lines;
  const char* note;
};

TEST(CursorBehaviorTest, CaretFollowsWrapsAndLineBreaks) {
  const CaretCase cases[] = {
      {"ab", 0, 100, 0, -20, 1, "before the first character"},
      {"ab", 1, 100, 10, -20, 1, ""},
      {"ab", 2, 100, 20, -20, 1, "at the end"},
      {"aWb", 2, 100, 30, -20, 1, "a wide character"},
      {"abcdef", 3, 35, 30, -20, 2, "before the character that wraps"},
      {"abcdef", 4, 35, 10, -40, 2, "after it, on the second line"},
      {"abcdef", 6, 35, 30, -40, 2, ""},
      {"ab\r\ncd", 2, 100, 20, -20, 2, "before the line break"},
      {"ab\r\ncd", 4, 100, 0, -40, 2, "the break is one character of two bytes"},
      {"ab\r\ncd", 5, 100, 10, -40, 2, ""},
      {"\\u00e9x", 6, 100, 10, -20, 1, "an escape is one character"},
      {"ab", 40, 100, 20, -20, 1, "an index past the end stops at the end"},
  };
  for (const CaretCase& c : cases) {
    const Caret caret = Place(c.text, c.index, c.width);
    EXPECT_EQ(c.x, caret.x) << c.text << " index " << c.index << " " << c.note;
    EXPECT_EQ(c.y, caret.y) << c.text << " index " << c.index << " " << c.note;
    EXPECT_EQ(c.lines, caret.lineCount) << c.text << " " << c.note;
  }
}

struct ClickCase {
  const char* text;
  float width;
  float height;
  float xRate;
  float yRate;
  uint32_t alignment;
  int32_t index;
  const char* note;
};

TEST(CursorBehaviorTest, ClickGivesTheIndexAfterTheCharacterUnderIt) {
  const ClickCase cases[] = {
      {"abc", 100, 20, 0.02f, 0.5f, 0, 0, "first third of the first character"},
      {"abc", 100, 20, 0.05f, 0.5f, 0, 1, "rest of the first character"},
      {"abc", 100, 20, 0.15f, 0.5f, 0, 2, "inside the second"},
      {"abc", 100, 20, 0.90f, 0.5f, 0, 3, "beyond the text"},
      {"ab\r\ncd", 100, 40, 0.05f, 0.25f, 0, 5, "second line, inside c"},
      {"ab\r\ncd", 100, 40, 0.15f, 0.25f, 0, 6, "second line, inside d"},
      {"ab\r\ncd", 100, 40, 0.90f, 0.75f, 0, 2, "first line, past its end: before the break"},
      {"abcdef", 35, 40, 0.15f, 0.25f, 0, 4, "wrapped second line, inside its first character"},
      {"ab", 100, 20, 0.45f, 0.5f, CURSOR_ALIGN_CENTRE, 1, "centred: text from 40 to 60"},
      {"ab", 100, 20, 0.30f, 0.5f, CURSOR_ALIGN_CENTRE, 0, "centred: left of the text"},
      {"ab", 100, 20, 0.95f, 0.5f, CURSOR_ALIGN_RIGHT, 2, "right: text from 80 to 100"},
  };
  for (const ClickCase& c : cases) {
    const Caret caret = Click(c.text, c.width, c.height, c.xRate, c.yRate, c.alignment);
    EXPECT_EQ(c.index, caret.newIndex) << c.text << " " << c.note;
  }
}

TEST(CursorBehaviorTest, TheClickedIndexPlacesTheCaretInTheSameStep) {
  const Caret c = Click("ab\r\ncd", 100, 40, 0.05f, 0.25f);
  EXPECT_EQ(5, c.newIndex);
  EXPECT_EQ(10.0f, c.x);
  EXPECT_EQ(-40.0f, c.y);
  EXPECT_EQ(2, c.lineCount);
}

TEST(CursorBehaviorTest, AlignmentShiftsTheCaretByTheFreeSpaceOfItsLine) {
  struct Case {
    uint32_t alignment;
    uint32_t index;
    float x;
  };
  const Case cases[] = {{CURSOR_ALIGN_CENTRE, 0, 40}, {CURSOR_ALIGN_CENTRE, 2, 60},
                        {CURSOR_ALIGN_RIGHT, 0, 80},  {CURSOR_ALIGN_RIGHT, 1, 90},
                        {CURSOR_ALIGN_LEFT, 1, 10}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.x, Place("ab", c.index, 100, 20, c.alignment).x)
        << "alignment " << c.alignment << " index " << c.index;
  }
  // Each line is shifted by its own free space.
  EXPECT_EQ(70.0f, Place("abcdef\r\nab", 3, 100, 40, CURSOR_ALIGN_RIGHT).x) << "line of 60";
  EXPECT_EQ(100.0f, Place("abcdef\r\nab", 6, 100, 40, CURSOR_ALIGN_RIGHT).x);
  EXPECT_EQ(90.0f, Place("abcdef\r\nab", 9, 100, 40, CURSOR_ALIGN_RIGHT).x) << "line of 20";
}

TEST(CursorBehaviorTest, OverflowWhenTheTextLeavesNoRoomForTheNextCharacter) {
  struct Case {
    const char* text;
    float width;
    int overflow;
    float textWidth;
  };
  const Case cases[] = {
      {"ab", 35, 0, 20},    // 20 + room for one more
      {"abc", 35, 1, 30},   // 30 leaves 5, less than a character
      {"abcd", 35, 1, 30},  // stops measuring where it overflowed
      {"", 5, 1, 0},        // a box narrower than one character is full even when empty
  };
  for (const Case& c : cases) {
    const Caret caret = Place(c.text, 0, c.width);
    EXPECT_EQ(c.overflow, int(caret.overflow)) << c.text;
    EXPECT_EQ(c.textWidth, caret.textWidth) << c.text;
  }
}

TEST(CursorBehaviorTest, MeasureOnlyLeavesTheCaretOutputs) {
  Text t("abcdef");
  Caret c;
  CursorBehaviorWithFont(FixedFont, 0, 1, 35, 20, t.bytes, 3, 0, 0.5f, 0.5f, 1, 0, &c.x, &c.y,
                         &c.overflow, &c.textWidth, &c.lineHeight, &c.lineCount, &c.ascent,
                         &c.newIndex);
  EXPECT_EQ(2, c.lineCount);
  EXPECT_EQ(20.0f, c.lineHeight);
  EXPECT_EQ(15.0f, c.ascent);
  EXPECT_EQ(-1.0f, c.x);
  EXPECT_EQ(-1, c.newIndex);

  Caret untouched;
  CursorBehaviorWithFont(FixedFont, 0, 0, 35, 20, t.bytes, 3, 0, 0.5f, 0.5f, 1, 0, &untouched.x,
                         &untouched.y, &untouched.overflow, &untouched.textWidth,
                         &untouched.lineHeight, &untouched.lineCount, &untouched.ascent,
                         &untouched.newIndex);
  EXPECT_EQ(-1, untouched.lineCount);
  EXPECT_EQ(-1.0f, untouched.lineHeight);
}

// ---- Inputs at the edges ----------------------------------------------------------------

TEST(CursorBehaviorTest, IndicesBeyondTheBufferMeanItsEnd) {
  char full[255];
  std::memset(full, 'a', sizeof full);  // 255 characters, no terminating zero
  for (uint32_t index : {255u, 256u, 1000u, 0xFFFFFFFFu}) {
    Caret c;
    CursorBehaviorWithFont(FixedFont, 1, 0, 1e6f, 20, full, index, 0, 0, 0, 0, 0, &c.x, &c.y,
                           &c.overflow, &c.textWidth, &c.lineHeight, &c.lineCount, &c.ascent,
                           &c.newIndex);
    EXPECT_EQ(2550.0f, c.x) << "index " << index;
    EXPECT_EQ(1, c.lineCount);
  }
}

TEST(CursorBehaviorTest, ClicksOutsideTheBoxOrWithAnEmptyFontStayDefined) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float yRate;
    int32_t index;  // with x rate 0.9 on "ab\r\ncd", box 100 x 40
  };
  const Case cases[] = {
      {2.0f, 2},      // above the box: first line
      {-50.0f, 6},    // far below: the last line
      {nan, 2},
      {-inf, 6},
      {inf, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.index, Click("ab\r\ncd", 100, 40, 0.9f, c.yRate).newIndex) << "y rate " << c.yRate;
  }

  Text t("abc");
  Caret c;
  CursorBehaviorWithFont(ZeroFont, 1, 0, 100, 40, t.bytes, 1, 0, 0.5f, 0.5f, 1, 0, &c.x, &c.y,
                         &c.overflow, &c.textWidth, &c.lineHeight, &c.lineCount, &c.ascent,
                         &c.newIndex);
  EXPECT_EQ(0.0f, c.lineHeight);
  EXPECT_EQ(3, c.newIndex) << "zero widths: every click lands at the end";
  EXPECT_EQ(0.0f, c.x);
}

TEST(CursorBehaviorTest, NullTextAndNullOutputsAreAccepted) {
  Caret c;
  CursorBehaviorWithFont(FixedFont, 1, 1, 100, 20, nullptr, 3, 0, 0.5f, 0.5f, 1, 0, &c.x, &c.y,
                         &c.overflow, &c.textWidth, &c.lineHeight, &c.lineCount, &c.ascent,
                         &c.newIndex);
  EXPECT_EQ(0, c.newIndex);
  EXPECT_EQ(0.0f, c.x);
  Text t("abc");
  CursorBehaviorWithFont(FixedFont, 1, 1, 100, 20, t.bytes, 3, 0, 0.5f, 0.5f, 1, 0, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace
