// Velkor_ClippedLabel - one line of text that never leaves its box.
//
// The text is written in the font, colour and alignment given, vertically
// centred in (0, 0)-(width, height), and cut at the box's edges by a
// scissor, so a long label cannot spill over a neighbour:
//   Velkor_ClippedLabel label;
//   Velkor_ClippedLabel_init(&label);
//   label.width = 140; label.height = 50; label.text = "OK";
//   label.color = colours.base + kVelkorColorLabel; label.pass = pass;
//   Velkor_ClippedLabel_draw(&label, pass);
// Alignment: 0 left, 1 centred, 2 right (other values centre). A null text
// draws nothing.
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_ClippedLabel {
  float width;
  float height;
  Velkor_DrawnRect drawnRect;
  const char* text;  // at most kVelkorTextLength characters are written
  int32_t font;      // font slot
  int32_t color;     // colour index
  uint32_t alignment;
  uint32_t pass;
};

Velkor_ClippedLabel* Velkor_ClippedLabel_alloc();
void Velkor_ClippedLabel_free(Velkor_ClippedLabel* label);
void Velkor_ClippedLabel_init(Velkor_ClippedLabel* label);
void Velkor_ClippedLabel_predraw(Velkor_ClippedLabel* label);
void Velkor_ClippedLabel_draw(Velkor_ClippedLabel* label, uint32_t pass);
