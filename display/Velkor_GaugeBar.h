// Velkor_GaugeBar - the bar gauge in either orientation.
//
// The bar shows (value - minimum) / (maximum - minimum), limited to 0 .. 1,
// with the graduation of the range (wrapper_Scale) as ticks inside it. A
// horizontal bar fills from the left and stands its labelled scale below
// it; a vertical one fills from the bottom and stands the scale right of
// it. The orientation is given once, by init; GaugeHorizontal and
// GaugeVertical are this record under their own names:
//   Velkor_GaugeBar_init(g, kVelkorGaugeVertical);
//   every frame: g->value = progress; g->pass = pass; Velkor_GaugeBar_draw(g, pass);
//   ... g->fraction
// Set scale.labelled to write the values of the major ticks beside the bar.
// Drawing thread only.
#pragma once

#include <cstdint>

#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_display.h"

enum Velkor_GaugeOrientation : uint8_t {
  kVelkorGaugeHorizontal = 0,  // fills from the left
  kVelkorGaugeVertical = 1,    // fills from the bottom
};

struct Velkor_GaugeBar {
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
  float maximum;                        // not above minimum: minimum + 10
  Velkor_GaugeOrientation orientation;  // set by init
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

// Also the default box of the orientation: 162 x 10 lying, 14 x 120 standing.
void Velkor_GaugeBar_init(Velkor_GaugeBar* gauge, Velkor_GaugeOrientation orientation);
void Velkor_GaugeBar_predraw(Velkor_GaugeBar* gauge);
void Velkor_GaugeBar_draw(Velkor_GaugeBar* gauge, uint32_t pass);

// Where the parts of a gauge of width x height go, in its own frame: the
// bar's box (the whole box, or 40 % of it across when the scale is
// labelled), its filled part, and the box left to the scale beside it.
struct Velkor_GaugeGeometry {
  float barX, barY, barWidth, barHeight;
  float fillWidth, fillHeight;
  float scaleX, scaleWidth, scaleHeight;
  float radius;  // of the bar's corners
  float across;  // the bar's thickness, which the ticks are measured against
};
Velkor_GaugeGeometry Velkor_GaugeBar_geometry(Velkor_GaugeOrientation orientation, float width,
                                              float height, bool labelled, float fraction);
