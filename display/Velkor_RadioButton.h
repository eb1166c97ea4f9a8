// Velkor_RadioButton - the round mark of a choice.
//
// A ring of diameter `size` with its lower-left corner at the origin and,
// when checked, a dot in the middle. Items of radio boxes and combo box
// lists draw one in front of their label:
//   r->size = 18; r->checked = selected; r->pass = pass;
//   Velkor_RadioButton_draw(r, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_RadioButton {
  float size;  // diameter of the ring
  uint8_t enabled;
  Velkor_DrawnRect drawnRect;
  uint8_t checked;
  int32_t fillColor;  // inside of the ring, < 0: none
  int32_t ringColor;  // < 0: none
  int32_t dotColor;
  float ringWidth;  // thickness of the ring
  uint32_t pass;
};

Velkor_RadioButton* Velkor_RadioButton_alloc();
void Velkor_RadioButton_free(Velkor_RadioButton* radio);
void Velkor_RadioButton_init(Velkor_RadioButton* radio);
void Velkor_RadioButton_predraw(Velkor_RadioButton* radio);
void Velkor_RadioButton_draw(Velkor_RadioButton* radio, uint32_t pass);
