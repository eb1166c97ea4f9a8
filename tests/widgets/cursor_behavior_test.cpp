// Caret placement on a fixed-metric font: wraps, line breaks, clicks, alignment and edges.
#include "widgets/CursorBehavior.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

#include "widgets/lib_unicode.h"

namespace {

// Every character advances 10 units, 'W' 20; ascent 15, descent 5: a line is 20 units high.
float fixed_font(uint32_t /*font*/, uint32_t character, uint32_t kind) {
  if (kind == 3) return character == 'W' ? 20.0f : 10.0f;
  return kind == 7 ? 15.0f : (kind == 9 ? 5.0f : 0.0f);
}

struct Caret {
  float x = -1.0f, y = -1.0f, textWidth = -1.0f, lineHeight = -1.0f, ascent = -1.0f;
  uint8_t overflow = 9;
  int32_t lineCount = -1, newIndex = -1;
};

// One call on a 255-byte copy of text; a click when xRate is 0 or more.
Caret place(const char* text, uint32_t index, float width, float height, float xRate = -1.0f,
            float yRate = 0.0f, uint32_t alignment = CURSOR_ALIGN_LEFT, uint8_t active = 1,
            uint8_t measure = 0, FontValueFunction font = fixed_font) {
  char bytes[TEXT_SIZE_Strings + 1] = {};
  std::strncpy(bytes, text, TEXT_SIZE_Strings);
  Caret c;
  CursorBehaviorWithFont(font, active, measure, width, height, bytes, index, 0, xRate, yRate,
                         xRate >= 0.0f ? 1 : 0, alignment, &c.x, &c.y, &c.overflow, &c.textWidth,
                         &c.lineHeight, &c.lineCount, &c.ascent, &c.newIndex);
  return c;
}

TEST(CursorBehavior, CaretFollowsWrapsLineBreaksAndAlignment) {
  // Text, index, width, alignment; the caret's x and y and the line count.
  const std::tuple<const char*, uint32_t, float, uint32_t, float, float, int32_t> cases[] = {
      {"", 0, 100, 0, 0, -20, 1},
      {"aWb", 2, 100, 0, 30, -20, 1},
      {"abcdef", 3, 35, 0, 30, -20, 2},
      {"abcdef", 4, 35, 0, 10, -40, 2},  // 'e' wraps
      {"ab\r\ncd", 2, 100, 0, 20, -20, 2},
      {"ab\r\ncd", 4, 100, 0, 0, -40, 2},
      {"\\u00e9x", 6, 100, 0, 10, -20, 1},
      {"ab", 40, 100, 0, 20, -20, 1},  // past the end: at the end
      {"ab", 0, 100, CURSOR_ALIGN_CENTRE, 40, -20, 1},
      {"abcdef\r\nab", 3, 100, CURSOR_ALIGN_RIGHT, 70, -20, 2},  // each line by its own room
      // A line break restarts the line empty, for the count as for the caret.
      {"a\r\nbc", 5, 20, 0, 20, -40, 2},
      {"ab\r\n", 4, 30, 0, 0, -40, 2},
      {"abc\r\nd", 6, 35, 0, 20, -40, 2},  // a break that does not fit wraps
  };
  for (const auto& [text, index, width, alignment, x, y, lines] : cases) {
    const Caret c = place(text, index, width, 40, -1, 0, alignment);
    // No click, no new index.
    EXPECT_EQ(std::make_tuple(x, y, lines, -1), std::make_tuple(c.x, c.y, c.lineCount, c.newIndex))
        << text << " index " << index;
  }
}

TEST(CursorBehavior, AClickGivesTheIndexAfterTheCharacterUnderIt) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // Text, width, height, the click's x and y rates, alignment; the new index.
  const std::tuple<const char*, float, float, float, float, uint32_t, int32_t> cases[] = {
      // In the first third of the first character, the rest of it, the second, beyond.
      {"abc", 100, 20, 0.02f, 0.5f, 0, 0},
      {"abc", 100, 20, 0.05f, 0.5f, 0, 1},
      {"abc", 100, 20, 0.15f, 0.5f, 0, 2},
      {"ab\r\ncd", 100, 40, 0.15f, 0.25f, 0, 6},  // second line
      {"ab\r\ncd", 100, 40, 0.90f, 0.75f, 0, 2},  // past the first line's end: before the break
      {"abcdef", 35, 40, 0.15f, 0.25f, 0, 4},     // wrapped second line
      {"abcdef", 35, 40, 0.99f, 0.75f, 0, 3},     // past the end of a wrapped line: its end
      {"abcdef", 35, 40, 0.05f, 0.25f, CURSOR_ALIGN_RIGHT, 4},  // left of a wrapped line
      {"ab", 100, 20, 0.45f, 0.5f, CURSOR_ALIGN_CENTRE, 1},
      // Clicks above or far below the box land on the first or last line.
      {"ab\r\ncd", 100, 40, 0.9f, 2.0f, 0, 2},
      {"ab\r\ncd", 100, 40, 0.9f, -50.0f, 0, 6},
      {"ab\r\ncd", 100, 40, 0.9f, nan, 0, 2},
  };
  for (const auto& [text, width, height, xRate, yRate, alignment, index] : cases) {
    EXPECT_EQ(index, place(text, 0, width, height, xRate, yRate, alignment).newIndex)
        << text << " at " << xRate << ", " << yRate;
  }
  EXPECT_EQ(3, place("ab\r\ncd\r\nef", 0, 100, 60, 0.5f, 0.9f).lineCount)
      << "a click on the first line still counts every line";
  const Caret placed = place("ab\r\ncd", 0, 100, 40, 0.05f, 0.25f);
  EXPECT_EQ(std::make_tuple(5, 10.0f, -40.0f), std::make_tuple(placed.newIndex, placed.x, placed.y))
      << "the clicked index places the caret in the same step";
}

