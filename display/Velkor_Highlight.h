// Velkor_Highlight - the glow under the pointer on a click area.
//
// A soft patch over (0, 0)-(width, height), brightest in the centre: the
// quarter-circle shading of texture 251 laid into the four quarters of the
// box, mirrored so that its bright corner meets in the middle.
//   h->width = 100; h->height = 30; h->color = colours.base + kVelkorColorAccentLight;
//   h->pass = pass; Velkor_Highlight_draw(h, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

constexpr int32_t kVelkorHighlightTexture = 251;

struct Velkor_Highlight {
  float width;
  float height;
  Velkor_DrawnRect drawnRect;
  int32_t color;          // colour index; < 0 draws nothing
  uint32_t transparency;  // alpha, 255 opaque
  int32_t texture;        // the shading, normally 251; < 0: a plain fill
  uint32_t pass;
};

Velkor_Highlight* Velkor_Highlight_alloc();
void Velkor_Highlight_free(Velkor_Highlight* highlight);
void Velkor_Highlight_init(Velkor_Highlight* highlight);
void Velkor_Highlight_predraw(Velkor_Highlight* highlight);
void Velkor_Highlight_draw(Velkor_Highlight* highlight, uint32_t pass);
