// Velkor_Panel - a plate with a frame that holds other widgets.
//
// Draws its background and frame over (0, 0)-(width, height), then clips
// to that rectangle and calls back its owner to draw the children in the
// panel's frame:
//   void draw_children(void* argument, uint32_t pass, int32_t index, uint32_t childrenPass);
//   p->children = draw_children; p->argument = owner; p->childrenPass = pass;
//   Velkor_Panel_predraw(p); Velkor_Panel_draw(p, pass);
// Nothing a child draws leaves the panel. The background is faceColor, or
// the scheme's base + 9 when faceColor is < 0; the frame is frameColor, or
// base + 2; frameColor < -1 leaves the frame out.
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

struct Velkor_Panel {
  float width;
  float height;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // background, -1: from the scheme
  Velkor_DrawnRect drawnRect;
  int32_t frameColor;  // -1: from the scheme, below -1: no frame
  float radius;
  int32_t frameWidth;  // line width index of the frame
  Velkor_ChildrenCallback children;
  void* argument;
  uint32_t childrenPass;
  // computed colours
  int32_t baseColor;
  int32_t backgroundColor;
  int32_t frameColorComputed;
  uint32_t pass;
};

Velkor_Panel* Velkor_Panel_alloc();
void Velkor_Panel_free(Velkor_Panel* panel);
void Velkor_Panel_init(Velkor_Panel* panel);
void Velkor_Panel_predraw(Velkor_Panel* panel);
void Velkor_Panel_draw(Velkor_Panel* panel, uint32_t pass);
