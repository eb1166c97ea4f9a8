// Velkor_Slider - a value between a minimum and a maximum on a track.
//
// A groove with a thumb and, below it (or right of a vertical track), a
// scale from minimum to maximum. The value follows the pointer while the
// thumb is dragged, moves one step per wheel notch over the slider and per
// arrow key while the slider holds the focus, and takes forcedValue in a
// frame with force set (a forced value outside the range is ignored):
//   s->width = 280; s->height = 50; s->minimum = -512; s->maximum = 511;
//   s->step = 1; s->forcedValue = offset; s->force = loadIt;
//   s->pass = pass; Velkor_Slider_draw(s, pass);
//   ... s->value, s->changed (the user moved it), s->dragging
// Orientation picks the pointer rate that drives the value: 1 left to right,
// 2 right to left, 3 bottom to top, 4 top to bottom. A maximum that is not
// above the minimum is taken as minimum + 10. The behaviour is Slider
// (widgets/Slider.h).
#pragma once

#include <cstdint>

#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_SliderThumb.h"
#include "display/Velkor_display.h"
#include "widgets/Slider.h"

constexpr uint32_t kVelkorSliderLeftToRight = 1;
constexpr uint32_t kVelkorSliderRightToLeft = 2;
constexpr uint32_t kVelkorSliderBottomToTop = 3;
constexpr uint32_t kVelkorSliderTopToBottom = 4;

struct Velkor_Slider {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // of the thumb; -1: scheme
  uint32_t font;      // of the scale's labels
  int32_t labelColor;
  Velkor_DrawnRect drawnRect;
  // parameters
  float minimum;
  float maximum;
  float step;  // granularity; 0 continuous
  uint32_t orientation;
  float forcedValue;
  uint8_t force;
  uint8_t showScale;
  float thumbLength;  // along the track
  // outputs
  float value;
  uint8_t changed;  // per frame
  uint8_t dragging;
  uint8_t hover;  // per frame
  // computed colours
  int32_t baseColor;
  int32_t trackColor;
  int32_t frameColor;
  uint32_t pass;
  Velkor_Scale scale;
  Velkor_SliderThumb thumb;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  uint8_t held;  // the press that may drag has not been released yet
  Slider_State state;
};

Velkor_Slider* Velkor_Slider_alloc();
void Velkor_Slider_free(Velkor_Slider* slider);
void Velkor_Slider_init(Velkor_Slider* slider);
void Velkor_Slider_predraw(Velkor_Slider* slider);
void Velkor_Slider_draw(Velkor_Slider* slider, uint32_t pass);

// Geometry of the track, in the slider's own frame: the thumb's lower-left
// corner for a value fraction 0 .. 1 (from the minimum's end), and the
// rectangle over which the pointer rate runs from 0 to 1 (the thumb's centre
// travels over it).
struct Velkor_SliderTrack {
  float rateX1, rateY1, rateX2, rateY2;
  float thumbX, thumbY, thumbW, thumbH;
  float grooveX, grooveY, grooveW, grooveH;
  float scaleX, scaleY, scaleW, scaleH;
};
Velkor_SliderTrack Velkor_SliderLayout(float width, float height, uint32_t orientation,
                                       float thumbLength, uint8_t showScale, float fraction);
