// Velkor_MultiColumnCell - one cell of a table: a text in a box.
//
// The text is cut at the cell's edges. The selected cell is filled with
// the scheme's accent and written in white; otherwise the cell shows
// `faceColor` (when not negative) and its grid line:
//   c->width = 60; c->height = 22; c->label = text; c->selected = 0;
//   c->pass = pass; Velkor_MultiColumnCell_draw(c, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_MultiColumnCell {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;
  int32_t faceColor;  // background, < 0: none
  uint32_t font;
  int32_t labelColor;  // -1: scheme
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  uint8_t selected;
  int32_t gridColor;  // < 0: no grid line
  // computed colours
  int32_t backColor;
  int32_t textColor;
  uint32_t pass;
};

Velkor_MultiColumnCell* Velkor_MultiColumnCell_alloc();
void Velkor_MultiColumnCell_free(Velkor_MultiColumnCell* cell);
void Velkor_MultiColumnCell_init(Velkor_MultiColumnCell* cell);
void Velkor_MultiColumnCell_predraw(Velkor_MultiColumnCell* cell);
void Velkor_MultiColumnCell_draw(Velkor_MultiColumnCell* cell, uint32_t pass);
