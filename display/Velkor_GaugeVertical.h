// Velkor_GaugeVertical - a bar gauge that fills from the bottom; a labelled scale stands right of the bar.
//
// The bar shows (value - minimum) / (maximum - minimum), limited to 0 .. 1,
// with the graduation of the range (wrapper_Scale) as ticks inside it:
//   g->width = 14; g->height = 120; g->value = progress; g->minimum = 0;
//   g->maximum = 1; g->pass = pass; Velkor_GaugeVertical_draw(g, pass);
//   ... g->fraction
// Set scale.labelled to write the values of the major ticks beside the bar.
#pragma once

#include <cstdint>

#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_display.h"

struct Velkor_GaugeVertical {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // colour of the filled part, -1: the scheme's accent
  Velkor_DrawnRect drawnRect;
  // parameters
  float value;
  float minimum;
  float maximum;  // not above minimum: minimum + 10
  // outputs
  float fraction;  // the filled part, 0 .. 1
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t backColor;
  int32_t barColor;
  uint32_t pass;
  Velkor_Scale scale;
  Velkor_Graduation_element tick;
};

Velkor_GaugeVertical* Velkor_GaugeVertical_alloc();
void Velkor_GaugeVertical_free(Velkor_GaugeVertical* gauge);
void Velkor_GaugeVertical_init(Velkor_GaugeVertical* gauge);
void Velkor_GaugeVertical_predraw(Velkor_GaugeVertical* gauge);
void Velkor_GaugeVertical_draw(Velkor_GaugeVertical* gauge, uint32_t pass);
