// Velkor_parts_internal.h - drawing shortcuts shared by the list, table,
// text, slider, scale and gauge display classes. Nothing here knows a
// particular class: the gauge's own drawing is in Velkor_GaugeBar.
//
// Each shortcut sets the saved active masks back, places one scratch
// sub-element (FrameShape, ClippedLabel) at (x, y) of the current frame with
// sglPushMatrixAndTranslate, draws it in `pass` and pops the translation, so
// a composite's draw reads as the list of its parts:
//   const uint32_t masks = sglGetActiveMasks();
//   Velkor_DrawFrame(masks, pass, 0, 0, w, h, face, frame, 2, 4);
//   Velkor_DrawLabel(masks, pass, 5, 0, w - 10, h, text, 21, label, 0);
// Drawing thread only; nothing is allocated.
#pragma once

#include <cstdint>

#include "display/Velkor_FrameShape.h"

// A FrameShape with the given fill and outline colours (< 0: left out),
// opaque, no texture, line width index 0.
void Velkor_DrawFrame(uint32_t masks, uint32_t pass, float x, float y, float width, float height,
                      int32_t fill, int32_t line, uint32_t cornerStyle, float radius);
// The same with every FrameShape parameter given.
void Velkor_DrawFrameShape(uint32_t masks, uint32_t pass, float x, float y,
                           const Velkor_FrameShape& shape);
// A ClippedLabel (vertically centred, cut to its box).
void Velkor_DrawLabel(uint32_t masks, uint32_t pass, float x, float y, float width, float height,
                      const char* text, int32_t font, int32_t color, uint32_t alignment);
// A straight line from (x0, y0) to (x1, y1) in a colour and line width index.
void Velkor_DrawLine(uint32_t masks, float x0, float y0, float x1, float y1, int32_t color,
                     int32_t lineWidth);
// A filled triangle (an arrow head).
void Velkor_DrawTriangle(uint32_t masks, float x0, float y0, float x1, float y1, float x2, float y2,
                         int32_t color);

// Clamps v to lo .. hi (hi wins when lo > hi).
float Velkor_Clamp(float v, float lo, float hi);

// Fraction of (value - minimum) over the range, limited to 0 .. 1; a range
// that is not above 0 counts as 10 units, as for sliders.
float Velkor_RangeFraction(float value, float minimum, float maximum);
