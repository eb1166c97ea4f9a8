// CursorBehavior: the caret of a text widget in a possibly multi-line box.
//
// Measures the text with the font's advance widths, wraps it into lines at
// the box width and at line breaks, turns a click position into a character
// index and a character index into caret coordinates. Texts are 255-byte
// buffers in the panel's text format (lib_unicode.h): an escape or a line
// break counts as one character.
//
// Once per cycle, from the Cursor display class of a text edit box:
//   CursorBehavior(active, measure, width, height, text, caretIndex, font,
//                  clickXRate, clickYRate, clicked, alignment,
//                  &x, &y, &overflow, &textWidth, &lineHeight, &lineCount,
//                  &ascent, &newCaretIndex);
// Caret coordinates are relative to the top left corner of the box, y
// upwards: the first line's caret y is -lineHeight. The rates give the click
// position as fractions of the box, x from the left, y from the bottom.
// Outputs that a call does not compute keep their values; any output pointer
// may be null.
//
// Drawing thread only: fonts are read through sglGetFontValue of the current
// graphics context.
#pragma once

#include <cstdint>

// Alignment of the text lines in the box.
constexpr uint32_t CURSOR_ALIGN_LEFT = 0;
constexpr uint32_t CURSOR_ALIGN_CENTRE = 1;
constexpr uint32_t CURSOR_ALIGN_RIGHT = 2;

// A font query with the signature of sglGetFontValue: kind 3 is the advance
// of `character`, 7 the ascent, 9 the descent.
typedef float (*FontValueFunction)(uint32_t font, uint32_t character, uint32_t kind);

// active: place the caret (and the click, when clicked);
// measure: only measure ascent, line height and line count.
void CursorBehavior(uint8_t active, uint8_t measure, float width, float height, const char* text,
                    uint32_t cursorIndex, uint32_t font, float clickXRate, float clickYRate,
                    uint8_t clicked, uint32_t alignment, float* outCursorX, float* outCursorY,
                    uint8_t* outOverflow, float* outTextWidth, float* outLineHeight,
                    int32_t* outLineCount, float* outAscent, int32_t* outNewCursorIndex);

// The same with another font source (a fixed metric in tests, another
// context's fonts).
void CursorBehaviorWithFont(FontValueFunction fontValue, uint8_t active, uint8_t measure,
                            float width, float height, const char* text, uint32_t cursorIndex,
                            uint32_t font, float clickXRate, float clickYRate, uint8_t clicked,
                            uint32_t alignment, float* outCursorX, float* outCursorY,
                            uint8_t* outOverflow, float* outTextWidth, float* outLineHeight,
                            int32_t* outLineCount, float* outAscent, int32_t* outNewCursorIndex);

// Font size helpers on the current graphics context.
// width := font value 8, height := font value 7 (the ascent), both queried
// with the digit zero; either pointer may be null.
void GetFontSize_Strings(uint32_t font, float* width, float* height);
// height := ascent + descent (values 7 + 9), the line height.
void GetFontSizeY(uint32_t font, float* height);
// length := the sum of the advance widths of the characters of text (at most
// its 255 bytes).
void GetStringScreenLength(uint32_t font, const char* text, float* length);
