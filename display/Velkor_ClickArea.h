// Velkor_ClickArea - a clickable part of a composite widget.
//
// A hit area without focus and without behaviour: it reads the pointer
// itself and reports a click on (0, 0)-(width, height), optionally with a
// highlight while the pointer is over it. Composite widgets (combo boxes,
// radio items, scroll bar arrows) place one per clickable part:
//   a->width = 20; a->height = 20; a->mode = 2; a->pass = pass;
//   Velkor_ClickArea_draw(a, pass);
//   if (a->click) ...
// Mode 1 clicks on the press, any other mode on a release over the area.
// The wheel never clicks; a disabled area reports nothing.
#pragma once

#include <cstdint>

#include "display/Velkor_Highlight.h"
#include "display/Velkor_display.h"
#include "widgets/interactivity_mapping.h"

struct Velkor_ClickArea {
  float width;
  float height;
  uint8_t enabled;
  Velkor_DrawnRect drawnRect;
  uint32_t mode;            // 1 click on press, else on release
  uint8_t showHighlight;    // draw the highlight while hovered
  int32_t highlightColor;   // colour index of the highlight
  uint32_t highlightAlpha;  // its alpha
  // outputs, cleared by predraw
  uint8_t hover;
  uint8_t click;
  uint8_t onPress;
  uint8_t onRelease;
  uint32_t pass;
  Velkor_Highlight highlight;
  ClickArea area;
};

Velkor_ClickArea* Velkor_ClickArea_alloc();
void Velkor_ClickArea_free(Velkor_ClickArea* area);
void Velkor_ClickArea_init(Velkor_ClickArea* area);
void Velkor_ClickArea_predraw(Velkor_ClickArea* area);
void Velkor_ClickArea_draw(Velkor_ClickArea* area, uint32_t pass);
