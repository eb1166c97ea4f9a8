// Velkor_GaugeHorizontal - a bar gauge that fills from the left; a labelled scale stands below the bar.
//
// The bar shows (value - minimum) / (maximum - minimum), limited to 0 .. 1,
// with the graduation of the range (wrapper_Scale) as ticks inside it:
//   g->width = 162; g->height = 10; g->value = progress; g->minimum = 0;
//   g->maximum = 1; g->pass = pass; Velkor_GaugeHorizontal_draw(g, pass);
//   ... g->fraction
// Set scale.labelled to write the values of the major ticks beside the bar.
#pragma once

#include <cstdint>

#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_display.h"

struct Velkor_GaugeHorizontal {
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

Velkor_GaugeHorizontal* Velkor_GaugeHorizontal_alloc();
void Velkor_GaugeHorizontal_free(Velkor_GaugeHorizontal* gauge);
void Velkor_GaugeHorizontal_init(Velkor_GaugeHorizontal* gauge);
void Velkor_GaugeHorizontal_predraw(Velkor_GaugeHorizontal* gauge);
void Velkor_GaugeHorizontal_draw(Velkor_GaugeHorizontal* gauge, uint32_t pass);
