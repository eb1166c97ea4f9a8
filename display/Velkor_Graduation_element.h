// Velkor_Graduation_element - one tick mark of a scale or gauge.
//
// A straight line of `length` from the origin: downwards for a horizontal
// scale (the scale's line runs along the top of its box), to the right for a
// vertical one (the line runs along the left edge). Scales and gauges place
// one per tick with sglPushMatrixAndTranslate:
//   g->length = 6; g->vertical = 0; g->color = 1; g->pass = pass;
//   Velkor_Graduation_element_draw(g, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_Graduation_element {
  float width;   // unused by the drawing; kept for the common layout
  float height;  // unused by the drawing; kept for the common layout
  Velkor_DrawnRect drawnRect;
  float length;       // of the tick
  uint8_t vertical;   // 1: the tick points right (vertical scale), 0: down
  int32_t color;      // colour index
  int32_t lineWidth;  // line width index
  uint32_t pass;
};

Velkor_Graduation_element* Velkor_Graduation_element_alloc();
void Velkor_Graduation_element_free(Velkor_Graduation_element* tick);
void Velkor_Graduation_element_init(Velkor_Graduation_element* tick);
void Velkor_Graduation_element_predraw(Velkor_Graduation_element* tick);
void Velkor_Graduation_element_draw(Velkor_Graduation_element* tick, uint32_t pass);
