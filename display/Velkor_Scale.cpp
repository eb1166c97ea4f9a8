#include "display/Velkor_Scale.h"

#include <cstdlib>

#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/CursorBehavior.h"

Velkor_Scale* Velkor_Scale_alloc() {
  return static_cast<Velkor_Scale*>(std::calloc(1, sizeof(Velkor_Scale)));
}

void Velkor_Scale_free(Velkor_Scale* scale) {
  std::free(scale);
}

void Velkor_Scale_init(Velkor_Scale* scale) {
  *scale = Velkor_Scale{};
  scale->width = 200.0f;
  scale->height = 30.0f;
  scale->enabled = 1;
  scale->font = 20;
  scale->labelColor = 1;
  scale->maximum = 100.0f;
  scale->minorDivisions = 2;
  scale->majorLength = 8.0f;
  scale->minorLength = 4.0f;
  scale->labelled = 1;
  scale->baseLine = 1;
  Velkor_Scale_element_init(&scale->element);
  Velkor_Graduation_element_init(&scale->tick);
}

void Velkor_Scale_predraw(Velkor_Scale* scale) {
  Velkor_ClearDrawnRect(&scale->drawnRect);
  Velkor_Scale_element_predraw(&scale->element);
  Velkor_Graduation_element_predraw(&scale->tick);
}

void Velkor_Scale_graduate(Velkor_Scale* scale) {
  float minimum = scale->minimum;
  float maximum = scale->maximum;
  // An empty or reversed range would put every tick on one point.
  if (!(maximum > minimum)) maximum = minimum + 10.0f;
  const float length = scale->vertical ? scale->height : scale->width;
  float char_width = 0.0f;
  float char_height = 0.0f;
  GetFontSize_Strings(static_cast<uint32_t>(scale->font), &char_width, &char_height);
  wrapper_Scale(length, (minimum + maximum) / 2.0f, maximum - minimum, char_width, char_height,
                scale->imposedStep, scale->minorDivisions, scale->labelAngle, scale->majorPositions,
                scale->minorPositions, scale->majorValues, &scale->integerDigits,
                &scale->fractionDigits, scale->majorVisible, scale->minorVisible);
}

void Velkor_Scale_draw(Velkor_Scale* scale, uint32_t pass) {
  if (pass != scale->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(scale->width, scale->height, &scale->drawnRect);
  Velkor_Scale_graduate(scale);
  const bool vertical = scale->vertical != 0;
  // The line of the scale: along the top edge, or up the left edge.
  const float line_y = vertical ? 0.0f : scale->height;
  if (scale->baseLine) {
    if (vertical) {
      Velkor_DrawLine(masks, 0.0f, 0.0f, 0.0f, scale->height, scale->labelColor, 0);
    } else {
      Velkor_DrawLine(masks, 0.0f, line_y, scale->width, line_y, scale->labelColor, 0);
    }
  }
  Velkor_Graduation_element* tick = &scale->tick;
  tick->pass = pass;
  tick->vertical = scale->vertical;
  tick->length = scale->minorLength;
  tick->color = scale->labelColor;
  for (int i = 0; i < SCALE_MINOR_TICKS; ++i) {
    if (!scale->minorVisible[i]) continue;
    const float p = scale->minorPositions[i];
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(vertical ? 0.0f : p, vertical ? p : line_y);
    Velkor_Graduation_element_draw(tick, pass);
    sglPopMatrixAndTranslate();
  }
  Velkor_Scale_element* element = &scale->element;
  element->pass = pass;
  element->vertical = scale->vertical;
  element->length = scale->majorLength;
  element->labelled = scale->labelled;
  element->integerDigits = scale->integerDigits;
  element->fractionDigits = scale->fractionDigits;
  element->font = scale->font;
  element->labelColor = scale->labelColor;
  element->color = scale->labelColor;
  for (int i = 0; i < SCALE_MAJOR_TICKS; ++i) {
    if (!scale->majorVisible[i]) continue;
    const float p = scale->majorPositions[i];
    element->value = scale->majorValues[i];
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(vertical ? 0.0f : p, vertical ? p : line_y);
    Velkor_Scale_element_draw(element, pass);
    sglPopMatrixAndTranslate();
  }
  sglSetActiveMasks(masks);
}
