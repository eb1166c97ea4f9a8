// Velkor_CheckBox - the square of a check button, with its mark.
//
// A framed square (side 27 by default) with a tick while checked. With
// frame style 3 the square becomes round and the mark a dot, like a lamp.
//   c->checked = state; c->hover = hover; c->pass = pass; Velkor_CheckBox_draw(c, pass);
// Colours come from the scheme: the face base + 9, the frame base + 2 (base
// + 14 while focused), the mark base + 8 (its outline base + 10); hovered,
// the face takes the light accent; disabled, the grey veil covers it.
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

constexpr float kVelkorCheckBoxSide = 27.0f;

struct Velkor_CheckBox {
  float width;  // normally kVelkorCheckBoxSide x kVelkorCheckBoxSide
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  Velkor_DrawnRect drawnRect;
  uint8_t checked;
  uint8_t hover;    // the owner's hover, for the lighter face
  uint8_t focused;  // the owner's focus, for the frame colour
  uint32_t pass;
};

Velkor_CheckBox* Velkor_CheckBox_alloc();
void Velkor_CheckBox_free(Velkor_CheckBox* box);
void Velkor_CheckBox_init(Velkor_CheckBox* box);
void Velkor_CheckBox_predraw(Velkor_CheckBox* box);
void Velkor_CheckBox_draw(Velkor_CheckBox* box, uint32_t pass);