TEST(CursorBehavior, OverflowMeasuringAndInputsAtTheEdges) {
  // Text, width; overflow and the text's width.
  const std::tuple<const char*, float, int, float> cases[] = {
      {"ab", 35, 0, 20}, {"abc", 35, 1, 30}, {"abcd", 35, 1, 30}, {"", 5, 1, 0}};
  for (const auto& [text, width, overflow, textWidth] : cases) {
    const Caret c = place(text, 0, width, 20);
    EXPECT_EQ(std::make_tuple(overflow, textWidth), std::make_tuple(int(c.overflow), c.textWidth))
        << text;
  }
  // Measuring only leaves the caret; neither measuring nor active leaves everything.
  const Caret measured = place("abcdef", 3, 35, 20, 0.5f, 0.5f, 0, 0, 1);
  EXPECT_EQ(std::make_tuple(2, 20.0f, 15.0f, -1.0f, -1),
            std::make_tuple(measured.lineCount, measured.lineHeight, measured.ascent, measured.x,
                            measured.newIndex));
  EXPECT_EQ(-1, place("abcdef", 3, 35, 20, 0.5f, 0.5f, 0, 0, 0).lineCount);
  // Inputs at the edges stay defined.
  char full[TEXT_SIZE_Strings];
  std::memset(full, 'a', sizeof full);  // 255 characters, no terminating zero
  for (uint32_t index : {255u, 256u, 0xFFFFFFFFu}) {
    Caret c;
    CursorBehaviorWithFont(fixed_font, 1, 0, 1e6f, 20, full, index, 0, 0, 0, 0, 0, &c.x, &c.y,
                           nullptr, nullptr, nullptr, &c.lineCount, nullptr, nullptr);
    EXPECT_EQ(std::make_pair(2550.0f, 1), std::make_pair(c.x, c.lineCount)) << index << ": the end";
  }
  const Caret zero = place("abc", 1, 100, 40, 0.5f, 0.5f, 0, 1, 0,
                           [](uint32_t, uint32_t, uint32_t) { return 0.0f; });
  // Zero widths and line height: every click lands at the end.
  EXPECT_EQ(std::make_pair(3, 0.0f), std::make_pair(zero.newIndex, zero.x));
  Caret none;
  CursorBehaviorWithFont(fixed_font, 1, 1, 100, 20, nullptr, 3, 0, 0.5f, 0.5f, 1, 0, &none.x,
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &none.newIndex);
  EXPECT_EQ(std::make_pair(0, 0.0f), std::make_pair(none.newIndex, none.x)) << "a null text";
}

}  // namespace
