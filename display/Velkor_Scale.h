// Velkor_Scale - a linear scale with labelled major ticks and minor ticks.
//
// The graduation comes from the scale behaviour (wrapper_Scale): major steps
// of 1, 2 or 5 times a power of ten, spaced so that labels do not overlap,
// minor ticks between them. A horizontal scale runs along the top edge of
// its box from x = 0 to x = width, ticks hanging down with their labels
// below; a vertical one runs up the left edge from y = 0 to y = height,
// ticks and labels to the right.
//   s->width = 280; s->height = 30; s->minimum = -512; s->maximum = 511;
//   s->pass = pass; Velkor_Scale_draw(s, pass);
//   ... s->majorValues[i] where s->majorVisible[i]
#pragma once

#include <cstdint>

#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Scale_element.h"
#include "display/Velkor_display.h"
#include "widgets/Scale.h"

struct Velkor_Scale {
  float width;
  float height;
  uint8_t enabled;
  int32_t font;        // of the labels (20)
  int32_t labelColor;  // of the labels and ticks (1, black)
  Velkor_DrawnRect drawnRect;
  // parameters
  float minimum;  // value at the start of the scale
  float maximum;  // value at its end; not above minimum: minimum + 10
  uint8_t vertical;
  float imposedStep;       // major step; 0: automatic
  int32_t minorDivisions;  // minor intervals per major one; 0: none
  float labelAngle;        // degrees; 90 or 270 when labels stand across
  float majorLength;
  float minorLength;
  uint8_t labelled;  // write the values of the major ticks
  uint8_t baseLine;  // draw the line of the scale
  // outputs of the graduation, recomputed by every draw
  float majorPositions[SCALE_MAJOR_TICKS];
  float minorPositions[SCALE_MINOR_TICKS];
  float majorValues[SCALE_MAJOR_TICKS];
  int32_t integerDigits;
  int32_t fractionDigits;
  uint8_t majorVisible[SCALE_MAJOR_TICKS];
  uint8_t minorVisible[SCALE_MINOR_TICKS];
  uint32_t pass;
  Velkor_Scale_element element;
  Velkor_Graduation_element tick;
};

Velkor_Scale* Velkor_Scale_alloc();
void Velkor_Scale_free(Velkor_Scale* scale);
void Velkor_Scale_init(Velkor_Scale* scale);
void Velkor_Scale_predraw(Velkor_Scale* scale);
void Velkor_Scale_draw(Velkor_Scale* scale, uint32_t pass);

// The graduation alone (no drawing): runs wrapper_Scale for the scale's
// length and range with the label size of its font into the outputs.
void Velkor_Scale_graduate(Velkor_Scale* scale);
