#include "widgets/CursorBehavior.h"

#include <cmath>

#include "graphics/sgl.h"
#include "widgets/lib_unicode.h"

namespace {

constexpr uint32_t kAdvance = 3;
constexpr uint32_t kAscent = 7;
constexpr uint32_t kZeroWidth = 8;
constexpr uint32_t kDescent = 9;
constexpr uint32_t kLineBreak = 13;
// A 255-byte text has at most 255 characters, so at most 256 lines.
constexpr int32_t kMostLines = 256;
constexpr uint32_t kLastIndex = 255;

const char kEmptyText[1] = {0};

struct Measure {
  FontValueFunction fontValue;
  uint32_t font;
  float Width(uint32_t ch) const { return fontValue(font, ch, kAdvance); }
};

// Lines of the whole text: a line ends where the running width exceeds the
// box or at a line break; the character that ended it starts the next.
int32_t CountLines(const Measure& m, const char* text, float boxWidth) {
  int32_t lines = 1;
  float running = 0.0f;
  int32_t index = 0;
  for (;;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    if (ch == 0) break;
    const float w = m.Width(ch);
    running += w;
    if (running > boxWidth || ch == kLineBreak) {
      ++lines;
      running = w;
    }
    index = next;
  }
  return lines;
}

// The line a click falls on, 1-based, from the click's height in the box.
// A line height of 0, or a click far above or below the box, must not turn
// into an undefined float-to-integer conversion: the result stays in
// 1 .. kMostLines.
int32_t ClickedLine(float boxHeight, float clickYRate, float lineHeight) {
  if (!(lineHeight > 0.0f)) return 1;
  const float rows = boxHeight * (1.0f - clickYRate) / lineHeight;
  if (!(rows >= 0.0f)) return 1;  // above the box, or not a number
  if (rows >= static_cast<float>(kMostLines - 1)) return kMostLines;
  return static_cast<int32_t>(rows) + 1;
}

// Width of line `line` (1-based) as the click walk sees it; also counts the
// lines passed on the way.
float LineWidth(const Measure& m, const char* text, float boxWidth, int32_t line,
                int32_t* lineCount) {
  float width = 0.0f;
  int32_t counter = 0;
  *lineCount = 1;
  int32_t index = 0;
  for (;;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    if (ch == 0) break;
    const float w = m.Width(ch);
    width += w;
    const bool wrap = width > boxWidth;
    if (wrap || ch == kLineBreak) {
      ++counter;
      ++*lineCount;
      if (counter == line) {
        width -= w;
        break;
      }
      width = wrap ? w : 0.0f;
    }
    index = next;
  }
  return width;
}

// The character index a click at x (from the line's left edge) on line
// `line` points to: the index after the character under the click.
int32_t ClickedIndex(const Measure& m, const char* text, float boxWidth, int32_t line, float x,
                     float* reached) {
  float running = 0.0f;
  int32_t remaining = line;
  int32_t index = 0;
  for (;;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    if (((running > x || ch == kLineBreak) && remaining < 2) || ch == 0) break;
    const float w = m.Width(ch);
    running += w;
    if (running > boxWidth && remaining >= 2) {
      --remaining;
      running = w;
    } else if (ch == kLineBreak && remaining >= 2) {
      --remaining;
      running = 0.0f;
    }
    index = next;
  }
  *reached = running;
  return index;
}

// Width of the line that holds the caret.
float CaretLineWidth(const Measure& m, const char* text, float boxWidth, int32_t cursor) {
  float running = 0.0f;
  int32_t index = 0;
  for (;;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    const float w = m.Width(ch);
    running += w;
    const bool wrap = running > boxWidth;
    if (((wrap || ch == kLineBreak) && index >= cursor) || ch == 0) {
      running -= w;
      break;
    }
    if (wrap) {
      running = w;
    } else if (ch == kLineBreak) {
      running = 0.0f;
    }
    index = next;
  }
  return running;
}

float AlignmentShift(uint32_t alignment, float boxWidth, float lineWidth) {
  if (alignment == CURSOR_ALIGN_CENTRE) return (boxWidth - lineWidth) / 2.0f;
  if (alignment == CURSOR_ALIGN_RIGHT) return boxWidth - lineWidth;
  return 0.0f;
}

}  // namespace

