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

// One line of the text as the box cuts it: the characters from `start` up to
// (not including) `end`, `width` their advances. `end` is the index of the
// character that ended the line: the one that did not fit (it begins the
// next line, which is then `wrapped`), the line break (the next line begins
// after it), or the end of the text.
struct TextLine {
  int32_t start;
  int32_t end;
  float width;
  bool wrapped;
};

// The wrapping rule, walked once for every use (line count, click, caret,
// alignment): a line ends before the character that would take it beyond
// the box width, and that character begins the next line; a line break ends
// the line and the next one begins after it with nothing on it. A line
// break that would not fit counts as such a character: it begins the next
// line, which then goes on after it.
//
//   LineWalk walk(measure, text, boxWidth);
//   for (TextLine line; walk.Next(&line);) { ... }
struct LineWalk {
  LineWalk(const Measure& m, const char* text, float boxWidth)
      : m(m), text(text), boxWidth(boxWidth) {}

  // The next line; false after the last one. Every text has at least one
  // line, the empty text an empty one.
  bool Next(TextLine* line) {
    if (finished) return false;
    line->start = start;
    line->wrapped = wrapped;
    float width = carried;
    for (int32_t index = scan;;) {
      int32_t next = 0;
      const uint32_t ch = getCharId(text, index, &next);
      const float w = (ch == 0) ? 0.0f : m.Width(ch);
      if (ch == 0 || width + w > boxWidth || ch == kLineBreak) {
        line->end = index;
        line->width = width;
        finished = ch == 0;
        const bool wraps = ch != 0 && width + w > boxWidth;
        start = wraps ? index : next;
        wrapped = wraps;
        carried = wraps ? w : 0.0f;
        scan = next;
        return true;
      }
      width += w;
      index = next;
    }
  }

  const Measure& m;
  const char* text;
  float boxWidth;
  int32_t start = 0;     // first index of the next line
  int32_t scan = 0;      // where the walk goes on
  float carried = 0.0f;  // advance of a character carried over by a wrap
  bool wrapped = false;  // the next line begins with that character
  bool finished = false;
};

int32_t count_lines(const Measure& m, const char* text, float boxWidth) {
  LineWalk walk(m, text, boxWidth);
  int32_t lines = 0;
  for (TextLine line; walk.Next(&line);) ++lines;
  return lines;
}

// The line a click falls on, 1-based, from the click's height in the box.
// A line height of 0, or a click far above or below the box, must not turn
// into an undefined float-to-integer conversion: the result stays in
// 1 .. kMostLines.
int32_t clicked_line(float boxHeight, float clickYRate, float lineHeight) {
  if (!(lineHeight > 0.0f)) return 1;
  const float rows = boxHeight * (1.0f - clickYRate) / lineHeight;
  if (!(rows >= 0.0f)) return 1;  // above the box, or not a number
  if (rows >= static_cast<float>(kMostLines - 1)) return kMostLines;
  return static_cast<int32_t>(rows) + 1;
}

float alignment_shift(uint32_t alignment, float boxWidth, float lineWidth) {
  if (alignment == CURSOR_ALIGN_CENTRE) return (boxWidth - lineWidth) / 2.0f;
  if (alignment == CURSOR_ALIGN_RIGHT) return boxWidth - lineWidth;
  return 0.0f;
}

// The character index a click at x rate `xRate` on line `lineNumber`
// (1-based) points to: the index after the character under the click, the
// end of the line when the click lies beyond it, and the end of the text
// when the click lies below the last line. The caret so stays on the clicked
// line: the index before a wrapped line's first character is the end of the
// line above, so that character is always passed.
int32_t clicked_index(const Measure& m, const char* text, float boxWidth, int32_t lineNumber,
                      float xRate, uint32_t alignment) {
  LineWalk walk(m, text, boxWidth);
  TextLine line{0, 0, 0.0f, false};
  int32_t number = 0;
  while (number < lineNumber && walk.Next(&line)) ++number;

  const float x = xRate * boxWidth - alignment_shift(alignment, boxWidth, line.width);
  float reached = 0.0f;
  int32_t index = line.start;
  if (number < lineNumber) {
    reached = line.width;
    index = line.end;
  }
  while (index < line.end && ((line.wrapped && index == line.start) || !(reached > x))) {
    int32_t next = 0;
    reached += m.Width(getCharId(text, index, &next));
    index = next;
  }
  // A click on the first third of the first character puts the caret before it.
  if (index == 1 && x < reached / 3.0f) return 0;
  return index;
}

// Where the caret before `cursor` stands: x from the line's left edge
// (alignment not applied), the 1-based line and that line's width. The caret
// stands on the first line that ends at or after it, so a caret at a wrap
// ends the line before the wrapped character and a caret after a line break
// begins the next line.
void place_caret(const Measure& m, const char* text, float boxWidth, int32_t cursor, float* x,
                 int32_t* lineNumber, float* lineWidth) {
  LineWalk walk(m, text, boxWidth);
  TextLine line{0, 0, 0.0f, false};
  int32_t number = 0;
  while (walk.Next(&line)) {
    ++number;
    if (line.end >= cursor) break;
  }
  float width = 0.0f;
  for (int32_t index = line.start; index < line.end && index < cursor;) {
    int32_t next = 0;
    width += m.Width(getCharId(text, index, &next));
    index = next;
  }
  *x = width;
  *lineNumber = number;
  *lineWidth = line.width;
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
//  line height lower. A click beyond the end of a line puts the caret at
//  that end, before the character that begins the next line.
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
    if (outLineCount != nullptr) *outLineCount = count_lines(m, text, width);
  }
  if (active == 0) return;

  // Indices beyond the buffer, including -1 passed as unsigned, mean its end.
  int32_t cursor = static_cast<int32_t>(cursorIndex > kLastIndex ? kLastIndex : cursorIndex);

  if (clicked != 0) {
    const int32_t line = clicked_line(height, clickYRate, lineHeight);
    cursor = clicked_index(m, text, width, line, clickXRate, alignment);
    if (outNewCursorIndex != nullptr) *outNewCursorIndex = cursor;
  }

  float cursorX = 0.0f;
  int32_t caretLine = 1;
  float caretLineWidth = 0.0f;
  place_caret(m, text, width, cursor, &cursorX, &caretLine, &caretLineWidth);
  cursorX += alignment_shift(alignment, width, caretLineWidth);
  const float cursorY = -lineHeight * static_cast<float>(caretLine);

  // Overflow: the text so far, on one line, would not leave room for the
  // next character.
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
