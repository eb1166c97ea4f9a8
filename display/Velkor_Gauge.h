// Velkor_Gauge - a bar gauge, horizontal or vertical.
//
// Hands its rectangle, range, value and colours to the GaugeHorizontal or
// GaugeVertical it holds (vertical = 1), which draws the bar and its
// graduation:
//   g->width = 162; g->height = 10; g->value = progress; g->minimum = 0;
//   g->maximum = 1; g->pass = pass; Velkor_Gauge_draw(g, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_GaugeHorizontal.h"
#include "display/Velkor_GaugeVertical.h"
#include "display/Velkor_display.h"

struct Velkor_Gauge {
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
  float maximum;
  uint8_t vertical;
  uint8_t labelled;  // write the values of the major ticks
  // outputs
  float fraction;
  // computed colours
  int32_t baseColor;
  uint32_t pass;
  Velkor_GaugeHorizontal horizontal;
  Velkor_GaugeVertical verticalGauge;
};

Velkor_Gauge* Velkor_Gauge_alloc();
void Velkor_Gauge_free(Velkor_Gauge* gauge);
void Velkor_Gauge_init(Velkor_Gauge* gauge);
void Velkor_Gauge_predraw(Velkor_Gauge* gauge);
void Velkor_Gauge_draw(Velkor_Gauge* gauge, uint32_t pass);