// Caret of "ab" in a wide box, advance 10 per character, line height 20:
//
//  caret index  cursorX  cursorY   click at x (rate 0.5 line 1)  new index
//   0           0        -20        x 0..3.3 (first third of a)   0
//   1           10       -20        x 3.4..10                     1
//   2           20       -20        x 10..20                      2
//  A character that would pass the right edge starts the next line, and a
//  line break starts it as well: the caret after it stands at x 0 one
//  line height lower.
void CursorBehaviorWithFont(FontValueFunction fontValue, uint8_t active, uint8_t measure,
                            float width, float height, const char* text, uint32_t cursorIndex,
                            uint32_t font, float clickXRate, float clickYRate, uint8_t clicked,
                            uint32_t alignment, float* outCursorX, float* outCursorY,
                            uint8_t* outOverflow, float* outTextWidth, float* outLineHeight,
                            int32_t* outLineCount, float* outAscent, int32_t* outNewCursorIndex) {
  if (fontValue == nullptr) return;
  if (text == nullptr) text = kEmptyText;
  const Measure m{fontValue, font};

  float lineHeight = (outLineHeight != nullptr) ? *outLineHeight : 0.0f;
  if (active != 0 || measure != 0) {
    lineHeight = fontValue(font, 0, kAscent) + fontValue(font, 0, kDescent);
    if (outAscent != nullptr) *outAscent = fontValue(font, 0, kAscent);
    if (outLineHeight != nullptr) *outLineHeight = lineHeight;
    if (outLineCount != nullptr) *outLineCount = CountLines(m, text, width);
  }
  if (active == 0) return;

  // Indices beyond the buffer, including -1 passed as unsigned, mean its end.
  int32_t cursor = static_cast<int32_t>(cursorIndex > kLastIndex ? kLastIndex : cursorIndex);

  if (clicked != 0) {
    const int32_t line = ClickedLine(height, clickYRate, lineHeight);
    int32_t lines = 1;
    const float lineWidth = LineWidth(m, text, width, line, &lines);
    if (outLineCount != nullptr) *outLineCount = lines;
    const float x = clickXRate * width - AlignmentShift(alignment, width, lineWidth);
    float reached = 0.0f;
    int32_t index = ClickedIndex(m, text, width, line, x, &reached);
    // A click on the first third of the first character puts the caret before it.
    if (index == 1 && x < reached / 3.0f) index = 0;
    if (outNewCursorIndex != nullptr) *outNewCursorIndex = index;
    cursor = index;
  }

  float cursorX = 0.0f;
  float cursorY = -lineHeight;
  for (int32_t index = 0; index < cursor;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    if (ch == 0) break;
    const float w = m.Width(ch);
    if (cursorX + w > width) {
      cursorX = w;
      cursorY -= lineHeight;
    } else if (ch == kLineBreak) {
      cursorX = 0.0f;
      cursorY -= lineHeight;
    } else {
      cursorX += w;
    }
    index = next;
  }

  // Overflow: the text so far would not leave room for the next character.
  float textWidth = 0.0f;
  uint8_t overflow = 0;
  for (int32_t index = 0;;) {
    int32_t next = 0;
    const uint32_t ch = getCharId(text, index, &next);
    const uint32_t following = (ch == 0) ? 0 : getCharId(text, next, nullptr);
    if (textWidth > width - m.Width(following)) {
      overflow = 1;
      break;
    }
    if (ch == 0) break;
    textWidth += m.Width(ch);
    index = next;
  }

  cursorX += AlignmentShift(alignment, width, CaretLineWidth(m, text, width, cursor));

  if (outCursorX != nullptr) *outCursorX = cursorX;
  if (outCursorY != nullptr) *outCursorY = cursorY;
  if (outOverflow != nullptr) *outOverflow = overflow;
  if (outTextWidth != nullptr) *outTextWidth = textWidth;
}

void CursorBehavior(uint8_t active, uint8_t measure, float width, float height, const char* text,
                    uint32_t cursorIndex, uint32_t font, float clickXRate, float clickYRate,
                    uint8_t clicked, uint32_t alignment, float* outCursorX, float* outCursorY,
                    uint8_t* outOverflow, float* outTextWidth, float* outLineHeight,
                    int32_t* outLineCount, float* outAscent, int32_t* outNewCursorIndex) {
  CursorBehaviorWithFont(sglGetFontValue, active, measure, width, height, text, cursorIndex, font,
                         clickXRate, clickYRate, clicked, alignment, outCursorX, outCursorY,
                         outOverflow, outTextWidth, outLineHeight, outLineCount, outAscent,
                         outNewCursorIndex);
}

void GetFontSize_Strings(uint32_t font, float* width, float* height) {
  if (width != nullptr) *width = sglGetFontValue(font, '0', kZeroWidth);
  if (height != nullptr) *height = sglGetFontValue(font, '0', kAscent);
}

void GetFontSizeY(uint32_t font, float* height) {
  if (height == nullptr) return;
  *height = sglGetFontValue(font, '0', kAscent) + sglGetFontValue(font, '0', kDescent);
}

void GetStringScreenLength(uint32_t font, const char* text, float* length) {
  if (length == nullptr) return;
  float sum = 0.0f;
  if (text != nullptr) {
    for (int32_t index = 0;;) {
      int32_t next = 0;
      const uint32_t ch = getCharId(text, index, &next);
      if (ch == 0) break;
      sum += sglGetFontValue(font, ch, kAdvance);
      index = next;
    }
  }
  *length = sum;
}
