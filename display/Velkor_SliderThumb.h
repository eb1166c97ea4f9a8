// Velkor_SliderThumb - the thumb of a slider.
//
// A rounded knob over (0, 0)-(width, height), shaded like a push button
// face: the falling ramp (texture 247) at rest, the rising one (240) while
// it is dragged, its outline in the frame colour (the focus colour while
// the slider holds the focus):
//   t->width = 14; t->height = 24; t->pressed = dragging; t->pass = pass;
//   Velkor_SliderThumb_draw(t, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_SliderThumb {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // -1: the scheme's accent
  Velkor_DrawnRect drawnRect;
  uint8_t pressed;  // dragged now
  uint8_t focused;  // the slider holds the focus
  // computed colours
  int32_t fillColor;
  int32_t frameColor;
  uint32_t pass;
};

Velkor_SliderThumb* Velkor_SliderThumb_alloc();
void Velkor_SliderThumb_free(Velkor_SliderThumb* thumb);
void Velkor_SliderThumb_init(Velkor_SliderThumb* thumb);
void Velkor_SliderThumb_predraw(Velkor_SliderThumb* thumb);
void Velkor_SliderThumb_draw(Velkor_SliderThumb* thumb, uint32_t pass);
