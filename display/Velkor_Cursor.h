// Velkor_Cursor - the caret of a text box.
//
// Places the caret of `text` at character cursorIndex in the box
// (0, 0)-(width, height), lines wrapped at the width, through the cursor
// behaviour (CursorBehavior, widgets/CursorBehavior.h), and draws it as a
// vertical bar one line high when `visible`. With `clicked` set it also
// turns the click position (rates across the box, x from the left, y from
// the bottom) into a character index, newCursorIndex, which stays until the
// next click:
//   c->width = 120; c->height = 20; c->text = working; c->cursorIndex = caret;
//   c->active = editing; c->visible = blinkOn; c->pass = pass;
//   Velkor_Cursor_draw(c, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_Cursor {
  float width;
  float height;
  uint8_t enabled;
  uint32_t font;
  int32_t labelColor;  // colour of the caret
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const char* text;
  uint32_t cursorIndex;  // 0xFFFFFFFF and values above 255 stand for 255
  uint8_t active;        // place the caret (and the click)
  uint8_t visible;       // draw it
  uint8_t clicked;
  float clickXRate;
  float clickYRate;
  // outputs
  float cursorX;  // from the top left corner of the box, y upwards
  float cursorY;  // bottom of the caret's line: -lineHeight on the first line
  uint8_t overflow;
  float textWidth;
  float lineHeight;
  int32_t lineCount;
  float ascent;
  int32_t newCursorIndex;
  uint32_t pass;
};

Velkor_Cursor* Velkor_Cursor_alloc();
void Velkor_Cursor_free(Velkor_Cursor* cursor);
void Velkor_Cursor_init(Velkor_Cursor* cursor);
void Velkor_Cursor_predraw(Velkor_Cursor* cursor);
void Velkor_Cursor_draw(Velkor_Cursor* cursor, uint32_t pass);
