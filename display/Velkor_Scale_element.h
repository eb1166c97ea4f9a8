// Velkor_Scale_element - one labelled major tick of a scale.
//
// A tick of `length` from the origin (down for a horizontal scale, right for
// a vertical one) and the tick's value written beyond its end, formatted
// with the digits the scale behaviour asks for (FormatNumValue_Strings, a
// sign only for negative values):
//   e->value = 50; e->integerDigits = 3; e->fractionDigits = 0;
//   e->pass = pass; Velkor_Scale_element_draw(e, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"
#include "widgets/lib_unicode.h"

// FormatNumValue_Strings writes a whole text buffer.
constexpr uint32_t kVelkorScaleLabelSize = TEXT_SIZE_Strings;

struct Velkor_Scale_element {
  float width;   // unused by the drawing; kept for the common layout
  float height;  // unused by the drawing; kept for the common layout
  int32_t font;
  int32_t labelColor;
  Velkor_DrawnRect drawnRect;
  float length;  // of the tick
  uint8_t vertical;
  uint8_t labelled;  // write the value
  float value;
  int32_t integerDigits;
  int32_t fractionDigits;
  int32_t color;  // of the tick
  int32_t lineWidth;
  char text[kVelkorScaleLabelSize];  // output: the label as written
  uint32_t pass;
};

Velkor_Scale_element* Velkor_Scale_element_alloc();
void Velkor_Scale_element_free(Velkor_Scale_element* element);
void Velkor_Scale_element_init(Velkor_Scale_element* element);
void Velkor_Scale_element_predraw(Velkor_Scale_element* element);
void Velkor_Scale_element_draw(Velkor_Scale_element* element, uint32_t pass);
